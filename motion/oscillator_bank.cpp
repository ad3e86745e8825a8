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
constexpr double kTurnScale = 57.3;       // oscillators 1..3 turn things, in degrees
constexpr int kLastPausable = 9;          // pause freezes oscillators 0..9

double randomRate() {
    return uniformRandom(kRateSpread) + kMinRate;
}

// The phase increment of oscillator i for one step, by index band.
double phaseIncrement(int i, double step, const SimulationSettings& s) {
    if (i == 0)
        return step * s.mainSpeed;
    if (i <= 3)
        return s.rotateSpeed * rate[i] * step * kTurnScale;
    if (i <= 6)
        return s.movementSpeed * rate[i] * step;
    if (i <= 49)
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
    for (int i = 1; i < count; ++i) {
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

double oscillatorValue(int index, double frequency, double span, double low) {
    return (std::sin(frequency * phase[index]) * 0.5 + 0.5) * span + low;
}
