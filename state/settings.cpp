// Every user-adjustable setting, with `paused` and `arrowKeys` beside it.
//
// Globals:
//   paused     flag: motion paused (0 at start)
//   arrowKeys  the ArrowKeyBits (settings.h) of the arrow keys held (0 at start)
// The one instance `settings` is defined with the other global objects in app/global_objects.cpp,
// so that the three are built in their order.
#include "state/settings.h"

int paused = 0;
int arrowKeys = 0;

SimulationSettings::~SimulationSettings() = default;
