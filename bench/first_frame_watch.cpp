// varo-first-frame: launches a program and reports when its first frame reaches the screen.
//
// The real program takes no options and prints nothing, so its time to the first swapped
// frame is taken from outside: this tool keeps a copy of a small screen region, starts the
// program, and reads the region back every half millisecond until it differs. On a black
// screen (Xvfb -br) the first change is the first swap: the toolkit's window has no
// background of its own, and Varo's first frame draws the message line at the top left.
//
// Usage: varo-first-frame [--region=WxH+X+Y] [--timeout-ms=MS] PROGRAM [ARG]...
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "bench/json_line.h"
#include "bench/measure.h"

namespace {
struct ScreenArea {
    int width = 400, height = 40, x = 0, y = 0;  // pixels: the message line's corner
};

[[noreturn]] void usage(const char* why) {
    std::fprintf(stderr,
                 "varo-first-frame: %s\n"
                 "Usage: varo-first-frame [--region=WxH+X+Y] [--timeout-ms=MS] PROGRAM [ARG]...\n",
                 why);
    std::exit(2);
}

std::vector<unsigned long> grab(Display* display, const ScreenArea& r) {
    std::vector<unsigned long> pixels;
    XImage* image =
        XGetImage(display, DefaultRootWindow(display), r.x, r.y, static_cast<unsigned>(r.width),
                  static_cast<unsigned>(r.height), AllPlanes, ZPixmap);
    if (!image)
        return pixels;
    pixels.reserve(static_cast<size_t>(r.width) * static_cast<size_t>(r.height));
    for (int y = 0; y < r.height; ++y)
        for (int x = 0; x < r.width; ++x)
            pixels.push_back(XGetPixel(image, x, y));
    XDestroyImage(image);
    return pixels;
}

pid_t launch(char** argv) {
    pid_t child = fork();
    if (child == 0) {
        execvp(argv[0], argv);
        std::perror("varo-first-frame: exec");
        _exit(127);
    }
    return child;
}
}  // namespace

int main(int argc, char** argv) {
    ScreenArea region;
    double timeoutMs = 10000;
    int first = 1;
    for (; first < argc && std::strncmp(argv[first], "--", 2) == 0; ++first) {
        char tail = 0;
        if (std::strncmp(argv[first], "--region=", 9) == 0) {
            if (std::sscanf(argv[first] + 9, "%dx%d+%d+%d%c", &region.width, &region.height,
                            &region.x, &region.y, &tail) != 4)
                usage("the region must be WxH+X+Y");
        } else if (std::strncmp(argv[first], "--timeout-ms=", 13) == 0) {
            timeoutMs = std::atof(argv[first] + 13);
        } else {
            usage("unknown option");
        }
    }
    if (first >= argc)
        usage("no program given");
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        usage("cannot open the X display (is DISPLAY set?)");
    const std::vector<unsigned long> before = grab(display, region);
    if (before.empty())
        usage("cannot read the region (is it on the screen?)");

    const double start = bench::wallMs();
    const pid_t child = launch(argv + first);
    double shownMs = -1;
    while (bench::wallMs() - start < timeoutMs) {
        if (grab(display, region) != before) {
            shownMs = bench::wallMs() - start;
            break;
        }
        int status = 0;
        if (waitpid(child, &status, WNOHANG) == child) {
            std::fprintf(stderr, "varo-first-frame: the program ended before showing a frame\n");
            return 1;
        }
        usleep(500);
    }
    kill(child, SIGTERM);  // the program runs until ESC; this tool started it, and ends it
    waitpid(child, nullptr, 0);
    XCloseDisplay(display);
    if (shownMs < 0) {
        std::fprintf(stderr, "varo-first-frame: no change within %.0f ms\n", timeoutMs);
        return 1;
    }
    std::printf("varo-first-frame: %s showed its first frame %.1f ms after launch\n", argv[first],
                shownMs);
    bench::JsonLine json;
    json.add("mode", "first_frame")
        .add("program", argv[first])
        .add("launch_to_first_frame_ms", shownMs);
    json.print();
    return 0;
}
