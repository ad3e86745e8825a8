// Start-up and the toolkit's window callbacks: the scene set-up, reshape, idle and display.
#pragma once

extern int windowWidth;   // pixels; 0 until the first reshape
extern int windowHeight;  // pixels; 0 until the first reshape
extern int fullScreen;    // flag: the window is full screen (1 at start)

// Opens the full-screen window titled "Varo" and registers every callback, in order.
void openWindow(int* argc, char** argv);

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
