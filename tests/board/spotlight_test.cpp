// The spotlight: the lighting state it loads each frame, which never switches lighting on.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>

#include "app/frame.h"
#include "app/reset.h"
#include "board/pin_board.h"
#include "state/frame_clock.h"
#include "state/settings.h"
#include "tests/support/gl_test.h"

namespace {
using Rgba = std::array<float, 4>;

Rgba read(void (*get)(GLenum, GLenum, GLfloat*), GLenum object, GLenum name) {
    Rgba value{};
    get(object, name, value.data());
    return value;
}

// The lighting state a spotlit board step leaves, whatever the camera transform on entry: the
// light sits on the eye's look-at axis, cameraZ ahead (GL keeps positions in eye coordinates).
void expectSpotlight(float level, float cameraZ) {
    const auto grey = [level](float f) { return Rgba{f * level, f * level, f * level, 1}; };
    Rgba model{};
    glGetFloatv(GL_LIGHT_MODEL_AMBIENT, model.data());
    EXPECT_EQ(model, grey(0.5f));
    EXPECT_EQ(read(glGetMaterialfv, GL_FRONT, GL_SPECULAR), grey(0.99f));
    EXPECT_EQ(read(glGetMaterialfv, GL_BACK, GL_SPECULAR), grey(0.99f));
    EXPECT_EQ(read(glGetLightfv, GL_LIGHT0, GL_AMBIENT), grey(0.5f));
    EXPECT_EQ(read(glGetLightfv, GL_LIGHT0, GL_DIFFUSE), grey(0.75f));
    EXPECT_EQ(read(glGetLightfv, GL_LIGHT0, GL_SPECULAR), grey(0.99f));
    const Rgba position = read(glGetLightfv, GL_LIGHT0, GL_POSITION);
    for (int k = 0; k < 4; ++k)
        EXPECT_NEAR(position[k], (Rgba{0, 0, -cameraZ, 1})[k], 1e-6) << k;
    EXPECT_EQ(read(glGetLightfv, GL_LIGHT0, GL_SPOT_DIRECTION), Rgba{});
    EXPECT_TRUE(glIsEnabled(GL_LIGHT0));
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
}

class Spotlight : public VaroTest {};

TEST_F(Spotlight, LoadsLightStateScaledByBrightnessAndKeepsItWhenSwitchedOff) {
    struct Case {
        float brightness, cameraZ;
    };
    for (const Case& c : {Case{1.0f, 3.0f}, Case{0.5f, 5.5f}, Case{0.0f, 3.0f}}) {
        SCOPED_TRACE(c.brightness);
        settings.spotlightOn = 1;
        settings.cameraZ = c.cameraZ;
        brightness = c.brightness;
        glLoadIdentity();  // a camera transform, which the light must ignore
        glTranslatef(0, 0, -3);
        glRotatef(-35, 1, 0.5f, 0);
        const auto before = currentMatrix(GL_MODELVIEW_MATRIX);
        drawBoard();
        EXPECT_EQ(currentMatrix(GL_MODELVIEW_MATRIX), before);
        expectSpotlight(c.brightness, c.cameraZ);
    }
    settings.spotlightOn = 0;
    brightness = 1.0f;
    settings.cameraZ = 7.0f;
    drawBoard();
    expectSpotlight(0.0f, 3.0f);
}

}  // namespace
