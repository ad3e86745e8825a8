// The bank of randomly drifting sine oscillators behind every automatic movement.
//
// Globals (all per oscillator, zero at start):
//   rate        current phase rate, phase units per second before the band factor
//   targetRate  rate toward which `rate` drifts while drifting
//   drifting    1: drifting toward targetRate; 0: decaying toward standstill
//   phase       accumulated phase, never wrapped
#include "motion/oscillator_bank.h"

#include <cmath>

#include "motion/random.h"
#include "state/simulation_settings.h"

double rate[kOscillatorCapacity];
double targetRate[kOscillatorCapacity];
int drifting[kOscillatorCapacity];
double phase[kOscillatorCapacity];

namespace {
constexpr double kFlipsPerSecond = 0.2;         // drifting toggles about every 5 s
constexpr double kRetargetsPerSecond = 0.1;     // a new target about every 10 s
constexpr double kPositiveTargetChance = 0.45;  // a new target is negative slightly more often
constexpr double kMinRate = 0.02;               // rates lie in [0.02, 0.04) in magnitude
constexpr double kRateSpread = 0.02;
constexpr double kDriftPerFrame = 0.001;  // share of the gap to the target closed per frame
constexpr double kDecayPerFrame = 0.999;  // rate kept per frame while not drifting
// The turning band's rates are read as radians and turned into degrees by this rounding of
// 180 / pi. The camera's heading uses another rounding, kHeadingDegreesPerRadian (57.2958, in
// view/camera.cpp): they differ on purpose, each being part of the motion it gives.
constexpr double kTurnDegreesPerRadian = 57.3;

double randomRate() {
    return uniformRandom(kRateSpread) + kMinRate;
}

// The phase increment of oscillator i for one step, by its band.
double phaseIncrement(int i, double step, const SimulationSettings& s) {
    if (i == kFrameClock)
        return step * s.mainSpeed;
    if (i <= kLastTurning)
        return s.rotateSpeed * rate[i] * step * kTurnDegreesPerRadian;
    if (i <= kLastMoving)
        return s.movementSpeed * rate[i] * step;
    if (i <= kLastMain)
        return s.mainSpeed * rate[i] * step;
    return s.lightRotateSpeed * rate[i] * step;
}

void driftRate(int i, double step) {
    if (uniformRandom(1.0) < step * kFlipsPerSecond)
        drifting[i] = !drifting[i];
    if (uniformRandom(1.0) < step * kRetargetsPerSecond) {
        double magnitude = randomRate();
        targetRate[i] = uniformRandom(1.0) < kPositiveTargetChance ? magnitude : -magnitude;
    }
    if (drifting[i])
        rate[i] += (targetRate[i] - rate[i]) * kDriftPerFrame;
    else
        rate[i] *= kDecayPerFrame;
}
}  // namespace

void seedOscillators(int count) {
    for (int i = kFrameClock + 1; i < count; ++i) {
        phase[i] = uniformRandom(360.0);
        targetRate[i] = randomRate();
        rate[i] = targetRate[i];
        drifting[i] = 1;
    }
}

void advanceOscillators(int count, float step, const SimulationSettings& settings, int paused) {
    for (int i = 0; i < count; ++i) {
        if (paused && i <= kLastPausable)
            continue;  // frozen: draws no random numbers either
        driftRate(i, step);
        phase[i] += phaseIncrement(i, step, settings);
    }
}

double oscillatorValue(Oscillator which, double frequency, double span, double low) {
    return (std::sin(frequency * phase[which]) * 0.5 + 0.5) * span + low;
}
