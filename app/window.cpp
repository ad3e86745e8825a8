// The program's own window, through the toolkit: start-up, the window mode and the callbacks.
#include "app/window.h"

#include <GL/freeglut.h>

#include <cstdlib>

#include "app/frame.h"
#include "app/frame_pacer.h"
#include "app/reset.h"
#include "app/scene.h"
#include "app/toolkit_input.h"
#include "input/keyboard.h"
#include "overlay/text_overlay.h"
#include "state/frame_clock.h"
#include "state/program_commands.h"
#include "state/window_state.h"
#include "view/camera.h"

namespace {
// Leaving full screen, the toolkit first restores the size the window had before it went full
// screen, after a resize asked for at the same time; the size asked for is therefore asked
// again by each frame until the window has it.
int askedWidth = 0;  // pixels; 0: no window size pending
int askedHeight = 0;
FrameSchedule frameSchedule;  // the frame cap; its period is 0 unless --delay asks for one

void keepAskedWindowSize() {
    if (askedWidth == 0)
        return;
    if (glutGet(GLUT_WINDOW_WIDTH) == askedWidth && glutGet(GLUT_WINDOW_HEIGHT) == askedHeight)
        askedWidth = askedHeight = 0;
    else
        glutReshapeWindow(askedWidth, askedHeight);
}

// main seeds from the clock's raw reading, which counts from boot; the frames count from the
// start. Timed events must use the frames' clock.
void moveClockToFrameTime() {
    elapsedMs = frameClockMs();
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

// False once the next frame's turn has come.
bool sleptASlice() {
    const long long sliceUs = frameWaitSliceUs(frameSchedule, monotonicMicroseconds());
    sleepMicroseconds(sliceUs);
    return sliceUs > 0;
}
}  // namespace

void openWindow(int* argc, char** argv, int windowed, long long frameDelayUs) {
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
    frameSchedule.periodUs = frameDelayUs;
    glutKeyboardFunc(onKeyboard);
    glutSpecialFunc(onToolkitSpecialKey);
    glutSpecialUpFunc(onToolkitSpecialKeyUp);
    glutMouseFunc(onToolkitMouseButton);
    glutPassiveMotionFunc(onPointerMotion);
    glutMotionFunc(onPointerMotion);
    glutReshapeFunc(onReshape);
    glutDisplayFunc(onDisplay);
    glutIdleFunc(onIdle);
}

bool initScene() {
    programCommands = {resetEverything, askForWindowSize, askForFullScreen, warpPointer,
                       showCursor};
    setUpScene();
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

// Without a frame cap the next frame is asked for at once, as the toolkit's idle loop allows.
// With one, each call sleeps one slice of the wait at most, and the toolkit's loop takes input
// and resizes between slices; the frame is asked for once its turn has come.
void onIdle() {
    if (frameSchedule.periodUs > 0 && sleptASlice())
        return;
    glutPostRedisplay();
}

void onDisplay() {
    keepAskedWindowSize();
    elapsedMs = frameClockMs();
    if (!renderFrame())
        std::exit(0);  // the quit fade has run out
    glutSwapBuffers();
}
