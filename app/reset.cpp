// Putting the whole simulation back to its starting state.
#include "app/reset.h"

#include <GL/gl.h>

#include "board/pin_board.h"
#include "images/picture_show.h"
#include "motion/oscillator_bank.h"
#include "motion/random.h"
#include "overlay/text_overlay.h"
#include "state/frame_clock.h"
#include "state/settings.h"
#include "view/camera.h"

namespace {
StartSettings startSettings;  // what the start and every reset load

void loadDefaults(SimulationSettings& s) {
    s.rotateSpeed = startSettings.rotateSpeed;
    s.movementSpeed = startSettings.movementSpeed;
    s.mainSpeed = startSettings.mainSpeed;
    s.speed = 1.0f;
    s.fieldOfView = startSettings.fieldOfView;
    s.cameraZ = startSettings.cameraZ;
    s.objectSize = 1.0f;
    s.lightRotateSpeed = 1.0f;
    s.tesselation = startSettings.tesselation;
    s.blanking = startSettings.blanking;
    s.clockOn = startSettings.clockOn;
    s.texGenMode = startSettings.texGenMode;
    s.imageIndex = restartPictureShow(startSettings.imageIndex);
    s.cameraMode = kAutomaticCamera;
    s.letterbox = startSettings.letterbox;
    s.spotlightOn = startSettings.spotlightOn;
    s.texturesOn = startSettings.texturesOn;
    s.polyMode = startSettings.polyMode;
    s.universeOn = startSettings.universeOn;
}
}  // namespace

void chooseStartSettings(const StartSettings& chosen) {
    startSettings = chosen;
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
    forceClear = kClearNextFrame;
}
