// The reset: every setting back to its default, what else it puts back, and what it leaves.
#include <GL/gl.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "app/frame.h"
#include "app/settings.h"
#include "app/window.h"
#include "board/pin_board.h"
#include "input/keyboard.h"
#include "motion/oscillator_bank.h"
#include "motion/random.h"
#include "overlay/text_overlay.h"
#include "tests/support/gl_test.h"
#include "view/camera.h"

namespace {
void scrambleSettings() {
    settings.fieldOfView = 37;
    settings.letterbox = 4;
    settings.tesselation = 33;
    settings.universeOn = 0;
    settings.blanking = 0;
    settings.spotlightOn = 1;
    settings.texturesOn = 0;
    settings.polyMode = 2;
    settings.cameraMode = 1;
    settings.texGenMode = 2;
    settings.imageIndex = 0;
    settings.clockOn = 1;
    settings.rotateSpeed = 0.3f;
    settings.movementSpeed = 0.4f;
    settings.cameraZ = -2.5f;
    settings.objectSize = 0.6f;
    settings.mainSpeed = 0.7f;
    settings.speed = 0.8f;
    settings.lightRotateSpeed = 0.9f;
}

// Every global the reset must leave alone, as raw bytes, so that any change shows.
struct Watched {
    const char* name;
    const void* address;
    size_t size;
};
#define WATCH(x)            \
    Watched {               \
#x, &(x), sizeof(x) \
    }
const Watched leftAlone[] = {
    WATCH(helpShown),
    WATCH(arrowKeys),
    WATCH(mouseDX),
    WATCH(mouseDY),
    WATCH(mouseMoved),
    WATCH(letterboxPhase),
    WATCH(numberCounter),
    WATCH(framesPerSecond),
    WATCH(framesThisSecond),
    WATCH(nextSecondMark),
    WATCH(forceClear),
    WATCH(nowSeconds),
    WATCH(lastFrameSeconds),
    WATCH(frameStep),
    WATCH(fullScreen),
    WATCH(windowWidth),
    WATCH(windowHeight),
    WATCH(textOverlay.lineX),
    WATCH(textOverlay.lineY),
    WATCH(textOverlay.messageExpiry),
    WATCH(textOverlay.messageText),
    WATCH(rate),
    WATCH(targetRate),
    WATCH(drifting),
    WATCH(phase),
};
#undef WATCH

std::vector<std::vector<unsigned char>> captureLeftAlone() {
    std::vector<std::vector<unsigned char>> bytes;
    for (const Watched& w : leftAlone) {
        const auto* first = static_cast<const unsigned char*>(w.address);
        bytes.emplace_back(first, first + w.size);
    }
    return bytes;
}
}  // namespace

using Reset = VaroTest;

TEST_F(Reset, PutsEverySettingBackToItsDefault) {
    scrambleSettings();
    resetSettings();
    EXPECT_EQ(settings.fieldOfView, 100);
    EXPECT_EQ(settings.letterbox, 0);
    EXPECT_EQ(settings.tesselation, 20);
    EXPECT_EQ(settings.universeOn, 1);
    EXPECT_EQ(settings.blanking, 1);
    EXPECT_EQ(settings.spotlightOn, 0);
    EXPECT_EQ(settings.texturesOn, 1);
    EXPECT_EQ(settings.polyMode, 0);
    EXPECT_EQ(settings.cameraMode, 0);
    EXPECT_EQ(settings.texGenMode, 0);
    EXPECT_EQ(settings.imageIndex, 1);
    EXPECT_EQ(settings.clockOn, 0);
    EXPECT_EQ(settings.rotateSpeed, 1.0f);
    EXPECT_EQ(settings.movementSpeed, 1.0f);
    EXPECT_EQ(settings.cameraZ, 3.0f);
    EXPECT_EQ(settings.objectSize, 1.0f);
    EXPECT_EQ(settings.mainSpeed, 1.0f);
    EXPECT_EQ(settings.speed, 1.0f);
    EXPECT_EQ(settings.lightRotateSpeed, 1.0f);
}

TEST_F(Reset, CancelsQuitPauseAndCameraAndRebuildsThePinModel) {
    quitTime = 4.5f;
    brightness = 0.3f;
    paused = 1;
    cameraX = 1, cameraY = 2, cameraPosZ = 3, cameraPitch = 40, cameraYaw = -20;
    glClearColor(0.2f, 0.4f, 0.6f, 0.8f);
    const int oldList = pinListId;
    ASSERT_TRUE(glIsList(static_cast<GLuint>(oldList)));

    resetSettings();
    EXPECT_EQ(quitTime, 0.0f);
    EXPECT_EQ(brightness, 1.0f);
    EXPECT_EQ(paused, 0);
    EXPECT_EQ(cameraX, 0.0);
    EXPECT_EQ(cameraY, 0.0);
    EXPECT_EQ(cameraPosZ, 0.0);
    EXPECT_EQ(cameraPitch, 0.0);
    EXPECT_EQ(cameraYaw, 0.0);
    GLfloat clear[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_EQ(clear[0], 0.0f);
    EXPECT_EQ(clear[1], 0.0f);
    EXPECT_EQ(clear[2], 0.0f);
    EXPECT_EQ(clear[3], 1.0f);
    EXPECT_NE(pinListId, oldList);
    EXPECT_FALSE(glIsList(static_cast<GLuint>(oldList))) << "the old pin list is deleted";
    EXPECT_TRUE(glIsList(static_cast<GLuint>(pinListId)));
}

TEST_F(Reset, LeavesInputPointerMessageClockAndOscillatorsAlone) {
    helpShown = 1;
    arrowKeys = 5;
    mouseDX = 12, mouseDY = -7, mouseMoved = 1;
    letterboxPhase = -3;
    numberCounter = 9;
    framesPerSecond = 57, framesThisSecond = 13, nextSecondMark = 42.0;
    forceClear = 1;
    nowSeconds = 41.5f, lastFrameSeconds = 41.48, frameStep = 0.02f;
    fullScreen = 0;
    textOverlay.lineX = 10, textOverlay.lineY = 25;
    textOverlay.messageExpiry = 44.0;
    std::strcpy(textOverlay.messageText, "Letterbox: 3");
    seedRandom(12);
    seedOscillators(oscillatorCount);
    phase[0] = 1.25, rate[0] = 0.5;
    const auto before = captureLeftAlone();

    resetSettings();
    const auto after = captureLeftAlone();
    for (size_t n = 0; n < before.size(); ++n)
        EXPECT_EQ(after[n], before[n]) << leftAlone[n].name << " changed";
    fullScreen = 1;
}

TEST_F(Reset, ReseedsTheGeneratorWithTheClock) {
    for (int ms : {0, 12345, 987654}) {
        elapsedMs = ms;
        seedRandom(1);
        nextRandom();
        resetSettings();
        std::uint32_t state = static_cast<std::uint32_t>(ms) * 214013u + 2531011u;
        EXPECT_EQ(nextRandom(), static_cast<int>((state >> 16) & 0x7FFFu)) << ms;
    }
}
