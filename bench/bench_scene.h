// The program's scene in a bench window: opening it, and drawing frames on the bench's clock.
#pragma once

#include "bench/options.h"

namespace bench {

// Initialises the toolkit, with no arguments of its own; without a display the toolkit says so
// and ends the process with status 1.
void initToolkit(const char* programName);

// Opens a double-buffered RGB window with a depth buffer, titled "Varo", of the given size,
// with the program's reshape callback; returns once the reshape has arrived.
void openBenchWindow(int width, int height);

// Sets the pin count (rebuilding the pin model if it differs), the help page and the clock.
void applySceneOptions(const Options& options);

// The clock the frames read: advances by a fixed step per frame.
struct SteppedClock {
    int nextMs, stepMs;
    int tick() { return (nextMs += stepMs) - stepMs; }
};

// One turn of the program's loop: pending window events, an optional key command (as if
// typed; 0 for none), then the frame as the display callback draws it (clock, renderFrame,
// swap), and glFinish. Returns the milliseconds from the key command to glFinish's return.
double drawTurn(int frameMs, unsigned char key);

// The OpenGL renderer's name, e.g. "llvmpipe (LLVM 15.0.6, 256 bits)".
const char* rendererName();

}  // namespace bench
