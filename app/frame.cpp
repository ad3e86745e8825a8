// The per-frame driver: time, motion, view, clear, stars, board, overlays, quit, title, errors.
#include "app/frame.h"

#include <GL/gl.h>

#include <cmath>

#include "app/scene.h"
#include "backdrop/star_field.h"
#include "board/pin_board.h"
#include "motion/oscillator_bank.h"
#include "motion/random.h"
#include "overlay/help_screen.h"
#include "overlay/text_overlay.h"
#include "overlay/title_caption.h"
#include "state/frame_clock.h"
#include "state/settings.h"
#include "state/window_state.h"
#include "view/camera.h"
#include "view/projection.h"

namespace {
constexpr double kReseedChance = 0.1;       // about one frame in ten reseeds the generator
constexpr double kMaxFrameStep = 0.1;       // seconds; a longer stall...
constexpr float kStalledFrameStep = 0.05f;  // ...advances motion by this much instead
constexpr double kFadeInSeconds = 3.0;
constexpr double kQuitFadeSeconds = 3.0;
constexpr int kMsPerSecond = 1000;
constexpr float kQuitBrightness = 0.1f;  // the process ends once the fade drops below this
constexpr float kTitleSeconds = 10.0f;   // the title caption shows this long after start
constexpr float kTitleSize = 60.0f;      // glyph height of the title, pixels
constexpr double kStarTurnFrequency = 0.01;
constexpr double kStarTurnSpan = 720;  // degrees, from -360 to 360
constexpr double kStarTurnLow = -360;

void maybeReseedRandom() {
    if (uniformRandom(1.0) < kReseedChance)
        seedRandom(static_cast<unsigned int>(elapsedMs));
}

// The step is measured on the millisecond clock, exact at any uptime: nowSeconds, a float,
// tells times apart only 0.125 s after 20 days.
void advanceClock() {
    nowSeconds = static_cast<float>(elapsedMs * 0.001);
    frameStep = static_cast<float>(msSince(lastFrameMs) * 0.001);
    if (frameStep > kMaxFrameStep)
        frameStep = kStalledFrameStep;  // a stall is not a jump
    lastFrameMs = elapsedMs;
}

// The frame that reaches the mark is counted in the second it closes; after a clock jump
// the mark catches up by one second per frame.
void countFrame() {
    framesThisSecond += 1;
    if (msSince(nextSecondMarkMs) >= 0) {
        nextSecondMarkMs = msAfter(nextSecondMarkMs, kMsPerSecond);
        framesPerSecond = framesThisSecond;
        framesThisSecond = 0;
    }
}

// The first seconds of the frame clock. Its int of milliseconds turns negative after 24.8
// days of running; those times are not the start, and would make the brightness negative (a
// dark board) and the title's opacity undefined.
bool startingUp(double limitSeconds) {
    return nowSeconds >= 0 && nowSeconds < limitSeconds;
}

void fadeIn() {
    if (startingUp(kFadeInSeconds))
        brightness = static_cast<float>(nowSeconds / kFadeInSeconds);
}

// Without blanking nothing is cleared and each frame is drawn over the last (hyperspace).
void clearFrame() {
    if (settings.blanking || forceClear)
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    forceClear = 0;
}

void drawTumblingStars() {
    if (!settings.universeOn)
        return;
    glPushMatrix();
    glRotatef(
        static_cast<float>(oscillatorValue(1, kStarTurnFrequency, kStarTurnSpan, kStarTurnLow)), 0,
        1, 0);
    glRotatef(
        static_cast<float>(oscillatorValue(2, kStarTurnFrequency, kStarTurnSpan, kStarTurnLow)), 1,
        0, 0);
    glRotatef(
        static_cast<float>(oscillatorValue(3, kStarTurnFrequency, kStarTurnSpan, kStarTurnLow)), 0,
        0, 1);
    starField.draw();
    glPopMatrix();
}

void drawOverlays() {
    if (textOverlay.messageExpiry != 0)
        textOverlay.drawMessageLine();
    if (settings.clockOn)
        textOverlay.drawFrameRate(framesPerSecond);
    if (helpShown)
        drawHelpScreen();
}

// The fade after ESC; false, the graphics released, once it has run out.
bool quitFadeGoesOn() {
    if (!quitting)
        return true;
    brightness = static_cast<float>(1.0 - msSince(quitPressedMs) * 0.001 / kQuitFadeSeconds);
    if (brightness >= kQuitBrightness)
        return true;
    releaseGraphics();
    return false;
}

void drawTitle() {
    if (!startingUp(kTitleSeconds))
        return;
    auto x = static_cast<short>(windowWidth * 0.1);
    auto y = static_cast<short>(windowHeight * 0.2);
    auto alpha = static_cast<float>(1.0 - std::sqrt(nowSeconds / 10.0));
    drawTitleCaption("Varo", x, y, kTitleSize, alpha);
}
}  // namespace

bool renderFrame() {
    maybeReseedRandom();
    advanceClock();
    advanceOscillators(oscillatorCount, frameStep, settings, paused);
    countFrame();
    fadeIn();
    setupView();
    updateCamera();
    clearFrame();
    drawTumblingStars();
    drawBoard();
    drawOverlays();
    if (!quitFadeGoesOn())
        return false;
    drawTitle();
    textOverlay.drawGlErrors();
    return true;
}
