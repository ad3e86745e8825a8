// The program's own window, through the toolkit: start-up, the window mode and the callbacks.
#pragma once

// Opens the window titled "Varo", full screen or 512 x 512, and registers every callback; a
// frame starts at most every `frameDelayUs` microseconds (0 or less: as often as it can).
void openWindow(int* argc, char** argv, int windowed, long long frameDelayUs);

// One-time start-up before the main loop: the scene, the commands the keys and the camera ask
// of the window, the start message, the pointer and the cursor; always succeeds.
bool initScene();

// Leaves full screen for a window of the given size, or goes back to full screen.
void askForWindowSize(int width, int height);
void askForFullScreen();

void onIdle();
void onDisplay();
