// The show in an X window that another program made (XScreenSaver's, or one named by
// --window-id), drawn through GLX on that window's own visual. No keys and no pointer reach it.
#pragma once

struct StartOptions;

// Draws into the window the options name, on their -display, until SIGTERM, SIGINT or SIGHUP,
// or until the window or the X server goes; each ends it with status 0. A window that cannot be
// used gets one line on stderr and status 1.
int runInGivenWindow(const StartOptions& options);
