// Special keys: arrow keys held for the manual camera, and the page and home/end speed keys.
#include "input/special_keys.h"

#include <GL/freeglut.h>

#include "input/setting_steps.h"
#include "state/settings.h"

namespace {
// The arrowKeys bit of an arrow key, or 0 for any other key.
int arrowBit(int key) {
    switch (key) {
        case GLUT_KEY_LEFT: return kArrowLeft;
        case GLUT_KEY_RIGHT: return kArrowRight;
        case GLUT_KEY_UP: return kArrowUp;
        case GLUT_KEY_DOWN: return kArrowDown;
        default: return 0;
    }
}

}  // namespace

void onSpecialKey(int key, int, int) {
    arrowKeys |= arrowBit(key);
    switch (key) {
        case GLUT_KEY_PAGE_UP:
            scaleSetting(settings.mainSpeed, kFaster, "Main Speed: %4.2f\n");
            break;
        case GLUT_KEY_PAGE_DOWN:
            scaleSetting(settings.mainSpeed, kSlower, "Main Speed: %4.2f\n");
            break;
        case GLUT_KEY_HOME: scaleSetting(settings.speed, kFaster, "Speed: %4.2f\n"); break;
        case GLUT_KEY_END: scaleSetting(settings.speed, kSlower, "Speed: %4.2f\n"); break;
        default: break;
    }
}

void onSpecialKeyUp(int key, int, int) {
    arrowKeys &= ~arrowBit(key);
}
