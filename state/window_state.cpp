// The window globals:
//   windowWidth, windowHeight  window size in pixels, kept by onReshape (0 before the first)
//   fullScreen                 flag: full screen (1) or the 512 x 512 window (0)
#include "state/window_state.h"

int windowWidth = 0;
int windowHeight = 0;
int fullScreen = 1;
