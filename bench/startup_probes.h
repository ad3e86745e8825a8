// Timers around the steps of the program's own scene set-up, to split initScene's time.
//
// The bench is linked with the linker's --wrap for these functions, so the calls that
// initScene (and resetSettings) make reach a timer first and then the real function: the
// set-up that is measured is the program's own, in its own order.
#pragma once

namespace bench {

enum class Step {
    resetSettings,    // the defaults, and the pin model
    buildPinModel,    // GLU's cylinder and disk compiled into a display list
    seedOscillators,  // random phases and rates
    buildStarField,   // 2000 random stars compiled into a display list
    loadTextures,     // the three pictures read and uploaded
    uploadTextures,   // glTexImage2D and gluBuild2DMipmaps within loadTextures
    firstMessage,     // the first message, drawn at once: the first text the driver draws
    pointer,          // the pointer warp and the cursor change
};
constexpr int kStepCount = 8;

const char* stepName(Step step);

// Milliseconds spent in each step since the last clearStepTimes, nested steps included in
// their callers' time (resetSettings includes buildPinModel, loadTextures uploadTextures).
double stepMs(Step step);
void clearStepTimes();

}  // namespace bench
