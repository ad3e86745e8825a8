// varo-capture: renders Varo's real scene with a clock of its own and writes PNG pictures.
//
//   varo-capture [--size WxH] [--time T | --from T0 --to T1 --frames N] [--seed S] [--fps F]
//                [--key KEYS] [--out PATH] [the show's settings, as varo takes them]  (see --help)
//
// It opens a window of the given size on the X display, runs the program's start-up with a
// fixed seed, then steps the program's clock itself (elapsedMs, F frames a second) and draws
// every frame with renderFrame() as the program does, reading the frames asked for back from
// GL. The same options give the same pictures on a given Mesa build.
#include <GL/freeglut.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "app/frame.h"
#include "app/reset.h"
#include "app/scene.h"
#include "app/window.h"
#include "capture_options.h"
#include "images/picture_folders.h"
#include "images/picture_show.h"
#include "input/keyboard.h"
#include "overlay/text_overlay.h"
#include "png_file.h"
#include "state/frame_clock.h"
#include "state/window_state.h"

namespace {
constexpr int kExitFailure = 1;
constexpr int kExitBadOption = 2;
constexpr auto kWindowDeadline = std::chrono::seconds(5);
constexpr int kMillisecondsPerSecond = 1000;

int complain(const std::string& message, int status) {
    std::fprintf(stderr, "varo-capture: %s\n", message.c_str());
    return status;
}

std::string folderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// A file that exists must be writable, and a new one needs a writable folder.
bool canWrite(const std::string& path) {
    if (access(path.c_str(), F_OK) == 0)
        return access(path.c_str(), W_OK) == 0;
    return access(folderOf(path).c_str(), W_OK) == 0;
}

// Output paths are taken from where the tool was started.
bool makeWritablePaths(std::vector<std::string>& paths, std::string& error) {
    char here[4096];
    if (getcwd(here, sizeof here) == nullptr) {
        error = "cannot tell the working directory";
        return false;
    }
    for (std::string& path : paths) {
        if (path[0] != '/')
            path = std::string(here) + "/" + path;
        if (!canWrite(path)) {
            error = "cannot write " + path;
            return false;
        }
    }
    return true;
}

// The files the capture writes: `out` for one frame; for a strip, `out` with -001, -002, ...
// before its extension.
std::vector<std::string> outputPaths(const CaptureOptions& options) {
    if (options.frames == 1)
        return {options.out};
    std::string stem = options.out, extension = ".png";
    const size_t dot = stem.rfind('.');
    if (dot != std::string::npos && stem.find('/', dot) == std::string::npos) {
        extension = stem.substr(dot);
        stem.resize(dot);
    }
    std::vector<std::string> paths;
    for (int k = 1; k <= options.frames; ++k) {
        char number[16];
        std::snprintf(number, sizeof number, "-%03d", k);
        paths.push_back(stem + number + extension);
    }
    return paths;
}

// The program's clock, in milliseconds, at each captured frame, in order (a strip has its --to).
std::vector<int> captureTimesMs(const CaptureOptions& options) {
    std::vector<int> times;
    for (int k = 0; k < options.frames; ++k) {
        const double share = options.frames == 1 ? 0.0 : double(k) / (options.frames - 1);
        const double seconds = options.from + (options.to - options.from) * share;
        times.push_back(static_cast<int>(std::lround(seconds * 1000.0)));
    }
    return times;
}

void drawNothing() {}

// A plain window of the asked size (not full screen), with the program's reshape callback so
// that its window globals follow; waits until the size has arrived.
bool openCaptureWindow(int width, int height) {
    int argc = 1;
    char name[] = "varo-capture";
    char* argv[] = {name, nullptr};
    glutInit(&argc, argv);  // before any other toolkit call, or freeglut ends the process
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(width, height);
    glutCreateWindow("Varo capture");
    glutReshapeFunc(onReshape);
    glutDisplayFunc(drawNothing);
    const auto deadline = std::chrono::steady_clock::now() + kWindowDeadline;
    while (std::chrono::steady_clock::now() < deadline) {
        glutMainLoopEvent();
        if (windowWidth == width && windowHeight == height)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));  // the X server's turn
    }
    return false;
}

// Start-up as the program does it, but seeded with `seed` and with the clock at zero: the
// start message counts its three seconds from there.
void startScene(int seed, const std::string& keys) {
    startFrameClock();
    elapsedMs = seed;  // initScene seeds the random generator with it
    initScene();
    textOverlay.messageExpiry -= elapsedMs * 0.001;
    elapsedMs = 0;
    for (char key : keys)
        onKeyboard(static_cast<unsigned char>(key), 0, 0);
}

void drawFrameAt(int ms) {
    elapsedMs = ms;
    renderFrame();
}

std::vector<unsigned char> readFrame(int width, int height) {
    const size_t rowBytes = static_cast<size_t>(width) * 3;
    std::vector<unsigned char> bottomUp(rowBytes * static_cast<size_t>(height));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, bottomUp.data());
    std::vector<unsigned char> topDown(bottomUp.size());
    for (size_t row = 0; row < static_cast<size_t>(height); ++row)
        std::copy_n(bottomUp.data() + row * rowBytes, rowBytes,
                    topDown.data() + (static_cast<size_t>(height) - 1 - row) * rowBytes);
    return topDown;
}

void showFrame() {
    glutSwapBuffers();
    glutMainLoopEvent();
}

// Steps the clock from 0 to each capture time, drawing every frame on the way.
int captureFrames(const CaptureOptions& options, const std::vector<std::string>& paths) {
    const int stepMs = kMillisecondsPerSecond / options.stepsPerSecond;
    const std::vector<int> times = captureTimesMs(options);
    int clockMs = 0;
    for (size_t k = 0; k < times.size(); ++k) {
        while (clockMs + stepMs < times[k]) {
            clockMs += stepMs;
            drawFrameAt(clockMs);
            showFrame();
        }
        clockMs = times[k];
        drawFrameAt(clockMs);
        std::string error;
        if (!writePngFile(paths[k], options.width, options.height,
                          readFrame(options.width, options.height), error))
            return complain(error, kExitFailure);
        std::printf("%s\n", paths[k].c_str());
        showFrame();
    }
    return 0;
}
}  // namespace

int main(int argc, char** argv) {
    CaptureOptions options;
    std::string error;
    if (!parseCaptureOptions(argc, argv, options, error))
        return complain(error + " (see --help)", kExitBadOption);
    if (options.helpAsked) {
        std::fputs(captureUsage().c_str(), stdout);
        return 0;
    }
    std::vector<std::string> paths = outputPaths(options);
    if (!makeWritablePaths(paths, error))
        return complain(error, kExitFailure);
    choosePictureFolders(options.dataFolder.empty() ? nullptr : options.dataFolder.c_str());
    // Every decode waited for, so that each run gives the same frames; the keys rule, as in
    // the program's own window.
    choosePictureShow(options.pictures, Host::ownWindow, {}, true);
    chooseStartSettings(options.show);

    if (!openCaptureWindow(options.width, options.height))
        return complain("the window did not get the size asked for", kExitFailure);
    startScene(options.seed, options.keys);
    return captureFrames(options, paths);
}
