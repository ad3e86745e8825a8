// Stepping a real-valued setting and confirming the new value on the message line.
#include "input/setting_steps.h"

#include "overlay/text_overlay.h"

#include "state/simulation_settings.h"

namespace {
void storeAndShow(float& value, double result, const char* format) {
    value = static_cast<float>(result);
    textOverlay.showMessageFloat(format, result);
}
}  // namespace

// A step that would leave the bounds is not taken; the message shows the value kept.
void scaleSetting(float& value, double factor, const char* format) {
    const double result = value * factor;
    if (result >= kLowestFactor && result <= kHighestFactor)
        storeAndShow(value, result, format);
    else
        textOverlay.showMessageFloat(format, value);
}

void shiftSetting(float& value, double delta, const char* format) {
    storeAndShow(value, value + delta, format);
}
