// Stepping a real-valued setting and confirming the new value on the message line.
#include "input/setting_steps.h"

#include "overlay/text_overlay.h"

namespace {
void storeAndShow(float& value, double result, const char* format) {
    value = static_cast<float>(result);
    textOverlay.showMessageFloat(format, result);
}
}  // namespace

void scaleSetting(float& value, double factor, const char* format) {
    storeAndShow(value, value * factor, format);
}

void shiftSetting(float& value, double delta, const char* format) {
    storeAndShow(value, value + delta, format);
}
