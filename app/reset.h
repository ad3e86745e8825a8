// Putting the whole simulation back to its starting state.
#pragma once

#include "state/simulation_settings.h"

// The settings that the start and every reset load: the defaults, or what the command line
// chose. The rest of the settings always start from their defaults.
struct StartSettings {
    int fieldOfView = 100;  // degrees
    int letterbox = 0;
    int tesselation = 20;  // pins per column
    int universeOn = 1;
    int blanking = kBlankEveryFrame;
    int spotlightOn = 0;
    int texturesOn = 1;
    int polyMode = kFilledPolygons;
    int texGenMode = kSphereMap;
    int imageIndex = 1;  // the portrait
    int clockOn = 0;
    float rotateSpeed = 1.0f;
    float movementSpeed = 1.0f;
    float cameraZ = 3.0f;
    float mainSpeed = 1.0f;
};

void chooseStartSettings(const StartSettings& chosen);

// Every setting to its default, the quit fade and the pause cancelled, the camera home and the
// pin model rebuilt.
void resetSettings();

// The reset command: a new seed from the clock, resetSettings, new oscillators, "Reset".
void resetEverything();
