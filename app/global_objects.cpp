// The three global objects, defined in one place so they are built in this order before main
// and destroyed in the reverse order after it.
#include "backdrop/star_field.h"
#include "overlay/text_overlay.h"
#include "state/settings.h"

TextOverlay textOverlay;
SimulationSettings settings;
StarField starField;
