// Character-key commands: every key's whole effect and message, the bounds and bounces, the
// reset, the help page's clear and the full-screen switch of the real window.
#include "input/keyboard.h"

#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <set>
#include <string>
#include <thread>

#include "app/frame.h"
#include "app/reset.h"
#include "app/window.h"
#include "motion/oscillator_bank.h"
#include "motion/random.h"
#include "overlay/text_overlay.h"
#include "state/frame_clock.h"
#include "state/settings.h"
#include "state/window_state.h"
#include "tests/input/program_snapshot.h"
#include "tests/support/gl_test.h"
#include "view/camera.h"

namespace {
using P = ProgramSnapshot;
using S = SimulationSettings;

SimulationSettings startSettings;  // as at start-up; kept by freshState

// Moves everything a reset touches, and everything it must keep, away from its start value.
void disturbEverything() {
    for (int S::*field : {&S::fieldOfView, &S::letterbox, &S::tesselation, &S::universeOn,
                          &S::blanking, &S::spotlightOn, &S::texturesOn, &S::polyMode,
                          &S::cameraMode, &S::texGenMode, &S::imageIndex, &S::clockOn})
        settings.*field += 3;
    for (float S::*field : {&S::rotateSpeed, &S::movementSpeed, &S::cameraZ, &S::objectSize,
                            &S::mainSpeed, &S::speed, &S::lightRotateSpeed})
        settings.*field *= 2.5f;
    paused = helpShown = mouseMoved = 1;
    quitting = 1;  // a quit fade is running
    brightness = 0.3f;
    cameraPitch = cameraYaw = cameraX = cameraY = cameraPosZ = 0.5;
    letterboxPhase = -3, numberCounter = 7, arrowKeys = 5, mouseDX = 3, mouseDY = -4;
}

void expectReset(P& p) {
    p.s = startSettings;
    p.paused = 0;
    p.quitting = 0;
    p.brightness = 1;
    p.cameraPitch = p.cameraYaw = p.cameraX = p.cameraY = p.cameraPosZ = 0;
    p.pinModelDrawn = true;
    p.forceClear = 1;
}

float times(double factor, float from = 1) {
    return static_cast<float>(from * factor);
}

struct KeyCase {
    unsigned char key;
    void (*prepare)();    // state before the key, beyond the defaults; may be null
    void (*effect)(P&);   // what the key changes (forceClear is expected 0 otherwise)
    const char* message;  // null: no message
};

const KeyCase kKeyCases[] = {
    {27, [] { elapsedMs = 12500, settings.blanking = 0, helpShown = 1; },
     [](P& p) { p.quitting = 1, p.quitPressedMs = 12500, p.s.blanking = 1, p.helpShown = 0; },
     nullptr},
    {' ', nullptr, [](P& p) { p.s.blanking = 0; }, nullptr},
    {'(', nullptr, [](P& p) { p.s.lightRotateSpeed = times(0.9); }, "Light Rotate Speed: 0.90\n"},
    {')', nullptr, [](P& p) { p.s.lightRotateSpeed = times(1.111111); },
     "Light Rotate Speed: 1.11\n"},
    {'+', nullptr, [](P& p) { p.s.movementSpeed = times(1.111111); }, "Movement Speed: 1.11\n"},
    {'_', nullptr, [](P& p) { p.s.movementSpeed = times(0.9); }, "Movement Speed: 0.90\n"},
    {',', nullptr, [](P& p) { p.s.fieldOfView = 101; }, "FOV: 101 Degrees\n"},
    {'.', nullptr, [](P& p) { p.s.fieldOfView = 99; }, "FOV:  99 Degrees\n"},
    // 0.25 x 0.9 is 0.22500000000000001 in double, 0.224999994 (shown 0.22) as a float.
    {'-', [] { settings.rotateSpeed = 0.25f; }, [](P& p) { p.s.rotateSpeed = times(0.9, 0.25f); },
     "Rotate Speed: 0.23\n"},
    {'=', nullptr, [](P& p) { p.s.rotateSpeed = times(1.111111); }, "Rotate Speed: 1.11\n"},
    {'/', nullptr, [](P& p) { p.helpShown = 1; }, nullptr},
    {'?', nullptr, [](P& p) { p.helpShown = 1; }, nullptr},
    {'<', nullptr, [](P& p) { p.s.tesselation = 19, p.pinModelDrawn = true; }, "Tesselation: 19\n"},
    {'>', nullptr, [](P& p) { p.s.tesselation = 21, p.pinModelDrawn = true; }, "Tesselation: 21\n"},
    {'c', nullptr, [](P& p) { p.s.clockOn = 1; }, "Frame/Second Clock On"},
    {'C', [] { settings.clockOn = 1; }, [](P& p) { p.s.clockOn = 0; }, "Frame/Second Clock Off"},
    {'i', nullptr, [](P& p) { p.s.imageIndex = 0; }, "Image 0/1: FishEye"},
    {'I', [] { settings.imageIndex = 0; }, [](P& p) { p.s.imageIndex = 1; },
     "Image 1/1: Mona Lisa"},
    {'l', nullptr, [](P& p) { p.s.letterbox = p.letterboxPhase = p.forceClear = 1; },
     "Letterbox: 1"},
    {'L', nullptr, [](P& p) { p.s.letterbox = p.letterboxPhase = p.forceClear = 1; },
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
    {'[', nullptr, [](P& p) { p.s.objectSize = times(0.95); }, "Object Size: 0.95\n"},
    {']', nullptr, [](P& p) { p.s.objectSize = times(1.055555); }, "Object Size: 1.06\n"},
    {'{', nullptr, [](P& p) { p.s.cameraZ = static_cast<float>(3.0 - 0.05); }, "CameraZ: 2.95\n"},
    // 0.075f + 0.05 is 0.12500000298 in double, exactly 0.125 (shown 0.12) as a float.
    {'}', [] { settings.cameraZ = 0.075f; }, [](P& p) { p.s.cameraZ = 0.125f; }, "CameraZ: 0.13\n"},
    // At their bounds field of view and tesselation stay; the pin model is rebuilt all the same.
    {',', [] { settings.fieldOfView = 179; }, [](P&) {}, "FOV: 179 Degrees\n"},
    {'.', [] { settings.fieldOfView = 1; }, [](P&) {}, "FOV:   1 Degrees\n"},
    {'<', [] { settings.tesselation = 8; }, [](P& p) { p.pinModelDrawn = true; },
     "Tesselation: 8\n"},
    {'>', [] { settings.tesselation = 40; }, [](P& p) { p.pinModelDrawn = true; },
     "Tesselation: 40\n"},
};

class KeyboardTest : public VaroTest {
protected:
    void TearDown() override {
        fullScreen = 1;
        VaroTest::TearDown();
    }

    // Start-up state, with a pending clear and an empty pin list that only a rebuild refills.
    static void freshState() {
        resetProgramState();
        startSettings = settings;
        fullScreen = 1;
        emptyPinModel();
        forceClear = 1;
    }

    static std::string message() { return P().message; }
};

TEST_F(KeyboardTest, EveryCommandKeyChangesItsOwnStateAndPostsItsMessage) {
    for (const KeyCase& c : kKeyCases) {
        SCOPED_TRACE(testing::Message() << "key " << int(c.key) << " '" << c.key << "'");
        freshState();
        if (c.prepare)
            c.prepare();
        P expected;
        expected.forceClear = 0;
        c.effect(expected);
        expected.message = c.message ? c.message : "";
        onKeyboard(c.key, 0, 0);
        expectState(expected, P());
    }
}

TEST_F(KeyboardTest, KeysWithoutACommandOnlyCancelAPendingClear) {
    std::set<unsigned char> commands = {'f', 'F'};  // the window switch, tested below
    for (const KeyCase& c : kKeyCases)
        commands.insert(c.key);
    ASSERT_EQ(commands.size(), 18u + 2 * 13u);  // 18 punctuation and control keys, 13 letters
    for (int key = 0; key < 256; ++key) {
        if (commands.count(static_cast<unsigned char>(key)))
            continue;
        SCOPED_TRACE(testing::Message() << "key " << key);
        freshState();
        P expected;
        expected.forceClear = 0;
        onKeyboard(static_cast<unsigned char>(key), 0, 0);
        expectState(expected, P());
    }
}

TEST_F(KeyboardTest, LetterboxBouncesUpToSixAndBackAndResynchronisesAfterAReset) {
    for (int size : {1, 2, 3, 4, 5, 6, 5, 4, 3, 2, 1, 0, 1}) {
        forceClear = 0;
        onKeyboard('l', 0, 0);
        EXPECT_EQ(settings.letterbox, size);
        EXPECT_EQ(message(), "Letterbox: " + std::to_string(size));
        EXPECT_EQ(forceClear, 1);
    }
    for (int n = 0; n < 8; ++n)  // to 3 on the way down
        onKeyboard('L', 0, 0);
    ASSERT_EQ(letterboxPhase, -3);
    onKeyboard('r', 0, 0);
    onKeyboard('l', 0, 0);
    EXPECT_EQ(message(), "Letterbox: 1");
    settings.letterbox = 4;  // changed behind the bounce's back
    onKeyboard('l', 0, 0);
    EXPECT_EQ(message(), "Letterbox: 5");
}

TEST_F(KeyboardTest, ResetReseedsTheOscillatorsFromTheClock) {
    elapsedMs = 4321;
    onKeyboard('r', 0, 0);
    seedRandom(4321);
    EXPECT_DOUBLE_EQ(phase[1], uniformRandom(360));  // the first draw after the seeding
}

TEST_F(KeyboardTest, ClosingTheHelpPageClearsAtOnceOnlyWhenBlanking) {
    struct HelpCase {
        int blanking, helpShown;
        bool cleared;
    };  // opening never clears, nor does closing in hyperspace, which keeps its trails
    for (const HelpCase& c : {HelpCase{1, 0, false}, HelpCase{1, 1, true}, HelpCase{0, 1, false}}) {
        SCOPED_TRACE(testing::Message() << "blanking " << c.blanking << " help " << c.helpShown);
        settings.blanking = c.blanking;
        helpShown = c.helpShown;
        glClearColor(0.8f, 0.2f, 0.4f, 1);
        glClearDepth(0.25);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glClearColor(0, 0, 0, 1);  // the program's clear colour
        glClearDepth(1);
        onKeyboard('?', 0, 0);
        float depth = 0;
        glReadPixels(300, 200, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
        EXPECT_EQ(readRgb(300, 200, 1, 1)[0], c.cleared ? 0 : 204);
        EXPECT_NEAR(depth, c.cleared ? 1.0 : 0.25, 1e-6);
    }
}

// Pumps events and draws frames, as the main loop would, until the window has kept the size
// for 0.3 s (the toolkit may still be moving it), or 3 s have passed.
bool framesUntilWindowIs(int width, int height) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::seconds(3);
    auto since = Clock::time_point::max();
    while (Clock::now() < deadline) {
        glutMainLoopEvent();
        onDisplay();
        const bool there = glutGet(GLUT_WINDOW_WIDTH) == width &&
                           glutGet(GLUT_WINDOW_HEIGHT) == height && windowWidth == width &&
                           windowHeight == height;
        since = there ? std::min(since, Clock::now()) : Clock::time_point::max();
        if (there && Clock::now() - since > std::chrono::milliseconds(300))
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));  // the X server's turn
    }
    return false;
}

TEST_F(KeyboardTest, FullScreenKeySwitchesBetweenA512WindowAndTheWholeScreen) {
    ASSERT_TRUE(resizeWindow(300, 300));  // as at start: a small window made full screen
    glutFullScreen();
    glutSetCursor(GLUT_CURSOR_NONE);
    ASSERT_TRUE(framesUntilWindowIs(1024, 768));
    struct Step {
        unsigned char key;
        int fullScreen, cursor, width, height;  // cameraMode and forceClear follow fullScreen
    };
    // Leaving full screen, the toolkit puts back the 300 x 300 it had before; the frames ask
    // for 512 x 512 again until the window has it.
    for (const Step& s : {Step{'f', 0, GLUT_CURSOR_LEFT_ARROW, 512, 512},
                          Step{'F', 1, GLUT_CURSOR_NONE, 1024, 768}}) {
        SCOPED_TRACE(s.key);
        settings.cameraMode = forceClear = 1 - s.fullScreen;
        onKeyboard(s.key, 0, 0);
        EXPECT_EQ(fullScreen, s.fullScreen);
        EXPECT_EQ(settings.cameraMode, s.fullScreen);
        EXPECT_EQ(forceClear, s.fullScreen);
        EXPECT_EQ(glutGet(GLUT_WINDOW_CURSOR), s.cursor);
        EXPECT_EQ(textOverlay.messageExpiry, 0);
        EXPECT_TRUE(framesUntilWindowIs(s.width, s.height));
    }
    glutLeaveFullScreen();  // back to the plain window the other tests draw into
    pumpEvents();
    EXPECT_TRUE(resizeWindow(kTestWindowWidth, kTestWindowHeight));
}
}  // namespace
