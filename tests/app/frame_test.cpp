// The frame driver: the clock at any uptime, the frame count, the fades, clearing, the quit.

#include <climits>
#include <tuple>
#include <utility>

#include "app/frame.h"
#include "app/scene.h"
#include "backdrop/star_field.h"
#include "images/texture_table.h"
#include "input/keyboard.h"
#include "tests/support/gl_test.h"
#include "view/camera.h"

namespace {
constexpr int kDay = 86400000;  // milliseconds

// Nothing of the 3-D scene in view: no stars, and the board behind the eye.
void emptyScene() {
    settings.universeOn = 0;
    settings.cameraMode = kManualCamera;
    cameraPosZ = -20;
}

// In the title's corner: the commonest lit red (stroke insides, white x opacity), leftmost column.
std::pair<int, int> titleStrokeRedAndLeft() {
    const auto pixels = readRgb(0, kTestWindowHeight - 320, 400, 320);
    int count[256] = {}, left = 400;
    for (size_t n = 0; n < pixels.size(); n += 3) {
        ++count[pixels[n]];
        left = pixels[n] ? std::min(left, static_cast<int>(n / 3 % 400)) : left;
    }
    int* most = std::max_element(count + 1, count + 256);
    return {*most ? static_cast<int>(most - count) : 0, left};
}

using FrameDriver = VaroTest;

// 16 ms frames measure 16 ms at any uptime and across the int clock's wrap; a step above a tenth
// becomes 0.05 (0.1 as a float is just above a tenth), a backward one passes.
TEST_F(FrameDriver, StepIsExactMillisecondsAtAnyUptimeAndCapsStalls) {
    const struct {
        int lastMs, nowMs;
        float step;
    } cases[] = {
        {2000, 2150, 0.05f},
        {2000, 2080, 0.08f},
        {5000, 4000, -1.0f},
        {0, 100, 0.05f},
        {3600000, 3600016, 0.016f},
        {10 * kDay, 10 * kDay + 16, 0.016f},
        {20 * kDay, 20 * kDay + 16, 0.016f},
        {INT_MAX - 7, INT_MIN + 8, 0.016f},
    };
    for (const auto& c : cases) {
        resetProgramState(c.lastMs);
        frameAt(c.nowMs);
        EXPECT_EQ(frameStep, c.step) << c.lastMs << " -> " << c.nowMs;
        EXPECT_EQ(phase[kFrameClock], double{c.step}) << "the bank advances by the frame's step";
        EXPECT_EQ(nowSeconds, static_cast<float>(c.nowMs * 0.001));
    }
}

TEST_F(FrameDriver, CountsFramesPerSecondAndCatchesUpOneSecondPerFrame) {
    const struct {
        int ms, framesPerSecond, nextMarkMs;
    } steps[] = {
        {100, 30, 1000}, {999, 30, 1000}, {1000, 3, 2000},  // the frame at the mark counts
        {5500, 1, 3000}, {5510, 1, 4000}, {5520, 1, 5000},  // a 4 s jump: one mark a frame
        {5530, 1, 6000}, {5540, 1, 6000}, {6000, 2, 7000},
    };
    for (const auto& s : steps) {
        frameAt(s.ms);
        EXPECT_EQ(framesPerSecond, s.framesPerSecond) << "at " << s.ms << " ms";
        EXPECT_EQ(nextSecondMarkMs, s.nextMarkMs) << "at " << s.ms << " ms";
    }
}

// The title's fade shows through the blending the scene's set-up loads.
TEST_F(FrameDriver, FadesInOverThreeSecondsWhileTheTitleFadesOverTen) {
    glBlendFunc(GL_ONE, GL_ZERO);
    setUpScene();
    emptyScene();
    for (int ms : {300, 2999}) {
        frameAt(ms);
        EXPECT_FLOAT_EQ(brightness, ms / 3000.0f) << ms;
    }
    frameAt(3400);  // a slow frame past the fade-in's end: the board is bright all the same
    EXPECT_EQ(brightness, 1.0f);
    brightness = 0.25f;
    frameAt(12000);
    EXPECT_EQ(brightness, 0.25f) << "left alone after the fade-in";
    ASSERT_EQ(titleStrokeRedAndLeft().first, 0) << "premise: the corner is black without the title";
    // No shake; a jump moves the title half its size at most.
    phase[kTitleShakeX] = phase[kTitleShakeY] = 0;
    frameAt(0);
    const auto [opaque, left] = titleStrokeRedAndLeft();
    ASSERT_GT(opaque, 200);
    EXPECT_NEAR(left, kTestWindowWidth / 10, 30 + 5);
    for (int ms : {2500, 6400}) {
        frameAt(ms);
        EXPECT_NEAR(titleStrokeRedAndLeft().first, opaque * (1.0 - std::sqrt(ms / 10000.0)), 1.5);
    }
}

// Each frame gets a new clear colour over a depth buffer of 0.5: a cleared frame shows both.
TEST_F(FrameDriver, ClearsEveryFrameWithBlankingAndOneFrameOnRequestWithout) {
    emptyScene();
    const int frames[][3] = {{kHyperspace, kClearNextFrame, 1},
                             {kHyperspace, kNoClearRequested, 0},
                             {kBlankEveryFrame, kNoClearRequested, 1},
                             {kBlankEveryFrame, kClearNextFrame, 1}};  // blanking, request, cleared
    for (int n = 0; n < 4; ++n) {
        glClearDepth(0.5), glClear(GL_DEPTH_BUFFER_BIT), glClearDepth(1.0);
        glClearColor(n % 3 == 0, n % 3 == 1, n % 3 == 2, 1);
        settings.blanking = frames[n][0], forceClear = frames[n][1];
        frameAt(11000 + 20 * n);
        float depth = 0;
        glReadPixels(kTestWindowWidth / 2, kTestWindowHeight / 2, 1, 1, GL_DEPTH_COMPONENT,
                     GL_FLOAT, &depth);
        const bool newColour =
            readRgb(kTestWindowWidth / 2, kTestWindowHeight / 2, 1, 1)[n % 3] == 255;
        EXPECT_EQ(std::make_tuple(newColour, depth, forceClear),
                  std::make_tuple(frames[n][2] == 1, frames[n][2] ? 1.0f : 0.5f, 0))
            << "frame " << n;
    }
    glClearColor(0, 0, 0, 1);
}

// ESC at any time fades 1/3 per second; the first frame under 0.1 (2.7 s on) ends, GL released.
TEST_F(FrameDriver, QuitFadesOutAndEndsTheShowAfterTwoPointSevenSecondsWhenever) {
    for (int escMs : {3200, 0, 3600000, 20 * kDay, INT_MAX - 1000}) {
        SCOPED_TRACE(escMs);
        setUpScene();  // the graphics, released by the last round
        resetProgramState(escMs);
        frameAt(escMs);
        onKeyboard(27, 0, 0);
        const auto starList = static_cast<GLuint>(starField.listId);
        for (int after : {300, 1500, 2650}) {
            elapsedMs = msAfter(escMs, after);
            ASSERT_TRUE(renderFrame()) << after;
            EXPECT_NEAR(brightness, 1.0 - after / 3000.0, 1e-6);
        }
        elapsedMs = msAfter(escMs, 2750);
        EXPECT_FALSE(renderFrame());
        EXPECT_FALSE(glIsList(starList));
        for (int n = 0; n < textureCount; ++n)
            EXPECT_FALSE(glIsTexture(textureIds[n])) << n;
    }
    setUpScene();
}
}  // namespace
