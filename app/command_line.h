// The program's own command line: what people choose at start, and --help and --version.
#pragma once

#include <string>
#include <vector>

#include "app/option_table.h"
#include "app/reset.h"
#include "images/picture_show.h"

constexpr int kMaxSeed = 2147483647;  // a seed stands in for a clock reading, an int

struct StartOptions {
    StartSettings show;           // the settings the start and every reset load
    PictureShowOptions pictures;  // the person's pictures and how they take turns
    int windowed = 0;             // flag: start in the 512 x 512 window
    int seed = -1;                // 0..kMaxSeed, in place of the clock at start; -1: the clock
    std::string dataFolder;       // first folder searched for the pictures; empty: none
    int root = 0;                 // flag: draw in XSCREENSAVER_WINDOW, else the root window
    unsigned long windowId = 0;   // --window-id: the X window to draw in; 0: none given
    std::string displayName;      // -display NAME, also the toolkit's; empty: $DISPLAY
    long delayUs = -1;  // microseconds: a frame starts at most this often; -1: the host's default
    int helpAsked = 0, versionAsked = 0;  // flags: --help, --version
};

// Adds the show's own options, which the capture tool shares: the drawing and the speeds (each
// in the range its keys keep), where the pictures are, the person's own and how they take turns.
void addShowOptions(std::vector<Option>& options, StartSettings& show, std::string& dataFolder,
                    PictureShowOptions& pictures);

// An X window id as --window-id and XSCREENSAVER_WINDOW give it: decimal, or hexadecimal after
// 0x or 0X (never octal); never 0, never signed, at most 32 bits.
bool readWindowId(const char* text, unsigned long& id);

// Takes the program's options out of argv (adjusting argc), leaving the toolkit's own for
// glutInit; false, with a one-line reason in `error`, for a bad option or value.
bool readCommandLine(int& argc, char** argv, StartOptions& options, std::string& error);

// The text of --help and of --version.
std::string usageText();
const char* versionText();
