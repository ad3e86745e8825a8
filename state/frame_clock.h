// The frame and clock globals: written by the frame driver and a few keys, read everywhere.
#pragma once

extern int elapsedMs;            // toolkit clock, milliseconds; read once per frame
extern float nowSeconds;         // this frame's time, seconds
extern double lastFrameSeconds;  // the previous frame's nowSeconds
extern float frameStep;          // seconds since the previous frame, capped
extern int framesThisSecond;     // frames since the last whole-second mark
extern int framesPerSecond;      // frames in the last completed second (30 at start)
extern double nextSecondMark;    // seconds at which the next count is taken
extern float brightness;         // fade factor 0..1 for the board and the spotlight
extern float quitTime;           // nowSeconds when ESC was pressed; 0: not quitting
extern int forceClear;           // one-shot request to clear the next frame
extern int helpShown;            // flag: the help page is shown
