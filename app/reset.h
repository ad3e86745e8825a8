// Putting the whole simulation back to its starting state.
#pragma once

// Every setting to its default, the quit fade and the pause cancelled, the camera home and the
// pin model rebuilt.
void resetSettings();

// The reset command: a new seed from the clock, resetSettings, new oscillators, "Reset".
void resetEverything();
