// Every user-adjustable setting, with `paused` and `arrowKeys` beside it, and the reset.
#pragma once

#include "state/simulation_settings.h"

extern SimulationSettings settings;
extern int paused;     // flag: oscillators 0..9 and the automatic camera stand still
extern int arrowKeys;  // arrow keys held: 1 left, 2 right, 4 up, 8 down

// Puts the whole simulation back to its starting state and rebuilds the pin model.
void resetSettings();
