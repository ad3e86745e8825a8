// The program's own command line: what people choose at start, and --help and --version.
#include "app/command_line.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "state/simulation_settings.h"

#ifndef VARO_VERSION
#define VARO_VERSION "unknown"
#endif

namespace {
constexpr long kMaxSeed = INT_MAX;      // the seed stands in for the toolkit's int clock
constexpr long kMaxDelayUs = 10000000;  // ten seconds between frames at the most
constexpr unsigned long kMaxWindowId = 0xFFFFFFFF;  // X ids are 32-bit
constexpr double kMaxCameraZ = 100;                 // eye distance either way; its keys step 0.05

const std::vector<PassedOnOption> kToolkitOptions = {
    {"-display", true}, {"-geometry", true}, {"-direct", false}, {"-indirect", false},
    {"-iconic", false}, {"-gldebug", false}, {"-sync", false},
};

std::vector<Option> programOptions(StartOptions& o) {
    return {
        flagOption("window", o.windowed, 1, "start in a 512 x 512 window instead of full screen"),
        flagOption("root", o.root, 1,
                   "draw in the window that XSCREENSAVER_WINDOW names, or else in the "
                   "root window: the screensaver's way to start it"),
        {"window-id", "ID", "draw in the X window ID (decimal, or hexadecimal after 0x)",
         [&o](const char* v) { return o.windowIdGiven = 1, readWindowId(v, o.windowId); }},
        {"delay", "USEC",
         "a frame starts at most every USEC microseconds, 0 to 10000000 (default 0 in "
         "the program's own window, 20000 in a window it is given)",
         [&o](const char* v) { return readWhole(v, 0, kMaxDelayUs, o.delayUs); }},
        {"seed", "N",
         "seed the random generator with N (0 to 2147483647) in place of the clock: "
         "the show starts the same way each time, then parts as real frame times and "
         "the clock's reseeds come in",
         [&o](const char* v) {
             long number = 0;
             o.seedGiven = 1;
             return readWhole(v, 0, kMaxSeed, number) &&
                    (o.seed = static_cast<unsigned>(number), true);
         }},
        flagOption("fps", o.show.clockOn, 1, "show the frames-per-second line from the start"),
        flagOption(
            "screensaver-images", o.pictures.screensaverImages, 1,
            "pictures chosen by your XScreenSaver image settings, through xscreensaver-getimage"),
    };
}

std::vector<Option> varoOptions(StartOptions& o) {
    std::vector<Option> options = programOptions(o);
    for (Option& option : showOptions(o.show, o.dataFolder, o.pictures))
        options.push_back(std::move(option));
    options.push_back(stopOption("help", o.helpAsked, "show this help and exit"));
    options.push_back(stopOption("version", o.versionAsked, "show the version and exit"));
    return options;
}
}  // namespace

bool readWindowId(const char* text, unsigned long& id) {
    char* end = nullptr;
    errno = 0;
    id = std::strtoul(text, &end, 0);  // decimal, or hexadecimal after 0x
    return text[0] >= '0' && text[0] <= '9' && *end == '\0' && errno == 0 && id != 0 &&
           id <= kMaxWindowId;
}

std::vector<Option> showOptions(StartSettings& s, std::string& dataFolder,
                                PictureShowOptions& pictures) {
    return {
        wholeOption("pins", "T", s.tesselation, kMinTesselation, kMaxTesselation,
                    "pins per column: the board is 2T x T pins"),
        choiceOption("image", s.imageIndex, {"fisheye", "portrait"}, "the picture on the pins"),
        choiceOption("texture-gen", s.texGenMode, {"sphere", "object", "eye"},
                     "texture-coordinate generation"),
        choiceOption("poly-mode", s.polyMode, {"polygons", "lines", "points"},
                     "how the board is drawn"),
        flagOption("no-textures", s.texturesOn, 0, "the pins without their picture"),
        flagOption("no-stars", s.universeOn, 0, "no stars (the universe off)"),
        flagOption("hyperspace", s.blanking, 0,
                   "frames are not cleared, so everything leaves trails"),
        flagOption("spotlight", s.spotlightOn, 1,
                   "the spotlight on (it does not change the picture)"),
        wholeOption("letterbox", "LEVEL", s.letterbox, 0, kMaxLetterbox, "letterbox bars"),
        wholeOption("field-of-view", "DEGREES", s.fieldOfView, kMinFieldOfView, kMaxFieldOfView,
                    "the field of view (screen magnification)"),
        realOption("rotate-speed", "F", s.rotateSpeed, kLowestFactor, kHighestFactor,
                   "turning speed of the stars and of the automatic camera"),
        realOption("movement-speed", "F", s.movementSpeed, kLowestFactor, kHighestFactor,
                   "movement speed of the automatic camera"),
        realOption("main-speed", "F", s.mainSpeed, kLowestFactor, kHighestFactor,
                   "main speed: the pin waves and the title's shake"),
        realOption("camera-z", "Z", s.cameraZ, -kMaxCameraZ, kMaxCameraZ,
                   "closeness: the eye's distance from the board"),
        textOption("data", "DIR", dataFolder,
                   "look for the pictures in DIR first (or set VARO_DATA_DIR)"),
        {"picture", "PATH",
         "a PNG or JPEG picture of your own, or a folder of them, shown after the two "
         "built-in pictures and first at start; may be given again",
         [&pictures](const char* v) { return pictures.paths.emplace_back(v), *v != '\0'; }},
        wholeOption("duration", "SECONDS", pictures.durationSeconds, 0, 86400,
                    "a new picture every SECONDS, 0 never"),
        realOption("fade", "SECONDS", pictures.fadeSeconds, 0, 10,
                   "a change of picture fades through dark for SECONDS"),
        flagOption("shuffle", pictures.shuffle, 1, "the pictures in random order"),
        flagOption("titles", pictures.titles, 1, "the picture's name after each change"),
    };
}

CommandLineRequest readCommandLine(int& argc, char** argv, StartOptions& options,
                                   std::string& error) {
    if (!readOptions(varoOptions(options), kToolkitOptions, argc, argv, error))
        return CommandLineRequest::bad;
    if (options.helpAsked)
        return CommandLineRequest::showHelp;
    if (options.versionAsked)
        return CommandLineRequest::showVersion;
    return CommandLineRequest::run;
}

std::string usageText() {
    StartOptions defaults;
    return "Usage: varo [OPTION]... [TOOLKIT OPTION]...\n"
           "A pin-art board waving in front of a tumbling star field (OpenGL).\n"
           "\n" +
           describeOptions(varoOptions(defaults)) +
           "\n"
           "Options are also taken with one dash (-root, -window-id ID) and as --name=VALUE.\n"
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
           "chosen here and starts new random motion. See varo(6).\n";
}

const char* versionText() {
    return "varo " VARO_VERSION "\n";
}
