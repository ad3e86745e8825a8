// The bench's command line: what to run, at which size and pin count, for how many frames.
#include "bench/options.h"

#include <string>
#include <vector>

#include "app/option_table.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

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

bool readSize(const char* text, Options& options) {
    int width = 0, height = 0;
    char tail = 0;
    if (std::sscanf(text, "%dx%d%c", &width, &height, &tail) != 2 || width < 1 || height < 1 ||
        width > kMaxSide || height > kMaxSide)
        return false;
    options.width = width;
    options.height = height;
    return true;
}

bool readMode(const char* text, Mode& mode) {
    for (Mode known : {Mode::frames, Mode::startup, Mode::pacing, Mode::soak})
        if (std::strcmp(text, modeName(known)) == 0)
            return mode = known, true;
    return false;
}

std::vector<Option> benchOptions(Options& o, int& helpAsked) {
    constexpr int kMany = 10000000;
    return {
        {"mode", "MODE",
         "frames (default): steady frames: rate, median, 99th percentile; startup: each step "
         "from main to the first swapped frame; pacing: frames after a pin rebuild, a "
         "message, the help page; soak: many frames with pin changes, resets and help "
         "toggles, and resident memory along the way",
         [&o](const char* v) { return readMode(v, o.mode); }},
        {"size", "WxH", "window size in pixels (default 1024x768)",
         [&o](const char* v) { return readSize(v, o); }},
        wholeOption("pins", "T", o.pins, kMinPins, kMaxPins,
                    "pin count T: the board is 2T x T pins"),
        wholeOption("frames", "N", o.frames, 1, kMany, "measured frames (soak: all frames)"),
        wholeOption("warmup", "N", o.warmup, 0, kMany, "frames drawn before measuring"),
        wholeOption("step-ms", "MS", o.stepMs, 0, 100000, "clock step per frame"),
        wholeOption("start-ms", "MS", o.startMs, 0, 1000000000,
                    "clock of the first frame, past the title and the fade-in"),
        flagOption("help-page", o.helpPage, 1, "show the help page, as '?' does"),
        flagOption("clock", o.clockOn, 1, "draw the frame-rate line, as 'c' does"),
        wholeOption("event-every", "N", o.eventEvery, 2, 1000000,
                    "pacing and soak: frames between two key commands"),
        {"sample-every", "N",
         "soak: frames between two memory readings (default: one cycle of 15 commands, so "
         "that every reading sees the same scene)",
         [&o](const char* v) {
             long n = 0;
             return readWhole(v, 1, kMany, n) && (o.sampleEvery = static_cast<int>(n), true);
         }},
        {"launched-at", "S",
         "CLOCK_REALTIME seconds at which the process was launched (e.g. bash's "
         "$EPOCHREALTIME just before exec); startup then reports exec to main",
         [&o](const char* v) { return readReal(v, 1e-9, 1e12, o.launchedAt); }},
        stopOption("help", helpAsked, "print this and exit"),
    };
}
}  // namespace

const char* modeName(Mode mode) {
    switch (mode) {
        case Mode::frames: return "frames";
        case Mode::startup: return "startup";
        case Mode::pacing: return "pacing";
        case Mode::soak: return "soak";
    }
    return "?";
}

Options parseOptions(int argc, char** argv) {
    Options options;
    int helpAsked = 0;
    std::string error;
    if (!readOptions(benchOptions(options, helpAsked), {}, argc, argv, error)) {
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
