// Start-up: the command line, the fixed GL state the scene set-up loads, the reshape callback,
// and what the reset puts back besides the settings (the keys' tests see those).
#include <GL/freeglut.h>

#include <array>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "app/command_line.h"
#include "app/frame_pacer.h"
#include "app/reset.h"
#include "app/scene.h"
#include "app/window.h"
#include "motion/random.h"
#include "state/frame_clock.h"
#include "state/settings.h"
#include "state/window_state.h"
#include "tests/support/gl_test.h"

namespace {
struct Parsed {
    std::vector<std::string> words;  // the command line, which the options point into
    bool read;                       // false: a bad option or value
    StartOptions options;
    std::vector<std::string> kept;  // what is left for the toolkit after the program's name
    std::string error;
};

Parsed parse(std::vector<std::string> words) {
    Parsed p{};
    p.words = std::move(words);
    std::vector<char*> argv = {const_cast<char*>("varo")};
    for (std::string& word : p.words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    int argc = static_cast<int>(argv.size()) - 1;
    p.read = readCommandLine(argc, argv.data(), p.options, p.error);
    for (int n = 1; p.read && n < argc; ++n)
        p.kept.emplace_back(argv[n]);
    return p;
}

TEST(CommandLine, TakesItsOptionsAndLeavesTheToolkitsOwn) {
    const auto p =
        parse({"--window", "-display", ":3", "-root", "--seed=2147483647", "-sync", "-window-id",
               "0x1f", "--data", "/tmp/pictures", "-geometry=5x5+1+1", "--delay", "20000"});
    ASSERT_TRUE(p.read) << p.error;
    EXPECT_EQ(p.kept,
              (std::vector<std::string>{"-display", ":3", "-sync", "-geometry", "5x5+1+1"}));
    const StartOptions& o = p.options;
    EXPECT_EQ(o.displayName, ":3");  // the given window opens it
    EXPECT_EQ(std::make_tuple(o.windowed, o.root, o.windowId, o.seed, o.delayUs),
              std::make_tuple(1, 1, 0x1ful, 2147483647, 20000L));
    EXPECT_EQ(o.dataFolder, "/tmp/pictures");
    const PictureShowOptions show =
        parse({"--picture", "a", "-picture=b", "--duration=7", "--fade=0.5", "--shuffle",
               "--titles", "--screensaver-images"})
            .options.pictures;
    EXPECT_EQ(show.paths, (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(std::make_tuple(show.durationSeconds, show.fadeSeconds, show.shuffle, show.titles,
                              show.screensaverImages),
              std::make_tuple(7, 0.5f, 1, 1, 1));
}

// Rows: the text, and the window it names (0: refused). A leading zero is not octal.
TEST(CommandLine, ReadsWindowIdsAsDecimalOrHexadecimal) {
    const std::pair<const char*, unsigned long> rows[] = {
        {"010", 10},  {"09", 9}, {"0x1F", 31}, {"0X1f", 31}, {"4294967295", ~0u},
        {"0x", 0},    {"-1", 0}, {"", 0},      {"0", 0},     {"4294967296", 0},
        {"0x0x5", 0}, {"+5", 0}, {" 5", 0},    {"12abc", 0}, {"0x100000000", 0},
    };
    for (const auto& [text, window] : rows) {
        unsigned long id = 0;
        EXPECT_EQ(readWindowId(text, id) ? id : 0, window) << "'" << text << "'";
        EXPECT_EQ(parse({"--window-id", text}).read, window != 0);
    }
}

// The manual's word on each host's frame cap without --delay, against what each host keeps; a
// value given wins in either.
TEST(CommandLine, EachHostKeepsTheFrameCapTheManualGives) {
    std::ifstream file("../packaging/varo.6.in");  // the tests run in data/
    const std::string page{std::istreambuf_iterator<char>(file), {}};
    std::smatch documented;
    ASSERT_TRUE(std::regex_search(
        page, documented,
        std::regex(R"(\\-\\-delay [\s\S]*?default (\d+) in its own window, (\d+) in a window)")));
    const long notGiven = parse({}).options.delayUs, zero = parse({"--delay=0"}).options.delayUs;
    EXPECT_EQ(framePeriodUs(notGiven, Host::ownWindow), std::stol(documented[1]));
    EXPECT_EQ(framePeriodUs(notGiven, Host::givenWindow), std::stol(documented[2]));
    for (Host host : {Host::ownWindow, Host::givenWindow})
        EXPECT_EQ(framePeriodUs(zero, host), 0);
}

TEST(CommandLine, AnswersHelpAndVersionAndNamesWhatIsWrong) {
    const std::pair<std::vector<std::string>, const char*> cases[] = {
        {{"--fps", "--help", "--bad"}, "help"},
        {{"--version"}, "version"},
        {{"--seed", "-1"}, "bad value for --seed: '-1'"},
        {{"--seed", "2147483648"}, "bad value for --seed: '2147483648'"},
        {{"--window-id", "12abc"}, "bad value for --window-id: '12abc'"},
        {{"--data="}, "bad value for --data: ''"},
        {{"--data"}, "--data needs a value"},
        {{"--picture="}, "bad value for --picture: ''"},
        {{"-display"}, "-display needs a value"},
        {{"--windows"}, "unknown option '--windows'"},
        {{"--fps=1"}, "unknown option '--fps=1'"},
        {{"picture.bmp"}, "unknown option 'picture.bmp'"},
    };
    for (const auto& [words, expected] : cases) {
        const Parsed p = parse(words);
        const std::string got = !p.read                  ? p.error
                                : p.options.helpAsked    ? "help"
                                : p.options.versionAsked ? "version"
                                                         : "run";
        EXPECT_EQ(got, expected) << words[0];
    }
    EXPECT_EQ(std::string(versionText()), "varo 1.0.0\n");
}

// A row per setting: a good value, which the start and every reset then load, and a bad one.
using CommandLineStart = VaroTest;

TEST_F(CommandLineStart, SetsWhatTheStartAndTheResetLoadAndRefusesBadValues) {
    using S = SimulationSettings;
    const struct {
        const char *good, *bad;
        std::function<bool(const S&)> loaded;
    } rows[] = {
        {"--pins=12", "--pins=41", [](const S& s) { return s.tesselation == 12; }},
        {"--image=fisheye", "--image=cat", [](const S& s) { return s.imageIndex == 0; }},
        {"--texture-gen=eye", "--texture-gen=map",
         [](const S& s) { return s.texGenMode == kEyeLinear; }},
        {"--poly-mode=points", "--poly-mode=2",
         [](const S& s) { return s.polyMode == kPolygonPoints; }},
        {"--no-textures", "--no-textures=1", [](const S& s) { return s.texturesOn == 0; }},
        {"--no-stars", "--no-stars=0", [](const S& s) { return s.universeOn == 0; }},
        {"--hyperspace", "--hyperspace=1", [](const S& s) { return s.blanking == kHyperspace; }},
        {"--spotlight", "--spotlight=1", [](const S& s) { return s.spotlightOn == 1; }},
        {"--fps", "--fps=1", [](const S& s) { return s.clockOn == 1; }},
        {"--letterbox=6", "--letterbox=7", [](const S& s) { return s.letterbox == 6; }},
        {"--field-of-view=1", "--field-of-view=0", [](const S& s) { return s.fieldOfView == 1; }},
        {"--rotate-speed=0.5", "--rotate-speed=0",
         [](const S& s) { return s.rotateSpeed == 0.5f; }},
        {"--movement-speed=1000", "--movement-speed=1000.5",
         [](const S& s) { return s.movementSpeed == 1000.0f; }},
        {"--main-speed=0.001", "--main-speed=nan",
         [](const S& s) { return s.mainSpeed == 0.001f; }},
        {"--camera-z=-2.5", "--camera-z=101", [](const S& s) { return s.cameraZ == -2.5f; }},
    };
    for (const auto& row : rows) {
        const Parsed good = parse({row.good});
        ASSERT_TRUE(good.read) << good.error;
        chooseStartSettings(good.options.show);
        for (int reset = 0; reset < 2; ++reset, settings = SimulationSettings{}) {
            resetSettings();
            EXPECT_TRUE(row.loaded(settings)) << row.good << " after reset " << reset;
        }
        chooseStartSettings(StartSettings{});
        resetSettings();
        EXPECT_FALSE(row.loaded(settings)) << row.good << " is the default";
        EXPECT_FALSE(parse({row.bad}).read) << row.bad;
    }
}

using SceneSetUp = VaroTest;

// The state the picture depends on, first loaded otherwise so that every step has to show; the
// light, material and fog state never reaches the picture, as lighting and fog stay off.
TEST_F(SceneSetUp, LoadsTheFixedGlStateAndTheCursorAndFollowsReshapes) {
    glBlendFunc(GL_ONE, GL_ONE);
    glShadeModel(GL_FLAT);
    glEnable(GL_DITHER);
    for (int full : {0, 1}) {  // the window's arrow; full screen hides it
        fullScreen = full;
        ASSERT_TRUE(initScene());
        EXPECT_EQ(glutGet(GLUT_WINDOW_CURSOR), full ? GLUT_CURSOR_NONE : GLUT_CURSOR_LEFT_ARROW);
    }
    const std::pair<GLenum, GLint> state[] = {
        {GL_BLEND_SRC, GL_SRC_ALPHA}, {GL_BLEND_DST, GL_ONE_MINUS_SRC_ALPHA},
        {GL_DITHER, GL_FALSE},        {GL_SHADE_MODEL, GL_SMOOTH},
        {GL_FOG, GL_FALSE},           {GL_LIGHTING, GL_FALSE},
        {GL_COLOR_MATERIAL, GL_TRUE}, {GL_LIGHT_MODEL_LOCAL_VIEWER, 1}};
    for (auto [what, expected] : state) {
        GLint value = 0;
        glGetIntegerv(what, &value);
        EXPECT_EQ(value, expected) << "GL enum 0x" << std::hex << what;
    }
    onReshape(640, 480);  // keeps the size and sets the whole viewport
    std::array<GLint, 4> viewport{};
    glGetIntegerv(GL_VIEWPORT, viewport.data());
    EXPECT_EQ(viewport, (std::array<GLint, 4>{0, 0, 640, 480}));
    EXPECT_EQ(std::make_pair(windowWidth, windowHeight), std::make_pair(640, 480));
    onReshape(kTestWindowWidth, kTestWindowHeight);
}

// The reset reseeds the generator with the clock and loads the black clear colour.
TEST_F(SceneSetUp, ResetReseedsFromTheClockAndLoadsBlack) {
    glClearColor(0.2f, 0.4f, 0.6f, 0.8f);
    elapsedMs = 12345;
    seedRandom(12345);
    const int expected = nextRandom();
    seedRandom(1);
    resetSettings();
    EXPECT_EQ(nextRandom(), expected);
    std::array<GLfloat, 4> clear{};
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear.data());
    EXPECT_EQ(clear, (std::array<GLfloat, 4>{0, 0, 0, 1}));
}
}  // namespace

namespace {
// The words each setting of the screensaver's dialog can give: "--root" alone, then every
// check box and list choice, and each slider at its low end, its default and its high end.
// `defaults` gets the lines that give a slider its default.
std::vector<std::vector<std::string>> dialogCommandLines(
    const std::string& xml, std::vector<std::vector<std::string>>& defaults) {
    const std::regex element(R"(<(command|number|boolean|option|file)\b([^>]*)>)");
    const std::regex attribute(R"(([a-z_-]+)="([^"]*)\")");
    std::vector<std::vector<std::string>> lines;
    for (std::sregex_iterator e(xml.begin(), xml.end(), element), end; e != end; ++e) {
        std::map<std::string, std::string> a;
        const std::string attributes = (*e)[2];
        for (std::sregex_iterator m(attributes.begin(), attributes.end(), attribute); m != end; ++m)
            a[(*m)[1]] = (*m)[2];
        std::vector<std::string> texts = {a["arg"], a["arg-set"], a["arg-unset"]};
        if ((*e)[1] == "number")
            texts = {"low", "default", "high"};
        for (std::string text : texts) {
            const bool sliderDefault = (*e)[1] == "number" && text == "default";
            if ((*e)[1] == "number")
                text = std::regex_replace(a["arg"], std::regex("%"), a[text]);
            text = std::regex_replace(text, std::regex("%"), "/tmp");  // a file or folder
            std::istringstream words(text);
            lines.push_back({"--root"});
            for (std::string word; words >> word;)
                lines.back().push_back(word);
            if (sliderDefault)
                defaults.push_back(lines.back());
        }
    }
    return lines;
}

// What a window it is given does with the options: the settings each start loads (a record
// of 32-bit numbers, compared whole), its frame cap and the picture show's choices.
std::string givenWindowDoes(const StartOptions& o) {
    const StartSettings& s = o.show;
    std::string text(reinterpret_cast<const char*>(&s), sizeof s);
    const PictureShowOptions& p = o.pictures;
    for (double value :
         {double(framePeriodUs(o.delayUs, Host::givenWindow)),
          double(pictureSeconds(p.durationSeconds, Host::givenWindow)), double(p.fadeSeconds),
          double(p.shuffle), double(p.titles), double(p.screensaverImages), double(p.paths.size())})
        text += " " + std::to_string(value);
    return text;
}
}  // namespace

TEST(ScreensaverConfig, EveryArgumentItsDialogCanGiveIsAccepted) {
    std::ifstream file("../packaging/varo.xml");  // the tests run in data/
    const std::string xml{std::istreambuf_iterator<char>(file), {}};
    std::vector<std::vector<std::string>> defaults;
    const auto lines = dialogCommandLines(xml, defaults);
    EXPECT_GE(lines.size(), 40u) << "the dialog's settings were not all read";
    for (const auto& words : lines) {
        const Parsed p = parse(words);
        EXPECT_TRUE(p.read) << words.back() << ": " << p.error;
    }
    // Each slider's default is what the program does without its argument.
    EXPECT_GE(defaults.size(), 10u);
    const std::string absent = givenWindowDoes(parse({"--root"}).options);
    for (const auto& words : defaults)
        EXPECT_EQ(givenWindowDoes(parse(words).options), absent) << words[1] << " " << words[2];
}
