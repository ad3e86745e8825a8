// Keys: each command's whole effect and message, and nothing else; the bounce, arrows, a storm.
#include <GL/freeglut.h>

#include <cctype>
#include <cstring>
#include <random>
#include <set>
#include <string>

#include "app/toolkit_input.h"
#include "board/pin_board.h"
#include "input/keyboard.h"
#include "motion/oscillator_bank.h"
#include "motion/random.h"
#include "overlay/text_overlay.h"
#include "state/frame_clock.h"
#include "state/settings.h"
#include "state/window_state.h"
#include "tests/support/gl_test.h"
#include "view/camera.h"

namespace {
// The state a key may change, by name: the settings, then the other globals.
// clang-format off
#define VARO_SETTINGS(X)                                                                   \
    X(fieldOfView) X(letterbox) X(tesselation) X(universeOn) X(blanking) X(spotlightOn)    \
    X(texturesOn) X(polyMode) X(cameraMode) X(texGenMode) X(imageIndex) X(clockOn)         \
    X(rotateSpeed) X(movementSpeed) X(cameraZ) X(objectSize) X(mainSpeed) X(speed)         \
    X(lightRotateSpeed)
#define VARO_GLOBALS(X)                                                                    \
    X(paused) X(arrowKeys) X(forceClear) X(helpShown) X(fullScreen) X(letterboxPhase)      \
    X(numberCounter) X(quitting) X(quitPressedMs) X(brightness) X(cameraPitch)             \
    X(cameraYaw) X(cameraX) X(cameraY) X(cameraPosZ) X(mouseDX) X(mouseDY) X(mouseMoved)
#define VARO_COPY(name) decltype(::name) name = ::name;
#define VARO_SAME(name) EXPECT_EQ(expected.name, actual.name) << #name;
#define VARO_SAME_SETTING(name) VARO_SAME(s.name)
#define VARO_DISTURB(name) name = name * 2 + 3;
#define VARO_DISTURB_SETTING(name) VARO_DISTURB(settings.name)
// clang-format on

const auto callPinList = [] { glCallList(static_cast<GLuint>(pinListId)); };

// Everything a key may change, taken on construction.
struct ProgramSnapshot {
    SimulationSettings s = settings;
    VARO_GLOBALS(VARO_COPY)
    int cursor = glutGet(GLUT_WINDOW_CURSOR);
    bool pinModelDrawn = !feedback(GL_3D, callPinList, 2).empty();  // freshState empties it
    int red = readRgb(300, 200, 1, 1)[0];  // of a pixel that freshState paints 204
    double turn = phase[kStarTurnAboutY];  // an oscillator that only a reset seeds
    std::string message = textOverlay.messageExpiry == 0 ? "" : textOverlay.messageText;
};

void expectState(const ProgramSnapshot& expected, const ProgramSnapshot& actual) {
    VARO_SETTINGS(VARO_SAME_SETTING)
    VARO_GLOBALS(VARO_SAME)
    VARO_SAME(cursor) VARO_SAME(pinModelDrawn) VARO_SAME(red) VARO_SAME(turn) VARO_SAME(message)
}

using P = ProgramSnapshot;

constexpr int kSpecial = 0x1000, kRelease = 0x3000;  // a special key's code, pressed or let go
SimulationSettings startSettings;                    // as at start-up; kept by freshState

void press(int key) {
    if ((key & kRelease) == kRelease)
        return onToolkitSpecialKeyUp(key & 255, 0, 0);
    (key & kSpecial) ? onToolkitSpecialKey(key & 255, 0, 0) : onKeyboard(key & 255, 0, 0);
}

// Moves everything a reset touches, and everything it must keep, away from its start value.
void disturbEverything() {
    VARO_SETTINGS(VARO_DISTURB_SETTING) VARO_GLOBALS(VARO_DISTURB) elapsedMs = 4321;
}

// The reset: start settings, oscillators seeded by the clock; window, help, keys, pointer kept.
void expectReset(P& p) {
    seedRandom(4321);
    p.turn = uniformRandom(360);  // the first draw after the seeding
    p.s = startSettings, p.paused = p.quitting = 0, p.brightness = 1;
    p.forceClear = kClearNextFrame;
    p.cameraPitch = p.cameraYaw = p.cameraX = p.cameraY = p.cameraPosZ = 0, p.pinModelDrawn = true;
}

constexpr float kUp = 1.111111f, kDown = 0.9f;  // one step from 1
const auto rebuilt = [](P& p) { p.pinModelDrawn = true; };

struct KeyCase {
    int key;
    void (*prepare)();    // state before the key, beyond the defaults; may be null
    void (*effect)(P&);   // what the key changes; a character key also cancels a pending clear
    const char* message;  // null: no message
};

const KeyCase kKeyCases[] = {
    {27, [] { elapsedMs = 12500, settings.blanking = kHyperspace, helpShown = 1; },
     [](P& p) {
         p.s.blanking = kBlankEveryFrame;
         p.quitting = 1, p.quitPressedMs = 12500, p.helpShown = 0;
     },
     nullptr},
    {' ', nullptr, [](P& p) { p.s.blanking = kHyperspace; }, nullptr},
    {' ', [] { settings.blanking = kHyperspace; }, [](P& p) { p.s.blanking = kBlankEveryFrame; },
     nullptr},
    {'(', nullptr, [](P& p) { p.s.lightRotateSpeed = kDown; }, "Light Rotate Speed: 0.90\n"},
    {')', nullptr, [](P& p) { p.s.lightRotateSpeed = kUp; }, "Light Rotate Speed: 1.11\n"},
    {'+', nullptr, [](P& p) { p.s.movementSpeed = kUp; }, "Movement Speed: 1.11\n"},
    {'_', nullptr, [](P& p) { p.s.movementSpeed = kDown; }, "Movement Speed: 0.90\n"},
    {',', nullptr, [](P& p) { p.s.fieldOfView = 101; }, "FOV: 101 Degrees\n"},
    {'.', nullptr, [](P& p) { p.s.fieldOfView = 99; }, "FOV:  99 Degrees\n"},
    // 0.25 x 0.9 is 0.22500000000000001 in double, 0.224999994 (shown 0.22) as a float.
    {'-', [] { settings.rotateSpeed = 0.25f; },
     [](P& p) { p.s.rotateSpeed = static_cast<float>(0.25f * 0.9); }, "Rotate Speed: 0.23\n"},
    {'=', nullptr, [](P& p) { p.s.rotateSpeed = kUp; }, "Rotate Speed: 1.11\n"},
    // Opening the help page never clears, closing it does, but not in hyperspace (its trails).
    {'/', nullptr, [](P& p) { p.helpShown = 1; }, nullptr},
    {'?', [] { helpShown = 1; }, [](P& p) { p.helpShown = 0, p.red = 0; }, nullptr},
    {'?', [] { helpShown = 1, settings.blanking = kHyperspace; }, [](P& p) { p.helpShown = 0; },
     nullptr},
    {'<', nullptr, [](P& p) { p.s.tesselation = 19, p.pinModelDrawn = true; }, "Tesselation: 19\n"},
    {'>', nullptr, [](P& p) { p.s.tesselation = 21, p.pinModelDrawn = true; }, "Tesselation: 21\n"},
    {'c', nullptr, [](P& p) { p.s.clockOn = 1; }, "Frame/Second Clock On"},
    {'C', [] { settings.clockOn = 1; }, [](P& p) { p.s.clockOn = 0; }, "Frame/Second Clock Off"},
    {'i', nullptr, [](P& p) { p.s.imageIndex = 0; }, "Image 0/1: FishEye"},
    {'I', [] { settings.imageIndex = 0; }, [](P& p) { p.s.imageIndex = 1; },
     "Image 1/1: Mona Lisa"},
    {'l', nullptr,
     [](P& p) { p.s.letterbox = p.letterboxPhase = 1, p.forceClear = kClearNextFrame; },
     "Letterbox: 1"},
    {'n', nullptr, [](P& p) { p.numberCounter = 1; }, "# : 1"},
    {'N', [] { numberCounter = 15; }, [](P& p) { p.numberCounter = 0; }, "# : 0"},
    {'o', nullptr, [](P& p) { p.s.texGenMode = kObjectLinear; }, "Option 1/2: Object Map"},
    {'O', [] { settings.texGenMode = kObjectLinear; }, [](P& p) { p.s.texGenMode = kEyeLinear; },
     "Option 2/2: Eye Map"},
    {'O', [] { settings.texGenMode = kEyeLinear; }, [](P& p) { p.s.texGenMode = kSphereMap; },
     "Option 0/2: Sphere Map"},
    {'p', nullptr, [](P& p) { p.paused = 1; }, "Pause Motion"},
    {'P', [] { paused = 1; }, [](P& p) { p.paused = 0; }, "Continue Motion"},
    {'r', disturbEverything, expectReset, "Reset"},
    {'R', [] { disturbEverything(), fullScreen = 0; }, expectReset, "Reset"},
    {'s', nullptr, [](P& p) { p.s.spotlightOn = 1; }, nullptr},
    {'S', [] { settings.spotlightOn = 1; }, [](P& p) { p.s.spotlightOn = 0; }, nullptr},
    {'t', nullptr, [](P& p) { p.s.texturesOn = 0; }, "Textures Off"},
    {'T', [] { settings.texturesOn = 0; }, [](P& p) { p.s.texturesOn = 1; }, "Textures On"},
    {'u', [] { settings.universeOn = 2; }, [](P& p) { p.s.universeOn = 0; }, "Universe Off"},
    {'U', [] { settings.universeOn = 0; }, [](P& p) { p.s.universeOn = 1; }, "Universe On"},
    {'v', nullptr, [](P& p) { p.s.cameraMode = kManualCamera; },
     "Camera 2: Manual Mouse/Arrow Key Control"},
    {'V', [] { settings.cameraMode = kManualCamera; },
     [](P& p) { p.s.cameraMode = kAutomaticCamera; }, "Camera 1: Auto"},
    {'w', nullptr, [](P& p) { p.s.polyMode = kPolygonLines; }, "PolyMode 2/3: Lines"},
    {'W', [] { settings.polyMode = kPolygonLines; }, [](P& p) { p.s.polyMode = kPolygonPoints; },
     "PolyMode 3/3: Points"},
    {'w', [] { settings.polyMode = kPolygonPoints; }, [](P& p) { p.s.polyMode = kFilledPolygons; },
     "PolyMode 1/3: Polygons"},
    {'[', nullptr, [](P& p) { p.s.objectSize = 0.95f; }, "Object Size: 0.95\n"},
    {']', nullptr, [](P& p) { p.s.objectSize = 1.055555f; }, "Object Size: 1.06\n"},
    {'{', nullptr, [](P& p) { p.s.cameraZ = static_cast<float>(3.0 - 0.05); }, "CameraZ: 2.95\n"},
    // 0.075f + 0.05 is 0.12500000298 in double, exactly 0.125 (shown 0.12) as a float.
    {'}', [] { settings.cameraZ = 0.075f; }, [](P& p) { p.s.cameraZ = 0.125f; }, "CameraZ: 0.13\n"},
    // At their bounds field of view and tesselation stay; the pin model is rebuilt all the same.
    {',', [] { settings.fieldOfView = 179; }, [](P&) {}, "FOV: 179 Degrees\n"},
    {'.', [] { settings.fieldOfView = 1; }, [](P&) {}, "FOV:   1 Degrees\n"},
    {'<', [] { settings.tesselation = 8; }, rebuilt, "Tesselation: 8\n"},
    {'>', [] { settings.tesselation = 40; }, rebuilt, "Tesselation: 40\n"},
    {'f', nullptr,
     [](P& p) {
         p.s.cameraMode = kAutomaticCamera;
         p.fullScreen = 0, p.cursor = GLUT_CURSOR_LEFT_ARROW;
     },
     nullptr},
    {'F', [] { fullScreen = 0, glutSetCursor(GLUT_CURSOR_LEFT_ARROW); },
     [](P& p) {
         p.s.cameraMode = kManualCamera, p.forceClear = kClearNextFrame;
         p.fullScreen = 1, p.cursor = GLUT_CURSOR_NONE;
     },
     nullptr},
    {kSpecial | GLUT_KEY_PAGE_UP, nullptr, [](P& p) { p.s.mainSpeed = kUp; }, "Main Speed: 1.11\n"},
    {kSpecial | GLUT_KEY_PAGE_DOWN, nullptr, [](P& p) { p.s.mainSpeed = kDown; },
     "Main Speed: 0.90\n"},
    {kSpecial | GLUT_KEY_HOME, nullptr, [](P& p) { p.s.speed = kUp; }, "Speed: 1.11\n"},
    {kSpecial | GLUT_KEY_END, nullptr, [](P& p) { p.s.speed = kDown; }, "Speed: 0.90\n"},
    {kSpecial | GLUT_KEY_SHIFT_L, nullptr, [](P&) {}, nullptr},  // a special key without a command
    // Arrow keys hold their bit from press to release: a repeat, a lone release change nothing.
    {kSpecial | GLUT_KEY_LEFT, [] { arrowKeys = kArrowRight; },
     [](P& p) { p.arrowKeys = kArrowLeft | kArrowRight; }, nullptr},
    {kSpecial | GLUT_KEY_RIGHT, [] { arrowKeys = kArrowRight; }, [](P&) {}, nullptr},
    {kSpecial | GLUT_KEY_UP, nullptr, [](P& p) { p.arrowKeys = kArrowUp; }, nullptr},
    {kSpecial | GLUT_KEY_DOWN, [] { arrowKeys = kArrowLeft | kArrowRight | kArrowUp; },
     [](P& p) { p.arrowKeys = kArrowLeft | kArrowRight | kArrowUp | kArrowDown; }, nullptr},
    {kRelease | GLUT_KEY_LEFT, [] { arrowKeys = kArrowLeft | kArrowRight | kArrowUp | kArrowDown; },
     [](P& p) { p.arrowKeys = kArrowRight | kArrowUp | kArrowDown; }, nullptr},
    {kRelease | GLUT_KEY_DOWN, [] { arrowKeys = kArrowLeft | kArrowRight | kArrowUp; }, [](P&) {},
     nullptr},
    // A factor step out of 0.001 .. 1000 is not taken, so the opposite key can undo any step.
    {kSpecial | GLUT_KEY_HOME, [] { settings.speed = 999; }, [](P&) {}, "Speed: 999.00\n"},
    {'(', [] { settings.lightRotateSpeed = 0.0011f; }, [](P&) {}, "Light Rotate Speed: 0.00\n"},
};

class KeysTest : public VaroTest {
protected:
    // Start-up state with a pending clear, a painted back buffer and an empty pin list.
    static void freshState() {
        resetProgramState(), startSettings = settings;
        fullScreen = 1, forceClear = kClearNextFrame;
        glutSetCursor(GLUT_CURSOR_NONE);
        glDeleteLists(static_cast<GLuint>(pinListId), 1);  // a name with no list: no geometry
        pinListId = static_cast<int>(glGenLists(1));
        glClearColor(0.8f, 0.2f, 0.4f, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glClearColor(0, 0, 0, 1);
    }
};

// Every key without a command (letters work in either case) only cancels a pending clear.
TEST_F(KeysTest, EveryCommandChangesItsOwnStateAndPostsItsMessageAndNoOtherKeyActs) {
    std::set<int> commands;
    for (const KeyCase& c : kKeyCases)
        commands.insert({c.key, c.key < 128 ? std::toupper(c.key) : c.key});
    ASSERT_EQ(commands.size(), 18u + 2 * 13u + 9u + 2u);  // punctuation, letters, special, let go
    std::vector<KeyCase> cases(std::begin(kKeyCases), std::end(kKeyCases));
    for (int key = 0; key < 256; ++key)
        if (!commands.count(key))
            cases.push_back({key, nullptr, [](P&) {}, nullptr});
    for (const KeyCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "key code " << c.key);  // specials from 0x1000
        freshState();
        if (c.prepare)
            c.prepare();
        P expected;
        expected.forceClear = c.key & kSpecial ? kClearNextFrame : kNoClearRequested;
        c.effect(expected);
        expected.message = c.message ? c.message : "";
        press(c.key);
        expectState(expected, P());
    }
    glutLeaveFullScreen();
    pumpEvents();  // 'F' made the window full screen
    EXPECT_TRUE(resizeWindow(kTestWindowWidth, kTestWindowHeight));
}

TEST_F(KeysTest, LetterboxBouncesUpToSixAndBackAndResynchronisesAfterAReset) {
    for (int size : {1, 2, 3, 4, 5, 6, 5, 4, 3, 2, 1, 0, 1}) {
        onKeyboard('l', 0, 0);
        EXPECT_EQ(P().message, "Letterbox: " + std::to_string(size));
    }
    for (int n = 0; n < 8; ++n)  // to 3 on the way down
        onKeyboard('L', 0, 0);
    onKeyboard('r', 0, 0);
    onKeyboard('l', 0, 0);
    EXPECT_EQ(P().message, "Letterbox: 1");
    settings.letterbox = 4;
    onKeyboard('l', 0, 0);  // changed behind the bounce's back
    EXPECT_EQ(P().message, "Letterbox: 5");
}

using InputStorm = VaroTest;

// Random keys, pointer, resizes to 1 x 1, a clock that stalls, jumps back: no GL error or leak.
TEST_F(InputStorm, LeavesTheProgramDrawingWithoutErrorsOrLeaks) {
    ASSERT_TRUE(resizeWindow(160, 120));  // small frames keep the storm quick
    std::mt19937 random(20261207);
    const char kCommands[] = " ()+,-./<=>?[]_{}cilnoprstuvw";  // 'f' too: among the codes
    for (int event = 0, clockMs = 20000; event < 3000; ++event) {
        const unsigned r = random(),
                       key = r % 3 ? kCommands[r / 3 % (sizeof kCommands - 1)] : r >> 8;
        switch (r >> 29) {
            case 0: glutReshapeWindow(1 + r % 160, 1 + (r >> 8) % 120); break;
            case 1:
                onToolkitSpecialKey(GLUT_KEY_LEFT + r % 8, 0, 0);
                onToolkitSpecialKeyUp(r >> 8 & 255, 0, 0);
                break;
            case 2: onPointerMotion(static_cast<short>(r), static_cast<short>(r >> 16)); break;
            case 3:
                pumpEvents();
                ASSERT_EQ(frameAt(clockMs += r % 2 ? 16 : static_cast<int>(r % 5000) - 1000), 0)
                    << "event " << event;
                break;
            default: onKeyboard(static_cast<unsigned char>(key), 0, 0);
        }
        if ((key & 255) == 27)
            onKeyboard('r', 0, 0);  // cancels the quit, so the process goes on
    }
    int lists = 0;  // the pin list and the star field's
    for (GLuint name = 1; name <= static_cast<GLuint>(pinListId) + 100; ++name)
        lists += glIsList(name) == GL_TRUE;
    EXPECT_EQ(lists, 2);
    glutLeaveFullScreen();
    EXPECT_TRUE(resizeWindow(kTestWindowWidth, kTestWindowHeight));
}
}  // namespace
