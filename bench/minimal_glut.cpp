// varo-bench-minimal: the least a GLUT program does before its first frame, timed the same way
// as varo-bench's start-up mode: the same window, one clear (to grey, so that the first frame
// shows on a black screen), one swap. With --stay it then waits to be ended, for
// varo-first-frame to watch.
//
// Usage: varo-bench-minimal [--size=WxH] [--launched-at=SECONDS] [--stay]
#include <GL/freeglut.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "bench/json_line.h"
#include "bench/measure.h"

namespace {
int reshapedWidth = 0, reshapedHeight = 0;

void onReshape(int width, int height) {
    reshapedWidth = width;
    reshapedHeight = height;
    glViewport(0, 0, width, height);
}

void drawNothing() {}

[[noreturn]] void usage(const char* arg) {
    std::fprintf(stderr,
                 "varo-bench-minimal: unknown or bad option '%s'\n"
                 "Usage: varo-bench-minimal [--size=WxH] [--launched-at=SECONDS] [--stay]\n",
                 arg);
    std::exit(2);
}
}  // namespace

int main(int argc, char** argv) {
    using namespace bench;
    const double mainMs = wallMs(), mainRealtime = realtimeSeconds();
    int width = 1024, height = 768;
    double launchedAt = 0;
    bool stay = false;
    for (int n = 1; n < argc; ++n) {
        char tail = 0;
        if (std::strcmp(argv[n], "--help") == 0) {
            std::puts(
                "Usage: varo-bench-minimal [--size=WxH] [--launched-at=SECONDS] [--stay]\n"
                "Opens a GLUT window like varo-bench, clears it, swaps once, and prints\n"
                "the time of each step; with --stay it then waits to be ended.");
            return 0;
        } else if (std::strncmp(argv[n], "--size=", 7) == 0) {
            if (std::sscanf(argv[n] + 7, "%dx%d%c", &width, &height, &tail) != 2 || width < 1 ||
                height < 1)
                usage(argv[n]);
        } else if (std::strcmp(argv[n], "--stay") == 0) {
            stay = true;
        } else if (std::strncmp(argv[n], "--launched-at=", 14) == 0) {
            launchedAt = std::atof(argv[n] + 14);
        } else {
            usage(argv[n]);
        }
    }
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) {
        std::fputs("varo-bench-minimal: DISPLAY is not set\n", stderr);
        return 1;
    }
    int glutArgc = 1;
    glutInit(&glutArgc, argv);
    const double afterInit = wallMs();
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(width, height);
    glutCreateWindow("Varo");
    glutReshapeFunc(onReshape);
    glutDisplayFunc(drawNothing);
    while (reshapedWidth != width || reshapedHeight != height) {
        glutMainLoopEvent();
        if (reshapedWidth != width || reshapedHeight != height)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    const double afterWindow = wallMs();
    glClearColor(0.5f, 0.5f, 0.5f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glutSwapBuffers();
    glFinish();
    const double afterFirstSwap = wallMs();

    const double execToMain = launchedAt > 0 ? (mainRealtime - launchedAt) * 1e3 : -1;
    std::printf("varo-bench-minimal: %dx%d\n", width, height);
    if (execToMain >= 0)
        std::printf("  exec to main        %7.2f ms\n", execToMain);
    std::printf("  glutInit            %7.2f ms\n", afterInit - mainMs);
    std::printf("  window and reshape  %7.2f ms\n", afterWindow - afterInit);
    std::printf("  first frame         %7.2f ms (clear, swap, glFinish)\n",
                afterFirstSwap - afterWindow);
    std::printf("  main to first swap  %7.2f ms\n", afterFirstSwap - mainMs);
    JsonLine json;
    json.add("mode", "minimal")
        .add("width", width)
        .add("height", height)
        .add("exec_to_main_ms", execToMain)
        .add("glut_init_ms", afterInit - mainMs)
        .add("window_ms", afterWindow - afterInit)
        .add("first_frame_ms", afterFirstSwap - afterWindow)
        .add("main_to_first_swap_ms", afterFirstSwap - mainMs)
        .add("peak_rss_kib", peakResidentKib());
    json.print();
    while (stay) {
        glutMainLoopEvent();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return 0;
}
