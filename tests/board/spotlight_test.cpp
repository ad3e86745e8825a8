// The spotlight: the lighting state it loads each frame, and a picture it never changes.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <vector>

#include "app/frame.h"
#include "app/settings.h"
#include "board/pin_board.h"
#include "tests/support/gl_test.h"

namespace {
using Rgba = std::array<float, 4>;

Rgba lightValue(GLenum name) {
    Rgba v{};
    glGetLightfv(GL_LIGHT0, name, v.data());
    return v;
}

void expectNear(const Rgba& actual, const Rgba& expected, int count = 4) {
    for (int k = 0; k < count; ++k)
        EXPECT_NEAR(actual[k], expected[k], 1e-6) << "component " << k;
}

Rgba grey(float level) {
    return {level, level, level, 1.0f};
}

// Lighting state as the board step leaves it, whatever the camera transform on entry.
void expectSpotlight(float brightnessLevel, float cameraZ) {
    Rgba model{}, front{}, back{};
    glGetFloatv(GL_LIGHT_MODEL_AMBIENT, model.data());
    glGetMaterialfv(GL_FRONT, GL_SPECULAR, front.data());
    glGetMaterialfv(GL_BACK, GL_SPECULAR, back.data());
    expectNear(model, grey(0.5f * brightnessLevel));
    expectNear(front, grey(0.99f * brightnessLevel));
    expectNear(back, grey(0.99f * brightnessLevel));
    expectNear(lightValue(GL_AMBIENT), grey(0.5f * brightnessLevel));
    expectNear(lightValue(GL_DIFFUSE), grey(0.75f * brightnessLevel));
    expectNear(lightValue(GL_SPECULAR), grey(0.99f * brightnessLevel));
    // GL keeps positions in eye coordinates: the eye's look-at without the camera transform.
    expectNear(lightValue(GL_POSITION), {0, 0, -cameraZ, 1});
    expectNear(lightValue(GL_SPOT_DIRECTION), {0, 0, 0, 0}, 3);
    EXPECT_TRUE(glIsEnabled(GL_LIGHT0));
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
}

class Spotlight : public VaroTest {};

void loadCameraLikeTransform() {
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(0, 0, -3);
    glRotatef(-35, 1, 0, 0);
    glRotatef(20, 0, 1, 0);
    glTranslatef(0.2f, -0.1f, 1.5f);
}

TEST_F(Spotlight, LoadsScaledLightStateAndKeepsTheModelView) {
    struct Case {
        float brightness;
        float cameraZ;
    };
    for (const Case& c : {Case{1.0f, 3.0f}, Case{0.5f, 5.5f}, Case{0.0f, 3.0f}}) {
        SCOPED_TRACE(c.brightness);
        settings.spotlightOn = 1;
        settings.cameraZ = c.cameraZ;
        brightness = c.brightness;
        loadCameraLikeTransform();
        const auto before = currentMatrix(GL_MODELVIEW_MATRIX);
        drawBoard();
        EXPECT_EQ(currentMatrix(GL_MODELVIEW_MATRIX), before);
        int mode = 0;
        glGetIntegerv(GL_MATRIX_MODE, &mode);
        EXPECT_EQ(mode, GL_MODELVIEW);
        expectSpotlight(c.brightness, c.cameraZ);
    }
}

TEST_F(Spotlight, SwitchedOffKeepsTheLastState) {
    settings.spotlightOn = 1;
    brightness = 0.5f;
    loadCameraLikeTransform();
    drawBoard();
    settings.spotlightOn = 0;
    brightness = 1.0f;
    settings.cameraZ = 7.0f;
    drawBoard();
    expectSpotlight(0.5f, 3.0f);
}

// One frame at a fixed clock and seed, spotlight on or off.
std::vector<unsigned char> frameWithSpotlight(int on) {
    resetProgramState(20000);
    settings.spotlightOn = on;
    elapsedMs = 20040;
    renderFrame();
    return readRgb(0, 0, kTestWindowWidth, kTestWindowHeight);
}

TEST_F(Spotlight, NeverChangesThePicture) {
    const auto off = frameWithSpotlight(0);
    const auto on = frameWithSpotlight(1);
    EXPECT_TRUE(glIsEnabled(GL_LIGHT0));
    const auto lit = std::count_if(off.begin(), off.end(), [](unsigned char c) { return c > 0; });
    EXPECT_GT(lit, 100000);  // the board is in the picture
    EXPECT_TRUE(on == off);
}
}  // namespace
