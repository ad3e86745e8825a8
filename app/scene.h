// The scene both hosts draw: its one-time set-up, the size it is drawn at, its release.
#pragma once

#include "images/picture_show.h"

// The picture show the set-up starts: the options with the host's default duration in place,
// where pictures come from besides the files, and whether frames wait for each decode.
void choosePictureShow(const PictureShowOptions& options, PictureSource source = {},
                       bool waitForDecodes = false);

// Resets the settings (seeding the generator with `elapsedMs`), loads the fixed GL state,
// builds the star field, loads the textures and starts the picture show (its shuffle seeded
// with `elapsedMs` too). Needs a current GL context.
void setUpScene();

// Keeps the window size and draws over the whole window.
void onReshape(int width, int height);

// Frees the star-field list and the textures just before the process ends.
void releaseGraphics();
