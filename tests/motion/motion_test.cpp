// The random generator and the oscillator bank: seeding, bands, pause, drift, and the read-out.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "motion/oscillator_bank.h"
#include "motion/random.h"
#include "state/simulation_settings.h"

namespace {
using Settings = SimulationSettings;

// The same 15-bit sequence from a seed on every build, whatever the seed; uniform numbers scale it.
TEST(Random, GivesTheSameFifteenBitSequenceFromASeedOnEveryBuild) {
    seedRandom(1);
    EXPECT_EQ(nextRandom(), 41);
    EXPECT_EQ(uniformRandom(32768), 18467);
    seedRandom(0xFFFFFFFFu);
    EXPECT_EQ(nextRandom(), 35);
}

std::vector<double> phases() {
    return {phase, phase + kOscillatorCapacity};
}

// Oscillators 1..count-1 get a phase in degrees, a drifting rate of 0.02 to 0.04; seeds repeat.
TEST(OscillatorBank, SeedingGivesEachOscillatorARandomPhaseAndRateThatTheSeedRepeats) {
    phase[kFrameClock] = 42, phase[20] = 43;
    seedRandom(777);
    seedOscillators(20);
    const auto seeded = phases();
    EXPECT_EQ(phase[kFrameClock] + phase[20], 42 + 43) << "outside 1..19 nothing is seeded";
    for (int i = 1; i < 20; ++i)
        EXPECT_TRUE(phase[i] >= 0 && phase[i] < 360 && rate[i] >= 0.02 && rate[i] < 0.04 &&
                    rate[i] == targetRate[i] && drifting[i] == 1)
            << i;
    EXPECT_GT(*std::max_element(&phase[1], &phase[20]), 300);
    seedRandom(777);
    seedOscillators(20);
    EXPECT_EQ(phases(), seeded);
}

// Phases after a short step from 0 at equal rates, with one speed setting at 3 (or none).
std::vector<double> advancedPhases(float Settings::*faster, int paused = 0) {
    Settings s{};
    s.rotateSpeed = s.movementSpeed = s.mainSpeed = s.lightRotateSpeed = 1;
    if (faster)
        s.*faster = 3;
    for (int i = 0; i < kOscillatorCapacity; ++i)
        phase[i] = 0, rate[i] = targetRate[i] = 0.03, drifting[i] = 1;
    seedRandom(5);
    advanceOscillators(20, 1e-4f, s, paused);
    return phases();
}

// Each speed speeds its band (57.3 deg/rad); pause stops clock, stars, camera (0..9), not 10..19.
TEST(OscillatorBank, SpeedSettingsSpeedTheirBandsAndThePauseStopsTheFirstTen) {
    const auto plain = advancedPhases(nullptr), paused = advancedPhases(nullptr, 1);
    EXPECT_NEAR(plain[1] / plain[4], 57.3, 1e-9);
    const char bands[] = "mrrrvvvmmmmmmmmmmmmm";  // main, rotate or moVement speed, by oscillator
    for (auto [speed, band] : {std::pair{&Settings::rotateSpeed, 'r'},
                               {&Settings::movementSpeed, 'v'},
                               {&Settings::mainSpeed, 'm'}}) {
        const auto faster = advancedPhases(speed);
        for (int i = 0; i < 20; ++i)
            EXPECT_NEAR(faster[i], plain[i] * (bands[i] == band ? 3 : 1), 1e-12) << band << i;
    }
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(paused[i] == 0, i < 10) << i;
}

// 1000 s: flips each 5 s, targets each 10 s (45% > 0, 0.02-0.04 off 0); gaps halve in 693 frames.
TEST(OscillatorBank, RatesDriftToNewTargetsOrDieAwayAtTheirPace) {
    seedRandom(31337);
    seedOscillators(20);
    int flips = 0, targets = 0, positive = 0;
    for (int frame = 0; frame < 20000; ++frame) {  // 20 oscillators: 1 oscillator-second a frame
        const std::vector<double> wasDrifting(drifting, drifting + 20),
            was(targetRate, targetRate + 20);
        advanceOscillators(20, 0.05f, Settings{}, 0);
        for (int i = 0; i < 20; ++i)
            flips += drifting[i] != wasDrifting[i], targets += targetRate[i] != was[i],
                positive += targetRate[i] != was[i] && targetRate[i] > 0;
    }
    EXPECT_NEAR(flips / 20000.0, 0.2, 0.02);
    EXPECT_NEAR(targets / 20000.0, 0.1, 0.01);
    EXPECT_NEAR(static_cast<double>(positive) / targets, 0.45, 0.03);
    rate[1] = rate[2] = 0.03, targetRate[1] = -0.01, drifting[1] = 1, drifting[2] = 0;
    for (int frame = 0; frame < 693; ++frame)
        advanceOscillators(3, 1e-6f, Settings{}, 0);  // too short a step for flips or targets
    EXPECT_NEAR(rate[1], 0.01, 1e-4);
    EXPECT_NEAR(rate[2], 0.015, 1e-4);
}

// The read-out follows the sine of frequency x phase over [low, low + span], from its middle.
TEST(OscillatorBank, ReadOutRunsFromTheMiddleOfItsRangeToBothEnds) {
    for (const auto& [radians, value] :
         {std::pair{0.0, 1.0}, {M_PI / 2, 3.0}, {M_PI * 1.5, -1.0}}) {
        phase[kTitleShakeX] = radians / 2;
        EXPECT_NEAR(oscillatorValue(kTitleShakeX, 2, 4, -1), value, 1e-12) << radians;
    }
}
}  // namespace
