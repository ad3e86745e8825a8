// The command line of varo-capture: what to render, when, and where to write it.
#include "capture_options.h"

#include "app/command_line.h"
#include "app/option_table.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {
constexpr int kMinSide = 16, kMaxSide = 8192;  // pixels
constexpr int kMaxFrames = 1000;
constexpr int kMaxStepsPerSecond = 1000;
constexpr double kMaxSeconds = 3600;
constexpr long kMaxSeed = 2147483647;
constexpr char kEscape = 27;

bool readSize(const char* text, CaptureOptions& options) {
    int width = 0, height = 0;
    char tail = 0;
    if (std::sscanf(text, "%dx%d%c", &width, &height, &tail) != 2)
        return false;
    if (width < kMinSide || width > kMaxSide || height < kMinSide || height > kMaxSide)
        return false;
    options.width = width;
    options.height = height;
    return true;
}

// Quitting would end the process mid-capture, and 'f' would change the window being read.
bool keysAllowed(const std::string& keys) {
    for (char key : keys)
        if (key == kEscape || key == 'f' || key == 'F')
            return false;
    return true;
}

Option secondsOption(const char* name, const char* help, std::vector<double*> targets) {
    return {name, "T", help, [targets](const char* v) {
                double seconds = 0;
                if (!readReal(v, 0, kMaxSeconds, seconds))
                    return false;
                for (double* target : targets)
                    *target = seconds;
                return true;
            }};
}

std::vector<Option> captureOptions(CaptureOptions& o) {
    std::vector<Option> options = {
        {"size", "WxH", "window size in pixels (default 1024x768)",
         [&o](const char* v) { return readSize(v, o); }},
        secondsOption("time", "capture one frame at T seconds (default 3.5)", {&o.from, &o.to}),
        secondsOption("from", "the first of --frames N frames evenly spread from T to --to",
                      {&o.from}),
        secondsOption("to",
                      "the last frame of a strip; the files are OUT with -001, -002, ... "
                      "before .png",
                      {&o.to}),
        wholeOption("frames", "N", o.frames, 1, kMaxFrames, "frames in a strip"),
        {"seed", "S",
         "seed of the random generator at start-up (default 1): the same seed and options "
         "give the same pictures",
         [&o](const char* v) {
             long seed = 0;
             return readWhole(v, 0, kMaxSeed, seed) && (o.seed = static_cast<unsigned>(seed), true);
         }},
        wholeOption("fps", "F", o.stepsPerSecond, 1, kMaxStepsPerSecond,
                    "frames simulated per second of the clock"),
        {"key", "KEYS",
         "keyboard commands given at start-up, in order, e.g. '?' for the help page or 'll' "
         "for letterbox bars (not ESC nor f)",
         [&o](const char* v) { return o.keys = v, keysAllowed(o.keys); }},
        textOption("out", "PATH", o.out, "PNG file to write (default varo.png)"),
    };
    for (Option& option : showOptions(o.show, o.dataFolder, o.pictures))
        options.push_back(std::move(option));
    options.push_back(stopOption("help", o.helpAsked, "this text"));
    return options;
}

bool checkStrip(const CaptureOptions& options, std::string& error) {
    if (options.frames > 1 && !(options.from < options.to)) {
        error = "a strip of frames needs --from before --to";
        return false;
    }
    if (options.frames == 1 && options.to != options.from) {
        error = "--from and --to make a strip: give --frames too";
        return false;
    }
    return true;
}
}  // namespace

bool parseCaptureOptions(int argc, char** argv, CaptureOptions& options, std::string& error) {
    return readOptions(captureOptions(options), {}, argc, argv, error) &&
           (options.helpAsked || checkStrip(options, error));
}

std::string captureUsage() {
    CaptureOptions defaults;
    return "usage: varo-capture [OPTIONS]\n"
           "Renders Varo's scene with a clock of its own and writes PNG pictures.\n"
           "It needs an X display (use tools/with-xvfb.sh where there is none). It finds\n"
           "the pictures font.bmp, fisheye.bmp and monacolor128.bmp as varo does: in\n"
           "--data DIR, the working directory or the installed data folder. The show's\n"
           "settings are varo's (see varo --help).\n"
           "\n" +
           describeOptions(captureOptions(defaults));
}

std::vector<std::string> outputPaths(const CaptureOptions& options) {
    if (options.frames == 1)
        return {options.out};
    std::string stem = options.out, extension = ".png";
    const size_t dot = stem.rfind('.');
    if (dot != std::string::npos && stem.find('/', dot) == std::string::npos) {
        extension = stem.substr(dot);
        stem.resize(dot);
    }
    std::vector<std::string> paths;
    for (int k = 1; k <= options.frames; ++k) {
        char number[16];
        std::snprintf(number, sizeof number, "-%03d", k);
        paths.push_back(stem + number + extension);
    }
    return paths;
}

std::vector<int> captureTimesMs(const CaptureOptions& options) {
    std::vector<int> times;
    for (int k = 0; k < options.frames; ++k) {
        const double share = options.frames == 1 ? 0.0 : double(k) / (options.frames - 1);
        const double seconds = options.from + (options.to - options.from) * share;
        times.push_back(static_cast<int>(std::lround(seconds * 1000.0)));
    }
    return times;
}
