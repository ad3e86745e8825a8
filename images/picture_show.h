// The picture show: the person's pictures (or the screensaver's), listed and decoded beside the
// frames, one at a time, and changed by the image key or by a timer, with a fade.
#pragma once

#include <string>
#include <vector>

// What the command line chooses for the show.
struct PictureShowOptions {
    std::vector<std::string> paths;  // --picture: files and folders, in the order given
    int durationSeconds = -1;        // --duration: 0 never, else 1..86400; -1: the host's default
    float fadeSeconds = 1.0f;        // --fade: 0 (a cut) to 10
    int shuffle = 0;                 // flag, --shuffle: random order, each once before repeats
    int titles = 0;                  // flag, --titles: the picture's name after each change
    int screensaverImages = 0;       // flag, --screensaver-images: from xscreensaver-getimage
};
