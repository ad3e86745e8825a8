// The bank of randomly drifting sine oscillators behind every automatic movement.
#pragma once

class SimulationSettings;

constexpr int kOscillatorCapacity = 99;  // room in each array; indices 0..98
constexpr int oscillatorCount = 20;      // oscillators the program runs (0..19)

// Four parallel arrays, zero at start.
extern double rate[kOscillatorCapacity];        // phase units per second, before the band factor
extern double targetRate[kOscillatorCapacity];  // rate that `rate` drifts toward while drifting
extern int drifting[kOscillatorCapacity];       // 1: drift toward target; 0: decay toward 0
extern double phase[kOscillatorCapacity];       // grows without bound, never wrapped

// Gives oscillators 1..count-1 a fresh random phase and rate; oscillator 0 is untouched.
void seedOscillators(int count);

// One frame's update of oscillators 0..count-1 by `step` seconds.
void advanceOscillators(int count, float step, const SimulationSettings& settings, int paused);

// (sin(frequency * phase[index]) * 0.5 + 0.5) * span + low: a value in [low, low + span].
double oscillatorValue(int index, double frequency, double span, double low);
