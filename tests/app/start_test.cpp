// Start-up: the command line, the fixed GL state the scene set-up loads, the reshape callback,
// and what the reset puts back besides the settings (the keys' tests see those).
#include <GL/freeglut.h>

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "app/command_line.h"
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
    CommandLineRequest request;
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
    char error[kCommandLineErrorCapacity] = {};
    p.request = readCommandLine(argc, argv.data(), p.options, error);
    for (int n = 1; p.request == CommandLineRequest::run && n < argc; ++n)
        p.kept.emplace_back(argv[n]);
    p.error = error;
    return p;
}

TEST(CommandLine, TakesItsOptionsAndLeavesTheToolkitsOwn) {
    const auto p = parse({"--window", "-display", ":3", "--pins", "8", "--seed=2147483647", "-sync",
                          "--fps", "--data", "/tmp/pictures", "-geometry", "5x5+1+1"});
    ASSERT_EQ(p.request, CommandLineRequest::run) << p.error;
    EXPECT_EQ(p.kept,
              (std::vector<std::string>{"-display", ":3", "-sync", "-geometry", "5x5+1+1"}));
    const StartOptions& o = p.options;
    EXPECT_EQ(std::make_pair(o.windowed, o.frameRateShown), std::make_pair(1, 1));
    EXPECT_EQ(std::make_pair(o.pins, o.seedGiven), std::make_pair(8, 1));
    EXPECT_EQ(o.seed, 2147483647u);
    EXPECT_STREQ(o.dataFolder, "/tmp/pictures");
}

TEST(CommandLine, AnswersHelpAndVersionAndNamesWhatIsWrong) {
    const std::pair<std::vector<std::string>, const char*> cases[] = {
        {{"--fps", "--help", "--bad"}, "help"},
        {{"--version"}, "version"},
        {{"--pins", "41"}, "bad value for --pins: '41'"},
        {{"--pins=7"}, "bad value for --pins: '7'"},
        {{"--pins", "2x"}, "bad value for --pins: '2x'"},
        {{"--seed", "-1"}, "bad value for --seed: '-1'"},
        {{"--seed", "2147483648"}, "bad value for --seed: '2147483648'"},
        {{"--data="}, "bad value for --data: ''"},
        {{"--data"}, "--data needs a value"},
        {{"-display"}, "-display needs a value"},
        {{"--windows"}, "unknown option '--windows'"},
        {{"--fps=1"}, "unknown option '--fps=1'"},
        {{"picture.bmp"}, "unknown option 'picture.bmp'"},
    };
    for (const auto& [words, expected] : cases) {
        const Parsed p = parse(words);
        const std::string got = p.request == CommandLineRequest::showHelp      ? "help"
                                : p.request == CommandLineRequest::showVersion ? "version"
                                : p.request == CommandLineRequest::bad         ? p.error
                                                                               : "run";
        EXPECT_EQ(got, expected) << words[0];
    }
    EXPECT_EQ(std::string(versionText()), "varo 1.0.0\n");
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

// The reset reseeds the generator with the clock and loads the black clear colour; the pin
// count and the clock line come back as the command line chose them.
TEST_F(SceneSetUp, ResetReseedsFromTheClockAndKeepsTheStartChoices) {
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
    StartOptions chosen;
    chosen.pins = 12, chosen.frameRateShown = 1;
    chooseStartSettings(chosen);
    resetSettings();
    EXPECT_EQ(std::make_pair(settings.tesselation, settings.clockOn), std::make_pair(12, 1));
    chooseStartSettings(StartOptions{});
    resetSettings();
    EXPECT_EQ(std::make_pair(settings.tesselation, settings.clockOn), std::make_pair(20, 0));
}
}  // namespace
