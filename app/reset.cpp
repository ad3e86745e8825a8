// Every user-adjustable setting, with `paused` and `arrowKeys` beside it, and the reset.
//
// Globals:
//   paused     flag: motion paused (0 at start)
//   arrowKeys  bit set of arrow keys held: 1 left, 2 right, 4 up, 8 down (0 at start)
// The one instance `settings` is defined with the other global objects in global_objects.cpp.
#include "app/reset.h"

#include <GL/gl.h>

#include "app/frame.h"
#include "board/pin_board.h"
#include "motion/random.h"
#include "view/camera.h"

int paused = 0;
int arrowKeys = 0;

SimulationSettings::~SimulationSettings() = default;

namespace {
void loadDefaults(SimulationSettings& s) {
    s.rotateSpeed = 1.0f;
    s.movementSpeed = 1.0f;
    s.mainSpeed = 1.0f;
    s.speed = 1.0f;
    s.fieldOfView = 100;
    s.cameraZ = 3.0f;
    s.objectSize = 1.0f;
    s.lightRotateSpeed = 1.0f;
    s.tesselation = 20;
    s.blanking = 1;
    s.clockOn = 0;
    s.texGenMode = 0;
    s.imageIndex = 1;
    s.cameraMode = 0;
    s.letterbox = 0;
    s.spotlightOn = 0;
    s.texturesOn = 1;
    s.polyMode = 0;
    s.universeOn = 1;
}
}  // namespace

void resetSettings() {
    seedRandom(static_cast<unsigned int>(elapsedMs));
    glClearColor(0, 0, 0, 1);
    quitTime = 0;  // cancels a quit fade in progress
    loadDefaults(settings);
    brightness = 1.0f;
    paused = 0;
    cameraX = cameraY = cameraPosZ = cameraPitch = cameraYaw = 0;
    buildPinModel();
}
