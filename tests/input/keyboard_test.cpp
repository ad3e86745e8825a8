// Character-key commands: every key's whole effect and message, the bounds and bounces, the
// reset, quitting, the help page's clear and the full-screen switch of the real window.
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <set>
#include <string>
#include <thread>

#include "app/frame.h"
#include "app/settings.h"
#include "app/window.h"
#include "input/keyboard.h"
#include "motion/oscillator_bank.h"
#include "overlay/text_overlay.h"
#include "tests/input/program_snapshot.h"
#include "tests/support/gl_test.h"
#include "view/camera.h"

namespace {
using P = ProgramSnapshot;

// The settings a reset brings back, field by field.
SimulationSettings defaultSettings() {
    SimulationSettings s;
    s.fieldOfView = 100;
    s.letterbox = 0;
    s.tesselation = 20;
    s.universeOn = 1;
    s.blanking = 1;
    s.spotlightOn = 0;
    s.texturesOn = 1;
    s.polyMode = 0;
    s.cameraMode = 0;
    s.texGenMode = 0;
    s.imageIndex = 1;
    s.clockOn = 0;
    s.rotateSpeed = s.movementSpeed = s.objectSize = 1.0f;
    s.cameraZ = 3.0f;
    s.mainSpeed = s.speed = s.lightRotateSpeed = 1.0f;
    return s;
}

// Moves everything a reset touches, and everything it must keep, away from its start value.
void disturbEverything() {
    settings.fieldOfView = 150;
    settings.letterbox = 3;
    settings.tesselation = 33;
    settings.universeOn = 0;
    settings.blanking = 0;
    settings.spotlightOn = 1;
    settings.texturesOn = 0;
    settings.polyMode = 2;
    settings.cameraMode = 1;
    settings.texGenMode = 2;
    settings.imageIndex = 0;
    settings.clockOn = 1;
    settings.rotateSpeed = 2.5f;
    settings.movementSpeed = 0.25f;
    settings.cameraZ = -1.5f;
    settings.objectSize = 7.0f;
    settings.mainSpeed = 3.0f;
    settings.speed = 0.5f;
    settings.lightRotateSpeed = 4.0f;
    paused = 1;
    quitTime = 4.0f;  // a quit fade is running
    brightness = 0.3f;
    cameraPitch = 11, cameraYaw = 22, cameraX = 0.1, cameraY = -0.2, cameraPosZ = 2.5;
    helpShown = 1;
    letterboxPhase = -3;
    numberCounter = 7;
    arrowKeys = 5;
    mouseDX = 3, mouseDY = -4, mouseMoved = 1;
}

void expectReset(P& p) {
    p.s = defaultSettings();
    p.paused = 0;
    p.quitTime = 0;
    p.brightness = 1;
    p.pitch = p.yaw = p.x = p.y = p.posZ = 0;
    p.pinModelDrawn = true;
    p.forceClear = 1;
}

float times(float value, double factor) {
    return static_cast<float>(value * factor);
}

struct KeyCase {
    unsigned char key;
    void (*prepare)();    // state before the key, beyond the defaults; may be null
    void (*effect)(P&);   // what the key changes (forceClear is expected 0 otherwise)
    const char* message;  // null: no message
};

const KeyCase kKeyCases[] = {
    {27,
     [] {
         nowSeconds = 12.5f;
         settings.blanking = 0;
         helpShown = 1;
     },
     [](P& p) {
         p.quitTime = 12.5f;
         p.s.blanking = 1;
         p.helpShown = 0;
     },
     nullptr},
    {' ', nullptr, [](P& p) { p.s.blanking = 0; }, nullptr},
    {' ', [] { settings.blanking = 0; }, [](P& p) { p.s.blanking = 1; }, nullptr},
    {'(', nullptr, [](P& p) { p.s.lightRotateSpeed = times(1, 0.9); },
     "Light Rotate Speed: 0.90\n"},
    {')', nullptr, [](P& p) { p.s.lightRotateSpeed = times(1, 1.111111); },
     "Light Rotate Speed: 1.11\n"},
    {'+', nullptr, [](P& p) { p.s.movementSpeed = times(1, 1.111111); }, "Movement Speed: 1.11\n"},
    {'_', nullptr, [](P& p) { p.s.movementSpeed = times(1, 0.9); }, "Movement Speed: 0.90\n"},
    {',', nullptr, [](P& p) { p.s.fieldOfView = 101; }, "FOV: 101 Degrees\n"},
    {'.', nullptr, [](P& p) { p.s.fieldOfView = 99; }, "FOV:  99 Degrees\n"},
    {'-', nullptr, [](P& p) { p.s.rotateSpeed = times(1, 0.9); }, "Rotate Speed: 0.90\n"},
    {'=', nullptr, [](P& p) { p.s.rotateSpeed = times(1, 1.111111); }, "Rotate Speed: 1.11\n"},
    {'/', nullptr, [](P& p) { p.helpShown = 1; }, nullptr},
    {'?', nullptr, [](P& p) { p.helpShown = 1; }, nullptr},
    {'<', nullptr, [](P& p) { p.s.tesselation = 19, p.pinModelDrawn = true; }, "Tesselation: 19\n"},
    {'>', nullptr, [](P& p) { p.s.tesselation = 21, p.pinModelDrawn = true; }, "Tesselation: 21\n"},
    {'c', nullptr, [](P& p) { p.s.clockOn = 1; }, "Frame/Second Clock On"},
    {'C', [] { settings.clockOn = 1; }, [](P& p) { p.s.clockOn = 0; }, "Frame/Second Clock Off"},
    {'i', nullptr, [](P& p) { p.s.imageIndex = 0; }, "Image 0/1: FishEye"},
    {'I', [] { settings.imageIndex = 0; }, [](P& p) { p.s.imageIndex = 1; },
     "Image 1/1: Mona Lisa"},
    {'l', nullptr, [](P& p) { p.s.letterbox = 1, p.letterboxPhase = 1, p.forceClear = 1; },
     "Letterbox: 1"},
    {'L', nullptr, [](P& p) { p.s.letterbox = 1, p.letterboxPhase = 1, p.forceClear = 1; },
     "Letterbox: 1"},
    {'n', nullptr, [](P& p) { p.numberCounter = 1; }, "# : 1"},
    {'N', [] { numberCounter = 15; }, [](P& p) { p.numberCounter = 0; }, "# : 0"},
    {'o', nullptr, [](P& p) { p.s.texGenMode = 1; }, "Option 1/2: Object Map"},
    {'O', [] { settings.texGenMode = 1; }, [](P& p) { p.s.texGenMode = 2; }, "Option 2/2: Eye Map"},
    {'O', [] { settings.texGenMode = 2; }, [](P& p) { p.s.texGenMode = 0; },
     "Option 0/2: Sphere Map"},
    {'p', nullptr, [](P& p) { p.paused = 1; }, "Pause Motion"},
    {'P', [] { paused = 1; }, [](P& p) { p.paused = 0; }, "Continue Motion"},
    // The reset keeps the window, the help page, the bounce, the counter, the held keys and
    // the pointer offsets; it sets the automatic camera in full screen as well as in a window.
    {'r', disturbEverything, expectReset, "Reset"},
    {'R', [] { disturbEverything(), fullScreen = 0; }, expectReset, "Reset"},
    {'s', nullptr, [](P& p) { p.s.spotlightOn = 1; }, nullptr},
    {'S', [] { settings.spotlightOn = 1; }, [](P& p) { p.s.spotlightOn = 0; }, nullptr},
    {'t', nullptr, [](P& p) { p.s.texturesOn = 0; }, "Textures Off"},
    {'T', [] { settings.texturesOn = 0; }, [](P& p) { p.s.texturesOn = 1; }, "Textures On"},
    {'u', [] { settings.universeOn = 2; }, [](P& p) { p.s.universeOn = 0; }, "Universe Off"},
    {'U', [] { settings.universeOn = 0; }, [](P& p) { p.s.universeOn = 1; }, "Universe On"},
    {'v', nullptr, [](P& p) { p.s.cameraMode = 1; }, "Camera 2: Manual Mouse/Arrow Key Control"},
    {'V', [] { settings.cameraMode = 1; }, [](P& p) { p.s.cameraMode = 0; }, "Camera 1: Auto"},
    {'w', nullptr, [](P& p) { p.s.polyMode = 1; }, "PolyMode 2/3: Lines"},
    {'W', [] { settings.polyMode = 1; }, [](P& p) { p.s.polyMode = 2; }, "PolyMode 3/3: Points"},
    {'w', [] { settings.polyMode = 2; }, [](P& p) { p.s.polyMode = 0; }, "PolyMode 1/3: Polygons"},
    {'[', nullptr, [](P& p) { p.s.objectSize = times(1, 0.95); }, "Object Size: 0.95\n"},
    {']', nullptr, [](P& p) { p.s.objectSize = times(1, 1.055555); }, "Object Size: 1.06\n"},
    {'{', nullptr, [](P& p) { p.s.cameraZ = static_cast<float>(3.0 - 0.05); }, "CameraZ: 2.95\n"},
    {'}', nullptr, [](P& p) { p.s.cameraZ = static_cast<float>(3.0 + 0.05); }, "CameraZ: 3.05\n"},
};

// 'f' switches the real window; it has its own test below.
const std::set<unsigned char> kWindowKeys = {'f', 'F'};

class KeyboardTest : public VaroTest {
protected:
    void TearDown() override {
        fullScreen = 1;
        VaroTest::TearDown();
    }

    // Start-up state, with a pending clear and an empty pin list that only a rebuild refills.
    static void freshState() {
        resetProgramState();
        fullScreen = 1;
        emptyPinModel();
        forceClear = 1;
    }

    static std::string message() {
        return textOverlay.messageExpiry == 0 ? std::string() : textOverlay.messageText;
    }
};

TEST_F(KeyboardTest, EveryCommandKeyChangesItsOwnStateAndPostsItsMessage) {
    for (const KeyCase& c : kKeyCases) {
        SCOPED_TRACE(testing::Message() << "key " << int(c.key) << " '" << c.key << "'");
        freshState();
        if (c.prepare)
            c.prepare();
        P before = P::take();
        P expected = before;
        expected.forceClear = 0;
        c.effect(expected);
        if (c.message)
            expected.message = c.message;
        onKeyboard(c.key, 0, 0);
        expectState(expected, P::take());
    }
}

TEST_F(KeyboardTest, KeysWithoutACommandOnlyCancelAPendingClear) {
    std::set<unsigned char> commands(kWindowKeys);
    for (const KeyCase& c : kKeyCases)
        commands.insert(c.key);
    // 18 punctuation and control keys, and 13 letters in both cases.
    ASSERT_EQ(commands.size(), 18u + 2 * 13u);
    for (int key = 0; key < 256; ++key) {
        if (commands.count(static_cast<unsigned char>(key)))
            continue;
        SCOPED_TRACE(testing::Message() << "key " << key);
        freshState();
        P expected = P::take();
        expected.forceClear = 0;
        onKeyboard(static_cast<unsigned char>(key), 0, 0);
        expectState(expected, P::take());
    }
}

TEST_F(KeyboardTest, FieldOfViewAndTesselationStopAtTheirBoundsAndStillRebuild) {
    struct Bound {
        int SimulationSettings::*field;
        int from;
        unsigned char key;
        int to;
        const char* message;
    };
    using S = SimulationSettings;
    const Bound bounds[] = {
        {&S::fieldOfView, 178, ',', 179, "FOV: 179 Degrees\n"},
        {&S::fieldOfView, 179, ',', 179, "FOV: 179 Degrees\n"},
        {&S::fieldOfView, 250, ',', 179, "FOV: 179 Degrees\n"},
        {&S::fieldOfView, 2, '.', 1, "FOV:   1 Degrees\n"},
        {&S::fieldOfView, 1, '.', 1, "FOV:   1 Degrees\n"},
        {&S::fieldOfView, -5, '.', 1, "FOV:   1 Degrees\n"},
        {&S::tesselation, 9, '<', 8, "Tesselation: 8\n"},
        {&S::tesselation, 8, '<', 8, "Tesselation: 8\n"},
        {&S::tesselation, 39, '>', 40, "Tesselation: 40\n"},
        {&S::tesselation, 40, '>', 40, "Tesselation: 40\n"},
    };
    for (const Bound& b : bounds) {
        SCOPED_TRACE(b.message);
        freshState();
        settings.*b.field = b.from;
        onKeyboard(b.key, 0, 0);
        EXPECT_EQ(settings.*b.field, b.to);
        EXPECT_EQ(message(), b.message);
        EXPECT_EQ(pinModelHasGeometry(), b.field == &S::tesselation);
    }
}

TEST_F(KeyboardTest, LetterboxBouncesUpToSixAndBackAndResynchronisesAfterAReset) {
    const int sizes[] = {1, 2, 3, 4, 5, 6, 5, 4, 3, 2, 1, 0, 1};
    for (int size : sizes) {
        forceClear = 0;
        onKeyboard('l', 0, 0);
        EXPECT_EQ(settings.letterbox, size);
        EXPECT_EQ(message(), "Letterbox: " + std::to_string(size));
        EXPECT_EQ(forceClear, 1);
    }

    freshState();
    for (int n = 0; n < 9; ++n)
        onKeyboard('L', 0, 0);
    ASSERT_EQ(settings.letterbox, 3);
    ASSERT_EQ(letterboxPhase, -3);  // on the way down
    onKeyboard('r', 0, 0);
    EXPECT_EQ(settings.letterbox, 0);
    EXPECT_EQ(letterboxPhase, -3);
    onKeyboard('l', 0, 0);
    EXPECT_EQ(message(), "Letterbox: 1");

    settings.letterbox = 4;  // changed behind the bounce's back
    onKeyboard('l', 0, 0);
    EXPECT_EQ(message(), "Letterbox: 5");
}

TEST_F(KeyboardTest, StepsDownAndUpAreNotExactInverses) {
    onKeyboard('-', 0, 0);
    onKeyboard('-', 0, 0);
    EXPECT_EQ(message(), "Rotate Speed: 0.81\n");
    settings.rotateSpeed = 1;
    onKeyboard('-', 0, 0);
    onKeyboard('=', 0, 0);
    EXPECT_EQ(settings.rotateSpeed, 0.9999999f);  // the float just below 0.99999994
    EXPECT_NE(settings.rotateSpeed, 1.0f);

    onKeyboard('[', 0, 0);
    onKeyboard(']', 0, 0);
    EXPECT_NEAR(settings.objectSize, 1.00277725, 1e-7);
}

TEST_F(KeyboardTest, MessagesShowTheValueBeforeItIsRoundedToFloat) {
    // Each result lies on the other side of a rounding boundary in double than as a float.
    struct Step {
        float SimulationSettings::*field;
        float from;
        unsigned char key;
        float stored;
        const char* message;
        const char* storedShown;
    };
    using S = SimulationSettings;
    const Step steps[] = {
        // 0.075f + 0.05 is 0.12500000298 in double, exactly 0.125 as a float.
        {&S::cameraZ, 0.075f, '}', 0.125f, "CameraZ: 0.13\n", "0.12"},
        // 0.25 * 0.9 is 0.22500000000000001 in double, 0.224999994 as a float.
        {&S::rotateSpeed, 0.25f, '-', 0.224999994f, "Rotate Speed: 0.23\n", "0.22"},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.message);
        settings.*step.field = step.from;
        onKeyboard(step.key, 0, 0);
        EXPECT_EQ(settings.*step.field, step.stored);
        char shown[16];
        std::snprintf(shown, sizeof shown, "%4.2f", static_cast<double>(settings.*step.field));
        ASSERT_STREQ(shown, step.storedShown);
        EXPECT_EQ(message(), step.message);
    }
}

TEST_F(KeyboardTest, ResetReseedsTheOscillatorsFromTheClock) {
    elapsedMs = 4321;
    onKeyboard('r', 0, 0);
    // The generator restarts from the clock: phase 1, rate 1, phase 2 are its first draws.
    uint32_t state = 4321;
    auto draw = [&state](double range) {
        state = state * 214013u + 2531011u;
        return ((state >> 16) & 0x7FFF) / 32768.0 * range;
    };
    EXPECT_DOUBLE_EQ(phase[1], draw(360));
    EXPECT_DOUBLE_EQ(rate[1], draw(0.02) + 0.02);
    EXPECT_DOUBLE_EQ(phase[2], draw(360));
}

TEST_F(KeyboardTest, EscapeStartsTheFadeAndASecondEscapeRestartsIt) {
    elapsedMs = 5000;
    renderFrame();
    onKeyboard(27, 0, 0);
    EXPECT_EQ(quitTime, 5.0f);
    elapsedMs = 7000;
    renderFrame();
    EXPECT_NEAR(brightness, 1 - 2 / 3.0, 1e-6);

    onKeyboard(27, 0, 0);
    EXPECT_EQ(quitTime, 7.0f);
    elapsedMs = 7500;
    renderFrame();
    EXPECT_NEAR(brightness, 1 - 0.5 / 3, 1e-6);

    // A reset cancels the fade: long after it would have ended, the program still runs.
    onKeyboard('r', 0, 0);
    ASSERT_EQ(quitTime, 0.0f);  // else the frame below would end the test program, status 0
    elapsedMs = 20000;
    renderFrame();
    EXPECT_EQ(brightness, 1.0f);
}

TEST_F(KeyboardTest, ClosingTheHelpPageClearsAtOnceOnlyWhenBlanking) {
    struct HelpCase {
        int blanking, helpShown;
        unsigned char key;
        bool cleared;
    };
    const HelpCase cases[] = {
        {1, 0, '?', false},  // opening never clears
        {1, 1, '/', true},
        {1, 1, '?', true},
        {0, 1, '?', false},  // hyperspace keeps its trails
    };
    for (const HelpCase& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "blanking " << c.blanking << " help " << c.helpShown << " key " << c.key);
        settings.blanking = c.blanking;
        helpShown = c.helpShown;
        glClearColor(0.8f, 0.2f, 0.4f, 1);
        glClearDepth(0.25);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glClearColor(0, 0, 0, 1);  // the program's clear colour
        glClearDepth(1);

        onKeyboard(c.key, 0, 0);
        EXPECT_EQ(helpShown, 1 - c.helpShown);
        auto pixel = readPixel(300, 200);
        float depth = 0;
        glReadPixels(300, 200, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
        EXPECT_EQ(pixel[0], c.cleared ? 0 : 204);
        EXPECT_EQ(pixel[2], c.cleared ? 0 : 102);
        EXPECT_NEAR(depth, c.cleared ? 1.0 : 0.25, 1e-6);
    }
}

// Pumps events and draws frames, as the main loop would, until the window has the size.
bool framesUntilWindowIs(int width, int height) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    auto settledSince = std::chrono::steady_clock::time_point::max();
    while (std::chrono::steady_clock::now() < deadline) {
        glutMainLoopEvent();
        onDisplay();
        bool there = glutGet(GLUT_WINDOW_WIDTH) == width && glutGet(GLUT_WINDOW_HEIGHT) == height &&
                     windowWidth == width && windowHeight == height;
        auto now = std::chrono::steady_clock::now();
        if (!there)
            settledSince = std::chrono::steady_clock::time_point::max();
        else if (settledSince == std::chrono::steady_clock::time_point::max())
            settledSince = now;
        else if (now - settledSince > std::chrono::milliseconds(300))
            return true;                                            // and it stays so
        std::this_thread::sleep_for(std::chrono::milliseconds(5));  // the X server's turn
    }
    return false;
}

TEST_F(KeyboardTest, FullScreenKeySwitchesBetweenA512WindowAndTheWholeScreen) {
    // As at start: a window of the toolkit's default size made full screen.
    ASSERT_TRUE(resizeWindow(300, 300));
    glutFullScreen();
    glutSetCursor(GLUT_CURSOR_NONE);
    ASSERT_TRUE(framesUntilWindowIs(1024, 768));

    settings.cameraMode = 1;
    forceClear = 1;
    onKeyboard('f', 0, 0);
    EXPECT_EQ(fullScreen, 0);
    EXPECT_EQ(settings.cameraMode, 0);
    EXPECT_EQ(forceClear, 0);
    EXPECT_EQ(glutGet(GLUT_WINDOW_CURSOR), GLUT_CURSOR_LEFT_ARROW);
    EXPECT_EQ(textOverlay.messageExpiry, 0);
    // Leaving full screen, the toolkit puts back the 300 x 300 it had before; the frames ask
    // for 512 x 512 again until the window has it.
    EXPECT_TRUE(framesUntilWindowIs(512, 512));

    onKeyboard('F', 0, 0);
    EXPECT_EQ(fullScreen, 1);
    EXPECT_EQ(settings.cameraMode, 1);
    EXPECT_EQ(forceClear, 1);
    EXPECT_EQ(glutGet(GLUT_WINDOW_CURSOR), GLUT_CURSOR_NONE);
    EXPECT_EQ(textOverlay.messageExpiry, 0);
    EXPECT_TRUE(framesUntilWindowIs(1024, 768));

    glutLeaveFullScreen();  // back to the plain window the other tests draw into
    pumpEvents();
    EXPECT_TRUE(resizeWindow(kTestWindowWidth, kTestWindowHeight));
}
}  // namespace
