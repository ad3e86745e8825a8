// The spotlight: the lighting state the board step loads, which never switches lighting on.
#include <GL/gl.h>

#include <vector>

#include "board/pin_board.h"
#include "state/frame_clock.h"
#include "state/settings.h"
#include "tests/support/gl_test.h"

namespace {
using Spotlight = VaroTest;

// Rows: spotlight on, brightness, cameraZ, then the level and z expected (switched off, the
// state last loaded stays); the light sits on the look-at axis whatever the camera transform.
TEST_F(Spotlight, LoadsLightStateScaledByBrightnessAndKeepsItWhenSwitchedOff) {
    const float cases[][5] = {{1, 1, 3, 1, 3}, {1, 0.5f, 5.5f, 0.5f, 5.5f}, {0, 1, 7, 0.5f, 5.5f}};
    for (const auto& c : cases) {
        settings.spotlightOn = static_cast<int>(c[0]), brightness = c[1], settings.cameraZ = c[2];
        glRotatef(-35, 1, 0.5f, 0);  // a camera transform, which the light must ignore
        const auto before = currentMatrix(GL_MODELVIEW_MATRIX);
        drawBoard();
        std::vector<float> got(31);  // model ambient, material specular, the light's, direction
        glGetFloatv(GL_LIGHT_MODEL_AMBIENT, &got[0]);
        glGetMaterialfv(GL_FRONT, GL_SPECULAR, &got[4]);
        glGetMaterialfv(GL_BACK, GL_SPECULAR, &got[8]);
        for (GLenum name : {GL_AMBIENT, GL_DIFFUSE, GL_SPECULAR, GL_POSITION, GL_SPOT_DIRECTION})
            glGetLightfv(GL_LIGHT0, name, &got[12 + 4 * (name - GL_AMBIENT)]);
        const float a = 0.5f * c[3], d = 0.75f * c[3], s = 0.99f * c[3], z = -c[4];
        EXPECT_EQ(got, (std::vector<float>{a, a, a, 1, s, s, s, 1, s, s, s, 1, a, a, a, 1,
                                           d, d, d, 1, s, s, s, 1, 0, 0, z, 1, 0, 0, 0}));
        EXPECT_EQ(currentMatrix(GL_MODELVIEW_MATRIX), before);
        EXPECT_TRUE(glIsEnabled(GL_LIGHT0) && !glIsEnabled(GL_LIGHTING));
    }
}
}  // namespace
