// A copy of every piece of program state that a key can change, to compare a key's whole
// effect with the effect expected of it: what it should change, and that nothing else moved.
#pragma once

#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "app/frame.h"
#include "app/settings.h"
#include "app/window.h"
#include "board/pin_board.h"
#include "input/keyboard.h"
#include "overlay/text_overlay.h"
#include "view/camera.h"

// Whether the pin display list draws anything, read back through GL's feedback mode.
inline bool pinModelHasGeometry() {
    static GLfloat buffer[1 << 16];
    glFeedbackBuffer(sizeof buffer / sizeof buffer[0], GL_3D, buffer);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glRenderMode(GL_FEEDBACK);
    glCallList(static_cast<GLuint>(pinListId));
    GLint values = glRenderMode(GL_RENDER);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    return values != 0;
}

// Puts an empty list in place of the pin model, so that a rebuild shows as geometry coming
// back (a rebuild may well reuse the list's name).
inline void emptyPinModel() {
    glDeleteLists(static_cast<GLuint>(pinListId), 1);
    pinListId = static_cast<int>(glGenLists(1));
    glNewList(static_cast<GLuint>(pinListId), GL_COMPILE);
    glEndList();
}

struct ProgramSnapshot {
    SimulationSettings s;
    int paused, arrowKeys, forceClear, helpShown, fullScreen, letterboxPhase, numberCounter;
    float quitTime, brightness;
    double pitch, yaw, x, y, posZ;
    int mouseDX, mouseDY, mouseMoved;
    int cursor;
    bool pinModelDrawn;   // the pin list holds geometry (see emptyPinModel)
    std::string message;  // empty: no message posted since the snapshot's test began

    static ProgramSnapshot take() {
        return {settings,
                ::paused,
                ::arrowKeys,
                ::forceClear,
                ::helpShown,
                ::fullScreen,
                ::letterboxPhase,
                ::numberCounter,
                ::quitTime,
                ::brightness,
                cameraPitch,
                cameraYaw,
                cameraX,
                cameraY,
                cameraPosZ,
                ::mouseDX,
                ::mouseDY,
                ::mouseMoved,
                glutGet(GLUT_WINDOW_CURSOR),
                pinModelHasGeometry(),
                textOverlay.messageExpiry == 0 ? std::string() : textOverlay.messageText};
    }
};

namespace snapshot_detail {
inline std::string text(double value) {
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.17g", value);
    return buffer;
}

// Every field as a name and a printed value; floats print exactly enough to tell them apart.
inline std::vector<std::pair<const char*, std::string>> fields(const ProgramSnapshot& p) {
    const SimulationSettings& s = p.s;
    return {{"fieldOfView", text(s.fieldOfView)},
            {"letterbox", text(s.letterbox)},
            {"tesselation", text(s.tesselation)},
            {"universeOn", text(s.universeOn)},
            {"blanking", text(s.blanking)},
            {"spotlightOn", text(s.spotlightOn)},
            {"texturesOn", text(s.texturesOn)},
            {"polyMode", text(s.polyMode)},
            {"cameraMode", text(s.cameraMode)},
            {"texGenMode", text(s.texGenMode)},
            {"imageIndex", text(s.imageIndex)},
            {"clockOn", text(s.clockOn)},
            {"rotateSpeed", text(s.rotateSpeed)},
            {"movementSpeed", text(s.movementSpeed)},
            {"cameraZ", text(s.cameraZ)},
            {"objectSize", text(s.objectSize)},
            {"mainSpeed", text(s.mainSpeed)},
            {"speed", text(s.speed)},
            {"lightRotateSpeed", text(s.lightRotateSpeed)},
            {"paused", text(p.paused)},
            {"arrowKeys", text(p.arrowKeys)},
            {"forceClear", text(p.forceClear)},
            {"helpShown", text(p.helpShown)},
            {"fullScreen", text(p.fullScreen)},
            {"letterboxPhase", text(p.letterboxPhase)},
            {"numberCounter", text(p.numberCounter)},
            {"quitTime", text(p.quitTime)},
            {"brightness", text(p.brightness)},
            {"cameraPitch", text(p.pitch)},
            {"cameraYaw", text(p.yaw)},
            {"cameraX", text(p.x)},
            {"cameraY", text(p.y)},
            {"cameraPosZ", text(p.posZ)},
            {"mouseDX", text(p.mouseDX)},
            {"mouseDY", text(p.mouseDY)},
            {"mouseMoved", text(p.mouseMoved)},
            {"cursor", text(p.cursor)},
            {"pinModelDrawn", text(p.pinModelDrawn)},
            {"message", '"' + p.message + '"'}};
}
}  // namespace snapshot_detail

// Expects `actual` to equal `expected` field by field.
inline void expectState(const ProgramSnapshot& expected, const ProgramSnapshot& actual) {
    auto want = snapshot_detail::fields(expected);
    auto got = snapshot_detail::fields(actual);
    for (size_t n = 0; n < want.size(); ++n)
        EXPECT_EQ(want[n].second, got[n].second) << want[n].first;
}
