// The frame and clock globals: written by the frame driver and a few keys, read everywhere.
#pragma once

// What `forceClear` holds: a one-shot request that clears the next frame even in hyperspace.
enum ClearRequest : int { kNoClearRequested = 0, kClearNextFrame = 1 };

extern int elapsedMs;         // the frame clock, milliseconds since start; read once per frame
extern float nowSeconds;      // this frame's time, seconds
extern int lastFrameMs;       // the previous frame's elapsedMs
extern float frameStep;       // seconds since the previous frame, capped
extern int framesThisSecond;  // frames since the last whole-second mark
extern int framesPerSecond;   // frames in the last completed second (30 at start)
extern int nextSecondMarkMs;  // elapsedMs at which the next count is taken
extern float brightness;      // fade factor 0..1 for the board and the spotlight
extern int fadingIn;          // flag: the board fades in, from the clock's first three seconds
extern int quitting;          // flag: ESC was pressed and the fade-out runs
extern int quitPressedMs;     // elapsedMs when ESC was last pressed
extern int forceClear;        // a ClearRequest (above)
extern int helpShown;         // flag: the help page is shown

// The frame clock is an int of milliseconds that wraps after 24.8 days. Differences and sums
// of its readings are taken modulo 2^32, so that they stay right across the wrap.
int msSince(int earlierMs);  // elapsedMs - earlierMs
int msAfter(int ms, int delta);

// The one clock of both hosts, CLOCK_MONOTONIC. startFrameClock makes now its zero and returns
// its raw reading (milliseconds since boot, wrapped like elapsedMs): a seed that differs from
// run to run. frameClockMs is what a host reads into elapsedMs once a frame.
int startFrameClock();
int frameClockMs();
long long monotonicMicroseconds();
