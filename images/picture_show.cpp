// The picture show: the person's pictures (or the screensaver's), listed and decoded beside the
// frames, one at a time, and changed by the image key or by a timer, with a fade.
//
// Globals (file-local; the frame's thread only, the worker is behind `feed`):
//   feed            the worker that lists and decodes the user pictures
//   feeding         user pictures were asked for (files, or a source)
//   durationMs      between two timed changes; 0: no timer
//   halfFadeMs      each half of a change: the board darkens, the picture changes, it brightens
//   waitForDecodes  flag: a frame that wants a picture waits for it
//   shown           the user picture on its texture (valid when userShown is set)
//   first           the show's first user picture, which a reset shows again (haveFirst)
//   startFallback   the built-in picture shown when no user picture can be
//   changedAtMs     frame clock at the last change, from which the timer counts
//   fade, fadeFromMs, staged, stagedIndex   a change under way, and what it brings on
//   keyStepPending  flag: the image key waits for the next user picture to be decoded
//   level           how much of the picture's light shows this frame, 0..1
#include "images/picture_show.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "images/texture_table.h"
#include "state/frame_clock.h"
#include "state/settings.h"

namespace {
constexpr int kMsPerSecond = 1000;
const char* const kBuiltInNames[] = {"FishEye", "Mona Lisa"};

enum class Fade { none, out, in };

PictureFeed feed;
bool feeding = false;
int durationMs = 0;
int halfFadeMs = 0;
bool waitForDecodes = false;
ReadyPicture shown;
bool userShown = false;
ReadyPicture first;
bool haveFirst = false;
int startFallback = kPortraitPicture;
int changedAtMs = 0;
Fade fade = Fade::none;
int fadeFromMs = 0;
ReadyPicture staged;
int stagedIndex = 0;
bool keyStepPending = false;
float level = 1.0f;

bool userPicturesLeft() {
    return feeding && !feed.exhausted();
}

// The picture on the board from now on; a user picture is uploaded first.
void bringOn(int index, const ReadyPicture* picture) {
    if (picture != nullptr) {
        uploadUserPicture(picture->block);
        shown = *picture;
        userShown = true;
        if (!haveFirst)
            first = shown;
        haveFirst = true;
    }
    settings.imageIndex = index;
    changedAtMs = elapsedMs;
}

// The next user picture from the worker, if it is decoded (or, waiting, once it is).
bool takeUserPicture(ReadyPicture& into) {
    if (!userPicturesLeft())
        return false;
    if (waitForDecodes)
        feed.waitForPicture();
    return feed.take(into);
}

// The first user picture comes on as it arrives, brightening from dark; if none ever can, the
// built-in picture that the command line chose.
PictureChange showFirstWhenDecoded() {
    if (userShown || settings.imageIndex < kFirstUserPicture)
        return PictureChange::none;
    if (takeUserPicture(staged)) {
        bringOn(kFirstUserPicture + staged.position, &staged);
    } else if (!userPicturesLeft()) {
        bringOn(startFallback, nullptr);
    } else {
        return PictureChange::none;
    }
    fade = Fade::in;
    fadeFromMs = elapsedMs;
    return PictureChange::firstShown;
}

// The timer's next picture: the next user picture while there are any, else the other
// built-in one. False while the next user picture is still being decoded.
bool stageNext() {
    if (takeUserPicture(staged)) {
        stagedIndex = kFirstUserPicture + staged.position;
        return true;
    }
    if (userPicturesLeft())
        return false;
    stagedIndex = settings.imageIndex == kFishEyePicture ? kPortraitPicture : kFishEyePicture;
    return true;
}

void bringOnStaged() {
    bringOn(stagedIndex, stagedIndex >= kFirstUserPicture ? &staged : nullptr);
}

// A timed change: darken, change at the darkest, brighten.
PictureChange stepFade() {
    if (fade == Fade::none && durationMs > 0 && msSince(changedAtMs) >= durationMs && stageNext()) {
        fade = Fade::out;
        fadeFromMs = elapsedMs;
    }
    PictureChange change = PictureChange::none;
    if (fade == Fade::out && msSince(fadeFromMs) >= halfFadeMs) {
        bringOnStaged();
        change = PictureChange::changed;
        fade = Fade::in;
        fadeFromMs = elapsedMs;
    }
    if (fade == Fade::in && msSince(fadeFromMs) >= halfFadeMs)
        fade = Fade::none;
    return change;
}

float levelNow() {
    if (settings.imageIndex >= kFirstUserPicture && !userShown)
        return 0.0f;  // not decoded yet: the pins stay dark rather than show another picture
    if (fade == Fade::none || halfFadeMs == 0)
        return 1.0f;
    const float part = std::fmin(1.0f, static_cast<float>(msSince(fadeFromMs)) / halfFadeMs);
    return fade == Fade::out ? 1.0f - part : part;
}

// The image key's next picture, as a cut; false while it is being decoded.
bool keyStep() {
    const int index = settings.imageIndex;
    if (index == kFishEyePicture || (index == kPortraitPicture && !userPicturesLeft())) {
        bringOn(index == kFishEyePicture ? kPortraitPicture : kFishEyePicture, nullptr);
        return true;
    }
    if (waitForDecodes && userPicturesLeft())
        feed.waitForPicture();
    const int ready = feed.readyPosition();
    if (ready < 0 && userPicturesLeft())
        return false;
    // After the last user picture come the built-in ones again; a key pressed while the first
    // is awaited brings it on as soon as it is decoded.
    const bool wrapped =
        ready < 0 || (userShown && index >= kFirstUserPicture && ready <= shown.position);
    if (wrapped) {
        bringOn(kFishEyePicture, nullptr);
        return true;
    }
    feed.take(staged);
    bringOn(kFirstUserPicture + staged.position, &staged);
    return true;
}
}  // namespace

void startPictureShow(const PictureShowOptions& options, unsigned int seed, PictureSource source,
                      bool wait) {
    static const bool stoppedAtExit = std::atexit(stopPictureShow) == 0;
    (void)stoppedAtExit;
    stopPictureShow();
    feeding = !options.paths.empty() || source;
    durationMs = std::max(0, options.durationSeconds) * kMsPerSecond;
    halfFadeMs = static_cast<int>(std::lround(options.fadeSeconds * kMsPerSecond / 2));
    waitForDecodes = wait;
    userShown = haveFirst = keyStepPending = false;
    fade = Fade::none;
    changedAtMs = elapsedMs;
    if (feeding)
        feed.start({options.paths, options.shuffle != 0, seed, std::move(source)});
}

void stopPictureShow() {
    feed.stop();
}

PictureChange advancePictureShow() {
    if (!feeding && durationMs == 0)
        return PictureChange::none;  // the built-in pictures, changed by the key alone
    PictureChange change = showFirstWhenDecoded();
    if (keyStepPending && keyStep()) {
        keyStepPending = false;
        change = PictureChange::changed;
    }
    if (change == PictureChange::none)
        change = stepFade();
    level = levelNow();
    return change;
}

bool stepPictureByKey() {
    const bool changing = fade == Fade::out;
    fade = Fade::none;
    if (changing)
        bringOnStaged();  // the key brings on at once the picture that the timer was fading to
    else
        keyStepPending = !keyStep();
    level = levelNow();
    return !keyStepPending;
}

int restartPictureShow(int otherwise) {
    startFallback = otherwise;
    fade = Fade::none;
    keyStepPending = false;
    changedAtMs = elapsedMs;
    if (haveFirst) {
        uploadUserPicture(first.block);
        shown = first;
        feed.rewind();
    }
    int index = otherwise;
    if (haveFirst || userPicturesLeft())
        index = kFirstUserPicture + (haveFirst ? first.position : 0);
    settings.imageIndex = index;
    level = levelNow();
    return index;
}

float pictureLevel() {
    return level;
}

GLuint pictureTexture(int index) {
    if (index >= kFirstUserPicture)
        return userShown ? textureIds[kUserPictureEntry] : 0;
    return textureIds[index + 1];
}

int pictureCount() {
    if (userShown)
        return kFirstUserPicture + shown.count;
    return kFirstUserPicture + (userPicturesLeft() ? 1 : 0);
}

const char* pictureName(int index) {
    if (index >= 0 && index < kFirstUserPicture)
        return kBuiltInNames[index];
    return userShown ? shown.name.c_str() : "";
}
