// Special keys: arrow keys held for the manual camera, and the page and home/end speed keys.
#include "input/special_keys.h"

#include "input/setting_steps.h"
#include "state/settings.h"

namespace {
// The arrowKeys bit of an arrow key, or 0 for any other key.
int arrowBit(SpecialKey key) {
    switch (key) {
        case SpecialKey::left: return kArrowLeft;
        case SpecialKey::right: return kArrowRight;
        case SpecialKey::up: return kArrowUp;
        case SpecialKey::down: return kArrowDown;
        default: return 0;
    }
}

}  // namespace

void onSpecialKey(SpecialKey key) {
    arrowKeys |= arrowBit(key);
    switch (key) {
        case SpecialKey::pageUp:
            scaleSetting(settings.mainSpeed, kFaster, "Main Speed: %4.2f\n");
            break;
        case SpecialKey::pageDown:
            scaleSetting(settings.mainSpeed, kSlower, "Main Speed: %4.2f\n");
            break;
        case SpecialKey::home: scaleSetting(settings.speed, kFaster, "Speed: %4.2f\n"); break;
        case SpecialKey::end: scaleSetting(settings.speed, kSlower, "Speed: %4.2f\n"); break;
        default: break;
    }
}

void onSpecialKeyUp(SpecialKey key) {
    arrowKeys &= ~arrowBit(key);
}
