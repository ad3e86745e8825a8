// The command line of varo-capture: what to render, when, and where to write it.
#include "capture_options.h"

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

bool readInt(const char* text, long low, long high, long& value) {
    char* end = nullptr;
    value = std::strtol(text, &end, 10);
    return end != text && *end == '\0' && value >= low && value <= high;
}

bool readSeconds(const char* text, double& value) {
    char* end = nullptr;
    value = std::strtod(text, &end);
    return end != text && *end == '\0' && value >= 0 && value <= kMaxSeconds;
}

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

// Applies one option that takes a value; false if the value is bad.
bool applyOption(const std::string& name, const char* value, CaptureOptions& options) {
    long number = 0;
    if (name == "--size")
        return readSize(value, options);
    if (name == "--time")
        return readSeconds(value, options.from) && readSeconds(value, options.to);
    if (name == "--from")
        return readSeconds(value, options.from);
    if (name == "--to")
        return readSeconds(value, options.to);
    if (name == "--key") {
        options.keys = value;
        return keysAllowed(options.keys);
    }
    if (name == "--data") {
        options.dataFolder = value;
        return *value != '\0';
    }
    if (name == "--out") {
        options.out = value;
        return *value != '\0';
    }
    if (name == "--frames") {
        if (!readInt(value, 1, kMaxFrames, number))
            return false;
        options.frames = static_cast<int>(number);
    } else if (name == "--fps") {
        if (!readInt(value, 1, kMaxStepsPerSecond, number))
            return false;
        options.stepsPerSecond = static_cast<int>(number);
    } else if (name == "--seed") {
        if (!readInt(value, 0, kMaxSeed, number))
            return false;
        options.seed = static_cast<unsigned int>(number);
    }
    return true;
}

bool knownOption(const std::string& name) {
    static const char* const names[] = {"--size", "--time", "--from", "--to",   "--frames",
                                        "--seed", "--fps",  "--key",  "--data", "--out"};
    for (const char* known : names)
        if (name == known)
            return true;
    return false;
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
    for (int i = 1; i < argc; ++i) {
        std::string name = argv[i];
        const char* value = nullptr;
        if (name == "--help" || name == "-h") {
            options.helpAsked = true;
            return true;
        }
        const size_t equals = name.find('=');
        if (equals != std::string::npos) {
            value = argv[i] + equals + 1;
            name.resize(equals);
        }
        if (!knownOption(name)) {
            error = "unknown option " + name;
            return false;
        }
        if (value == nullptr) {
            if (i + 1 >= argc) {
                error = "missing value for " + name;
                return false;
            }
            value = argv[++i];
        }
        if (!applyOption(name, value, options)) {
            error = "bad value for " + name + ": '" + value + "'";
            return false;
        }
    }
    return checkStrip(options, error);
}

const char* captureUsage() {
    return "usage: varo-capture [OPTIONS]\n"
           "Renders Varo's scene with a clock of its own and writes PNG pictures.\n"
           "It needs an X display (use tools/with-xvfb.sh where there is none). It finds\n"
           "the pictures font.bmp, fisheye.bmp and monacolor128.bmp as varo does: in\n"
           "--data DIR, the working directory or the installed data folder.\n"
           "\n"
           "  --size WxH      window size in pixels (default 1024x768)\n"
           "  --time T        capture one frame at T seconds (default 3.5)\n"
           "  --from T0 --to T1 --frames N\n"
           "                  capture N frames evenly spread from T0 to T1 seconds, written\n"
           "                  as numbered files: OUT with -001, -002, ... before .png\n"
           "  --seed S        seed of the random generator at start-up (default 1): the same\n"
           "                  seed and options give the same pictures\n"
           "  --fps F         frames simulated per second of the clock (default 30)\n"
           "  --key KEYS      keyboard commands given at start-up, in order, e.g. '?' for\n"
           "                  the help page or 'll' for letterbox bars (not ESC nor f)\n"
           "  --data DIR      look for the pictures in DIR first\n"
           "  --out PATH      PNG file to write (default varo.png)\n"
           "  --help          this text\n";
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
