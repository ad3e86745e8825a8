// A GL context for the fuzz targets: a GLUT window on the X display, its size known as on reshape.
#pragma once

#include <GL/freeglut.h>

#include "app/scene.h"
#include "app/window.h"

inline void openFuzzWindow() {
    int argc = 1;
    char name[] = "varo-fuzz", *argv[] = {name, nullptr};
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(640, 480);
    glutCreateWindow(name);
    onReshape(640, 480);
}
