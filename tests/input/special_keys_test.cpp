// Special keys: the held arrow keys, the page and home/end speed keys, and every other code.
#include "input/special_keys.h"

#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <cstdio>

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

namespace {
using S = SimulationSettings;

struct FactorKeys {
    int up, down;
    bool special;
    float S::*field;
    const char* format;
};

const FactorKeys kFactorKeys[] = {
    {'=', '-', false, &S::rotateSpeed, "Rotate Speed: %4.2f\n"},
    {'+', '_', false, &S::movementSpeed, "Movement Speed: %4.2f\n"},
    {')', '(', false, &S::lightRotateSpeed, "Light Rotate Speed: %4.2f\n"},
    {']', '[', false, &S::objectSize, "Object Size: %4.2f\n"},
    {GLUT_KEY_PAGE_UP, GLUT_KEY_PAGE_DOWN, true, &S::mainSpeed, "Main Speed: %4.2f\n"},
    {GLUT_KEY_HOME, GLUT_KEY_END, true, &S::speed, "Speed: %4.2f\n"},
};

void pressKey(int key, bool special) {
    if (special)
        onSpecialKey(key, 0, 0);
    else
        onKeyboard(static_cast<unsigned char>(key), 0, 0);
}

// Held down, a factor stops inside 0.001 .. 1000: the step that would leave the range is not
// taken and the message shows the value kept, so the opposite key always undoes a step (as
// nearly as the factors, which are not exact inverses, allow).
TEST_F(SpecialKeysTest, FactorsStayInARangeWhereEveryStepCanBeUndone) {
    for (const FactorKeys& k : kFactorKeys) {
        for (bool up : {true, false}) {
            SCOPED_TRACE(testing::Message() << k.format << (up ? " up" : " down"));
            resetProgramState();
            const int key = up ? k.up : k.down, back = up ? k.down : k.up;
            for (int n = 0; n < 200; ++n)
                pressKey(key, k.special);
            const float kept = settings.*k.field;
            EXPECT_TRUE(up ? kept <= 1000 && kept > 900 : kept >= 0.001f && kept < 0.0012f);
            char shown[80];
            std::snprintf(shown, sizeof shown, k.format, double{kept});
            EXPECT_STREQ(textOverlay.messageText, shown);
            pressKey(back, k.special);
            EXPECT_NE(settings.*k.field, kept);
            pressKey(key, k.special);
            EXPECT_NEAR(settings.*k.field, kept, kept * 0.003);  // 0.95 x 1.055555 = 1.0028
        }
    }
}
}  // namespace
