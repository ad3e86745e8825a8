// Start-up and the toolkit's window callbacks: the scene set-up, reshape, idle and display.
#include "app/window.h"

#include <GL/freeglut.h>

#include "app/frame.h"
#include "app/reset.h"
#include "backdrop/star_field.h"
#include "images/texture_table.h"
#include "input/keyboard.h"
#include "input/special_keys.h"
#include "motion/oscillator_bank.h"
#include "overlay/text_overlay.h"
#include "state/frame_clock.h"
#include "state/program_commands.h"
#include "state/window_state.h"
#include "view/camera.h"
#include "view/projection.h"

namespace {
// Leaving full screen, the toolkit first restores the size the window had before it went full
// screen, after a resize asked for at the same time; the size asked for is therefore asked
// again by each frame until the window has it.
int askedWidth = 0;  // pixels; 0: no window size pending
int askedHeight = 0;

void keepAskedWindowSize() {
    if (askedWidth == 0)
        return;
    if (glutGet(GLUT_WINDOW_WIDTH) == askedWidth && glutGet(GLUT_WINDOW_HEIGHT) == askedHeight)
        askedWidth = askedHeight = 0;
    else
        glutReshapeWindow(askedWidth, askedHeight);
}
}  // namespace

namespace {
constexpr int kStarCount = 2000;
constexpr float kStarOuterExtent = 8.0f;  // stars fill the cube -8..8...
constexpr float kStarInnerExtent = 5.0f;  // ...outside the central cube of half-size 5.01
constexpr int kStarShapeCubeShell = 1;

// Fixed GL state: colour material, light model and fog are loaded although lighting and fog
// are never enabled, so they leave the picture as it is.
void setFixedGlState() {
    glEnable(GL_COLOR_MATERIAL);
    glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
    glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, 1);
    glMateriali(GL_FRONT_AND_BACK, GL_SHININESS, 5);
    glShadeModel(GL_SMOOTH);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glAlphaFunc(GL_GREATER, 0.0f);
    glDisable(GL_DITHER);
    const GLfloat fogColour[] = {0, 0, 0, 1};
    glFogi(GL_FOG_MODE, GL_LINEAR);
    glFogfv(GL_FOG_COLOR, fogColour);
    glFogf(GL_FOG_START, 0.5f);
    glFogf(GL_FOG_END, 10.0f);
    glFogf(GL_FOG_DENSITY, 0.1f);
}

// main seeds from the toolkit clock read before glutInit, which counts from boot; the
// frames count from glutInit. Timed events must use the frames' clock.
void moveClockToFrameTime() {
    elapsedMs = glutGet(GLUT_ELAPSED_TIME);
}

// The start message is drawn before the first reshape reports the window's size, so it takes
// the size from the toolkit, as the text always did; the scene's set-up before it sees none.
void keepWindowSizeFromToolkit() {
    windowWidth = glutGet(GLUT_WINDOW_WIDTH);
    windowHeight = glutGet(GLUT_WINDOW_HEIGHT);
}

void warpPointer(int x, int y) {
    glutWarpPointer(x, y);
}

void showCursor(bool shown) {
    glutSetCursor(shown ? GLUT_CURSOR_LEFT_ARROW : GLUT_CURSOR_NONE);
}
}  // namespace

void openWindow(int* argc, char** argv, int windowed) {
    glutInit(argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    fullScreen = windowed ? 0 : 1;
    if (windowed)
        glutInitWindowSize(kWindowedSize, kWindowedSize);
    else
        glutInitWindowSize(windowWidth, windowHeight);  // both 0: no size asked for
    glutCreateWindow("Varo");
    if (fullScreen)
        glutFullScreen();
    glutKeyboardFunc(onKeyboard);
    glutSpecialFunc(onSpecialKey);
    glutSpecialUpFunc(onSpecialKeyUp);
    glutMouseFunc(onMouseButton);
    glutPassiveMotionFunc(onPointerMotion);
    glutMotionFunc(onPointerMotion);
    glutReshapeFunc(onReshape);
    glutDisplayFunc(onDisplay);
    glutIdleFunc(onIdle);
}

bool initScene() {
    programCommands = {resetEverything, askForWindowSize, askForFullScreen, warpPointer,
                       showCursor};
    resetSettings();
    glClearColor(0, 0, 0, 1);
    setupView();
    setFixedGlState();
    seedOscillators(oscillatorCount);
    starField.build(kStarCount, kStarOuterExtent, kStarInnerExtent, kStarShapeCubeShell);
    loadTextures();
    textOverlay.fontTexture = textureIds[0];
    moveClockToFrameTime();
    keepWindowSizeFromToolkit();
    textOverlay.showMessage("Press ? key for Help Screen");
    warpPointer(kWarpX, kWarpY);
    showCursor(!fullScreen);
    return true;
}

void askForWindowSize(int width, int height) {
    askedWidth = width;
    askedHeight = height;
    glutReshapeWindow(width, height);
}

void askForFullScreen() {
    askedWidth = askedHeight = 0;
    glutFullScreen();
}

void onReshape(int width, int height) {
    windowWidth = width;
    windowHeight = height;
    glViewport(0, 0, width, height);
}

void onIdle() {
    glutPostRedisplay();
}

void onDisplay() {
    keepAskedWindowSize();
    elapsedMs = glutGet(GLUT_ELAPSED_TIME);
    renderFrame();
    glutSwapBuffers();
}

void releaseGraphics() {
    starField.release();
    if (textureCount != 0)
        glDeleteTextures(textureCount, textureIds);
}
