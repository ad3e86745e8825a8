// The scene both hosts draw: its one-time set-up, the size it is drawn at, its release.
#pragma once

// Resets the settings (seeding the generator with `elapsedMs`), loads the fixed GL state,
// builds the star field and loads the textures. Needs a current GL context.
void setUpScene();

// Keeps the window size and draws over the whole window.
void onReshape(int width, int height);

// Frees the star-field list and the textures just before the process ends.
void releaseGraphics();
