// Putting the whole simulation back to its starting state.
#include "app/reset.h"

#include <GL/gl.h>

#include "app/command_line.h"
#include "board/pin_board.h"
#include "images/user_pictures.h"
#include "motion/oscillator_bank.h"
#include "motion/random.h"
#include "overlay/text_overlay.h"
#include "state/frame_clock.h"
#include "state/settings.h"
#include "view/camera.h"

namespace {
constexpr int kDefaultPins = 20;
int startPins = kDefaultPins;  // pin count T after start and reset
int startClockOn = 0;          // flag: frames-per-second line on after start and reset

void loadDefaults(SimulationSettings& s) {
    s.rotateSpeed = 1.0f;
    s.movementSpeed = 1.0f;
    s.mainSpeed = 1.0f;
    s.speed = 1.0f;
    s.fieldOfView = 100;
    s.cameraZ = 3.0f;
    s.objectSize = 1.0f;
    s.lightRotateSpeed = 1.0f;
    s.tesselation = startPins;
    s.blanking = 1;
    s.clockOn = startClockOn;
    s.texGenMode = 0;
    s.imageIndex = startPicture();
    s.cameraMode = 0;
    s.letterbox = 0;
    s.spotlightOn = 0;
    s.texturesOn = 1;
    s.polyMode = 0;
    s.universeOn = 1;
}
}  // namespace

void chooseStartSettings(const StartOptions& options) {
    startPins = options.pins != 0 ? options.pins : kDefaultPins;
    startClockOn = options.frameRateShown;
}

void resetSettings() {
    seedRandom(static_cast<unsigned int>(elapsedMs));
    glClearColor(0, 0, 0, 1);
    quitting = 0;  // cancels a quit fade in progress
    loadDefaults(settings);
    brightness = 1.0f;
    paused = 0;
    cameraX = cameraY = cameraPosZ = cameraPitch = cameraYaw = 0;
    buildPinModel();
}

void resetEverything() {
    resetSettings();  // reseeds the generator from the clock
    seedOscillators(oscillatorCount);
    textOverlay.showMessage("Reset");
    forceClear = 1;
}
