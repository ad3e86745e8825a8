// The camera: automatic flight from the oscillators, or steering by pointer and arrow keys.
//
// Globals:
//   cameraPitch, cameraYaw        degrees about x and y (yaw is the heading)
//   cameraX, cameraY, cameraPosZ  the camera's target point, world units
//   mouseDX, mouseDY              last reported pointer position less the warp centre, pixels
//   mouseMoved                    flag: a pointer report arrived since the last warp
#include "view/camera.h"

#include <GL/gl.h>

#include <cmath>

#include "motion/oscillator_bank.h"
#include "state/frame_clock.h"
#include "state/program_commands.h"
#include "state/settings.h"

double cameraPitch = 0;
double cameraYaw = 0;
double cameraX = 0;
double cameraY = 0;
double cameraPosZ = 0;
int mouseDX = 0;
int mouseDY = 0;
int mouseMoved = 0;

namespace {
constexpr double kDegreesPerPixel = 0.1;  // per frame, for as long as the offset stands
constexpr float kWalkSpeed = 2.0f;        // world units per second
// This rounding of 180 / pi turns the heading into radians. The oscillators' turning band uses
// another, kTurnDegreesPerRadian (57.3, in motion/oscillator_bank.cpp): they differ on purpose,
// each being part of the motion it gives.
constexpr double kHeadingDegreesPerRadian = 57.2958;

// The automatic flight: slow turns in degrees, quick drifts in world units.
constexpr double kTurnFrequency = 0.1;
constexpr double kPitchSpan = 90, kPitchLow = -70;  // -70..20 degrees
constexpr double kYawSpan = 60, kYawLow = -30;      // -30..30 degrees
constexpr double kDriftFrequency = 10;
constexpr double kDriftSpan = 0.6, kDriftLow = -0.3;    // x and y, -0.3..0.3
constexpr double kDistanceSpan = 4, kDistanceLow = -1;  // z, -1..3

void flyAutomatically() {
    cameraPitch = oscillatorValue(kCameraPitch, kTurnFrequency, kPitchSpan, kPitchLow);
    cameraYaw = oscillatorValue(kCameraYaw, kTurnFrequency, kYawSpan, kYawLow);
    cameraX = oscillatorValue(kCameraDriftX, kDriftFrequency, kDriftSpan, kDriftLow);
    cameraY = oscillatorValue(kCameraDriftY, kDriftFrequency, kDriftSpan, kDriftLow);
    cameraPosZ = oscillatorValue(kCameraDistance, kDriftFrequency, kDistanceSpan, kDistanceLow);
}

// The pointer is sent home after each report, so its offset measures one movement.
void steerByHand() {
    if (mouseMoved) {
        mouseMoved = 0;
        programCommands.warpPointer(kWarpX, kWarpY);
        applyArrowKeys();
    }
    cameraPitch += mouseDY * kDegreesPerPixel;
    cameraYaw += mouseDX * kDegreesPerPixel;
}

void recordPointer(int x, int y) {
    mouseDX = x - kWarpX;
    mouseDY = y - kWarpY;
    mouseMoved = 1;
}
}  // namespace

void updateCamera() {
    if (settings.cameraMode == kAutomaticCamera && !paused)
        flyAutomatically();
    if (settings.cameraMode == kManualCamera)
        steerByHand();
    glRotatef(static_cast<float>(cameraPitch), 1, 0, 0);
    glRotatef(static_cast<float>(cameraYaw), 0, 1, 0);
    glTranslatef(static_cast<float>(-cameraX), static_cast<float>(-cameraY),
                 static_cast<float>(-cameraPosZ));
}

// Walks over the x-z plane along the heading, whatever the pitch.
void applyArrowKeys() {
    if (arrowKeys == 0)
        return;
    const float step = kWalkSpeed * frameStep;
    const double heading = cameraYaw / kHeadingDegreesPerRadian;
    const double cosStep = std::cos(heading) * step;
    const double sinStep = std::sin(heading) * step;
    if (arrowKeys & kArrowLeft) {
        cameraX -= cosStep;
        cameraPosZ -= sinStep;
    }
    if (arrowKeys & kArrowRight) {
        cameraX += cosStep;
        cameraPosZ += sinStep;
    }
    if (arrowKeys & kArrowUp) {
        cameraX += sinStep;
        cameraPosZ -= cosStep;
    }
    if (arrowKeys & kArrowDown) {
        cameraX -= sinStep;
        cameraPosZ += cosStep;
    }
}

void onPointerMotion(int x, int y) {
    recordPointer(x, y);
}

void onMouseButton(PointerButton button, int x, int y) {
    if (button == PointerButton::left)
        recordPointer(x, y);
}
