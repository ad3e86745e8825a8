// The bench's command line: what to run, at which size and pin count, for how many frames.
#pragma once

#include <string>

namespace bench {

enum class Mode {
    frames,   // steady frames: rate, median and 99th percentile, peak memory
    startup,  // each step from main to the first swapped frame
    pacing,   // frames after a pin rebuild, a message or the help page, against the median
    soak,     // many frames with pin changes, resets and help toggles: memory over time
};

struct Options {
    Mode mode = Mode::frames;
    int width = 1024;     // window pixels
    int height = 768;     // window pixels
    int pins = 20;        // tesselation T, 8..40
    int frames = 300;     // measured frames (soak: all frames)
    int warmup = 30;      // frames drawn before measuring
    int stepMs = 16;      // the bench's clock advances this much per frame
    int startMs = 10000;  // clock of the first frame: past the title and the fade-in
    int helpPage = 0;     // flag: the help page is shown
    int clockOn = 0;      // flag: the frame-rate line is drawn
    int eventEvery = 25;  // pacing and soak: frames between two key commands
    int sampleEvery = 0;  // soak: frames between two memory readings; 0: each command cycle
    double launchedAt =
        0;  // seconds (CLOCK_REALTIME) at which the process was launched; 0: unknown
};

// Parses argv; on --help prints the usage and exits 0, on a bad option prints why and exits 2.
Options parseOptions(int argc, char** argv);

const char* modeName(Mode mode);

}  // namespace bench
