// Stepping a real-valued setting and confirming the new value on the message line.
#include "input/setting_steps.h"

#include "overlay/text_overlay.h"

namespace {
// Stepped factors stay within these bounds, so that every step taken can be undone by the
// opposite key. Unbounded, 1.111111 would reach infinity, and 0.9 a floor among the
// subnormal floats that no step up can leave.
constexpr double kLowestFactor = 0.001;
constexpr double kHighestFactor = 1000.0;

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
