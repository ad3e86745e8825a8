// The frame driver: the step cap, the frame-rate count, the fades, clearing and the quit.
#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "app/frame.h"
#include "app/settings.h"
#include "backdrop/star_field.h"
#include "images/texture_table.h"
#include "motion/oscillator_bank.h"
#include "tests/support/gl_test.h"
#include "view/camera.h"

namespace {
void frameAt(int ms) {
    elapsedMs = ms;
    renderFrame();
}

// Nothing of the 3-D scene in view: no stars, and the manual camera moved so far back that
// the board lies behind the eye.
void emptyScene() {
    settings.universeOn = 0;
    settings.cameraMode = 1;
    cameraPosZ = -20;
}

// The most common lit red value in the window's top-left 400 x 320 pixels, where the title
// is drawn: the inside of the strokes, full white times the title's opacity. (The brightest
// pixel would not do: neighbouring glyphs overlap, and there the title is blended twice.)
int strokeRedInTitleCorner() {
    auto pixels = readRgb(0, kTestWindowHeight - 320, 400, 320);
    int count[256] = {};
    for (size_t n = 0; n < pixels.size(); n += 3)
        ++count[pixels[n]];
    return static_cast<int>(std::max_element(count + 1, count + 256) - count);
}

int litPixelsInTitleCorner() {
    auto pixels = readRgb(0, kTestWindowHeight - 320, 400, 320);
    return static_cast<int>(
        std::count_if(pixels.begin(), pixels.end(), [](unsigned char v) { return v != 0; }));
}

float secondsOf(int ms) {
    return static_cast<float>(ms * 0.001);
}

// Child-process checks: a death test reports only its exit status and its error output.
void requireBrightness(float expected, const char* when) {
    if (std::fabs(brightness - expected) > 1e-6f) {
        std::fprintf(stderr, "brightness %s is %f, expected %f\n", when, brightness, expected);
        std::_Exit(10);
    }
}

GLuint starListBeforeQuit = 0;
void reportReleasedGraphics() {
    bool texturesGone = true;
    for (int n = 0; n < textureCount; ++n)
        texturesGone = texturesGone && !glIsTexture(textureIds[n]);
    if (!glIsList(starListBeforeQuit) && texturesGone)
        std::fprintf(stderr, "graphics released\n");
}
}  // namespace

using FrameDriver = VaroTest;

TEST_F(FrameDriver, CapsStepsAboveATenthOfASecondAtFiveHundredths) {
    struct Case {
        int lastMs, nowMs;
        float expected;
    };
    const Case cases[] = {
        {2000, 2150, 0.05f},                            // 0.15 s
        {2000, 2080, static_cast<float>(2.08 - 2.0)},   // 0.08 s stays
        {2000, 2099, static_cast<float>(2.099 - 2.0)},  // just under the cap
        {0, 100, 0.05f},      // 0.1 exactly in double, but the stored float is above 0.1
        {1000, 9000, 0.05f},  // an eight-second stall
        {5000, 4000, static_cast<float>(4.0 - 5.0)},  // the clock ran backward
        {4000, 4000, 0.0f},                           // two frames in one millisecond
    };
    for (const Case& c : cases) {
        resetProgramState(c.lastMs);
        frameAt(c.nowMs);
        EXPECT_FLOAT_EQ(frameStep, c.expected) << c.lastMs << " -> " << c.nowMs;
        EXPECT_FLOAT_EQ(nowSeconds, secondsOf(c.nowMs));
        EXPECT_EQ(lastFrameSeconds, double{nowSeconds});
        EXPECT_NEAR(phase[0], c.expected, 1e-7) << "the bank advances by the capped step";
    }
}

TEST_F(FrameDriver, CountsFramesPerSecondAndCatchesUpOneSecondPerFrame) {
    struct Step {
        int ms;
        int framesPerSecond;
        double nextMark;
    };
    const Step steps[] = {
        {100, 30, 1.0}, {500, 30, 1.0}, {999, 30, 1.0}, {1000, 4, 2.0},  // the 4th closes it
        {1500, 4, 2.0}, {5500, 2, 3.0},                                  // a 4 s jump...
        {5510, 1, 4.0}, {5520, 1, 5.0}, {5530, 1, 6.0},                  // ...one mark a frame
        {5540, 1, 6.0}, {5900, 1, 6.0}, {6000, 3, 7.0},
    };
    for (const Step& s : steps) {
        frameAt(s.ms);
        EXPECT_EQ(framesPerSecond, s.framesPerSecond) << "at " << s.ms << " ms";
        EXPECT_EQ(nextSecondMark, s.nextMark) << "at " << s.ms << " ms";
    }
}

TEST_F(FrameDriver, FadesInOverThreeSecondsThenLeavesBrightnessAlone) {
    for (int ms : {0, 300, 1500, 2999}) {
        frameAt(ms);
        EXPECT_FLOAT_EQ(brightness, static_cast<float>(secondsOf(ms) / 3.0)) << ms;
    }
    brightness = 0.25f;
    frameAt(3000);
    EXPECT_EQ(brightness, 0.25f);
    frameAt(7000);
    EXPECT_EQ(brightness, 0.25f);
}

// Over black, the title's strokes are white times its opacity 1 - sqrt(t / 10).
TEST_F(FrameDriver, TitleFadesAlongOneMinusTheRootOfATenthOfTheTime) {
    emptyScene();
    frameAt(12000);
    ASSERT_EQ(litPixelsInTitleCorner(), 0) << "premise: the corner is black without the title";
    frameAt(0);
    const int opaque = strokeRedInTitleCorner();
    ASSERT_GT(opaque, 200);
    for (int ms : {400, 2500, 6400}) {
        frameAt(ms);
        double alpha = 1.0 - std::sqrt(ms / 10000.0);
        EXPECT_NEAR(strokeRedInTitleCorner(), opaque * alpha, 1.5) << "at " << ms << " ms";
    }
}

TEST_F(FrameDriver, ForceClearClearsExactlyOneFrameWithBlankingOff) {
    emptyScene();
    settings.blanking = 0;
    auto frameOver = [](float red, float green, float blue, int ms) {
        glClearColor(red, green, blue, 1);
        frameAt(ms);
        return readPixel(kTestWindowWidth / 2, kTestWindowHeight / 2);
    };
    auto depthAtCentre = [] {
        float depth = -1;
        glReadPixels(kTestWindowWidth / 2, kTestWindowHeight / 2, 1, 1, GL_DEPTH_COMPONENT,
                     GL_FLOAT, &depth);
        return depth;
    };
    glClearDepth(0.5);
    glClear(GL_DEPTH_BUFFER_BIT);
    glClearDepth(1.0);

    forceClear = 1;
    auto cleared = frameOver(1, 0, 0, 11000);
    EXPECT_EQ(cleared[0], 255);
    EXPECT_EQ(cleared[1], 0);
    EXPECT_EQ(forceClear, 0);
    EXPECT_FLOAT_EQ(depthAtCentre(), 1.0f) << "depth is cleared with the colour";

    glClearDepth(0.5);
    glClear(GL_DEPTH_BUFFER_BIT);
    glClearDepth(1.0);
    auto kept = frameOver(0, 1, 0, 11020);
    EXPECT_EQ(kept[0], 255) << "the next frame draws over the last";
    EXPECT_EQ(kept[1], 0);
    EXPECT_FLOAT_EQ(depthAtCentre(), 0.5f);

    forceClear = 1;
    auto again = frameOver(0, 1, 0, 11040);
    EXPECT_EQ(again[0], 0);
    EXPECT_EQ(again[1], 255);

    settings.blanking = 1;
    forceClear = 1;
    auto blanked = frameOver(0, 0, 1, 11060);
    EXPECT_EQ(forceClear, 0) << "the request is spent even when blanking cleared anyway";
    EXPECT_EQ(blanked[1], 0) << "with blanking every frame is cleared";
    EXPECT_EQ(blanked[2], 255);
}

// ESC at 3.2 s: a third of the brightness goes per second, and the first frame below a tenth
// (after 5.9 s) frees the graphics and ends the process with status 0.
TEST_F(FrameDriver, QuitFadeDimsAThirdPerSecondAndEndsBelowATenth) {
    EXPECT_EXIT(
        {
            starListBeforeQuit = static_cast<GLuint>(starField.listId);
            std::atexit(reportReleasedGraphics);
            quitTime = 3.2f;
            for (int ms : {3500, 4700, 5800}) {
                frameAt(ms);
                requireBrightness(static_cast<float>(1.0 - (secondsOf(ms) - 3.2f) / 3.0),
                                  "during the fade");
            }
            std::fprintf(stderr, "alive at 5.8 s\n");
            frameAt(5950);
            std::_Exit(3);
        },
        ::testing::ExitedWithCode(0), "alive at 5.8 s.*graphics released");
}

// Runs in a child that ends itself with status 3: status 0 would mean the fade still ended it.
TEST_F(FrameDriver, ResetDuringTheQuitFadeCancelsIt) {
    EXPECT_EXIT(
        {
            quitTime = 3.2f;
            frameAt(4700);
            requireBrightness(0.5f, "at 4.7 s");
            resetSettings();
            if (quitTime != 0)
                std::_Exit(11);
            requireBrightness(1.0f, "after the reset");
            frameAt(6000);
            frameAt(9000);
            requireBrightness(1.0f, "at 9 s");
            std::_Exit(3);
        },
        ::testing::ExitedWithCode(3), "");
}

// The spotlight and the overlays load light and fog state, but neither is ever switched on.
TEST_F(FrameDriver, NeverEnablesLightingOrFog) {
    settings.spotlightOn = 1;
    settings.clockOn = 1;
    helpShown = 1;
    for (int ms : {1000, 1020}) {
        frameAt(ms);
        EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
        EXPECT_FALSE(glIsEnabled(GL_FOG));
    }
}
