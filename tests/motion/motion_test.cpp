// The random generator and the oscillator bank: seeding, bands, pause, drift, and the read-out.
#include <gtest/gtest.h>

#include <cmath>
#include <tuple>
#include <vector>

#include "motion/oscillator_bank.h"
#include "motion/random.h"
#include "state/simulation_settings.h"

namespace {
TEST(Random, FollowsTheFifteenBitGeneratorAndWrapsModulo2To32) {
    seedRandom(1);
    EXPECT_EQ(nextRandom(), 41);
    EXPECT_EQ(nextRandom(), 18467);
    EXPECT_DOUBLE_EQ(uniformRandom(360.0), 6334 / 32768.0 * 360.0);
    seedRandom(0xFFFFFFFFu);  // (2^32 - 1) * 214013 + 2531011 mod 2^32 = 2317000
    EXPECT_EQ(nextRandom(), 35);
    seedRandom(7777777);  // the state's top bit is set: 36553 comes back without it
    EXPECT_EQ(nextRandom(), 3785);
}

TEST(OscillatorBank, SeedingGivesOneToCountLessOneAPhaseAndASteadyRate) {
    phase[kFrameClock] = 42, rate[kFrameClock] = 0.5, phase[20] = 43;
    seedRandom(777);
    seedOscillators(20);
    const int after = nextRandom();
    seedRandom(777);
    for (int i = 1; i < 20; ++i) {
        EXPECT_DOUBLE_EQ(phase[i], uniformRandom(360)) << i;
        EXPECT_DOUBLE_EQ(targetRate[i], uniformRandom(0.02) + 0.02) << i;
        EXPECT_EQ(rate[i], targetRate[i]) << i;
        EXPECT_EQ(drifting[i], 1) << i;
    }
    EXPECT_EQ(nextRandom(), after) << "seeding draws two numbers per oscillator";
    EXPECT_EQ(phase[kFrameClock] + rate[kFrameClock] + phase[20], 42 + 0.5 + 43);
}

// A short step: phase += speed x rate x step per band; rate closes 0.001 or keeps 0.999; pause.
TEST(OscillatorBank, BandsAdvanceAtTheirSpeedsWhileRatesDriftOrDecay) {
    SimulationSettings s{};
    s.rotateSpeed = 1.5f, s.movementSpeed = 0.5f, s.mainSpeed = 2.0f, s.lightRotateSpeed = 3.0f;
    const double step = 1e-6f;
    for (int i = 0; i < 63; ++i)
        phase[i] = 0, rate[i] = targetRate[i] = 0.03, drifting[i] = i != 62;
    targetRate[61] = 0.05;
    seedRandom(5);
    advanceOscillators(63, static_cast<float>(step), s, 0);
    // First, last, and the phase per rate and step.
    const std::tuple<int, int, double> bands[] = {
        {1, 3, 1.5 * 57.3}, {4, 6, 0.5}, {7, 49, 2.0}, {50, 60, 3.0}};
    EXPECT_NEAR(phase[kFrameClock], step * 2.0, 1e-18);
    for (const auto& [first, last, factor] : bands)
        for (int i = first; i <= last; ++i)
            ASSERT_NEAR(phase[i], factor * 0.03 * step, 1e-15) << "oscillator " << i;
    EXPECT_DOUBLE_EQ(rate[61], 0.03 + 0.02 * 0.001);
    EXPECT_DOUBLE_EQ(rate[62], 0.03 * 0.999);
    const double before[] = {phase[kLastPausable], phase[kLastPausable + 1]};
    seedRandom(9);
    for (int n = 0; n < 2 * 10; ++n)
        uniformRandom(1);  // what 10..19 alone draw for a short step
    const int expected = nextRandom();
    seedRandom(9);
    advanceOscillators(20, static_cast<float>(step), s, 1);
    EXPECT_EQ(nextRandom(), expected);
    EXPECT_EQ(phase[kLastPausable], before[0]);
    EXPECT_GT(phase[kLastPausable + 1], before[1]);
}

// A flip about every 5 s, a new target every 10 s, positive 45 times in 100, 0.02 to 0.04 off 0.
TEST(OscillatorBank, FlipsAndNewTargetsComeAtTheirRates) {
    SimulationSettings s{};
    seedRandom(31337);
    seedOscillators(20);
    int flips = 0, targets = 0, positive = 0;
    const int frames = 20000;  // 1000 seconds of 0.05
    for (int frame = 0; frame < frames; ++frame) {
        const std::vector<int> wasDrifting(drifting, drifting + 20);
        const std::vector<double> wasTarget(targetRate, targetRate + 20);
        advanceOscillators(20, 0.05f, s, 0);
        for (int i = 0; i < 20; ++i) {
            flips += drifting[i] != wasDrifting[i];
            if (targetRate[i] != wasTarget[i])
                ++targets, positive += targetRate[i] > 0;
        }
    }
    const double seconds = frames * 0.05 * 20;  // oscillator-seconds
    EXPECT_NEAR(flips / seconds, 0.2, 0.02);
    EXPECT_NEAR(targets / seconds, 0.1, 0.01);
    EXPECT_NEAR(static_cast<double>(positive) / targets, 0.45, 0.03);
    for (int i = 1; i < 20; ++i)
        EXPECT_TRUE(std::fabs(targetRate[i]) >= 0.02 && std::fabs(targetRate[i]) < 0.04) << i;
}

TEST(OscillatorBank, ValueMapsTheSineOntoLowToLowPlusSpan) {
    phase[kTitleShakeX] = 2.0;
    EXPECT_DOUBLE_EQ(oscillatorValue(kTitleShakeX, 0.5, 720, -360),
                     (std::sin(1.0) * 0.5 + 0.5) * 720 - 360);
    EXPECT_DOUBLE_EQ(oscillatorValue(kTitleShakeX, 0.0, 4, -1), 1.0) << "no frequency: the middle";
    EXPECT_EQ(phase[kTitleShakeX], 2.0) << "reading changes nothing";
}
}  // namespace
