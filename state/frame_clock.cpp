// The frame and clock globals (times in seconds on the elapsedMs clock unless said otherwise):
//   elapsedMs         toolkit clock in milliseconds, written by main and onDisplay
//   nowSeconds        this frame's time
//   lastFrameSeconds  the previous frame's nowSeconds
//   frameStep         seconds since the previous frame; a step above 0.1 becomes 0.05
//   framesThisSecond  frames counted since the last whole-second mark
//   framesPerSecond   frames counted in the last completed second
//   nextSecondMark    time at which the next count is taken
//   brightness        fade factor 0..1 applied by the board and the spotlight
//   quitTime          nowSeconds at which ESC was pressed; 0 while not quitting
//   forceClear        one-shot request to clear the next frame even in hyperspace
//   helpShown         flag: the help page is drawn every frame
#include "state/frame_clock.h"

int elapsedMs = 0;
float nowSeconds = 0;
double lastFrameSeconds = 0;
float frameStep = 0;
int framesThisSecond = 0;
int framesPerSecond = 30;
double nextSecondMark = 1.0;
float brightness = 1.0f;
float quitTime = 0;
int forceClear = 0;
int helpShown = 0;
