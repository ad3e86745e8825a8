// Special keys: arrow keys held for the manual camera, and the page and home/end speed keys.
#include "input/special_keys.h"

#include <GL/freeglut.h>

#include "input/setting_steps.h"
#include "state/settings.h"

namespace {
constexpr double kSlower = 0.9, kFaster = 1.111111;  // not exact inverses, by design

// The arrowKeys bit of an arrow key, or 0 for any other key.
int arrowBit(int key) {
    switch (key) {
        case GLUT_KEY_LEFT: return 1;
        case GLUT_KEY_RIGHT: return 2;
        case GLUT_KEY_UP: return 4;
        case GLUT_KEY_DOWN: return 8;
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
