// Measurements shared by the reliability tests: what the frame shows, which GL objects exist,
// how much memory the process holds.
#pragma once

#include <GL/gl.h>

// Sets the clock to `ms` and draws one frame, waiting until it is drawn as the program's swap
// does; returns the GL errors that frame counted.
int frameAt(int ms);

// Pixels of the back buffer (the whole window) with a channel of at least 20 of 255: the
// board's plate alone (grey 25 at full brightness) lights tens of thousands of them.
int litPixels();

// The display lists and the texture objects that exist among names 1..limit.
int displayListsUpTo(GLuint limit);
int texturesUpTo(GLuint limit);

// The process's resident memory, KiB (VmRSS of /proc/self/status).
long residentKiB();

// Whether every oscillator phase in use is finite.
bool phasesFinite();

// Sets the 3-D view up again as the last frame did, and says whether the projection, the
// look-at and the camera values are all finite.
bool viewFinite();
