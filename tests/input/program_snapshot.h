// A copy of every piece of program state that a key can change, to compare a key's whole
// effect with the effect expected of it: what it should change, and that nothing else moved.
#pragma once

#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <string>

#include "app/frame.h"
#include "app/reset.h"
#include "app/window.h"
#include "board/pin_board.h"
#include "input/keyboard.h"
#include "overlay/text_overlay.h"
#include "state/frame_clock.h"
#include "state/settings.h"
#include "state/window_state.h"
#include "tests/support/gl_test.h"
#include "view/camera.h"

// Whether the pin display list draws anything.
inline bool pinModelHasGeometry() {
    return !feedback(
                GL_3D, [] { glCallList(static_cast<GLuint>(pinListId)); }, 2)
                .empty();
}

// Puts an empty list in place of the pin model, so that a rebuild shows as geometry coming
// back (a rebuild may well reuse the list's name).
inline void emptyPinModel() {
    glDeleteLists(static_cast<GLuint>(pinListId), 1);
    pinListId = static_cast<int>(glGenLists(1));
    glNewList(static_cast<GLuint>(pinListId), GL_COMPILE);
    glEndList();
}

// The state a key may change, by name: the settings, then the other globals.
// clang-format off
#define VARO_SETTINGS(X)                                                                   \
    X(fieldOfView) X(letterbox) X(tesselation) X(universeOn) X(blanking) X(spotlightOn)    \
    X(texturesOn) X(polyMode) X(cameraMode) X(texGenMode) X(imageIndex) X(clockOn)         \
    X(rotateSpeed) X(movementSpeed) X(cameraZ) X(objectSize) X(mainSpeed) X(speed)         \
    X(lightRotateSpeed)
#define VARO_GLOBALS(X)                                                                    \
    X(paused) X(arrowKeys) X(forceClear) X(helpShown) X(fullScreen) X(letterboxPhase)      \
    X(numberCounter) X(quitting) X(quitPressedMs) X(brightness) X(cameraPitch) X(cameraYaw) X(cameraX)      \
    X(cameraY) X(cameraPosZ) X(mouseDX) X(mouseDY) X(mouseMoved)
// clang-format on

// Taken on construction.
struct ProgramSnapshot {
    SimulationSettings s = settings;
#define VARO_COPY(name) decltype(::name) name = ::name;
    VARO_GLOBALS(VARO_COPY)
#undef VARO_COPY
    int cursor = glutGet(GLUT_WINDOW_CURSOR);
    bool pinModelDrawn = pinModelHasGeometry();  // the pin list holds geometry (emptyPinModel)
    std::string message = textOverlay.messageExpiry == 0 ? "" : textOverlay.messageText;
};

// Expects `actual` to equal `expected` field by field.
inline void expectState(const ProgramSnapshot& expected, const ProgramSnapshot& actual) {
#define VARO_SAME(name) EXPECT_EQ(expected.name, actual.name) << #name;
#define VARO_SAME_SETTING(name) VARO_SAME(s.name)
    VARO_SETTINGS(VARO_SAME_SETTING)
    VARO_GLOBALS(VARO_SAME)
    VARO_SAME(cursor) VARO_SAME(pinModelDrawn) VARO_SAME(message)
#undef VARO_SAME_SETTING
#undef VARO_SAME
}
