// Keys: what each command changes and shows, and nothing else; a storm of input.
#include <GL/freeglut.h>

#include <cctype>
#include <map>
#include <random>
#include <sstream>

#include "app/toolkit_input.h"
#include "board/pin_board.h"
#include "input/keyboard.h"
#include "overlay/text_overlay.h"
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
#define VARO_PUT(name) put(#name, name);
#define VARO_PUT_SETTING(name) put(#name, settings.name);
// clang-format on

using State = std::map<std::string, std::string>;  // name and value of all a key may change
double freshTurn;  // an oscillator's phase, which only a reset seeds anew

State currentState() {
    State state;
    const auto put = [&state](const char* name, auto value) {
        std::ostringstream text;
        text << value;
        state[name] = text.str();
    };
    VARO_SETTINGS(VARO_PUT_SETTING);
    VARO_GLOBALS(VARO_PUT);
    const auto pinList = [] { glCallList(static_cast<GLuint>(pinListId)); };
    put("cursor", glutGet(GLUT_WINDOW_CURSOR));
    put("pinModel", !feedback(GL_3D, pinList, 2).empty());  // freshState empties it
    put("reseeded", phase[kStarTurnAboutY] != freshTurn);
    return state;
}

// "name value ..." of what differs, by name.
std::string changes(const State& before, const State& after) {
    std::string text;
    for (const auto& [name, value] : after)
        if (before.at(name) != value)
            text += (text.empty() ? "" : " ") + name + " " + value;
    return text;
}

// Start-up state with a pending clear and an empty pin list.
void freshState() {
    resetProgramState(), freshTurn = phase[kStarTurnAboutY];
    fullScreen = 1, forceClear = kClearNextFrame, quitPressedMs = 0;
    glutSetCursor(GLUT_CURSOR_NONE);
    glDeleteLists(static_cast<GLuint>(pinListId), 1);  // a name with no list: no geometry
    pinListId = static_cast<int>(glGenLists(1));
}

constexpr int kSpecial = 0x1000, kRelease = 0x3000;  // a special key's code, pressed or let go

void press(int key) {
    if ((key & kRelease) == kRelease)
        return onToolkitSpecialKeyUp(key & 255, 0, 0);
    (key & kSpecial) ? onToolkitSpecialKey(key & 255, 0, 0) : onKeyboard(key & 255, 0, 0);
}

#define BEFORE(...) [] { __VA_ARGS__; }
struct KeyCase {
    int key;
    void (*prepare)();    // state before the key, beyond the defaults; may be null
    const char* changes;  // what the key changes besides cancelling a clear (character keys)
    const char* shows;    // what its message shows (the new value or state); null: no message
};

const KeyCase kKeyCases[] = {
    {27, BEFORE(elapsedMs = 12500, settings.blanking = kHyperspace, helpShown = 1),
     "blanking 1 helpShown 0 quitPressedMs 12500 quitting 1", nullptr},
    {' ', nullptr, "blanking 0", nullptr},
    {'(', nullptr, "lightRotateSpeed 0.9", "0.90"},
    {')', nullptr, "lightRotateSpeed 1.11111", "1.11"},
    {'+', nullptr, "movementSpeed 1.11111", "1.11"},
    {'_', nullptr, "movementSpeed 0.9", "0.90"},
    {'=', nullptr, "rotateSpeed 1.11111", "1.11"},
    // The step is taken in double and shown unrounded: 0.22500000000000001 shows 0.23.
    {'-', BEFORE(settings.rotateSpeed = 0.25f), "rotateSpeed 0.225", "0.23"},
    {'[', nullptr, "objectSize 0.95", "0.95"},
    {']', nullptr, "objectSize 1.05555", "1.06"},
    {'{', nullptr, "cameraZ 2.95", "2.95"},
    {'}', BEFORE(settings.cameraZ = 0.075f), "cameraZ 0.125", "0.13"},
    {',', nullptr, "fieldOfView 101", "101"},
    {'.', nullptr, "fieldOfView 99", "99"},
    {'<', nullptr, "pinModel 1 tesselation 19", "19"},
    {'>', nullptr, "pinModel 1 tesselation 21", "21"},
    // At their bounds field of view and tesselation stay; the pin model is rebuilt all the same.
    {',', BEFORE(settings.fieldOfView = 179), "", "179"},
    {'.', BEFORE(settings.fieldOfView = 1), "", "1"},
    {'<', BEFORE(settings.tesselation = 8), "pinModel 1", "8"},
    {'>', BEFORE(settings.tesselation = 40), "pinModel 1", "40"},
    // A factor step out of 0.001 .. 1000 is not taken, so the opposite key can undo any step.
    {kSpecial | GLUT_KEY_HOME, BEFORE(settings.speed = 999), "", "999.00"},
    {'/', nullptr, "helpShown 1", nullptr},
    {'?', BEFORE(helpShown = 1), "helpShown 0", nullptr},
    // The reset: start settings, new motion, the camera home; the window, help and keys kept.
    {'r',
     BEFORE(settings.cameraMode = paused = quitting = helpShown = arrowKeys = 1,
            cameraPitch = cameraX = 9, settings.speed = brightness = 0.5f, elapsedMs = 4321),
     "brightness 1 cameraMode 0 cameraPitch 0 cameraX 0 forceClear 1 paused 0 pinModel 1 "
     "quitting 0 reseeded 1 speed 1",
     "Reset"},
    {'c', nullptr, "clockOn 1", "On"},
    {'i', nullptr, "imageIndex 0", "FishEye"},
    // The bars grow to six and shrink to none; a letterbox set otherwise (by a reset) restarts it.
    {'l', BEFORE(settings.letterbox = letterboxPhase = 6),
     "forceClear 1 letterbox 5 letterboxPhase -5", "5"},
    {'l', BEFORE(settings.letterbox = 5, letterboxPhase = -5),
     "forceClear 1 letterbox 4 letterboxPhase -4", "4"},
    {'l', BEFORE(letterboxPhase = -3), "forceClear 1 letterbox 1 letterboxPhase 1", "1"},
    {'n', nullptr, "numberCounter 1", "1"},
    {'n', BEFORE(numberCounter = 15), "numberCounter 0", "0"},
    {'o', nullptr, "texGenMode 1", "Object"},
    {'p', nullptr, "paused 1", "Pause"},
    {'s', nullptr, "spotlightOn 1", nullptr},
    {'s', BEFORE(settings.spotlightOn = 1), "spotlightOn 0", nullptr},
    {'t', nullptr, "texturesOn 0", "Off"},
    {'u', BEFORE(settings.universeOn = 2), "universeOn 0", "Off"},
    {'v', nullptr, "cameraMode 1", "Manual"},
    {'v', BEFORE(settings.cameraMode = kManualCamera), "cameraMode 0", "Auto"},
    {'w', nullptr, "polyMode 1", "Lines"},
    {'w', BEFORE(settings.polyMode = kPolygonLines), "polyMode 2", "Points"},
    {'w', BEFORE(settings.polyMode = kPolygonPoints), "polyMode 0", "Polygons"},
    // Full screen goes with the manual camera and no cursor, the window with the automatic one.
    {'f', nullptr, "cursor 1 fullScreen 0", nullptr},
    {'f', BEFORE(fullScreen = 0, glutSetCursor(GLUT_CURSOR_LEFT_ARROW)),
     "cameraMode 1 cursor 101 forceClear 1 fullScreen 1", nullptr},
    {kSpecial | GLUT_KEY_PAGE_UP, nullptr, "mainSpeed 1.11111", "1.11"},
    {kSpecial | GLUT_KEY_PAGE_DOWN, nullptr, "mainSpeed 0.9", "0.90"},
    {kSpecial | GLUT_KEY_HOME, nullptr, "speed 1.11111", "1.11"},
    {kSpecial | GLUT_KEY_END, nullptr, "speed 0.9", "0.90"},
    {kSpecial | GLUT_KEY_SHIFT_L, nullptr, "", nullptr},  // a special key without a command
    // Arrow keys hold their bit from press to release; a lone release changes nothing.
    {kSpecial | GLUT_KEY_LEFT, BEFORE(arrowKeys = kArrowRight), "arrowKeys 3", nullptr},
    {kSpecial | GLUT_KEY_UP, nullptr, "arrowKeys 4", nullptr},
    {kSpecial | GLUT_KEY_DOWN, BEFORE(arrowKeys = kArrowUp), "arrowKeys 12", nullptr},
    {kRelease | GLUT_KEY_LEFT, BEFORE(arrowKeys = kArrowLeft | kArrowDown), "arrowKeys 8", nullptr},
    {kRelease | GLUT_KEY_DOWN, BEFORE(arrowKeys = kArrowUp), "", nullptr},
};

using KeysTest = VaroTest;

// Letters act alike in either case; every key without a command only cancels a pending clear.
TEST_F(KeysTest, EveryCommandChangesItsOwnStateAndShowsItAndNoOtherKeyActs) {
    std::vector<KeyCase> cases;
    for (const KeyCase& c : kKeyCases) {
        cases.push_back(c);
        if (c.key < 128 && std::islower(c.key))
            cases.push_back(c), cases.back().key = std::toupper(c.key);
    }
    for (int key = 0; key < 256; ++key)
        if (std::none_of(cases.begin(), cases.end(),
                         [key](const KeyCase& c) { return c.key == key; }))
            cases.push_back({key, nullptr, "", nullptr});
    for (const KeyCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "key code " << c.key);  // specials from 0x1000
        freshState();
        if (c.prepare)
            c.prepare();
        State before = currentState();
        before["forceClear"] = c.key & kSpecial ? "1" : "0";
        press(c.key);
        EXPECT_EQ(changes(before, currentState()), c.changes);
        const std::string message = textOverlay.messageExpiry == 0 ? "" : textOverlay.messageText;
        EXPECT_TRUE(c.shows ? message.find(c.shows) != std::string::npos : message.empty())
            << message;
    }
    glutLeaveFullScreen();
    pumpEvents();  // 'f' made the window full screen
    EXPECT_TRUE(resizeWindow(kTestWindowWidth, kTestWindowHeight));
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
