// Start-up and the toolkit's window callbacks: the scene set-up, reshape, idle and display.
#pragma once

// Opens the window titled "Varo", full screen or 512 x 512, and registers every callback.
void openWindow(int* argc, char** argv, int windowed);

// One-time scene set-up before the main loop; always succeeds.
bool initScene();

// Leaves full screen for a window of the given size, or goes back to full screen.
void askForWindowSize(int width, int height);
void askForFullScreen();

void onReshape(int width, int height);
void onIdle();
void onDisplay();

// Frees the star-field list and the textures just before the process ends.
void releaseGraphics();
