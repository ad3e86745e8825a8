// The per-frame driver: time, motion, view, clear, stars, board, overlays, quit, title, errors.
#include "app/frame.h"

#include <GL/gl.h>

#include <cmath>

#include "app/scene.h"
#include "backdrop/star_field.h"
#include "board/pin_board.h"
#include "images/picture_show.h"
#include "input/keyboard.h"
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

PictureNews pictureNews = PictureNews::imageMessage;

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

// The frame that ends the fade-in may come well after its three seconds (a slow start, a
// stall): it brings the board to full brightness, where it would otherwise stay dim for good.
void fadeIn() {
    if (startingUp(kFadeInSeconds)) {
        brightness = static_cast<float>(nowSeconds / kFadeInSeconds);
        fadingIn = 1;
    } else if (fadingIn) {
        fadingIn = 0;
        if (!quitting)
            brightness = 1.0f;
    }
}

// A new picture is uploaded here, and told of; its first coming after the start is told only
// by its name, since the start message stands.
void changePictures() {
    const PictureChange change = advancePictureShow();
    if (change == PictureChange::none)
        return;
    if (pictureNews == PictureNews::titles)
        textOverlay.showMessage(pictureName(settings.imageIndex));
    else if (pictureNews == PictureNews::imageMessage && change == PictureChange::changed)
        announceImage();
}

// Without blanking nothing is cleared and each frame is drawn over the last (hyperspace).
void clearFrame() {
    if (settings.blanking != kHyperspace || forceClear != kNoClearRequested)
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    forceClear = kNoClearRequested;
}

// The stars' turn about one axis, in degrees.
float starTurn(Oscillator which) {
    return static_cast<float>(
        oscillatorValue(which, kStarTurnFrequency, kStarTurnSpan, kStarTurnLow));
}

void drawTumblingStars() {
    if (!settings.universeOn)
        return;
    glPushMatrix();
    glRotatef(starTurn(kStarTurnAboutY), 0, 1, 0);
    glRotatef(starTurn(kStarTurnAboutX), 1, 0, 0);
    glRotatef(starTurn(kStarTurnAboutZ), 0, 0, 1);
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

void tellOfPictures(PictureNews how) {
    pictureNews = how;
}

bool renderFrame() {
    maybeReseedRandom();
    advanceClock();
    advanceOscillators(oscillatorCount, frameStep, settings, paused);
    countFrame();
    fadeIn();
    changePictures();
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
