// Pictures chosen by the person's own XScreenSaver image settings (--screensaver-images): its
// helper, xscreensaver-getimage, paints one into a pixmap of ours for each change.
#pragma once

#include "images/picture_show.h"

// The source --screensaver-images asks for, or none: none without the option, and none when
// --picture names pictures too (the files win, and one line says so). Called first thing in
// main, before any other Xlib or toolkit call: with a source, Xlib is readied for threads, since
// the source keeps an X connection of its own on the picture worker.
PictureSource chooseScreensaverImages(const PictureShowOptions& options);

// Once the host has chosen its window, with its GL context current, before the show starts:
// the helper works on the same display, given `givenWindow` (a window another program made),
// or with 0 (the program's own window) an unmapped window of the screen's size.
void aimScreensaverImages(unsigned long givenWindow);
