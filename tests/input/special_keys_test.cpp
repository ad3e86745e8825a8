// Special keys: the held arrow keys, the page and home/end speed keys, and every other code.
#include "input/special_keys.h"

#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include "app/reset.h"
#include "input/keyboard.h"
#include "state/settings.h"
#include "tests/input/program_snapshot.h"
#include "tests/support/gl_test.h"

namespace {
using P = ProgramSnapshot;

class SpecialKeysTest : public VaroTest {
protected:
    void SetUp() override {
        VaroTest::SetUp();
        forceClear = 1;  // neither callback may touch it
    }
};

TEST_F(SpecialKeysTest, ArrowKeysHoldTheirBitFromPressToReleaseThroughAReset) {
    struct Event {
        bool press;
        int key;
        int held;  // arrowKeys afterwards
    };
    const Event events[] = {
        {true, GLUT_KEY_LEFT, 1},    {true, GLUT_KEY_RIGHT, 3},  // both sideways keys at once
        {true, GLUT_KEY_LEFT, 3},                                // an auto-repeated press
        {false, GLUT_KEY_LEFT, 2},   {false, GLUT_KEY_LEFT, 2},  // a release without a press
        {true, GLUT_KEY_UP, 6},      {true, GLUT_KEY_DOWN, 14}, {true, GLUT_KEY_LEFT, 15},
        {false, GLUT_KEY_RIGHT, 13}, {false, GLUT_KEY_DOWN, 5}, {false, GLUT_KEY_LEFT, 4},
        {false, GLUT_KEY_UP, 0},
    };
    for (const Event& e : events) {
        P expected;
        expected.arrowKeys = e.held;
        (e.press ? onSpecialKey : onSpecialKeyUp)(e.key, 0, 0);
        expectState(expected, P());
    }
    onSpecialKey(GLUT_KEY_UP, 0, 0);
    onKeyboard('r', 0, 0);
    EXPECT_EQ(arrowKeys, 4);
}

TEST_F(SpecialKeysTest, PageAndHomeEndKeysScaleTheirSpeedAndShowIt) {
    struct SpeedKey {
        int key;
        float SimulationSettings::*field;
        double factor;
        const char* message;
    };
    using S = SimulationSettings;
    const SpeedKey keys[] = {
        {GLUT_KEY_PAGE_UP, &S::mainSpeed, 1.111111, "Main Speed: 1.11\n"},
        {GLUT_KEY_PAGE_DOWN, &S::mainSpeed, 0.9, "Main Speed: 0.90\n"},
        {GLUT_KEY_HOME, &S::speed, 1.111111, "Speed: 1.11\n"},
        {GLUT_KEY_END, &S::speed, 0.9, "Speed: 0.90\n"},
    };
    for (const SpeedKey& k : keys) {
        SCOPED_TRACE(k.message);
        resetProgramState();
        forceClear = 1;
        P expected;
        expected.s.*k.field = static_cast<float>(1.0 * k.factor);
        expected.message = k.message;
        onSpecialKey(k.key, 0, 0);
        expectState(expected, P());
    }
}

TEST_F(SpecialKeysTest, EveryOtherPressAndReleaseIsIgnored) {
    arrowKeys = 15;  // a release must not clear anything either
    for (int key = -1; key < 300; ++key) {
        SCOPED_TRACE(testing::Message() << "code " << key);  // F1..F12, Insert, Shift 112...
        P expected;
        if (key < GLUT_KEY_LEFT || key > GLUT_KEY_END)
            onSpecialKey(key, 0, 0);
        if (key < GLUT_KEY_LEFT || key > GLUT_KEY_DOWN)  // page and home/end releases too
            onSpecialKeyUp(key, 0, 0);
        expectState(expected, P());
    }
}
}  // namespace
