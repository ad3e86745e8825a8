// Preloaded into the real program by the end-to-end tests, acting right after its first buffer
// swap (GLX's, which both windows use): stops the process (SIGSTOP), so that a test can look at
// the first frame it shows; or, with E2E_BAD_REQUEST set, makes instead one request that the X
// server refuses with BadMatch (a copy from a one-bit pixmap into the window), an X error that
// says nothing of the window's end.
#include <GL/glx.h>
#include <dlfcn.h>

#include <csignal>
#include <cstdlib>

namespace {
void makeBadRequest(Display* display, GLXDrawable window) {
    const Pixmap bitmap = XCreatePixmap(display, window, 1, 1, 1);
    XCopyArea(display, bitmap, window, DefaultGC(display, DefaultScreen(display)), 0, 0, 1, 1, 0,
              0);
    XFreePixmap(display, bitmap);
}
}  // namespace

extern "C" void glXSwapBuffers(Display* display, GLXDrawable drawable) {
    static const auto swap =
        reinterpret_cast<void (*)(Display*, GLXDrawable)>(dlsym(RTLD_NEXT, "glXSwapBuffers"));
    static bool first = true;
    swap(display, drawable);
    if (!first)
        return;
    first = false;
    if (std::getenv("E2E_BAD_REQUEST") != nullptr)
        return makeBadRequest(display, drawable);
    glFinish();
    std::raise(SIGSTOP);
}
