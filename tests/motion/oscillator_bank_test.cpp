// The oscillator bank: seeding, the random drift of the rates, pause, and the phase bands.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "motion/oscillator_bank.h"
#include "motion/random.h"
#include "state/simulation_settings.h"

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

// One frame of the bank written straight from its rules, drawing from `g`; counts what
// happened so that a test can tell its run exercised every rule.
struct Bank {
    Oscillator osc[kOscillatorCapacity];
    int flips = 0, positiveTargets = 0, negativeTargets = 0;

    void advance(Lcg& g, int count, float step, const SimulationSettings& s, int paused) {
        for (int i = 0; i < count; ++i) {
            if (paused && i <= 9)
                continue;
            Oscillator& o = osc[i];
            if (g.uniform(1.0) < step * 0.2) {
                o.drifting = !o.drifting;
                ++flips;
            }
            if (g.uniform(1.0) < step * 0.1) {
                double m = g.uniform(0.02) + 0.02;
                bool positive = g.uniform(1.0) < 0.45;
                o.target = positive ? m : -m;
                ++(positive ? positiveTargets : negativeTargets);
            }
            o.rate = o.drifting ? o.rate + (o.target - o.rate) * 0.001 : o.rate * 0.999;
            double factor = i <= 3    ? s.rotateSpeed * 57.3
                            : i <= 6  ? s.movementSpeed
                            : i <= 49 ? s.mainSpeed
                                      : s.lightRotateSpeed;
            o.phase += i == 0 ? double{step} * s.mainSpeed : factor * o.rate * step;
        }
    }
};

Bank snapshot() {
    Bank b;
    for (int i = 0; i < kOscillatorCapacity; ++i)
        b.osc[i] = {rate[i], targetRate[i], phase[i], drifting[i]};
    return b;
}

}  // namespace

TEST(OscillatorBank, SeedingGivesOneToCountLessOneAPhaseAndASteadyRate) {
    phase[0] = 42, rate[0] = 0.5, phase[20] = 43;
    seedRandom(777);
    Lcg g{777};
    seedOscillators(20);
    for (int i = 1; i < 20; ++i) {
        EXPECT_DOUBLE_EQ(phase[i], g.uniform(360)) << i;
        EXPECT_DOUBLE_EQ(targetRate[i], g.uniform(0.02) + 0.02) << i;
        EXPECT_EQ(rate[i], targetRate[i]) << i;
        EXPECT_EQ(drifting[i], 1) << i;
    }
    EXPECT_EQ(nextRandom(), g.next()) << "seeding draws two numbers per oscillator";
    EXPECT_EQ(phase[0], 42);
    EXPECT_EQ(rate[0], 0.5);
    EXPECT_EQ(phase[20], 43) << "only count - 1 oscillators are seeded";
}

// A long run over every band with its own speed, changing steps (0 among them) and a pause in
// the middle, against the rules computed here: every flip, retarget, sign and phase step must
// come from the right draw, and paused oscillators must draw nothing.
TEST(OscillatorBank, LongRunFollowsTheRulesDrawForDraw) {
    const int count = 61;
    SimulationSettings s{};
    s.rotateSpeed = 1.5f, s.movementSpeed = 0.5f, s.mainSpeed = 2.0f, s.lightRotateSpeed = 3.0f;
    seedRandom(4242);
    seedOscillators(count);
    Bank expected = snapshot();
    seedRandom(99);
    Lcg g{99};
    const float steps[] = {0.016f, 0.05f, 0.1f, 0.0f, 0.033f};
    for (int frame = 0; frame < 3000; ++frame) {
        float step = steps[frame % 5];
        int paused = frame >= 1000 && frame < 1500;
        advanceOscillators(count, step, s, paused);
        expected.advance(g, count, step, s, paused);
    }
    ASSERT_GT(expected.flips, 0);
    ASSERT_GT(expected.positiveTargets, 0);
    ASSERT_GT(expected.negativeTargets, 0);
    for (int i = 0; i < count; ++i) {
        const Oscillator& e = expected.osc[i];
        EXPECT_EQ(drifting[i], e.drifting) << "oscillator " << i;
        EXPECT_DOUBLE_EQ(targetRate[i], e.target) << "oscillator " << i;
        EXPECT_NEAR(rate[i], e.rate, 1e-12 * std::fabs(e.rate) + 1e-15) << "oscillator " << i;
        EXPECT_NEAR(phase[i], e.phase, 1e-9 * std::fabs(e.phase) + 1e-12) << "oscillator " << i;
    }
    EXPECT_EQ(nextRandom(), g.next());
}

TEST(OscillatorBank, ValueMapsTheSineOntoLowToLowPlusSpan) {
    phase[17] = 2.0;
    EXPECT_NEAR(oscillatorValue(17, 0.5, 720, -360), (std::sin(1.0) * 0.5 + 0.5) * 720 - 360, 1e-9);
    EXPECT_NEAR(oscillatorValue(17, 0.0, 4, -1), 1.0, 1e-12) << "no frequency: the middle";
    EXPECT_EQ(phase[17], 2.0) << "reading changes nothing";
}
