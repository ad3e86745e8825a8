// The program's own command line: what people choose at start, and --help and --version.
#pragma once

#include <cstddef>

struct StartOptions {
    int windowed = 0;                  // flag: start in the 512 x 512 window
    int pins = 0;                      // pin count T (8..40); 0: the default
    int seedGiven = 0;                 // flag: `seed` replaces the clock reading at start
    unsigned int seed = 0;             // 0..2147483647
    int frameRateShown = 0;            // flag: the frames-per-second line is on
    const char* dataFolder = nullptr;  // first folder searched for the pictures
    int root = 0;                      // flag: draw in XSCREENSAVER_WINDOW, else the root window
    int windowIdGiven = 0;             // flag: draw in the X window `windowId`
    unsigned long windowId = 0;        // an X window id, from --window-id
    long delayUs = 0;                  // microseconds: a frame starts at most this often; 0: no cap
};

enum class CommandLineRequest { run, showHelp, showVersion, bad };

constexpr std::size_t kCommandLineErrorCapacity = 160;

// Takes the program's options out of argv (adjusting argc) and leaves the toolkit's own
// (-display NAME, -geometry WxH+X+Y, -direct, -indirect, -iconic, -gldebug, -sync) for
// glutInit. A bad option or value gives `bad` and a one-line reason in `error`.
CommandLineRequest readCommandLine(int& argc, char** argv, StartOptions& options,
                                   char (&error)[kCommandLineErrorCapacity]);

// The text of --help and of --version.
const char* usageText();
const char* versionText();
