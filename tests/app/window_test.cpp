// Start-up: the fixed GL state that the scene set-up loads, and the reshape callback.
#include <GL/gl.h>

#include "app/window.h"
#include "tests/support/gl_test.h"

namespace {
GLint integerOf(GLenum what) {
    GLint value[4] = {};
    glGetIntegerv(what, value);
    return value[0];
}

GLfloat floatOf(GLenum what) {
    GLfloat value[4] = {};
    glGetFloatv(what, value);
    return value[0];
}

// Loads state unlike the program's, so that every step of the set-up has to show.
void loadForeignState() {
    glClearColor(1, 1, 1, 0);
    glBlendFunc(GL_ONE, GL_ONE);
    glAlphaFunc(GL_LESS, 0.5f);
    glEnable(GL_DITHER);
    glDisable(GL_COLOR_MATERIAL);
    glColorMaterial(GL_FRONT, GL_EMISSION);
    glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, 0);
    glMateriali(GL_FRONT_AND_BACK, GL_SHININESS, 50);
    glShadeModel(GL_FLAT);
    const GLfloat white[] = {1, 1, 1, 1};
    glFogi(GL_FOG_MODE, GL_EXP);
    glFogfv(GL_FOG_COLOR, white);
    glFogf(GL_FOG_START, 2);
    glFogf(GL_FOG_END, 3);
    glFogf(GL_FOG_DENSITY, 0.7f);
}
}  // namespace

using SceneSetUp = VaroTest;

TEST_F(SceneSetUp, LoadsTheFixedGlState) {
    loadForeignState();
    ASSERT_TRUE(initScene());

    GLfloat clear[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_EQ(clear[0], 0.0f);
    EXPECT_EQ(clear[1], 0.0f);
    EXPECT_EQ(clear[2], 0.0f);
    EXPECT_EQ(clear[3], 1.0f);
    EXPECT_EQ(integerOf(GL_BLEND_SRC), GL_SRC_ALPHA);
    EXPECT_EQ(integerOf(GL_BLEND_DST), GL_ONE_MINUS_SRC_ALPHA);
    // The start-up message is drawn last, and text leaves its own cut-off of 0.1 behind.
    EXPECT_EQ(integerOf(GL_ALPHA_TEST_FUNC), GL_GREATER);
    EXPECT_FLOAT_EQ(floatOf(GL_ALPHA_TEST_REF), 0.1f);
    EXPECT_FALSE(glIsEnabled(GL_DITHER));
    EXPECT_TRUE(glIsEnabled(GL_COLOR_MATERIAL));
    EXPECT_EQ(integerOf(GL_COLOR_MATERIAL_FACE), GL_FRONT_AND_BACK);
    EXPECT_EQ(integerOf(GL_COLOR_MATERIAL_PARAMETER), GL_AMBIENT_AND_DIFFUSE);
    EXPECT_EQ(integerOf(GL_LIGHT_MODEL_LOCAL_VIEWER), 1);
    EXPECT_EQ(integerOf(GL_SHADE_MODEL), GL_SMOOTH);
    for (GLenum face : {GL_FRONT, GL_BACK}) {
        GLfloat shininess = 0;
        glGetMaterialfv(face, GL_SHININESS, &shininess);
        EXPECT_EQ(shininess, 5.0f);
    }
    EXPECT_EQ(integerOf(GL_FOG_MODE), GL_LINEAR);
    GLfloat fogColour[4];
    glGetFloatv(GL_FOG_COLOR, fogColour);
    EXPECT_EQ(fogColour[0], 0.0f);
    EXPECT_EQ(fogColour[1], 0.0f);
    EXPECT_EQ(fogColour[2], 0.0f);
    EXPECT_EQ(fogColour[3], 1.0f);
    EXPECT_EQ(floatOf(GL_FOG_START), 0.5f);
    EXPECT_EQ(floatOf(GL_FOG_END), 10.0f);
    EXPECT_EQ(floatOf(GL_FOG_DENSITY), 0.1f);
    EXPECT_FALSE(glIsEnabled(GL_FOG));
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
}

TEST_F(SceneSetUp, ReshapeKeepsTheSizeAndSetsTheWholeViewport) {
    onReshape(640, 480);
    EXPECT_EQ(windowWidth, 640);
    EXPECT_EQ(windowHeight, 480);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[0], 0);
    EXPECT_EQ(viewport[1], 0);
    EXPECT_EQ(viewport[2], 640);
    EXPECT_EQ(viewport[3], 480);
    onReshape(kTestWindowWidth, kTestWindowHeight);
}
