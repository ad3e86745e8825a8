// The frame driver: the step cap, the frame-rate count, the fades, clearing and the quit.
#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "app/frame.h"
#include "app/reset.h"
#include "backdrop/star_field.h"
#include "images/texture_table.h"
#include "motion/oscillator_bank.h"
#include "state/frame_clock.h"
#include "state/settings.h"
#include "tests/support/gl_test.h"
#include "view/camera.h"

namespace {
void frameAt(int ms) {
    elapsedMs = ms;
    renderFrame();
}

// Nothing of the 3-D scene in view: no stars, and the board behind the eye.
void emptyScene() {
    settings.universeOn = 0;
    settings.cameraMode = 1;
    cameraPosZ = -20;
}

// The most common lit red value in the top-left corner where the title is drawn (the inside
// of its strokes: white times its opacity), or 0 when nothing there is lit.
int titleStrokeRed() {
    auto pixels = readRgb(0, kTestWindowHeight - 320, 400, 320);
    int count[256] = {};
    for (size_t n = 0; n < pixels.size(); n += 3)
        ++count[pixels[n]];
    int* most = std::max_element(count + 1, count + 256);
    return *most ? static_cast<int>(most - count) : 0;
}

GLuint starListBeforeQuit = 0;
void reportReleasedGraphics() {
    bool released = !glIsList(starListBeforeQuit);
    for (int n = 0; n < textureCount; ++n)
        released = released && !glIsTexture(textureIds[n]);
    if (released)
        std::fprintf(stderr, "graphics released\n");
}
}  // namespace

using FrameDriver = VaroTest;

TEST_F(FrameDriver, CapsStepsAboveATenthOfASecondAtFiveHundredths) {
    const struct {
        int lastMs, nowMs;
        float expected;
    } cases[] = {
        {2000, 2150, 0.05f},
        {2000, 2080, static_cast<float>(2.08 - 2.0)},
        {0, 100, 0.05f},  // 0.1 in double, but the float stored is just above it
        {1000, 9000, 0.05f},
        {5000, 4000, static_cast<float>(4.0 - 5.0)},  // a backward clock passes
    };
    for (const auto& c : cases) {
        resetProgramState(c.lastMs);
        frameAt(c.nowMs);
        EXPECT_FLOAT_EQ(frameStep, c.expected) << c.lastMs << " -> " << c.nowMs;
        EXPECT_EQ(lastFrameSeconds, double{nowSeconds});
        EXPECT_NEAR(phase[0], c.expected, 1e-7) << "the bank advances by the capped step";
    }
}

TEST_F(FrameDriver, CountsFramesPerSecondAndCatchesUpOneSecondPerFrame) {
    const struct {
        int ms, framesPerSecond;
        double nextMark;
    } steps[] = {
        {100, 30, 1.0}, {999, 30, 1.0}, {1000, 3, 2.0},  // the frame at the mark counts
        {5500, 1, 3.0}, {5510, 1, 4.0}, {5520, 1, 5.0},  // a 4 s jump: one mark a frame
        {5530, 1, 6.0}, {5540, 1, 6.0}, {6000, 2, 7.0},
    };
    for (const auto& s : steps) {
        frameAt(s.ms);
        EXPECT_EQ(framesPerSecond, s.framesPerSecond) << "at " << s.ms << " ms";
        EXPECT_EQ(nextSecondMark, s.nextMark) << "at " << s.ms << " ms";
    }
}

TEST_F(FrameDriver, FadesInOverThreeSecondsThenLeavesBrightnessAlone) {
    for (int ms : {300, 2999}) {
        frameAt(ms);
        EXPECT_FLOAT_EQ(brightness, static_cast<float>(ms * 0.001f / 3.0)) << ms;
    }
    brightness = 0.25f;
    frameAt(3000);
    EXPECT_EQ(brightness, 0.25f);
}

TEST_F(FrameDriver, TitleFadesAlongOneMinusTheRootOfATenthOfTheTime) {
    emptyScene();
    frameAt(12000);
    ASSERT_EQ(titleStrokeRed(), 0) << "premise: the corner is black without the title";
    frameAt(0);
    const int opaque = titleStrokeRed();
    ASSERT_GT(opaque, 200);
    for (int ms : {2500, 6400}) {
        frameAt(ms);
        EXPECT_NEAR(titleStrokeRed(), opaque * (1.0 - std::sqrt(ms / 10000.0)), 1.5) << ms;
    }
}

// Each frame gets a new clear colour over a depth buffer of 0.5: a cleared frame shows both.
TEST_F(FrameDriver, ClearsEveryFrameWithBlankingAndOneFrameOnRequestWithout) {
    emptyScene();
    const struct {
        int blanking, forceClear, channel;  // the channel of the new clear colour
        bool cleared;
    } frames[] = {{0, 1, 0, true}, {0, 0, 1, false}, {1, 0, 2, true}, {1, 1, 0, true}};
    int ms = 11000;
    for (const auto& f : frames) {
        SCOPED_TRACE(testing::Message() << "blanking " << f.blanking << " force " << f.forceClear);
        glClearDepth(0.5);
        glClear(GL_DEPTH_BUFFER_BIT);
        glClearDepth(1.0);
        glClearColor(f.channel == 0, f.channel == 1, f.channel == 2, 1);
        settings.blanking = f.blanking;
        forceClear = f.forceClear;
        frameAt(ms += 20);
        float depth = 0;
        glReadPixels(kTestWindowWidth / 2, kTestWindowHeight / 2, 1, 1, GL_DEPTH_COMPONENT,
                     GL_FLOAT, &depth);
        EXPECT_EQ(readPixel(kTestWindowWidth / 2, kTestWindowHeight / 2)[f.channel] == 255,
                  f.cleared);
        EXPECT_EQ(depth, f.cleared ? 1.0f : 0.5f);
        EXPECT_EQ(forceClear, 0);
    }
}

// ESC at 3.2 s: a third of the brightness goes per second, and the first frame below a tenth
// (after 5.9 s) frees the graphics and ends the process with status 0. An early end would
// come before "alive" is written.
TEST_F(FrameDriver, QuitFadeDimsAThirdPerSecondAndEndsBelowATenth) {
    EXPECT_EXIT(
        {
            starListBeforeQuit = static_cast<GLuint>(starField.listId);
            std::atexit(reportReleasedGraphics);
            quitTime = 3.2f;
            for (int ms : {3500, 4700, 5850}) {
                frameAt(ms);
                if (std::fabs(brightness - (1.0 - (ms * 0.001f - 3.2f) / 3.0)) > 1e-6)
                    std::_Exit(10);
            }
            std::fprintf(stderr, "alive\n");
            frameAt(5950);
            std::_Exit(3);
        },
        ::testing::ExitedWithCode(0), "alive.*graphics released");
}
