// The scene both hosts draw: its one-time set-up, the size it is drawn at, its release.
#pragma once

#include "app/frame_pacer.h"
#include "images/picture_show.h"

// Each host's time between two pictures without --duration: none in the program's own window,
// where the image key rules; 30 s in a window it is given, where no key reaches.
constexpr int kOwnWindowPictureSeconds = 0, kGivenWindowPictureSeconds = 30;

// Seconds between two pictures in a host: --duration's if given (-1: not), else its default.
int pictureSeconds(int durationSeconds, Host host);

// The picture show the set-up starts, the host's default duration in place of one not given;
// where pictures come from besides the files, and whether frames wait for each decode.
void choosePictureShow(PictureShowOptions options, Host host, PictureSource source = {},
                       bool waitForDecodes = false);

// Resets the settings (seeding the generator with `elapsedMs`), loads the fixed GL state,
// builds the star field, loads the textures and starts the picture show (its shuffle seeded
// with `elapsedMs` too). Needs a current GL context.
void setUpScene();

// Keeps the window size and draws over the whole window.
void onReshape(int width, int height);

// Frees the star-field list and the textures just before the process ends.
void releaseGraphics();
