// A real GLUT window with a GL context for the fuzz targets, opened once per fuzzing process.
#pragma once

// Opens a 640 x 480 window on the current X display (Xvfb under run-fuzzers.sh), with the
// program's reshape callback, and waits until its size is known.
void openFuzzWindow();

// Stops the fuzzing process with a message: the input broke a rule the program must keep.
[[noreturn]] void fuzzFailure(const char* what);
