// The program's own command line: what people choose at start, and --help and --version.
#include "app/command_line.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#ifndef VARO_VERSION
#define VARO_VERSION "unknown"
#endif

namespace {
constexpr long kMinPins = 8, kMaxPins = 40;
constexpr long kMaxSeed = INT_MAX;  // the seed stands in for the toolkit's int clock

// A command-line option by name, and whether it takes a value.
struct Option {
    const char* name;
    bool takesValue;
};
// Ours, and the toolkit's that glutInit reads.
constexpr Option kOurOptions[] = {
    {"--pins", true}, {"--seed", true}, {"--data", true}, {"--window", false}, {"--fps", false},
    {"--root", false}, {"--window-id", true}, {"--delay", true},
};
constexpr Option kToolkitOptions[] = {
    {"-display", true}, {"-geometry", true}, {"-direct", false}, {"-indirect", false},
    {"-iconic", false}, {"-gldebug", false}, {"-sync", false},
};

template <size_t N>
const Option* findOption(const Option (&options)[N], const char* name) {
    for (const Option& option : options)
        if (std::strcmp(name, option.name) == 0)
            return &option;
    return nullptr;
}

bool readNumber(const char* text, long low, long high, long& value) {
    char* end = nullptr;
    value = std::strtol(text, &end, 10);
    return end != text && *end == '\0' && value >= low && value <= high;
}

// One of our options; `value` is its value when it takes one. False if the value is bad.
bool applyOption(const char* name, const char* value, StartOptions& options) {
    long number = 0;
    if (std::strcmp(name, "--pins") == 0) {
        if (!readNumber(value, kMinPins, kMaxPins, number))
            return false;
        options.pins = static_cast<int>(number);
    } else if (std::strcmp(name, "--seed") == 0) {
        if (!readNumber(value, 0, kMaxSeed, number))
            return false;
        options.seed = static_cast<unsigned int>(number);
        options.seedGiven = 1;
    } else if (std::strcmp(name, "--data") == 0) {
        if (*value == '\0')
            return false;
        options.dataFolder = value;
    } else if (std::strcmp(name, "--window-id") == 0) {
        char* end = nullptr;
        options.windowId = std::strtoul(value, &end, 0);
        options.windowIdGiven = 1;
        return end != value && *end == '\0' && options.windowId != 0;
    } else if (std::strcmp(name, "--delay") == 0) {
        if (!readNumber(value, 0, 10000000, number))
            return false;
        options.delayUs = number;
    } else if (std::strcmp(name, "--root") == 0) {
        options.root = 1;
    } else if (std::strcmp(name, "--window") == 0) {
        options.windowed = 1;
    } else {
        options.frameRateShown = 1;  // --fps
    }
    return true;
}

}  // namespace

CommandLineRequest readCommandLine(int& argc, char** argv, StartOptions& options,
                                   char (&error)[kCommandLineErrorCapacity]) {
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        const char* argument = argv[i];
        if (std::strcmp(argument, "--help") == 0)
            return CommandLineRequest::showHelp;
        if (std::strcmp(argument, "--version") == 0)
            return CommandLineRequest::showVersion;
        if (const Option* toolkit = findOption(kToolkitOptions, argument)) {
            if (toolkit->takesValue && i + 1 >= argc) {
                std::snprintf(error, sizeof error, "%s needs a value", argument);
                return CommandLineRequest::bad;
            }
            argv[kept++] = argv[i];
            if (toolkit->takesValue)
                argv[kept++] = argv[++i];
            continue;
        }
        char name[32] = {};
        const char* equals = std::strchr(argument, '=');
        const size_t nameLength =
            equals ? static_cast<size_t>(equals - argument) : std::strlen(argument);
        if (nameLength < sizeof name)
            std::memcpy(name, argument, nameLength);
        const Option* ours = findOption(kOurOptions, name);
        if (ours == nullptr || (equals && !ours->takesValue)) {
            std::snprintf(error, sizeof error, "unknown option '%s'", argument);
            return CommandLineRequest::bad;
        }
        const char* value = equals ? equals + 1 : nullptr;
        if (ours->takesValue && value == nullptr) {
            if (i + 1 >= argc) {
                std::snprintf(error, sizeof error, "%s needs a value", name);
                return CommandLineRequest::bad;
            }
            value = argv[++i];
        }
        if (!applyOption(name, value, options)) {
            std::snprintf(error, sizeof error, "bad value for %s: '%s'", name, value);
            return CommandLineRequest::bad;
        }
    }
    argc = kept;
    argv[kept] = nullptr;
    return CommandLineRequest::run;
}

const char* usageText() {
    return "Usage: varo [OPTION]... [TOOLKIT OPTION]...\n"
           "A pin-art board waving in front of a tumbling star field (OpenGL).\n"
           "\n"
           "  --window      start in a 512 x 512 window instead of full screen\n"
           "  --pins T      pins per column, 8 to 40 (default 20; the board is 2T x T pins)\n"
           "  --seed N      the same show every time: N (0 to 2147483647) seeds the random\n"
           "                generator in place of the clock\n"
           "  --fps         show the frames-per-second line from the start\n"
           "  --data DIR    look for the pictures in DIR first (or set VARO_DATA_DIR)\n"
           "  --help        show this help and exit\n"
           "  --version     show the version and exit\n"
           "\n"
           "The toolkit's own options (-display NAME, -geometry WxH+X+Y, -sync, ...) are\n"
           "passed on to it.\n"
           "\n"
           "The pictures font.bmp, fisheye.bmp and monacolor128.bmp are looked for, each in\n"
           "the first of these folders that holds it: --data DIR (or VARO_DATA_DIR), the\n"
           "working directory, the installed data folder beside the program\n"
           "(<bin>/../share/varo), and the source tree's data/ for a program run from its\n"
           "build tree. A picture found nowhere is drawn without, and a line says so.\n"
           "\n"
           "Press ? in the program for the keys. The reset key (r) returns to the settings\n"
           "chosen here (--pins, --fps) and starts new random motion. See varo(6).\n";
}

const char* versionText() {
    return "varo " VARO_VERSION "\n";
}
