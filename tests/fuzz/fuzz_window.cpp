// A real GLUT window with a GL context for the fuzz targets, opened once per fuzzing process.
#include "tests/fuzz/fuzz_window.h"

#include <GL/freeglut.h>

#include <cstdio>
#include <cstdlib>

#include "app/window.h"
#include "state/window_state.h"

namespace {
constexpr int kWidth = 640, kHeight = 480;  // pixels
void drawNothing() {}
}  // namespace

void openFuzzWindow() {
    int argc = 1;
    char name[] = "varo-fuzz";
    char* argv[] = {name, nullptr};
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(kWidth, kHeight);
    glutCreateWindow("Varo fuzz");
    glutReshapeFunc(onReshape);
    glutDisplayFunc(drawNothing);
    for (int turn = 0; turn < 2000 && windowWidth == 0; ++turn)
        glutMainLoopEvent();  // the first reshape arrives within a few turns
    if (windowWidth == 0)
        fuzzFailure("the window never reported its size");
}

void fuzzFailure(const char* what) {
    std::fprintf(stderr, "FUZZ FINDING: %s\n", what);
    std::fflush(stderr);
    std::abort();
}
