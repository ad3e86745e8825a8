// Preloaded (LD_PRELOAD), logs the library's load and each buffer swap's return, so that a
// script can time a program it does not drive (first frame, frame rate, gaps between frames): to
// the file VARO_SWAP_LOG names, "load MS" then "swap MS" lines in CLOCK_REALTIME milliseconds,
// the clock of bash's $EPOCHREALTIME.
#include <GL/glx.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {
// Appended to, never truncated: a child that inherits the preload adds to the same log.
const int logFile = [] {
    const char* path = std::getenv("VARO_SWAP_LOG");
    return path ? open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644) : -1;
}();

// One short write an event; a failed write loses the line, and the program goes on.
void note(const char* event) {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    if (logFile >= 0)
        dprintf(logFile, "%s %.3f\n", event,
                static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) * 1e-6);
}

// Set up after the program's libraries are loaded and before its main runs.
const bool loadNoted = (note("load"), true);
}  // namespace

extern "C" void glXSwapBuffers(Display* display, GLXDrawable drawable) {
    using Swap = void (*)(Display*, GLXDrawable);
    static const auto swap = reinterpret_cast<Swap>(dlsym(RTLD_NEXT, "glXSwapBuffers"));
    swap(display, drawable);
    note("swap");
}
