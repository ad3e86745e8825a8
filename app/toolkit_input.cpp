// The toolkit's key and button callbacks: its codes turned into the program's own.
#include "app/toolkit_input.h"

#include <GL/freeglut.h>

#include "input/special_keys.h"
#include "view/camera.h"

namespace {
SpecialKey specialKey(int toolkitKey) {
    switch (toolkitKey) {
        case GLUT_KEY_LEFT: return SpecialKey::left;
        case GLUT_KEY_RIGHT: return SpecialKey::right;
        case GLUT_KEY_UP: return SpecialKey::up;
        case GLUT_KEY_DOWN: return SpecialKey::down;
        case GLUT_KEY_PAGE_UP: return SpecialKey::pageUp;
        case GLUT_KEY_PAGE_DOWN: return SpecialKey::pageDown;
        case GLUT_KEY_HOME: return SpecialKey::home;
        case GLUT_KEY_END: return SpecialKey::end;
        default: return SpecialKey::other;
    }
}

PointerButton pointerButton(int toolkitButton) {
    return toolkitButton == GLUT_LEFT_BUTTON ? PointerButton::left : PointerButton::other;
}
}  // namespace

void onToolkitSpecialKey(int key, int, int) {
    onSpecialKey(specialKey(key));
}

void onToolkitSpecialKeyUp(int key, int, int) {
    onSpecialKeyUp(specialKey(key));
}

// A press and a release alike: the camera counts either as a pointer report.
void onToolkitMouseButton(int button, int, int x, int y) {
    onMouseButton(pointerButton(button), x, y);
}
