// The program's scene in a bench window: opening it, and drawing frames on the bench's clock.
#include "bench/bench_scene.h"

#include <GL/freeglut.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "app/frame.h"
#include "app/reset.h"
#include "app/scene.h"
#include "bench/measure.h"
#include "board/pin_board.h"
#include "input/keyboard.h"
#include "state/frame_clock.h"
#include "state/settings.h"
#include "state/window_state.h"

namespace bench {
namespace {
constexpr double kReshapeDeadlineMs = 5000;

// The frames are drawn by the bench, not by the toolkit's display callback.
void drawNothing() {}
}  // namespace

void initToolkit(const char* programName) {
    int argc = 1;
    char* argv[] = {const_cast<char*>(programName), nullptr};
    glutInit(&argc, argv);
}

void openBenchWindow(int width, int height) {
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(width, height);
    glutCreateWindow("Varo");
    glutSetOption(GLUT_ACTION_ON_WINDOW_CLOSE, GLUT_ACTION_CONTINUE_EXECUTION);
    glutReshapeFunc(onReshape);
    glutDisplayFunc(drawNothing);
    const double deadline = wallMs() + kReshapeDeadlineMs;
    while (windowWidth != width || windowHeight != height) {
        if (wallMs() > deadline) {
            std::fprintf(stderr, "varo-bench: the window did not reach %dx%d (it is %dx%d)\n",
                         width, height, windowWidth, windowHeight);
            std::exit(1);
        }
        glutMainLoopEvent();
        if (windowWidth != width || windowHeight != height)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));  // the X server's turn
    }
}

void applySceneOptions(const Options& options) {
    if (settings.tesselation != options.pins) {
        settings.tesselation = options.pins;
        buildPinModel();
    }
    helpShown = options.helpPage;
    settings.clockOn = options.clockOn;
}

double drawTurn(int frameMs, unsigned char key) {
    glutMainLoopEvent();
    const double start = wallMs();
    if (key != 0)
        onKeyboard(key, 0, 0);
    elapsedMs = frameMs;
    renderFrame();
    glutSwapBuffers();
    glFinish();
    return wallMs() - start;
}

const char* rendererName() {
    const auto* name = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    return name ? name : "unknown";
}

}  // namespace bench
