// Start-up: the command line and the screensaver dialog's, the cursor, the reshape, the reset.
#include <GL/freeglut.h>

#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>
#include <tuple>

#include "app/command_line.h"
#include "app/frame_pacer.h"
#include "app/reset.h"
#include "app/scene.h"
#include "app/window.h"
#include "motion/random.h"
#include "tests/support/gl_test.h"

namespace {
struct Parsed {
    bool read;  // false: a bad option or value
    StartOptions options;
    std::vector<std::string> kept;  // what is left for the toolkit after the program's name
    std::string error;
};

// The command line "varo LINE", its words split at spaces.
Parsed parse(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> words(std::istream_iterator<std::string>(in), {});
    std::vector<char*> argv = {const_cast<char*>("varo")};
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    int argc = static_cast<int>(argv.size()) - 1;
    Parsed p{};
    p.read = readCommandLine(argc, argv.data(), p.options, p.error);
    p.kept.assign(argv.begin() + 1, argv.begin() + (p.read ? argc : 1));
    return p;
}

// With one dash or two, and with "=VALUE"; the toolkit's own are left, as it spells them.
TEST(CommandLine, TakesItsOptionsAndLeavesTheToolkitsOwn) {
    const Parsed p = parse(
        "--window -display :3 -root --seed=2147483647 -sync -window-id 0x1f --data /tmp/pictures "
        "-geometry=5x5+1+1 --delay 20000 --picture a -picture=b --duration=7 --fade=0.5 --shuffle "
        "--titles --screensaver-images");
    ASSERT_TRUE(p.read) << p.error;
    EXPECT_EQ(p.kept,
              (std::vector<std::string>{"-display", ":3", "-sync", "-geometry", "5x5+1+1"}));
    const StartOptions& o = p.options;
    EXPECT_EQ(std::tie(o.displayName, o.dataFolder), std::make_tuple(":3", "/tmp/pictures"));
    EXPECT_EQ(std::make_tuple(o.windowed, o.root, o.windowId, o.seed, o.delayUs),
              std::make_tuple(1, 1, 0x1ful, 2147483647, 20000L));
    const PictureShowOptions& show = o.pictures;
    EXPECT_EQ(show.paths, (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(std::make_tuple(show.durationSeconds, show.fadeSeconds, show.shuffle, show.titles,
                              show.screensaverImages),
              std::make_tuple(7, 0.5f, 1, 1, 1));
}

// Rows: the text, and the window it names (0: refused). A leading zero is not octal.
TEST(CommandLine, ReadsWindowIdsAsDecimalOrHexadecimal) {
    const std::pair<const char*, long long> rows[] = {
        // -1: refused (window 0 is none)
        {"010", 10},   {"09", 9},  {"0x1F", 31}, {"0X1f", 31},  {"4294967295", 4294967295},
        {"0x", -1},    {"-1", -1}, {"", -1},     {"0", -1},     {"4294967296", -1},
        {"0x0x5", -1}, {"+5", -1}, {" 5", -1},   {"12abc", -1}, {"0x100000000", -1},
    };
    for (const auto& [text, window] : rows) {
        unsigned long id = 0;
        EXPECT_EQ(readWindowId(text, id) ? static_cast<long long>(id) : -1, window) << text;
    }
}

// --help ends the reading and --version answers; a bad word is named, with what is wrong.
TEST(CommandLine, AnswersHelpAndVersionAndNamesWhatIsWrong) {
    const std::pair<const char*, const char*> refused[] = {
        {"--seed -1", "bad value for --seed: '-1'"},
        {"--window-id 12abc", "bad value for --window-id: '12abc'"},
        {"--data=", "bad value for --data: ''"},
        {"--picture=", "bad value for --picture: ''"},
        {"--data", "--data needs a value"},
        {"--windows", "unknown option '--windows'"},
        {"--fps=1", "unknown option '--fps=1'"},
        {"picture.bmp", "unknown option 'picture.bmp'"},
    };
    for (const auto& [line, error] : refused)
        EXPECT_EQ(parse(line).error, error) << line;
    const Parsed help = parse("--fps --help --bad"), version = parse("--version");
    EXPECT_TRUE(help.read && help.options.helpAsked && version.read &&
                version.options.versionAsked);
    EXPECT_EQ(versionText(), std::string("varo ") + VARO_VERSION + "\n");  // CMake's version
}

// A row per setting: a good value, which the start and every reset then load, and a bad one.
using CommandLineStart = VaroTest;

TEST_F(CommandLineStart, SetsWhatTheStartAndTheResetLoadAndRefusesBadValues) {
    const struct {
        const char *good, *bad;
        std::function<bool(const SimulationSettings&)> loaded;
    } rows[] = {
        {"--pins=12", "--pins=41", [](auto& s) { return s.tesselation == 12; }},
        {"--image=fisheye", "--image=cat", [](auto& s) { return s.imageIndex == 0; }},
        {"--texture-gen=eye", "--texture-gen=", [](auto& s) { return s.texGenMode == kEyeLinear; }},
        {"--poly-mode=points", "--poly-mode=2",
         [](auto& s) { return s.polyMode == kPolygonPoints; }},
        {"--no-textures", "--no-textures=1", [](auto& s) { return s.texturesOn == 0; }},
        {"--no-stars", "--no-stars=0", [](auto& s) { return s.universeOn == 0; }},
        {"--hyperspace", "--hyperspace=1", [](auto& s) { return s.blanking == kHyperspace; }},
        {"--spotlight", "--spotlight=1", [](auto& s) { return s.spotlightOn == 1; }},
        {"--fps", "--fps=1", [](auto& s) { return s.clockOn == 1; }},
        {"--letterbox=6", "--letterbox=7", [](auto& s) { return s.letterbox == 6; }},
        {"--field-of-view=1", "--field-of-view=0", [](auto& s) { return s.fieldOfView == 1; }},
        {"--rotate-speed=0.5", "--rotate-speed=0", [](auto& s) { return s.rotateSpeed == 0.5f; }},
        {"--movement-speed=1000", "--movement-speed=2e3",
         [](auto& s) { return s.movementSpeed == 1000; }},
        {"--main-speed=0.001", "--main-speed=nan", [](auto& s) { return s.mainSpeed == 0.001f; }},
        {"--camera-z=-2.5", "--camera-z=101", [](auto& s) { return s.cameraZ == -2.5f; }},
    };
    for (const auto& row : rows) {
        chooseStartSettings(parse(row.good).options.show);
        settings = SimulationSettings{};
        resetSettings();
        EXPECT_TRUE(row.loaded(settings)) << row.good;
        chooseStartSettings(StartSettings{});
        resetSettings();
        EXPECT_FALSE(row.loaded(settings)) << row.good << " is the default";
        EXPECT_FALSE(parse(row.bad).read) << row.bad;
    }
}

using SceneSetUp = VaroTest;

// The arrow shows in a window, not in full screen; a reshape keeps its size and fills the window.
TEST_F(SceneSetUp, HidesTheCursorInFullScreenAndFollowsReshapes) {
    for (int full : {0, 1}) {
        fullScreen = full;
        initScene();
        EXPECT_EQ(glutGet(GLUT_WINDOW_CURSOR), full ? GLUT_CURSOR_NONE : GLUT_CURSOR_LEFT_ARROW);
    }
    onReshape(640, 480);
    std::array<GLint, 4> viewport{};
    glGetIntegerv(GL_VIEWPORT, viewport.data());
    EXPECT_EQ(viewport, (std::array<GLint, 4>{0, 0, 640, 480}));
    EXPECT_EQ(std::make_pair(windowWidth, windowHeight), std::make_pair(640, 480));
    onReshape(kTestWindowWidth, kTestWindowHeight);
}

// The reset reseeds the generator with the clock and loads the black clear colour.
TEST_F(SceneSetUp, ResetReseedsFromTheClockAndLoadsBlack) {
    glClearColor(0.2f, 0.4f, 0.6f, 0.8f);
    seedRandom(12345);
    const int expected = nextRandom();
    elapsedMs = 12345;
    resetSettings();
    EXPECT_EQ(nextRandom(), expected);
    std::array<GLfloat, 4> clear{};
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear.data());
    EXPECT_EQ(clear, (std::array<GLfloat, 4>{0, 0, 0, 1}));
}

// What "--root LINE" sets in a given window: the settings record, frame cap and show choices.
std::string givenWindowDoes(const std::string& line) {
    const Parsed parsed = parse("--root " + line);
    EXPECT_TRUE(parsed.read) << line << ": " << parsed.error;
    const StartOptions& o = parsed.options;
    const PictureShowOptions& p = o.pictures;
    std::ostringstream text;
    text.write(reinterpret_cast<const char*>(&o.show), sizeof o.show);
    text << " " << framePeriodUs(o.delayUs, Host::givenWindow) << " "
         << pictureSeconds(p.durationSeconds, Host::givenWindow) << " " << p.fadeSeconds << " "
         << p.shuffle << p.titles << p.screensaverImages << " " << p.paths.size();
    return text.str();
}

// Every argument the screensaver's dialog can give is taken; a slider's default equals its absence.
TEST(ScreensaverConfig, EveryArgumentItsDialogCanGiveIsAccepted) {
    std::ifstream file("../packaging/varo.xml");  // the tests run in data/
    const std::string xml{std::istreambuf_iterator<char>(file), {}};
    const std::regex argument(R"(\barg(-set|-unset)?="([^"]*)\")");
    const std::regex slider(R"re(^[^>]*low="(\S*)" high="(\S*)" default="(\S*)")re");
    const std::string absent = givenWindowDoes("");
    int sliders = 0;
    for (std::sregex_iterator a(xml.begin(), xml.end(), argument), end; a != end; ++a) {
        const std::string text = (*a)[2], after = a->suffix();
        std::smatch range;
        const auto with = [&text](const std::string& value) {
            return std::regex_replace(text, std::regex("%"), value);
        };
        if (!std::regex_search(after, range, slider)) {
            givenWindowDoes(with("/tmp"));  // a file or folder
            continue;
        }
        ++sliders;
        givenWindowDoes(with(range[1])), givenWindowDoes(with(range[2]));
        EXPECT_EQ(givenWindowDoes(with(range[3])), absent) << with(range[3]);
    }
    EXPECT_GE(sliders, 10) << "the dialog's sliders were not all read";
    EXPECT_NE(givenWindowDoes("--duration 0"), absent) << "0 keeps one picture: no default";
}
}  // namespace
