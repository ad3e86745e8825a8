// The bank of randomly drifting sine oscillators behind every automatic movement.
#pragma once

class SimulationSettings;

constexpr int kOscillatorCapacity = 99;  // room in each array; indices 0..98
constexpr int oscillatorCount = 20;      // oscillators the program runs (0..19)

// The oscillators by what each one drives, and the bands of the bank: an oscillator's band
// decides the speed setting that scales its rate. Two names for one oscillator mean that it
// drives both: the automatic camera pitches and heads with the stars' turns.
enum Oscillator : int {
    kFrameClock = 0,  // a band of its own: the frame's step times mainSpeed; read by none
    // The turning band: rotateSpeed, in degrees.
    kStarTurnAboutY = 1,
    kCameraPitch = 1,
    kStarTurnAboutX = 2,
    kCameraYaw = 2,
    kStarTurnAboutZ = 3,
    kLastTurning = 3,
    // The moving band: movementSpeed.
    kCameraDriftX = 4,
    kCameraDriftY = 5,
    kCameraDistance = 6,
    kLastMoving = 6,
    // The main band: mainSpeed.
    kLastPausable = 9,  // the pause freezes every oscillator up to this one
    kPinWaveAcross = 10,
    kPinWaveUp = 11,
    kTitleShakeX = 17,
    kTitleShakeY = 18,
    kLastMain = 49,
    // The light band, after the main one: lightRotateSpeed. None of it runs.
};

// Four parallel arrays, zero at start.
extern double rate[kOscillatorCapacity];        // phase units per second, before the band factor
extern double targetRate[kOscillatorCapacity];  // rate that `rate` drifts toward while drifting
extern int drifting[kOscillatorCapacity];       // 1: drift toward target; 0: decay toward 0
extern double phase[kOscillatorCapacity];       // grows without bound, never wrapped

// Gives every oscillator after kFrameClock, up to count-1, a fresh random phase and rate.
void seedOscillators(int count);

// One frame's update of oscillators 0..count-1 by `step` seconds.
void advanceOscillators(int count, float step, const SimulationSettings& settings, int paused);

// (sin(frequency * phase[which]) * 0.5 + 0.5) * span + low: a value in [low, low + span].
double oscillatorValue(Oscillator which, double frequency, double span, double low);
