// The program's own command line: what people choose at start, and --help and --version.
#pragma once

#include <string>
#include <vector>

#include "app/option_table.h"
#include "app/reset.h"
#include "images/picture_show.h"

struct StartOptions {
    StartSettings show;          // the settings the start and every reset load
    int windowed = 0;            // flag: start in the 512 x 512 window
    int seedGiven = 0;           // flag: `seed` replaces the clock reading at start
    unsigned int seed = 0;       // 0..2147483647
    std::string dataFolder;      // first folder searched for the pictures; empty: none
    int root = 0;                // flag: draw in XSCREENSAVER_WINDOW, else the root window
    int windowIdGiven = 0;       // flag: draw in the X window `windowId`
    unsigned long windowId = 0;  // an X window id, from --window-id
    long delayUs = -1;           // microseconds: a frame starts at most this often; -1: not given
    int helpAsked = 0;
    int versionAsked = 0;
    PictureShowOptions pictures;  // the person's own pictures and how the show changes them
};

enum class CommandLineRequest { run, showHelp, showVersion, bad };

// The options of the show itself, which the program and the capture tool share: the pictures,
// the drawing and the speeds, each with the range its keys keep, where the pictures are, and
// the person's own.
std::vector<Option> showOptions(StartSettings& show, std::string& dataFolder,
                                PictureShowOptions& pictures);

// An X window id as --window-id and XSCREENSAVER_WINDOW give it: decimal, or hexadecimal after
// 0x; never 0, never signed.
bool readWindowId(const char* text, unsigned long& id);

// Takes the program's options out of argv (adjusting argc) and leaves the toolkit's own
// (-display NAME, -geometry WxH+X+Y, -direct, -indirect, -iconic, -gldebug, -sync) for
// glutInit. A bad option or value gives `bad` and a one-line reason in `error`.
CommandLineRequest readCommandLine(int& argc, char** argv, StartOptions& options,
                                   std::string& error);

// The text of --help and of --version.
std::string usageText();
const char* versionText();
