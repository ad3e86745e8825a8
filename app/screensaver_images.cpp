// Pictures chosen by the person's own XScreenSaver image settings: for each one its helper,
// xscreensaver-getimage, paints a pixmap of ours, and the part it names is fitted to the block.
//
// All of it runs on the picture worker, on an X connection of the worker's own. The helper is a
// child in a process group of its own, since it starts helpers of its own: its end is looked for
// in short slices, so that a stop is seen at once, and then the group is killed (nothing of it
// outlives the picture) and the child reaped. A helper that hangs is given up after 20 s.
//
// Globals (this file's own; set on the frame's thread before the worker starts):
//   helperDisplay  the name of the host's display; empty: $DISPLAY
//   helperWindow   the window the helper is given; 0: an unmapped window of our own
#include "app/screensaver_images.h"

#include <GL/glx.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {
constexpr const char* kHelper = "xscreensaver-getimage";
constexpr const char* kHelperFolder = "/usr/libexec/xscreensaver";        // the daemon's, off PATH
constexpr const char* kGeometryProperty = "_SCREENSAVER_IMAGE_GEOMETRY";  // "400x300+0+0"
constexpr const char* kFileProperty = "_SCREENSAVER_IMAGE_FILENAME";
constexpr const char* kNoFileName = "desktop";  // what a picture taken from the screen is called
constexpr long kPropertyLongs = 1024;           // 4 KiB of a property at most: a long path
constexpr auto kPollSlice = std::chrono::milliseconds(10);  // the helper's end and a stop
constexpr int kTimeLimitSeconds = 20;  // a hung helper gives way to the built-in pictures

std::string helperDisplay;
unsigned long helperWindow = 0;

// What the helper paints: a pixmap of the window's size and depth, named with the window.
struct Canvas {
    Display* display = nullptr;
    Window window = 0;
    Pixmap pixmap = 0;
    XWindowAttributes attributes{};

    Canvas() = default;
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    ~Canvas() {  // the pixmap, and a window of our own, go with the connection
        if (display != nullptr)
            XCloseDisplay(display);
    }
};

__attribute__((format(printf, 2, 3))) bool refuse(Refusal& reason, const char* format, ...) {
    const int used = std::snprintf(reason, kRefusalCapacity, "%s: ", kHelper);
    va_list details;
    va_start(details, format);
    std::vsnprintf(reason + used, kRefusalCapacity - static_cast<std::size_t>(used), format,
                   details);
    va_end(details);
    return false;
}

// --- The canvas ---------------------------------------------------------------------------------

// The window the helper is given: the host's, or a window of ours that is never mapped (the
// helper's desktop grab unmaps the window it is given: the program's own would blink).
Window helperTarget(Display* display) {
    if (helperWindow != 0)
        return helperWindow;
    const int screen = DefaultScreen(display);
    return XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0,
                               DisplayWidth(display, screen), DisplayHeight(display, screen), 0, 0,
                               0);
}

bool openCanvas(Canvas& canvas, Refusal& reason) {
    const char* name = helperDisplay.empty() ? nullptr : helperDisplay.c_str();
    canvas.display = XOpenDisplay(name);
    if (canvas.display == nullptr)
        return refuse(reason, "cannot open display '%s'", XDisplayName(name));
    canvas.window = helperTarget(canvas.display);
    XWindowAttributes& window = canvas.attributes;
    if (XGetWindowAttributes(canvas.display, canvas.window, &window) == 0)
        return refuse(reason, "window 0x%lx is gone", canvas.window);
    if (window.visual->c_class != TrueColor && window.visual->c_class != DirectColor)
        return refuse(reason, "window 0x%lx has no true-colour visual", canvas.window);
    canvas.pixmap =
        XCreatePixmap(canvas.display, canvas.window, window.width, window.height, window.depth);
    for (const char* property : {kGeometryProperty, kFileProperty})  // none left from before
        XDeleteProperty(canvas.display, canvas.window, XInternAtom(canvas.display, property, 0));
    XSync(canvas.display, False);  // the pixmap is there before the helper looks for it
    return true;
}

// --- The helper ---------------------------------------------------------------------------------

// Where the helper is looked for, and where it looks for its own helpers: PATH, then the
// daemon's folder.
std::string helperPath() {
    const char* path = std::getenv("PATH");
    return path != nullptr && *path != '\0' ? std::string(path) + ":" + kHelperFolder
                                            : kHelperFolder;
}

// The first executable helper in the folders of `path`; empty if there is none.
std::string findHelper(const std::string& path) {
    for (std::size_t start = 0; start <= path.size();) {
        const std::size_t end = std::min(path.find(':', start), path.size());
        const std::string folder = end > start ? path.substr(start, end - start) : ".";
        const std::string program = folder + "/" + kHelper;
        if (access(program.c_str(), X_OK) == 0)
            return program;
        start = end + 1;
    }
    return {};
}

// Our environment with PATH replaced.
std::vector<std::string> helperEnvironment(const std::string& path) {
    std::vector<std::string> environment{"PATH=" + path};
    for (char** entry = environ; *entry != nullptr; ++entry)
        if (std::strncmp(*entry, "PATH=", 5) != 0)
            environment.emplace_back(*entry);
    return environment;
}

// Starts `argv` as a child leading a process group of its own, with no input or output (its
// messages still reach stderr), SIGPIPE as a new program expects it. 0, or why it cannot start.
int spawnInGroup(const std::string& program, char* const argv[], const std::string& path,
                 pid_t& child) {
    std::vector<std::string> environment = helperEnvironment(path);
    std::vector<char*> envp;
    for (std::string& entry : environment)
        envp.push_back(entry.data());
    envp.push_back(nullptr);
    posix_spawn_file_actions_t streams;
    posix_spawn_file_actions_init(&streams);
    posix_spawn_file_actions_addopen(&streams, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&streams, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGDEF);
    posix_spawnattr_setpgroup(&attributes, 0);
    sigset_t ignoredHere;  // the given window ignores SIGPIPE, and an exec keeps what is ignored
    sigemptyset(&ignoredHere);
    sigaddset(&ignoredHere, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes, &ignoredHere);
    const int failure =
        posix_spawn(&child, program.c_str(), &streams, &attributes, argv, envp.data());
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&streams);
    return failure;
}

// Waits for the helper's end without reaping it, so that its group's id stays its own; then the
// group is killed, whatever it still runs, and the helper reaped. True when it ended by itself.
bool endHelper(pid_t helper, int& status, const std::atomic<bool>& stop) {
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::seconds(kTimeLimitSeconds);
    siginfo_t end{};
    while (waitid(P_PID, static_cast<id_t>(helper), &end, WEXITED | WNOHANG | WNOWAIT) == 0 &&
           end.si_pid == 0 && !stop && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(kPollSlice);
    kill(-helper, SIGKILL);
    while (waitpid(helper, &status, 0) < 0 && errno == EINTR)
        continue;
    return end.si_pid != 0;
}

// Runs the helper on the canvas to its end; false, with the reason, unless it painted.
bool runHelper(const Canvas& canvas, Refusal& reason, const std::atomic<bool>& stop) {
    const std::string path = helperPath();
    const std::string program = findHelper(path);
    if (program.empty())
        return refuse(reason, "not found");
    char window[32], pixmap[32];
    std::snprintf(window, sizeof window, "0x%lx", canvas.window);
    std::snprintf(pixmap, sizeof pixmap, "0x%lx", canvas.pixmap);
    char* const argv[] = {const_cast<char*>(kHelper), window, pixmap, nullptr};
    pid_t helper = 0;
    if (const int failure = spawnInGroup(program, argv, path, helper))
        return refuse(reason, "cannot start %s: %s", program.c_str(), std::strerror(failure));
    int status = 0;
    if (!endHelper(helper, status, stop))  // a stop is not said: the feed is ending
        return refuse(reason, "no picture after %d s", kTimeLimitSeconds);
    if (WIFSIGNALED(status))
        return refuse(reason, "failed (signal %d)", WTERMSIG(status));
    if (WEXITSTATUS(status) != 0)
        return refuse(reason, "failed (status %d)", WEXITSTATUS(status));
    return true;
}

// --- The picture --------------------------------------------------------------------------------

// A text property of the window, as the helper left it; empty if there is none.
std::string readProperty(const Canvas& canvas, const char* name) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0, left = 0;
    unsigned char* data = nullptr;
    std::string value;
    if (XGetWindowProperty(canvas.display, canvas.window, XInternAtom(canvas.display, name, 0), 0,
                           kPropertyLongs, False, XA_STRING, &type, &format, &count, &left,
                           &data) == Success &&
        data != nullptr) {
        if (type == XA_STRING && format == 8)
            value.assign(reinterpret_cast<const char*>(data), count);
        XFree(data);
    }
    return value;
}

// The largest centred square of the area the helper says it painted, kept within the pixmap.
bool paintedSquare(const Canvas& canvas, int& x, int& y, int& side) {
    int left = 0, top = 0;
    unsigned width = 0, height = 0;
    const int given = XParseGeometry(readProperty(canvas, kGeometryProperty).c_str(), &left, &top,
                                     &width, &height);
    if ((given & (WidthValue | HeightValue)) == 0)
        return false;
    const int right = std::min<long>(left + static_cast<long>(width), canvas.attributes.width);
    const int bottom = std::min<long>(top + static_cast<long>(height), canvas.attributes.height);
    left = std::max(left, 0);
    top = std::max(top, 0);
    side = std::min(right - left, bottom - top);
    x = left + (right - left - side) / 2;
    y = top + (bottom - top - side) / 2;
    return side > 0;
}

// One colour of a pixel, by the visual's mask for it, as 0..255.
unsigned char channel(unsigned long pixel, unsigned long mask) {
    if (mask == 0)
        return 0;
    const int shift = __builtin_ctzl(mask);
    return static_cast<unsigned char>(((pixel & mask) >> shift) * 255 / (mask >> shift));
}

bool fitPaintedSquare(const Canvas& canvas, PictureBlock& block, Refusal& reason) {
    int x = 0, y = 0, side = 0;
    if (!paintedSquare(canvas, x, y, side))
        return refuse(reason, "it painted no picture");
    XImage* image = XGetImage(canvas.display, canvas.pixmap, x, y, static_cast<unsigned>(side),
                              static_cast<unsigned>(side), AllPlanes, ZPixmap);
    if (image == nullptr)
        return refuse(reason, "its picture cannot be read back");
    const Visual& visual = *canvas.attributes.visual;
    std::vector<unsigned char> rgb(static_cast<std::size_t>(side) * side * 3);
    unsigned char* at = rgb.data();
    for (int row = 0; row < side; ++row)
        for (int column = 0; column < side; ++column) {
            const unsigned long pixel = XGetPixel(image, column, row);
            for (unsigned long mask : {visual.red_mask, visual.green_mask, visual.blue_mask})
                *at++ = channel(pixel, mask);
        }
    XDestroyImage(image);
    fitRgbPicture(rgb.data(), side, side, block);
    return true;
}

// The picture's file name without its folder, or a word for one taken from the screen.
std::string pictureNameOf(const Canvas& canvas) {
    const std::string file = readProperty(canvas, kFileProperty);
    const std::string name = file.substr(file.rfind('/') + 1);  // npos + 1 is 0
    return name.empty() ? kNoFileName : name;
}

// The source: a new picture from the helper on each call.
bool paintPicture(PictureBlock& block, std::string& name, Refusal& reason,
                  const std::atomic<bool>& stop) {
    Canvas canvas;
    if (!openCanvas(canvas, reason) || !runHelper(canvas, reason, stop) ||
        !fitPaintedSquare(canvas, block, reason))
        return false;
    name = pictureNameOf(canvas);
    return true;
}
}  // namespace

PictureSource chooseScreensaverImages(const PictureShowOptions& options) {
    if (!options.screensaverImages)
        return {};
    if (!options.paths.empty()) {
        std::fputs("varo: --screensaver-images is ignored: --picture names the pictures\n", stderr);
        return {};
    }
    XInitThreads();
    return paintPicture;
}

void aimScreensaverImages(unsigned long givenWindow) {
    Display* display = glXGetCurrentDisplay();
    helperDisplay = display != nullptr ? DisplayString(display) : "";
    helperWindow = givenWindow;
}
