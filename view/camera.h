// The camera: automatic flight from the oscillators, or steering by pointer and arrow keys.
#pragma once

constexpr int kWarpX = 450;  // the pointer's home, window pixels from the left
constexpr int kWarpY = 350;  // ...and from the top

extern double cameraPitch;  // degrees about x
extern double cameraYaw;    // degrees about y (heading)
extern double cameraX;      // target point, world units
extern double cameraY;
extern double cameraPosZ;
extern int mouseDX;     // last reported pointer x minus kWarpX, pixels
extern int mouseDY;     // last reported pointer y minus kWarpY, pixels
extern int mouseMoved;  // flag: a pointer report arrived since the manual camera last warped

// Updates the camera values and multiplies the camera transform onto the model-view matrix.
void updateCamera();

// Walks the manual camera over the ground plane by the arrow keys held.
void applyArrowKeys();

// The pointer's buttons in the camera's own codes: app/ maps the toolkit's onto them.
enum class PointerButton { left, other };

void onPointerMotion(int x, int y);
void onMouseButton(PointerButton button, int x, int y);  // pressed or released alike
