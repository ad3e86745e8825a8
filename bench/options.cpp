// The bench's command line: what to run, at which size and pin count, for how many frames.
#include "bench/options.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/option_table.h"

namespace bench {
namespace {
constexpr int kMinPins = 8, kMaxPins = 40;  // the program's own tesselation range
constexpr int kMaxSide = 8192;              // pixels
const std::vector<const char*> kModeNames = {"frames", "startup", "pacing"};  // by Mode

const char kUsageHead[] =
    "Usage: varo-bench [OPTION]...\n"
    "Draws Varo's real frames on a clock it steps itself, on an X display with GLX, in the\n"
    "data folder, and prints what it measured as one JSON line (see docs/PERFORMANCE.md).\n\n";

std::vector<Option> benchOptions(Options& o, int& helpAsked) {
    constexpr int kMany = 10000000;
    return {
        choiceOption("mode", o.mode, kModeNames,
                     "frames: steady frames: rate, median, 99th percentile, memory; startup: "
                     "each step from main to the second swapped frame; pacing: frames after a "
                     "pin rebuild, a message, the help page"),
        sizeOption("size", o.width, o.height, 1, kMaxSide, "window size in pixels, each side"),
        numberOption("pins", "T", o.pins, kMinPins, kMaxPins,
                     "pin count T: the board is 2T x T pins"),
        numberOption("frames", "N", o.frames, 1, kMany, "measured frames"),
        numberOption("warmup", "N", o.warmup, 0, kMany, "frames drawn before measuring"),
        flagOption("help-page", o.helpPage, 1, "show the help page, as '?' does"),
        flagOption("clock", o.clockOn, 1, "draw the frame-rate line, as 'c' does"),
        numberOption("event-every", "N", o.eventEvery, 2, 1000000,
                     "pacing: frames between two key commands"),
        stopOption("help", helpAsked, "print this and exit"),
    };
}
}  // namespace

const char* modeName(int mode) {
    return kModeNames[static_cast<std::size_t>(mode)];
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
        std::fputs((kUsageHead + describeOptions(benchOptions(defaults, unused))).c_str(), stdout);
        std::exit(0);
    }
    return options;
}

}  // namespace bench
