// The settings in force, with `paused` and `arrowKeys` beside them: read by every subsystem,
// changed by the keys and put back by the reset.
#pragma once

#include "state/simulation_settings.h"

extern SimulationSettings settings;  // the one instance, built with the other global objects
extern int paused;     // flag: the pausable oscillators and the automatic camera stand still
extern int arrowKeys;  // arrow keys held: 1 left, 2 right, 4 up, 8 down
