// Preloaded: a standing clock until the first full-size frame, then SIGSTOP (or E2E_BAD_REQUEST).
#include <GL/glx.h>
#include <dlfcn.h>
#include <time.h>

#include <atomic>
#include <csignal>
#include <cstdlib>

namespace {
std::atomic<bool> clockRuns{false};

void makeBadRequest(Display* display, GLXDrawable window) {
    const Pixmap bitmap = XCreatePixmap(display, window, 1, 1, 1);
    XCopyArea(display, bitmap, window, DefaultGC(display, DefaultScreen(display)), 0, 0, 1, 1, 0,
              0);
    XFreePixmap(display, bitmap);
}

// Leaving a window size, the toolkit draws a frame at the old size into the new window.
bool fillsWindow(Display* display, GLXDrawable window) {
    Window root;
    int x, y, viewport[4];
    unsigned width, height, border, depth;
    XGetGeometry(display, window, &root, &x, &y, &width, &height, &border, &depth);
    glGetIntegerv(GL_VIEWPORT, viewport);
    return viewport[2] == static_cast<int>(width) && viewport[3] == static_cast<int>(height);
}

// The helpers the program starts get a clock that runs.
[[gnu::constructor]] void keepToThisProcess() {
    unsetenv("LD_PRELOAD");
}
}  // namespace

extern "C" int clock_gettime(clockid_t clock, timespec* now) {
    static const auto read =
        reinterpret_cast<int (*)(clockid_t, timespec*)>(dlsym(RTLD_NEXT, "clock_gettime"));
    static const timespec start = [] {
        timespec first{};
        read(CLOCK_MONOTONIC, &first);
        return first;
    }();
    if (clock != CLOCK_MONOTONIC || clockRuns)
        return read(clock, now);
    *now = start;
    return 0;
}

extern "C" void glXSwapBuffers(Display* display, GLXDrawable drawable) {
    static const auto swap =
        reinterpret_cast<void (*)(Display*, GLXDrawable)>(dlsym(RTLD_NEXT, "glXSwapBuffers"));
    const bool first = !clockRuns && fillsWindow(display, drawable);
    swap(display, drawable);
    if (!first)
        return;
    clockRuns = true;
    if (std::getenv("E2E_BAD_REQUEST") != nullptr)
        return makeBadRequest(display, drawable);
    glFinish();
    XSync(display, False);  // the frame is on the screen before the test looks
    std::raise(SIGSTOP);
}
