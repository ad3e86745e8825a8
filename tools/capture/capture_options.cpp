// The command line of varo-capture: what to render, when, and where to write it.
#include "capture_options.h"

#include <cstring>

#include "app/command_line.h"

namespace {
constexpr int kMinSide = 16, kMaxSide = 8192;  // pixels
constexpr int kMaxFrames = 1000;
constexpr int kMaxStepsPerSecond = 1000;
constexpr double kMaxSeconds = 3600;
// Quitting would end the process mid-capture, and 'f' would change the window being read.
constexpr char kKeysRefused[] = {27, 'f', 'F', '\0'};

bool checkStrip(const CaptureOptions& options, std::string& error) {
    if (options.frames > 1 && !(options.from < options.to))
        error = "a strip of frames needs --from before --to";
    if (options.frames == 1 && options.to >= 0 && options.to != options.from)
        error = "--from and --to make a strip: give --frames too";
    return error.empty();
}

std::vector<Option> captureOptions(CaptureOptions& o) {
    std::vector<Option> options = {
        sizeOption("size", o.width, o.height, kMinSide, kMaxSide,
                   "window size in pixels, each side"),
        numberOption("time", "T", o.from, 0, kMaxSeconds, "capture one frame at T seconds"),
        numberOption("from", "T", o.from, 0, kMaxSeconds,
                     "the first of --frames N frames evenly spread from T to --to"),
        numberOption("to", "T", o.to, 0, kMaxSeconds,
                     "the last frame of a strip, whose files get -001, -002, ... before .png",
                     "the time of --from"),
        numberOption("frames", "N", o.frames, 1, kMaxFrames, "frames in a strip"),
        numberOption("seed", "S", o.seed, 0, kMaxSeed,
                     "seed of the random generator at start-up: the same seed and options give "
                     "the same pictures"),
        numberOption("fps", "F", o.stepsPerSecond, 1, kMaxStepsPerSecond,
                     "frames simulated per second of the clock"),
        {"key", "KEYS",
         "keyboard commands given at start-up, in order, e.g. '?' for the help page or 'll' "
         "for letterbox bars (not ESC nor f)",
         [&o](const char* v) { return o.keys = v, !std::strpbrk(v, kKeysRefused); }},
        textOption("out", "PATH", o.out, "PNG file to write (default varo.png)"),
    };
    addShowOptions(options, o.show, o.dataFolder, o.pictures);
    options.push_back(stopOption("help", o.helpAsked, "this text"));
    return options;
}
}  // namespace

bool parseCaptureOptions(int argc, char** argv, CaptureOptions& options, std::string& error) {
    return readOptions(captureOptions(options), argc, argv, error) &&
           (options.helpAsked || checkStrip(options, error));
}

std::string captureUsage() {
    CaptureOptions defaults;
    return "usage: varo-capture [OPTIONS]\n"
           "Renders Varo's scene with a clock of its own and writes PNG pictures, on an X\n"
           "display (tools/with-xvfb.sh makes one). The show's settings are varo's.\n"
           "\n" +
           describeOptions(captureOptions(defaults));
}
