// The bench's command line: what to run, at which size and pin count, for how many frames.
#pragma once

#include <string>

namespace bench {

// What a run measures; --mode names them in this order.
enum Mode {
    framesMode,   // steady frames: rate, median and 99th percentile, resident memory
    startupMode,  // each step from main to the second swapped frame
    pacingMode,   // frames after a pin rebuild, a message or the help page, against the median
};

struct Options {
    int mode = framesMode;  // a Mode
    int width = 1024;       // window pixels
    int height = 768;       // window pixels
    int pins = 20;          // tesselation T, 8..40
    int frames = 300;       // measured frames
    int warmup = 30;        // frames drawn before measuring
    int helpPage = 0;       // flag: the help page is shown
    int clockOn = 0;        // flag: the frame-rate line is drawn
    int eventEvery = 25;    // pacing: frames between two key commands
};

// Parses argv; on --help prints the usage and exits 0, on a bad option prints why and exits 2.
Options parseOptions(int argc, char** argv);

const char* modeName(int mode);

}  // namespace bench
