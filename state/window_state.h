// The window's size and mode, as the toolkit last reported them and the 'f' key chose.
#pragma once

constexpr int kWindowedSize = 512;  // pixels, both ways, of the window that is not full screen

extern int windowWidth;   // pixels; 0 until the first reshape
extern int windowHeight;  // pixels; 0 until the first reshape
extern int fullScreen;    // flag: the window is full screen (1 at start)
