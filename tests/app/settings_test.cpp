// The reset: every setting back to its default, what else it puts back, and what it leaves.
#include <GL/gl.h>

#include <array>
#include <tuple>
#include <utility>
#include <vector>

#include "app/frame.h"
#include "app/reset.h"
#include "app/window.h"
#include "board/pin_board.h"
#include "input/keyboard.h"
#include "motion/oscillator_bank.h"
#include "motion/random.h"
#include "overlay/text_overlay.h"
#include "state/frame_clock.h"
#include "state/settings.h"
#include "state/window_state.h"
#include "tests/support/gl_test.h"
#include "view/camera.h"

using Reset = VaroTest;
using S = SimulationSettings;

TEST_F(Reset, PutsEverySettingBackToItsDefault) {
    const std::pair<int S::*, int> ints[] = {
        {&S::fieldOfView, 100}, {&S::letterbox, 0},   {&S::tesselation, 20}, {&S::universeOn, 1},
        {&S::blanking, 1},      {&S::spotlightOn, 0}, {&S::texturesOn, 1},   {&S::polyMode, 0},
        {&S::cameraMode, 0},    {&S::texGenMode, 0},  {&S::imageIndex, 1},   {&S::clockOn, 0}};
    const std::pair<float S::*, float> floats[] = {
        {&S::rotateSpeed, 1.0f},     {&S::movementSpeed, 1.0f}, {&S::cameraZ, 3.0f},
        {&S::objectSize, 1.0f},      {&S::mainSpeed, 1.0f},     {&S::speed, 1.0f},
        {&S::lightRotateSpeed, 1.0f}};
    for (auto [field, value] : ints)
        settings.*field = value + 3;
    for (auto [field, value] : floats)
        settings.*field = value * 0.5f;
    resetSettings();
    for (auto [field, value] : ints)
        EXPECT_EQ(settings.*field, value);
    for (auto [field, value] : floats)
        EXPECT_EQ(settings.*field, value);
}

TEST_F(Reset, CancelsQuitPauseAndCameraAndRebuildsThePinModel) {
    quitTime = 4.5f;
    brightness = 0.3f;
    paused = 1;
    cameraX = 1, cameraY = 2, cameraPosZ = 3, cameraPitch = 40, cameraYaw = -20;
    glClearColor(0.2f, 0.4f, 0.6f, 0.8f);
    const int oldList = pinListId;
    resetSettings();
    EXPECT_EQ(std::make_tuple(quitTime, brightness, paused), std::make_tuple(0.0f, 1.0f, 0));
    EXPECT_EQ(std::make_tuple(cameraX, cameraY, cameraPosZ, cameraPitch, cameraYaw),
              std::make_tuple(0.0, 0.0, 0.0, 0.0, 0.0));
    std::array<GLfloat, 4> clear{};
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear.data());
    EXPECT_EQ(clear, (std::array<GLfloat, 4>{0, 0, 0, 1}));
    EXPECT_NE(pinListId, oldList);
    EXPECT_TRUE(glIsList(static_cast<GLuint>(pinListId)));
}

TEST_F(Reset, LeavesInputPointerMessageClockAndOscillatorsAlone) {
    auto leftAlone = [] {
        return std::make_tuple(helpShown, arrowKeys, mouseDX, mouseDY, mouseMoved, letterboxPhase,
                               numberCounter, framesPerSecond, nextSecondMark, forceClear,
                               lastFrameSeconds, frameStep, fullScreen, windowWidth,
                               textOverlay.messageExpiry);
    };
    helpShown = arrowKeys = mouseMoved = forceClear = 1;
    mouseDX = 12, mouseDY = -7, letterboxPhase = -3, numberCounter = 9, framesPerSecond = 57;
    nextSecondMark = 42.0, lastFrameSeconds = 41.48, frameStep = 0.02f, fullScreen = 0;
    textOverlay.messageExpiry = 44.0;
    phase[0] = 1.25;
    const auto before = leftAlone();
    const std::vector<double> phases(phase, phase + oscillatorCount);
    resetSettings();
    EXPECT_EQ(leftAlone(), before);
    EXPECT_EQ(std::vector<double>(phase, phase + oscillatorCount), phases);
    fullScreen = 1;
}

TEST_F(Reset, ReseedsTheGeneratorWithTheClock) {
    elapsedMs = 12345;
    seedRandom(1);
    resetSettings();
    EXPECT_EQ(nextRandom(), static_cast<int>((12345u * 214013u + 2531011u) >> 16 & 0x7FFFu));
}
