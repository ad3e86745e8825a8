// The program's own command line: what people choose at start, and --help and --version.
#include "app/command_line.h"

#include <charconv>
#include <cstring>

#include "app/frame_pacer.h"
#include "app/scene.h"
#include "state/simulation_settings.h"

#ifndef VARO_VERSION
#define VARO_VERSION "unknown"
#endif

namespace {
constexpr long kMaxDelayUs = 10000000;              // ten seconds between frames at the most
constexpr unsigned long kMaxWindowId = 0xFFFFFFFF;  // X ids are 32-bit
constexpr double kMaxCameraZ = 100;                 // eye distance either way; its keys step 0.05
constexpr int kMaxPictureSeconds = 86400;           // a day
constexpr double kMaxFadeSeconds = 10;

// Every option of the program, the toolkit's among them.
std::vector<Option> programOptions(StartOptions& o) {
    std::vector<Option> options = {
        flagOption("window", o.windowed, 1, "start in a 512 x 512 window instead of full screen"),
        flagOption("root", o.root, 1,
                   "draw in the window XSCREENSAVER_WINDOW names, or else the root window"),
        {"window-id", "ID", "draw in the X window ID: decimal (010 is 10), or hexadecimal after 0x",
         [&o](const char* v) { return readWindowId(v, o.windowId); }},
        numberOption("delay", "USEC", o.delayUs, 0, kMaxDelayUs,
                     "a frame starts at most every USEC microseconds",
                     std::to_string(kOwnWindowDelayUs) + " in its own window, " +
                         std::to_string(kGivenWindowDelayUs) + " in a window it is given"),
        numberOption("seed", "N", o.seed, 0, kMaxSeed,
                     "seed the random generator with N, not the clock: each start is the same, "
                     "then parts as real frame times and the clock's reseeds come in",
                     "from the clock"),
        flagOption("fps", o.show.clockOn, 1, "show the frames-per-second line from the start"),
    };
    addShowOptions(options, o.show, o.dataFolder, o.pictures);
    options.insert(
        options.end(),
        {flagOption("titles", o.pictures.titles, 1,
                    "in a given window, each picture's name for three seconds when it comes"),
         flagOption("screensaver-images", o.pictures.screensaverImages, 1,
                    "the pictures from xscreensaver-getimage, as the saver's settings choose"),
         stopOption("help", o.helpAsked, "show this help and exit"),
         stopOption("version", o.versionAsked, "show the version and exit"),
         toolkitOption("-display", "NAME", &o.displayName), toolkitOption("-geometry", "WxH+X+Y")});
    for (const char* flag : {"-direct", "-indirect", "-iconic", "-gldebug", "-sync"})
        options.push_back(toolkitOption(flag, nullptr));
    return options;
}
}  // namespace

void addShowOptions(std::vector<Option>& options, StartSettings& s, std::string& dataFolder,
                    PictureShowOptions& p) {
    options.insert(
        options.end(),
        {
            numberOption("pins", "T", s.tesselation, kMinTesselation, kMaxTesselation,
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
            numberOption("letterbox", "LEVEL", s.letterbox, 0, kMaxLetterbox, "letterbox bars"),
            numberOption("field-of-view", "DEGREES", s.fieldOfView, kMinFieldOfView,
                         kMaxFieldOfView, "the field of view, or screen magnification"),
            numberOption("rotate-speed", "F", s.rotateSpeed, kLowestFactor, kHighestFactor,
                         "turning speed of the stars and of the automatic camera"),
            numberOption("movement-speed", "F", s.movementSpeed, kLowestFactor, kHighestFactor,
                         "movement speed of the automatic camera"),
            numberOption("main-speed", "F", s.mainSpeed, kLowestFactor, kHighestFactor,
                         "main speed: the pin waves and the title's shake"),
            numberOption("camera-z", "Z", s.cameraZ, -kMaxCameraZ, kMaxCameraZ,
                         "closeness: the eye's distance from the board"),
            textOption("data", "DIR", dataFolder,
                       "look for the pictures in DIR first (or set VARO_DATA_DIR)"),
            {"picture", "PATH",
             "a PNG or JPEG picture of your own, or a folder of them, shown after the two built-in "
             "pictures and first at start; may be given again",
             [&p](const char* v) { return p.paths.emplace_back(v), *v != '\0'; }},
            numberOption("duration", "SECONDS", p.durationSeconds, 0, kMaxPictureSeconds,
                         "seconds each picture shows before the next comes, 0 for ever",
                         std::to_string(kOwnWindowPictureSeconds) + " in its own window, " +
                             std::to_string(kGivenWindowPictureSeconds) +
                             " in a window it is given"),
            numberOption("fade", "SECONDS", p.fadeSeconds, 0, kMaxFadeSeconds,
                         "seconds of the fade from one picture to the next, 0 for a cut"),
            flagOption("shuffle", p.shuffle, 1,
                       "show the pictures in random order, each once before any comes again"),
        });
}

bool readWindowId(const char* text, unsigned long& id) {
    const bool hexadecimal = text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const char* digits = hexadecimal ? text + 2 : text;
    const char* end = digits + std::strlen(digits);
    const auto [stop, fault] = std::from_chars(digits, end, id, hexadecimal ? 16 : 10);
    return fault == std::errc() && stop == end && id != 0 && id <= kMaxWindowId;
}

bool readCommandLine(int& argc, char** argv, StartOptions& options, std::string& error) {
    return readOptions(programOptions(options), argc, argv, error);
}

std::string usageText() {
    StartOptions defaults;
    return "Usage: varo [OPTION]... [TOOLKIT OPTION]...\n"
           "A pin-art board waving in front of a tumbling star field (OpenGL).\n"
           "\n" +
           describeOptions(programOptions(defaults)) +
           "\n"
           "Options are also taken with one dash (-root) and as --name=VALUE. The\n"
           "toolkit's own (-display NAME, -geometry WxH+X+Y, -sync, ...) are passed on.\n"
           "The pictures font.bmp, fisheye.bmp and monacolor128.bmp are looked for in\n"
           "--data DIR, the working directory and <bin>/../share/varo. Press ? in the\n"
           "program for the keys; r returns to the settings chosen here. See varo(6).\n";
}

const char* versionText() {
    return "varo " VARO_VERSION "\n";
}
