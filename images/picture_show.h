// The picture show: the person's pictures (or the screensaver's), listed and decoded beside the
// frames, one at a time, and changed by the image key or by a timer, with a fade.
#pragma once

#include <GL/gl.h>

#include <string>
#include <vector>

#include "images/picture_feed.h"

// What the command line chooses for the show.
struct PictureShowOptions {
    std::vector<std::string> paths;  // --picture: files and folders, in the order given
    int durationSeconds = -1;        // --duration: 0 never, else 1..86400; -1: the host's default
    float fadeSeconds = 1.0f;        // --fade: 0 (a cut) to 10
    int shuffle = 0;                 // flag, --shuffle: random order, each once before repeats
    int titles = 0;                  // flag, --titles: the picture's name after each change
    int screensaverImages = 0;       // flag, --screensaver-images: from xscreensaver-getimage
};

// The pictures the image key cycles through: the two built in, then the show's user pictures.
enum ShownPicture : int { kFishEyePicture = 0, kPortraitPicture = 1, kFirstUserPicture = 2 };

// Starts the show before the first frame: the worker lists and decodes the person's pictures
// (or asks `source`) beside the frames. `options.durationSeconds` must be resolved (0 or more).
// With `waitForDecodes` a frame that wants a picture waits for it (a clock that does not run).
void startPictureShow(const PictureShowOptions& options, unsigned int seed,
                      PictureSource source = {}, bool waitForDecodes = false);

// Ends the worker within a slice of its work; done at exit too.
void stopPictureShow();

enum class PictureChange { none, firstShown, changed };

// Once a frame, on the frame clock (elapsedMs): the timer, the pictures the worker hands over
// (uploaded here, on the frame's thread) and the fade. Says whether a new picture came on.
PictureChange advancePictureShow();

// The image key: fish-eye, portrait, the user pictures in the show's order, and round again.
// A cut; false when the next user picture is still being decoded: it comes on (as a change
// that advancePictureShow reports) once it is.
bool stepPictureByKey();

// The picture a start and a reset show, the show's first user picture shown again: the
// person's first if there are any (or may be, while they are listed), else `otherwise`.
int restartPictureShow(int otherwise);

// How much of the picture's light shows, 0..1: the fade between two pictures goes through
// dark, and a user picture not yet decoded shows none.
float pictureLevel();

// The texture of picture `index` (settings.imageIndex); 0 where there is none yet.
GLuint pictureTexture(int index);

int pictureCount();                  // the built-in two and the user pictures
const char* pictureName(int index);  // "FishEye", "Mona Lisa", then the file's name
