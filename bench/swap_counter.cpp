// Preloaded by bench/frame-cap.sh: counts the buffer swaps of the program it is loaded into and
// keeps the count in the file that VARO_SWAP_COUNT names, so that a script can read the frame
// rate of a program it does not drive. One short write a frame.
#include <GL/glx.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace {
int openCountFile() {
    const char* path = std::getenv("VARO_SWAP_COUNT");
    return path ? open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644) : -1;
}
}  // namespace

extern "C" void glXSwapBuffers(Display* display, GLXDrawable drawable) {
    using Swap = void (*)(Display*, GLXDrawable);
    static const auto swap = reinterpret_cast<Swap>(dlsym(RTLD_NEXT, "glXSwapBuffers"));
    static const int file = openCountFile();
    static long swaps = 0;
    swap(display, drawable);
    char text[24];
    const int length = std::snprintf(text, sizeof text, "%ld\n", ++swaps);
    if (file >= 0 && pwrite(file, text, static_cast<size_t>(length), 0) < 0)
        return;  // the count is lost, the program goes on
}
