// The bench's command line: what to run, at which size and pin count, for how many frames.
#include "bench/options.h"

#include <string>
#include <vector>

#include "app/option_table.h"

#include <cstdio>
#include <cstdlib>

namespace bench {
namespace {
constexpr int kMinPins = 8, kMaxPins = 40;  // the program's own tesselation range
constexpr int kMaxSide = 8192;              // pixels

const char kUsageHead[] =
    "Usage: varo-bench [OPTION]...\n"
    "Renders Varo's real frame (renderFrame, then the buffer swap) on the current X display\n"
    "with a clock the bench steps itself, and prints what it measured. Run it in the data\n"
    "folder (it loads the three pictures) on a display with GLX, e.g. tools/with-xvfb.sh.\n"
    "\n";
const char kUsageTail[] =
    "\n"
    "Frame time is wall-clock time from the start of a frame (key command included, if any)\n"
    "to the return of glFinish after glutSwapBuffers. Every mode ends with one JSON line.\n";

const std::vector<const char*> kModeNames = {"frames", "startup", "pacing", "soak"};  // by Mode

std::vector<Option> benchOptions(Options& o, int& helpAsked) {
    constexpr int kMany = 10000000;
    return {
        choiceOption("mode", o.mode, kModeNames,
                     "frames: steady frames: rate, median, 99th percentile; startup: each step "
                     "from main to the first swapped frame; pacing: frames after a pin rebuild, "
                     "a message, the help page; soak: many frames with pin changes, resets and "
                     "help toggles, and resident memory along the way"),
        sizeOption("size", o.width, o.height, 1, kMaxSide, "window size in pixels, each side"),
        numberOption("pins", "T", o.pins, kMinPins, kMaxPins,
                     "pin count T: the board is 2T x T pins"),
        numberOption("frames", "N", o.frames, 1, kMany, "measured frames (soak: all frames)"),
        numberOption("warmup", "N", o.warmup, 0, kMany, "frames drawn before measuring"),
        numberOption("step-ms", "MS", o.stepMs, 0, 100000, "clock step per frame"),
        numberOption("start-ms", "MS", o.startMs, 0, 1000000000,
                     "clock of the first frame, past the title and the fade-in"),
        flagOption("help-page", o.helpPage, 1, "show the help page, as '?' does"),
        flagOption("clock", o.clockOn, 1, "draw the frame-rate line, as 'c' does"),
        numberOption("event-every", "N", o.eventEvery, 2, 1000000,
                     "pacing and soak: frames between two key commands"),
        numberOption("sample-every", "N", o.sampleEvery, 1, kMany,
                     "soak: frames between two memory readings",
                     "one cycle of 15 commands, so that every reading sees the same scene"),
        numberOption("launched-at", "S", o.launchedAt, 1e-9, 1e12,
                     "CLOCK_REALTIME seconds at which the process was launched (e.g. bash's "
                     "$EPOCHREALTIME just before exec); startup then reports exec to main",
                     "unknown"),
        stopOption("help", helpAsked, "print this and exit"),
    };
}
}  // namespace

const char* modeName(Mode mode) {
    return kModeNames.at(static_cast<std::size_t>(mode));
}

Options parseOptions(int argc, char** argv) {
    Options options;
    int helpAsked = 0;
    std::string error;
    if (!readOptions(benchOptions(options, helpAsked), argc, argv, error)) {
        std::fprintf(stderr, "varo-bench: %s (see varo-bench --help)\n", error.c_str());
        std::exit(2);
    }
    if (helpAsked) {
        Options defaults;
        int unused = 0;
        std::fputs(
            (kUsageHead + describeOptions(benchOptions(defaults, unused)) + kUsageTail).c_str(),
            stdout);
        std::exit(0);
    }
    return options;
}

}  // namespace bench
