// Preloaded into the real program by the end-to-end tests: stops the process (SIGSTOP) right
// after its first buffer swap (GLX's, which both windows use), so that a test can look at the
// first frame it shows.
#include <GL/glx.h>
#include <dlfcn.h>

#include <csignal>

extern "C" void glXSwapBuffers(Display* display, GLXDrawable drawable) {
    static const auto swap =
        reinterpret_cast<void (*)(Display*, GLXDrawable)>(dlsym(RTLD_NEXT, "glXSwapBuffers"));
    static bool first = true;
    swap(display, drawable);
    if (first) {
        first = false;
        glFinish();
        std::raise(SIGSTOP);
    }
}
