// An in-process storm: thousands of random key presses (every code 0..255), special keys down
// and up, pointer reports and clicks anywhere a window can report them, real window resizes
// down to 1 x 1, and frames on a clock that mostly steps forward but stalls, jumps and runs
// back. Afterwards no GL error has been raised, every setting is in its range, exactly one pin
// list and the star list exist, no texture was added or lost, and memory has not grown.
//
// VARO_STORM_EVENTS sets the number of events (default 3000); VARO_STORM_SEED the seed.
#include <GL/freeglut.h>

#include <cstdio>
#include <cstdlib>
#include <random>

#include "app/frame.h"
#include "app/reset.h"
#include "app/window.h"
#include "backdrop/star_field.h"
#include "board/pin_board.h"
#include "input/keyboard.h"
#include "input/special_keys.h"
#include "overlay/text_overlay.h"
#include "state/frame_clock.h"
#include "state/settings.h"
#include "state/window_state.h"
#include "tests/reliability/reliability_support.h"
#include "tests/support/gl_test.h"
#include "view/camera.h"

namespace {
constexpr unsigned char kEscape = 27;
constexpr int kWarmUpEvents = 500;         // the driver's first-use allocations come first
constexpr long kAllowedGrowthKiB = 32768;  // over the second half: 26 KiB leaked per event fills it

int fromEnvironment(const char* name, int fallback) {
    const char* value = std::getenv(name);
    return value ? std::atoi(value) : fallback;
}

class Storm {
public:
    explicit Storm(unsigned seed) : random_(seed) {}

    // One random event; returns the GL errors raised by a frame it drew.
    int step() {
        const int kind = pick(0, 99);
        if (kind < 35)
            key();
        else if (kind < 45)
            onSpecialKey(specialCode(), 0, 0);
        else if (kind < 55)
            onSpecialKeyUp(specialCode(), 0, 0);
        else if (kind < 68)
            move();
        else if (kind < 73)
            click();
        else if (kind < 75)
            resize();
        else
            return frame();
        return 0;
    }

    int eventsDone() const { return events_; }
    int framesDone() const { return frames_; }

private:
    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

    // Every code 0..255, the command keys more often. ESC is followed at once by 'r', before
    // any frame, so the quit it starts is cancelled and the process goes on.
    void key() {
        static const char kCommands[] = " ()+,-./<=>?[]_{}cfilnoprstuvwCFILNOPRSTUVW";
        const unsigned char code =
            pick(0, 2) == 0 ? static_cast<unsigned char>(pick(0, 255))
                            : static_cast<unsigned char>(kCommands[pick(0, sizeof kCommands - 2)]);
        onKeyboard(code, 0, 0);
        ++events_;
        if (code == kEscape) {
            onKeyboard('r', 0, 0);
            ++events_;
        }
    }

    // Pointer reports span the whole range of X window coordinates.
    void move() {
        ++events_;
        const int x = pick(-32768, 32767);
        const int y = pick(-32768, 32767);
        onPointerMotion(x, y);
    }

    // Any button (left, middle, right, the wheel), pressed or released, anywhere.
    void click() {
        ++events_;
        const int button = pick(0, 4);
        const int state = pick(0, 1);
        const int x = pick(-32768, 32767);
        const int y = pick(-32768, 32767);
        onMouseButton(button, state, x, y);
    }

    int specialCode() {
        ++events_;
        return pick(0, 3) == 0 ? pick(0, 255) : pick(100, 107);  // the arrows, page, home, end
    }

    // A real resize through the X server; its reshape reaches the program a little later, among
    // the following events, as it does in the running program.
    void resize() {
        ++events_;
        const int width = pick(0, 3) == 0 ? pick(1, 4) : pick(1, kTestWindowWidth);
        const int height = pick(0, 3) == 0 ? pick(1, 4) : pick(1, kTestWindowHeight);
        glutReshapeWindow(width, height);
        pumpEvents();
    }

    // Mostly a frame's worth of time; sometimes a stall, a jump ahead or a step back.
    int frame() {
        ++events_;
        ++frames_;
        const int kind = pick(0, 99);
        if (kind < 85)
            clockMs_ += pick(0, 40);
        else if (kind < 93)
            clockMs_ += pick(100, 5000);
        else
            clockMs_ -= pick(0, 2000);
        pumpEvents();
        return frameAt(clockMs_);
    }

    std::mt19937 random_;
    int clockMs_ = 0;
    int events_ = 0;
    int frames_ = 0;
};
}  // namespace

using InputStorm = VaroTest;

TEST_F(InputStorm, LeavesTheProgramRunningInRangeWithoutErrorsOrGrowth) {
    const int events = fromEnvironment("VARO_STORM_EVENTS", 3000);
    const auto seed = static_cast<unsigned>(fromEnvironment("VARO_STORM_SEED", 1));
    Storm storm(seed);
    // Resident memory after the warm-up, halfway through the rest, and at the end: a leak grows
    // it in both halves alike, while the driver's first uses of new sizes and states come early.
    long resident[3] = {0, 0, 0};
    const int marks[2] = {kWarmUpEvents, (kWarmUpEvents + events) / 2};
    int nextMark = 0;
    while (storm.eventsDone() < events) {
        ASSERT_EQ(storm.step(), 0)
            << "GL error at event " << storm.eventsDone() << ", seed " << seed;
        ASSERT_EQ(quitTime, 0.0f) << "a quit was left pending at event " << storm.eventsDone();
        if (nextMark < 2 && storm.eventsDone() >= marks[nextMark])
            resident[nextMark++] = residentKiB();
    }
    resident[2] = residentKiB();
    std::printf(
        "storm: %d events (%d frames), seed %u; resident %ld KiB after warm-up, %ld KiB "
        "halfway, %ld KiB at the end\n",
        storm.eventsDone(), storm.framesDone(), seed, resident[0], resident[1], resident[2]);

    EXPECT_EQ(glErrorCount, 0);
    EXPECT_LT(resident[2] - resident[1], kAllowedGrowthKiB);
    EXPECT_GE(settings.fieldOfView, 1);
    EXPECT_LE(settings.fieldOfView, 179);
    EXPECT_GE(settings.tesselation, 8);
    EXPECT_LE(settings.tesselation, 40);
    EXPECT_GE(settings.letterbox, 0);
    EXPECT_LE(settings.letterbox, 6);
    for (int mode : {settings.polyMode, settings.texGenMode})
        EXPECT_TRUE(mode >= 0 && mode <= 2);
    for (int flag : {settings.universeOn, settings.blanking, settings.spotlightOn,
                     settings.texturesOn, settings.cameraMode, settings.imageIndex,
                     settings.clockOn, paused, helpShown, fullScreen})
        EXPECT_TRUE(flag == 0 || flag == 1);
    EXPECT_EQ(arrowKeys & ~15, 0);
    EXPECT_EQ(displayListsUpTo(static_cast<GLuint>(pinListId) + 200), 2);
    EXPECT_TRUE(glIsList(static_cast<GLuint>(pinListId)));
    EXPECT_TRUE(glIsList(static_cast<GLuint>(starField.listId)));
    EXPECT_EQ(texturesUpTo(200), 3);

    // The program still answers: a reset and a frame give the default picture's view.
    onKeyboard('r', 0, 0);
    fullScreen = 1;
    ASSERT_TRUE(resizeWindow(kTestWindowWidth, kTestWindowHeight));
    EXPECT_EQ(frameAt(100000), 0);
    EXPECT_TRUE(viewFinite());
}
