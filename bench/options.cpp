// The bench's command line: what to run, at which size and pin count, for how many frames.
#include "bench/options.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace bench {
namespace {
constexpr int kMinPins = 8, kMaxPins = 40;  // the program's own tesselation range
constexpr int kMaxSide = 8192;              // pixels

const char kUsage[] =
    "Usage: varo-bench [OPTION]...\n"
    "Renders Varo's real frame (renderFrame, then the buffer swap) on the current X display\n"
    "with a clock the bench steps itself, and prints what it measured. Run it in the data\n"
    "folder (it loads the three pictures) on a display with GLX, e.g. tools/with-xvfb.sh.\n"
    "\n"
    "  --mode=MODE      frames  (default) steady frames: rate, median, 99th percentile\n"
    "                   startup each step from main to the first swapped frame\n"
    "                   pacing  frames after a pin rebuild, a message, the help page\n"
    "                   soak    many frames with pin changes, resets and help toggles;\n"
    "                           resident memory along the way\n"
    "  --size=WxH       window size in pixels (default 1024x768)\n"
    "  --pins=T         pin count T, 8..40: the board is 2T x T pins (default 20)\n"
    "  --frames=N       measured frames (default 300; soak: all frames)\n"
    "  --warmup=N       frames drawn before measuring (default 30)\n"
    "  --step-ms=MS     clock step per frame (default 16)\n"
    "  --start-ms=MS    clock of the first frame (default 10000: past the title and the\n"
    "                   fade-in)\n"
    "  --help-page      show the help page, as '?' does\n"
    "  --clock          draw the frame-rate line, as 'c' does\n"
    "  --event-every=N  pacing and soak: frames between two key commands (default 25)\n"
    "  --sample-every=N soak: frames between two memory readings (default: one cycle of\n"
    "                   15 commands, so that every reading sees the same scene)\n"
    "  --launched-at=S  CLOCK_REALTIME seconds at which the process was launched (e.g. bash's\n"
    "                   $EPOCHREALTIME just before exec); startup then reports exec to main\n"
    "  --help           print this and exit\n"
    "\n"
    "Frame time is wall-clock time from the start of a frame (key command included, if any)\n"
    "to the return of glFinish after glutSwapBuffers. Every mode ends with one JSON line.\n";

[[noreturn]] void fail(const char* what, const char* arg) {
    std::fprintf(stderr, "varo-bench: %s: '%s'\nTry 'varo-bench --help'.\n", what, arg);
    std::exit(2);
}

// The text after "--name=", or null if `arg` is not that option.
const char* valueOf(const char* arg, const char* name) {
    size_t n = std::strlen(name);
    if (std::strncmp(arg, name, n) != 0 || arg[n] != '=')
        return nullptr;
    return arg + n + 1;
}

int toInt(const char* text, const char* arg, int low, int high) {
    char* end = nullptr;
    long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || value < low || value > high)
        fail("value out of range or not a whole number", arg);
    return static_cast<int>(value);
}

Mode toMode(const char* text, const char* arg) {
    const Mode modes[] = {Mode::frames, Mode::startup, Mode::pacing, Mode::soak};
    for (Mode mode : modes)
        if (std::strcmp(text, modeName(mode)) == 0)
            return mode;
    fail("unknown mode (frames, startup, pacing or soak)", arg);
}

void toSize(const char* text, const char* arg, Options& options) {
    int width = 0, height = 0;
    char tail = 0;
    if (std::sscanf(text, "%dx%d%c", &width, &height, &tail) != 2 || width < 1 || height < 1 ||
        width > kMaxSide || height > kMaxSide)
        fail("size must be WIDTHxHEIGHT in pixels", arg);
    options.width = width;
    options.height = height;
}

double toSeconds(const char* text, const char* arg) {
    char* end = nullptr;
    double value = std::strtod(text, &end);
    if (end == text || *end != '\0' || !(value > 0))
        fail("launch time must be positive seconds", arg);
    return value;
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
    Options o;
    for (int n = 1; n < argc; ++n) {
        const char* arg = argv[n];
        const char* v = nullptr;
        if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
            std::fputs(kUsage, stdout);
            std::exit(0);
        } else if (std::strcmp(arg, "--help-page") == 0) {
            o.helpPage = 1;
        } else if (std::strcmp(arg, "--clock") == 0) {
            o.clockOn = 1;
        } else if ((v = valueOf(arg, "--mode"))) {
            o.mode = toMode(v, arg);
        } else if ((v = valueOf(arg, "--size"))) {
            toSize(v, arg, o);
        } else if ((v = valueOf(arg, "--pins"))) {
            o.pins = toInt(v, arg, kMinPins, kMaxPins);
        } else if ((v = valueOf(arg, "--frames"))) {
            o.frames = toInt(v, arg, 1, 10000000);
        } else if ((v = valueOf(arg, "--warmup"))) {
            o.warmup = toInt(v, arg, 0, 10000000);
        } else if ((v = valueOf(arg, "--step-ms"))) {
            o.stepMs = toInt(v, arg, 0, 100000);
        } else if ((v = valueOf(arg, "--start-ms"))) {
            o.startMs = toInt(v, arg, 0, 1000000000);
        } else if ((v = valueOf(arg, "--event-every"))) {
            o.eventEvery = toInt(v, arg, 2, 1000000);
        } else if ((v = valueOf(arg, "--sample-every"))) {
            o.sampleEvery = toInt(v, arg, 1, 10000000);
        } else if ((v = valueOf(arg, "--launched-at"))) {
            o.launchedAt = toSeconds(v, arg);
        } else {
            fail("unknown option", arg);
        }
    }
    return o;
}

}  // namespace bench
