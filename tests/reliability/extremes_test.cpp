// Settings, window sizes and clock values at and past their extremes: hundreds of presses of
// every speed, size and distance key, field of view and pin count at both bounds, the widest
// letterbox in a window a few pixels high, days of clock and the clock's wrap. Nothing may
// raise a GL error, and the picture must survive whatever the numbers do.
#include <GL/freeglut.h>

#include <algorithm>
#include <array>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "app/frame.h"
#include "app/reset.h"
#include "app/window.h"
#include "backdrop/star_field.h"
#include "board/pin_board.h"
#include "input/keyboard.h"
#include "input/special_keys.h"
#include "motion/oscillator_bank.h"
#include "overlay/text_overlay.h"
#include "state/frame_clock.h"
#include "state/settings.h"
#include "state/window_state.h"
#include "tests/reliability/reliability_support.h"
#include "tests/support/gl_test.h"

namespace {
constexpr int kAfterTitleMs = 20000;  // the title and the fade-in are over
constexpr int kFrameMs = 16;
constexpr int kBoardInView = 20000;  // lit pixels: the board fills much of the window

// Each message is drawn at once; a wait now and then keeps the driver's queue short, as the
// program's frames do between key presses.
void press(unsigned char key, int times = 1) {
    for (int n = 1; n <= times; ++n) {
        onKeyboard(key, 0, 0);
        if (n % 64 == 0)
            glFinish();
    }
}

std::string message() {
    return textOverlay.messageText;
}

// A picture of the board alone: no stars, no message line.
void boardOnly() {
    settings.universeOn = 0;
    textOverlay.messageExpiry = 0;
}

// A key, or a special key when `special` is non-zero, with the setting it scales.
struct SpeedKey {
    int key;
    bool special;
    float SimulationSettings::*setting;
    const char* label;
};

void pressSpeedKey(const SpeedKey& k) {
    if (k.special)
        onSpecialKey(k.key, 0, 0);
    else
        onKeyboard(static_cast<unsigned char>(k.key), 0, 0);
}

const SpeedKey kFasterKeys[] = {
    {'=', false, &SimulationSettings::rotateSpeed, "Rotate Speed: "},
    {'+', false, &SimulationSettings::movementSpeed, "Movement Speed: "},
    {')', false, &SimulationSettings::lightRotateSpeed, "Light Rotate Speed: "},
    {']', false, &SimulationSettings::objectSize, "Object Size: "},
    {GLUT_KEY_PAGE_UP, true, &SimulationSettings::mainSpeed, "Main Speed: "},
    {GLUT_KEY_HOME, true, &SimulationSettings::speed, "Speed: "},
};

const SpeedKey kSlowerKeys[] = {
    {'-', false, &SimulationSettings::rotateSpeed, "Rotate Speed: "},
    {'_', false, &SimulationSettings::movementSpeed, "Movement Speed: "},
    {'(', false, &SimulationSettings::lightRotateSpeed, "Light Rotate Speed: "},
    {'[', false, &SimulationSettings::objectSize, "Object Size: "},
    {GLUT_KEY_PAGE_DOWN, true, &SimulationSettings::mainSpeed, "Main Speed: "},
    {GLUT_KEY_END, true, &SimulationSettings::speed, "Speed: "},
};
}  // namespace

using Extremes = VaroTest;

// Steps up overflow every factor to infinity (after about 842 steps of 1.111111 and 1641 of
// 1.055555); the message then reads "inf". The speeds that drive oscillators must not carry the
// infinity into the phases: the picture stays, with the motion of that band standing still.
TEST_F(Extremes, SpeedsSteppedToInfinityLeaveThePictureStanding) {
    for (const SpeedKey& k : kFasterKeys) {
        SCOPED_TRACE(k.label);
        resetProgramState(kAfterTitleMs);
        boardOnly();
        int ms = kAfterTitleMs;
        for (int press = 1; press <= 2000 && !std::isinf(settings.*k.setting); ++press) {
            pressSpeedKey(k);
            if (press % 200 == 0) {
                ASSERT_EQ(frameAt(ms += kFrameMs), 0);  // through the largest finite speeds
            }
        }
        EXPECT_TRUE(std::isinf(settings.*k.setting));
        pressSpeedKey(k);  // from infinity: the product itself is infinite
        EXPECT_NE(message().find(std::string(k.label) + " inf\n"), std::string::npos);
        textOverlay.messageExpiry = 0;
        for (int n = 0; n < 3; ++n)
            ASSERT_EQ(frameAt(ms += kFrameMs), 0);
        EXPECT_TRUE(phasesFinite());
        EXPECT_TRUE(viewFinite());
        ASSERT_EQ(frameAt(ms += kFrameMs), 0);
        EXPECT_GT(litPixels(), kBoardInView);
    }
}

// Steps down do not reach zero: through the subnormal floats the product rounds back to the
// same value at a floor of a few times the smallest float (4 x 2^-149 for 0.9, 10 x 2^-149 for
// 0.95), reached after about 990 and 2030 steps; the message shows "0.00". From the floor of
// 0.9 a step of 1.111111 rounds back as well, so only the reset brings those speeds back; the
// object size's step of 1.055555 climbs out one smallest float at a time.
TEST_F(Extremes, SpeedsSteppedDownStopAtASubnormalFloorThatOnlyTheResetLeaves) {
    for (const SpeedKey& k : kSlowerKeys) {
        SCOPED_TRACE(k.label);
        resetProgramState(kAfterTitleMs);
        boardOnly();
        int ms = kAfterTitleMs;
        int presses = 0;
        for (float last = -1; settings.*k.setting != last && presses < 3000; ++presses) {
            last = settings.*k.setting;
            pressSpeedKey(k);
            if (presses % 200 == 0) {
                ASSERT_EQ(frameAt(ms += kFrameMs), 0);
            }
        }
        const float floor = settings.*k.setting;
        EXPECT_LT(presses, 3000);
        EXPECT_GT(floor, 0.0f);
        EXPECT_EQ(std::fpclassify(floor), FP_SUBNORMAL);
        EXPECT_EQ(message(), std::string(k.label) + "0.00\n");
        for (const SpeedKey& up : kFasterKeys)
            if (up.setting == k.setting)
                pressSpeedKey(up);
        if (k.setting == &SimulationSettings::objectSize) {
            EXPECT_GT(settings.*k.setting, floor);
        } else {
            EXPECT_EQ(settings.*k.setting, floor);
        }
        ASSERT_EQ(frameAt(ms += kFrameMs), 0);
        EXPECT_TRUE(phasesFinite());
        press('r');
        EXPECT_EQ(settings.*k.setting, 1.0f);
    }
}

// The field of view at 1 and 179 under every letterbox level: at 1 the narrowing takes the
// vertical angle through zero (level 6 gives -28 degrees, a picture turned over) and at 29
// degrees level 6 gives exactly 0, for which no perspective is loaded at all.
TEST_F(Extremes, FieldOfViewAtBothBoundsUnderEveryLetterbox) {
    int ms = kAfterTitleMs;
    for (unsigned char key : {',', '.', ',', '.'}) {
        press(key, 200);
        const int bound = key == ',' ? 179 : 1;
        ASSERT_EQ(settings.fieldOfView, bound);
        for (int level = 0; level < 12; ++level) {  // a whole bounce, up to 6 and back
            press('l');
            ASSERT_EQ(frameAt(ms += kFrameMs), 0);
            EXPECT_TRUE(viewFinite()) << "fov " << bound << " level " << settings.letterbox;
        }
    }
    // Level 6 at field of view 1: -28 degrees, a negative scale that turns the picture over.
    settings.letterbox = 6;
    ASSERT_EQ(frameAt(ms += kFrameMs), 0);
    ASSERT_TRUE(viewFinite());
    EXPECT_LT(currentMatrix(GL_PROJECTION_MATRIX)[5], 0);
    // At 29 degrees level 6 gives exactly 0: GLU loads nothing, the projection stays identity.
    settings.fieldOfView = 29;
    ASSERT_EQ(frameAt(ms += kFrameMs), 0);
    ASSERT_TRUE(viewFinite());
    const std::array<double, 16> identity = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    EXPECT_EQ(currentMatrix(GL_PROJECTION_MATRIX), identity);
}

// The pin count run against both bounds, rebuilding the model on every press: exactly one pin
// list exists afterwards (beside the star field's), and the board draws at both bounds.
TEST_F(Extremes, PinCountAtBothBoundsKeepsExactlyOnePinList) {
    boardOnly();
    int ms = kAfterTitleMs;
    GLuint highestName = 0;
    for (unsigned char key : {'>', '<', '>'}) {
        for (int n = 0; n < 100; ++n) {
            press(key);
            highestName = std::max(highestName, static_cast<GLuint>(pinListId));
            if (n % 10 == 0) {
                ASSERT_EQ(frameAt(ms += kFrameMs), 0);
            }
        }
        EXPECT_EQ(settings.tesselation, key == '>' ? 40 : 8);
        textOverlay.messageExpiry = 0;
        ASSERT_EQ(frameAt(ms += kFrameMs), 0);
        EXPECT_GT(litPixels(), kBoardInView);
    }
    EXPECT_EQ(displayListsUpTo(highestName + 100), 2);
    EXPECT_TRUE(glIsList(static_cast<GLuint>(pinListId)));
    EXPECT_TRUE(glIsList(static_cast<GLuint>(starField.listId)));
}

// The eye distance driven through zero to -47 and back up to +53: the far plane falls behind
// the near one and comes back; every frame's view stays finite and no GL error is raised.
TEST_F(Extremes, CameraDistanceThroughZeroAndBack) {
    int ms = kAfterTitleMs;
    for (auto [key, presses] : {std::pair<unsigned char, int>{'{', 1000}, {'}', 2000}}) {
        for (int n = 1; n <= presses; ++n) {
            press(key);
            if (n % 25 == 0) {
                ASSERT_EQ(frameAt(ms += kFrameMs), 0) << "cameraZ " << settings.cameraZ;
                ASSERT_TRUE(viewFinite()) << "cameraZ " << settings.cameraZ;
            }
        }
    }
    EXPECT_NEAR(settings.cameraZ, 53.0f, 0.01f);
}

// The widest letterbox in windows one to four pixels high (and one pixel wide): no rows are
// left for the 3-D view, yet the help page, the clock line, a message and the title all draw
// without a GL error, and the viewport never has a negative size.
TEST_F(Extremes, WidestLetterboxInWindowsAFewPixelsHigh) {
    const int sizes[][2] = {{1, 1}, {1, 4}, {300, 1}, {300, 2}, {300, 3}, {300, 4}, {4, 300}};
    for (const auto& size : sizes) {
        SCOPED_TRACE(std::to_string(size[0]) + " x " + std::to_string(size[1]));
        ASSERT_TRUE(resizeWindow(size[0], size[1]));
        resetProgramState(2000);  // the title still shows
        press('l', 6);
        ASSERT_EQ(settings.letterbox, 6);
        helpShown = 1;
        settings.clockOn = 1;
        press('n');
        for (int ms : {2000, 2016, 2500, kAfterTitleMs}) {
            ASSERT_EQ(frameAt(ms), 0);
            ASSERT_TRUE(viewFinite());
            GLint viewport[4];
            glGetIntegerv(GL_VIEWPORT, viewport);
            EXPECT_GE(viewport[3], 0);
        }
    }
    ASSERT_TRUE(resizeWindow(kTestWindowWidth, kTestWindowHeight));
}

// An hour of motion at the default speeds and at the largest finite speeds: the phases grow
// large but stay finite, and the board still draws.
TEST_F(Extremes, AnHourOfPhaseGrowthAtDefaultAndLargestSpeeds) {
    for (float speed : {1.0f, FLT_MAX}) {
        resetProgramState(kAfterTitleMs);
        boardOnly();
        settings.rotateSpeed = settings.movementSpeed = settings.mainSpeed = speed;
        for (int frame = 0; frame < 60 * 3600; ++frame)
            advanceOscillators(oscillatorCount, 1.0f / 60, settings, 0);
        EXPECT_TRUE(phasesFinite());
        ASSERT_EQ(frameAt(kAfterTitleMs + kFrameMs), 0);
        EXPECT_TRUE(viewFinite());
        EXPECT_GT(litPixels(), kBoardInView);
    }
}

// The clock runs for hours and days, and past the largest int of milliseconds (24.8 days),
// where the toolkit's clock wraps to the most negative value. The frames go on without a GL
// error; the board must not be left dark, nor the title drawn with an undefined opacity.
TEST_F(Extremes, ClockAfterHoursAndDaysAndAcrossItsWrap) {
    struct Case {
        const char* name;
        std::int64_t startMs;
    };
    const Case cases[] = {{"ten hours", 36000000LL},
                          {"twenty days", 1728000000LL},
                          {"across the wrap", static_cast<std::int64_t>(INT_MAX) - 100}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        resetProgramState(kAfterTitleMs);
        boardOnly();
        float shortestStep = 1, longestStep = -1;
        for (int frame = 0; frame < 20; ++frame) {
            const auto ms = static_cast<std::uint32_t>(c.startMs + frame * kFrameMs);
            int wrapped;
            std::memcpy(&wrapped, &ms, sizeof wrapped);  // the toolkit's int clock wraps
            ASSERT_EQ(frameAt(wrapped), 0) << "at " << wrapped << " ms";
            if (frame > 0 && wrapped > 0) {
                shortestStep = std::min(shortestStep, frameStep);
                longestStep = std::max(longestStep, frameStep);
            }
            GLfloat colour[4];
            glGetFloatv(GL_CURRENT_COLOR, colour);
            for (GLfloat channel : colour)
                ASSERT_TRUE(std::isfinite(channel)) << "at " << wrapped << " ms";
        }
        // What a float clock in seconds does to 16 ms steps this late (not a failure).
        std::printf("%s: frame steps of 16 ms measured from %.4f to %.4f s\n", c.name, shortestStep,
                    longestStep);
        EXPECT_TRUE(phasesFinite());
        EXPECT_GE(brightness, 0.0f);
        EXPECT_GT(litPixels(), kBoardInView);
    }
}

// The clock jumps: far back (a step of -95 s passes uncapped and runs the phases backward), far
// forward (capped at 0.05 s; the frame count catches up a second per frame), and back into
// the first three seconds (the fade-in applies again).
TEST_F(Extremes, ClockJumpsBackwardAndForward) {
    resetProgramState(100000);
    boardOnly();
    struct Step {
        int ms;
        float step;  // the frame step the jump gives
    };
    const Step steps[] = {{100016, 0.016f}, {5000, -95.016f},  {5016, 0.016f},
                          {3600000, 0.05f}, {3600016, 0.016f}, {1000, -3599.016f}};
    for (const Step& s : steps) {
        ASSERT_EQ(frameAt(s.ms), 0) << "at " << s.ms << " ms";
        EXPECT_NEAR(frameStep, s.step, 1e-3) << "at " << s.ms << " ms";
        EXPECT_TRUE(phasesFinite());
        EXPECT_TRUE(viewFinite());
    }
    EXPECT_FLOAT_EQ(brightness, 1.0f / 3.0f);
    ASSERT_EQ(frameAt(kAfterTitleMs), 0);
}
