// Putting the whole simulation back to its starting state.
#pragma once

struct StartOptions;

// The pin count and the clock line that the start and every reset use, from the command line.
void chooseStartSettings(const StartOptions& options);

// Every setting to its default, the quit fade and the pause cancelled, the camera home and the
// pin model rebuilt.
void resetSettings();

// The reset command: a new seed from the clock, resetSettings, new oscillators, "Reset".
void resetEverything();
