// Preloaded into the real program by the end-to-end tests: stops the process (SIGSTOP) right
// after its first buffer swap, so that a test can look at the first frame it shows.
#include <GL/gl.h>
#include <dlfcn.h>

#include <csignal>

extern "C" void glutSwapBuffers() {
    static const auto swap = reinterpret_cast<void (*)()>(dlsym(RTLD_NEXT, "glutSwapBuffers"));
    static bool first = true;
    swap();
    if (first) {
        first = false;
        glFinish();
        std::raise(SIGSTOP);
    }
}
