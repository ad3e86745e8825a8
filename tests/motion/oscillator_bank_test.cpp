// The oscillator bank: seeding, the random drift of the rates, pause, and the phase bands.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>

#include "app/simulation_settings.h"
#include "motion/oscillator_bank.h"
#include "motion/random.h"

namespace {
// The generator as the program defines it, kept apart from the one under test.
struct Lcg {
    std::uint32_t state;
    int next() {
        state = state * 214013u + 2531011u;
        return static_cast<int>((state >> 16) & 0x7FFFu);
    }
    double uniform(double x) { return next() / 32768.0 * x; }
};

struct Oscillator {
    double rate = 0, target = 0, phase = 0;
    int drifting = 0;
};

struct Bank {
    Oscillator osc[kOscillatorCapacity];
    int flips = 0, positiveTargets = 0, negativeTargets = 0;
};

Bank snapshot() {
    Bank b;
    for (int i = 0; i < kOscillatorCapacity; ++i)
        b.osc[i] = {rate[i], targetRate[i], phase[i], drifting[i]};
    return b;
}

double bandFactor(int i, const SimulationSettings& s) {
    if (i >= 1 && i <= 3)
        return double{s.rotateSpeed} * 57.3;
    if (i >= 4 && i <= 6)
        return s.movementSpeed;
    if (i >= 7 && i <= 49)
        return s.mainSpeed;
    return s.lightRotateSpeed;
}

// One frame of the bank written straight from its rules, drawing from `g`.
void referenceAdvance(Bank& b, Lcg& g, int count, float step, const SimulationSettings& s,
                      int paused) {
    for (int i = 0; i < count; ++i) {
        if (paused && i <= 9)
            continue;
        Oscillator& o = b.osc[i];
        if (g.uniform(1.0) < step * 0.2) {
            o.drifting = !o.drifting;
            ++b.flips;
        }
        if (g.uniform(1.0) < step * 0.1) {
            double m = g.uniform(0.02) + 0.02;
            bool positive = g.uniform(1.0) < 0.45;
            o.target = positive ? m : -m;
            ++(positive ? b.positiveTargets : b.negativeTargets);
        }
        o.rate = o.drifting ? o.rate + (o.target - o.rate) * 0.001 : o.rate * 0.999;
        o.phase += i == 0 ? double{step} * s.mainSpeed : bandFactor(i, s) * o.rate * step;
    }
}

SimulationSettings speeds(float rotate, float movement, float main, float light) {
    SimulationSettings s{};
    s.rotateSpeed = rotate;
    s.movementSpeed = movement;
    s.mainSpeed = main;
    s.lightRotateSpeed = light;
    return s;
}

void expectBankEquals(const Bank& expected, int count) {
    for (int i = 0; i < count; ++i) {
        const Oscillator& e = expected.osc[i];
        EXPECT_EQ(drifting[i], e.drifting) << "oscillator " << i;
        EXPECT_DOUBLE_EQ(targetRate[i], e.target) << "oscillator " << i;
        EXPECT_NEAR(rate[i], e.rate, 1e-12 * std::fabs(e.rate) + 1e-15) << "oscillator " << i;
        EXPECT_NEAR(phase[i], e.phase, 1e-9 * std::fabs(e.phase) + 1e-12) << "oscillator " << i;
    }
}

class OscillatorBank : public ::testing::Test {
protected:
    void SetUp() override {
        std::memset(rate, 0, sizeof rate);
        std::memset(targetRate, 0, sizeof targetRate);
        std::memset(drifting, 0, sizeof drifting);
        std::memset(phase, 0, sizeof phase);
    }
};
}  // namespace

TEST_F(OscillatorBank, SeedingGivesOneToCountLessOneAPhaseAndASteadyRate) {
    rate[0] = 0.5, targetRate[0] = 0.6, phase[0] = 42, drifting[0] = 0;
    rate[20] = 0.7, targetRate[20] = 0.8, phase[20] = 43, drifting[20] = 0;
    seedRandom(777);
    Lcg g{777};
    seedOscillators(20);
    for (int i = 1; i < 20; ++i) {
        double expectedPhase = g.uniform(360);
        double expectedTarget = g.uniform(0.02) + 0.02;
        EXPECT_DOUBLE_EQ(phase[i], expectedPhase) << i;
        EXPECT_DOUBLE_EQ(targetRate[i], expectedTarget) << i;
        EXPECT_GE(targetRate[i], 0.02);
        EXPECT_LT(targetRate[i], 0.04);
        EXPECT_EQ(rate[i], targetRate[i]) << i;
        EXPECT_EQ(drifting[i], 1) << i;
    }
    EXPECT_EQ(nextRandom(), g.next()) << "seeding draws three numbers per oscillator";
    EXPECT_EQ(rate[0], 0.5);
    EXPECT_EQ(targetRate[0], 0.6);
    EXPECT_EQ(phase[0], 42);
    EXPECT_EQ(drifting[0], 0);
    EXPECT_EQ(phase[20], 43) << "only count - 1 oscillators are seeded";
}

// At a step of 10 s every test succeeds, so each oscillator draws all four numbers.
TEST_F(OscillatorBank, DrawsFlipThenRetargetTestThenMagnitudeThenSign) {
    SimulationSettings s = speeds(1, 1, 1, 1);
    for (unsigned seed : {100000u, 4242u, 31337u}) {
        seedRandom(seed);
        Lcg g{seed};
        drifting[0] = 1;
        advanceOscillators(1, 10.0f, s, 0);
        g.next();  // flip
        g.next();  // retarget test
        double magnitude = g.uniform(0.02) + 0.02;
        double sign = g.uniform(1.0) < 0.45 ? 1 : -1;
        EXPECT_EQ(drifting[0], 0) << seed;
        EXPECT_DOUBLE_EQ(targetRate[0], sign * magnitude) << seed;
        EXPECT_EQ(nextRandom(), g.next()) << seed;
    }
}

// A long run with changing steps, a pause in the middle and non-default speeds, against the
// rules computed here: every flip, retarget and sign must come from the right draw.
TEST_F(OscillatorBank, LongRunFollowsTheRulesDrawForDraw) {
    SimulationSettings s = speeds(1.5f, 0.5f, 2.0f, 3.0f);
    seedRandom(4242);
    seedOscillators(20);
    Bank expected = snapshot();
    seedRandom(99);
    Lcg g{99};
    const float steps[] = {0.016f, 0.05f, 0.1f, 0.033f};
    for (int frame = 0; frame < 3000; ++frame) {
        float step = steps[frame % 4];
        int paused = frame >= 1000 && frame < 1500;
        advanceOscillators(20, step, s, paused);
        referenceAdvance(expected, g, 20, step, s, paused);
    }
    ASSERT_GT(expected.flips, 0);
    ASSERT_GT(expected.positiveTargets, 0);
    ASSERT_GT(expected.negativeTargets, 0);
    expectBankEquals(expected, 20);
    EXPECT_EQ(nextRandom(), g.next());
}

TEST_F(OscillatorBank, PauseFreezesTheFirstTenWithoutDrawing) {
    SimulationSettings s = speeds(1, 1, 1, 1);
    seedRandom(5);
    seedOscillators(20);
    Bank before = snapshot();
    Bank expected = before;
    seedRandom(100000);
    Lcg g{100000};
    advanceOscillators(20, 10.0f, s, 1);
    referenceAdvance(expected, g, 20, 10.0f, s, 1);
    for (int i = 0; i <= 9; ++i) {
        EXPECT_EQ(rate[i], before.osc[i].rate) << i;
        EXPECT_EQ(targetRate[i], before.osc[i].target) << i;
        EXPECT_EQ(phase[i], before.osc[i].phase) << i;
        EXPECT_EQ(drifting[i], before.osc[i].drifting) << i;
    }
    for (int i = 10; i < 20; ++i)
        EXPECT_NE(drifting[i], before.osc[i].drifting) << "oscillator " << i << " keeps running";
    expectBankEquals(expected, 20);
    EXPECT_EQ(nextRandom(), g.next()) << "only oscillators 10..19 draw";
}

// Step 0 (two frames in one millisecond): no flip, no retarget, no phase change, but two
// draws per running oscillator and one drift or decay step of the rate.
TEST_F(OscillatorBank, StepZeroMovesOnlyTheRates) {
    SimulationSettings s = speeds(2, 2, 2, 2);
    for (int paused : {0, 1}) {
        for (int i = 0; i < 20; ++i) {
            rate[i] = 0.03;
            targetRate[i] = -0.02;
            drifting[i] = i % 2;
            phase[i] = 10.0 + i;
        }
        seedRandom(8);
        Lcg g{8};
        advanceOscillators(20, 0.0f, s, paused);
        for (int i = 0; i < 20; ++i) {
            bool runs = !paused || i >= 10;
            double expectedRate = !runs   ? 0.03
                                  : i % 2 ? 0.03 + (-0.02 - 0.03) * 0.001
                                          : 0.03 * 0.999;
            EXPECT_EQ(phase[i], 10.0 + i) << i;
            EXPECT_EQ(drifting[i], i % 2) << i;
            EXPECT_EQ(targetRate[i], -0.02) << i;
            EXPECT_DOUBLE_EQ(rate[i], expectedRate) << "oscillator " << i << " paused " << paused;
        }
        for (int n = 0; n < (paused ? 20 : 40); ++n)
            g.next();
        EXPECT_EQ(nextRandom(), g.next()) << "paused " << paused;
    }
}

// The drift and the decay are per call, that is per frame, not per second.
TEST_F(OscillatorBank, RateMovesOncePerCallWhateverTheStep) {
    SimulationSettings s = speeds(1, 1, 1, 1);
    for (float step : {0.0f, 0.01f, 0.05f, 0.1f}) {
        for (int drift : {1, 0}) {
            Lcg g{100000};
            ASSERT_GE(g.uniform(1.0), step * 0.2) << "premise: no flip with this seed";
            ASSERT_GE(g.uniform(1.0), step * 0.1) << "premise: no retarget with this seed";
            rate[0] = 0.03;
            targetRate[0] = 0.01;
            drifting[0] = drift;
            seedRandom(100000);
            advanceOscillators(1, step, s, 0);
            double expected = drift ? 0.03 + (0.01 - 0.03) * 0.001 : 0.03 * 0.999;
            EXPECT_DOUBLE_EQ(rate[0], expected) << "step " << step << " drifting " << drift;
            EXPECT_DOUBLE_EQ(targetRate[0], 0.01);
        }
    }
}

// Each band takes its own speed factor, with the rate after this frame's drift; oscillator 0
// ignores its rate.
TEST_F(OscillatorBank, PhaseGrowsByBandWithItsSpeedFactor) {
    const SimulationSettings s = speeds(2.0f, 3.0f, 5.0f, 7.0f);
    const int count = 61;
    for (int i = 0; i < count; ++i) {
        rate[i] = 0.03;
        targetRate[i] = -0.01;
        drifting[i] = 1;
        phase[i] = 100;
    }
    const float step = 0.05f;
    seedRandom(3);
    advanceOscillators(count, step, s, 0);
    struct Band {
        int index;
        double factor;  // the increment per unit of rate and second
    };
    const Band bands[] = {{1, 2.0 * 57.3}, {2, 2.0 * 57.3}, {3, 2.0 * 57.3}, {4, 3.0},
                          {5, 3.0},        {6, 3.0},        {7, 5.0},        {30, 5.0},
                          {49, 5.0},       {50, 7.0},       {60, 7.0}};
    for (const Band& b : bands) {
        double r = rate[b.index];
        ASSERT_NE(r, 0.03) << "the rate moved this frame";
        EXPECT_NEAR(phase[b.index] - 100, b.factor * r * step, 1e-12) << "oscillator " << b.index;
    }
    EXPECT_NEAR(phase[0] - 100, step * 5.0, 1e-12) << "oscillator 0 runs at mainSpeed";
}

TEST_F(OscillatorBank, ValueMapsTheSineOntoLowToLowPlusSpan) {
    struct Case {
        int index;
        double phaseValue, frequency, span, low, expected;
    };
    const double quarter = std::acos(0.0);  // a quarter turn in radians
    const Case cases[] = {
        {3, 1.234, 10, 0, -0.3, -0.3},             // no span: always the low end
        {5, 777.7, 0, 4, -1, 1.0},                 // no frequency: the middle
        {5, 0.25, 4 * quarter, 60, -30, 30},       // sin = 1: the high end
        {98, 0.75, 4 * quarter, 0.6, -0.3, -0.3},  // sin = -1: the low end
        {17, 2.0, 0.5, 720, -360, (std::sin(1.0) * 0.5 + 0.5) * 720 - 360},
    };
    for (const Case& c : cases) {
        phase[c.index] = c.phaseValue;
        EXPECT_NEAR(oscillatorValue(c.index, c.frequency, c.span, c.low), c.expected, 1e-9)
            << "index " << c.index;
        EXPECT_EQ(phase[c.index], c.phaseValue) << "reading changes nothing";
    }
}
