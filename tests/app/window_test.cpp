// Start-up: the fixed GL state that the scene set-up loads, and the reshape callback.
#include <GL/gl.h>

#include <array>
#include <utility>

#include "app/window.h"
#include "state/window_state.h"
#include "tests/support/gl_test.h"

using SceneSetUp = VaroTest;

// State that other code sets too, or whose GL default is the program's, is first loaded
// otherwise, so that every step of the set-up has to show.
TEST_F(SceneSetUp, LoadsTheFixedGlState) {
    glClearColor(1, 1, 1, 0);
    glBlendFunc(GL_ONE, GL_ONE);
    glAlphaFunc(GL_LESS, 0.5f);
    glColorMaterial(GL_FRONT, GL_EMISSION);
    glShadeModel(GL_FLAT);
    ASSERT_TRUE(initScene());

    const std::pair<GLenum, GLint> ints[] = {
        {GL_BLEND_SRC, GL_SRC_ALPHA},
        {GL_BLEND_DST, GL_ONE_MINUS_SRC_ALPHA},
        {GL_ALPHA_TEST_FUNC, GL_GREATER},
        {GL_DITHER, GL_FALSE},
        {GL_COLOR_MATERIAL, GL_TRUE},
        {GL_COLOR_MATERIAL_FACE, GL_FRONT_AND_BACK},
        {GL_COLOR_MATERIAL_PARAMETER, GL_AMBIENT_AND_DIFFUSE},
        {GL_LIGHT_MODEL_LOCAL_VIEWER, 1},
        {GL_SHADE_MODEL, GL_SMOOTH},
        {GL_FOG_MODE, GL_LINEAR},
        {GL_FOG, GL_FALSE},
        {GL_LIGHTING, GL_FALSE},
    };
    for (auto [what, expected] : ints) {
        GLint value[4] = {};
        glGetIntegerv(what, value);
        EXPECT_EQ(value[0], expected) << "GL enum 0x" << std::hex << what;
    }
    // The start-up message is drawn last, and text leaves its own alpha cut-off of 0.1.
    const std::pair<GLenum, std::array<GLfloat, 4>> floats[] = {
        {GL_COLOR_CLEAR_VALUE, {0, 0, 0, 1}},
        {GL_FOG_COLOR, {0, 0, 0, 1}},
        {GL_ALPHA_TEST_REF, {0.1f}},
        {GL_FOG_START, {0.5f}},
        {GL_FOG_END, {10.0f}},
        {GL_FOG_DENSITY, {0.1f}},
    };
    for (const auto& [what, expected] : floats) {
        std::array<GLfloat, 4> value{};
        glGetFloatv(what, value.data());
        EXPECT_EQ(value, expected) << "GL enum 0x" << std::hex << what;
    }
    for (GLenum face : {GL_FRONT, GL_BACK}) {
        GLfloat shininess = 0;
        glGetMaterialfv(face, GL_SHININESS, &shininess);
        EXPECT_EQ(shininess, 5.0f);
    }
}

TEST_F(SceneSetUp, ReshapeKeepsTheSizeAndSetsTheWholeViewport) {
    onReshape(640, 480);
    std::array<GLint, 4> viewport{};
    glGetIntegerv(GL_VIEWPORT, viewport.data());
    EXPECT_EQ(viewport, (std::array<GLint, 4>{0, 0, 640, 480}));
    EXPECT_EQ(std::make_pair(windowWidth, windowHeight), std::make_pair(640, 480));
    onReshape(kTestWindowWidth, kTestWindowHeight);
}
