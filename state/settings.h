// The settings in force, with `paused` and `arrowKeys` beside them: read by every subsystem,
// changed by the keys and put back by the reset.
#pragma once

#include "state/simulation_settings.h"

// The bits of `arrowKeys`, one for each arrow key held.
enum ArrowKeyBit : int { kArrowLeft = 1, kArrowRight = 2, kArrowUp = 4, kArrowDown = 8 };

extern SimulationSettings settings;  // the one instance, built with the other global objects
extern int paused;     // flag: the pausable oscillators and the automatic camera stand still
extern int arrowKeys;  // the ArrowKeyBits of the arrow keys held
