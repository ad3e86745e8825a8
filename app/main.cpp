// Varo: a pin-art board waving in front of a tumbling star field.
#include <GL/freeglut.h>

#include <cstdio>

#include "app/frame.h"
#include "app/window.h"
#include "motion/random.h"
#include "state/frame_clock.h"

int main(int argc, char** argv) {
    elapsedMs = glutGet(GLUT_ELAPSED_TIME);  // before glutInit: time since boot, a fine seed
    seedRandom(static_cast<unsigned int>(elapsedMs));
    openWindow(&argc, argv);
    if (!initScene()) {
        std::printf("App cannot initialize.\n");
        return 0;
    }
    glutMainLoop();
    return 0;
}
