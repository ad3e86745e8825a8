// The show in an X window that another program made, drawn through GLX on the window's own
// visual: the same scene and frame driver as the program's own window, without keys or pointer.
//
// Globals (this file's own):
//   stopRequested  flag, set by SIGTERM, SIGINT and SIGHUP: the show ends after this frame
//   windowGone     flag: the window was destroyed (DestroyNotify, BadWindow, BadDrawable)
#include "app/given_window.h"

#include <GL/glx.h>
#include <X11/Xlib.h>
#include <signal.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>

#include "app/command_line.h"
#include "app/frame.h"
#include "app/frame_pacer.h"
#include "app/scene.h"
#include "app/screensaver_images.h"
#include "state/frame_clock.h"
#include "state/window_state.h"

namespace {
constexpr int kCannotUseWindow = 1;

volatile std::sig_atomic_t stopRequested = 0;
int windowGone = 0;

struct GivenWindow {
    Display* display = nullptr;
    Window window = 0;
    GLXContext context = nullptr;
};

// --- Ending: signals, X errors, the server gone ----------------------------------------------

void requestStop(int) {
    stopRequested = 1;
}

// XScreenSaver ends its programs with SIGTERM and kills one that lingers: no fade-out here.
void catchStopSignals() {
    struct sigaction action {};
    action.sa_handler = requestStop;
    sigemptyset(&action.sa_mask);  // no SA_RESTART: a signal cuts the wait for a frame short
    for (int stop : {SIGTERM, SIGINT, SIGHUP})
        sigaction(stop, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);  // a lost server is Xlib's I/O error, not a death by SIGPIPE
}

// Errors arrive after the request that caused them. Those that say the window is gone end
// the show; any other leaves it running.
int noteXError(Display*, XErrorEvent* error) {
    if (error->error_code == BadWindow || error->error_code == BadDrawable)
        windowGone = 1;
    return 0;
}

// The X server is gone, and with it everything there was to release. Xlib ends the process
// if this returns, so it ends the process itself, quietly.
int leaveWithTheServer(Display*) {
    std::exit(0);
}

// --- The window and its context ---------------------------------------------------------------

// The window asked for, or 0 for the display's root window; false for an XSCREENSAVER_WINDOW
// that is not a window id.
bool chooseWindow(const StartOptions& options, unsigned long& id) {
    id = 0;
    if (options.windowId != 0) {
        id = options.windowId;
        return true;
    }
    const char* named = std::getenv("XSCREENSAVER_WINDOW");
    if (named == nullptr || readWindowId(named, id))
        return true;
    std::fprintf(stderr, "varo: XSCREENSAVER_WINDOW is not a window id: '%s'\n", named);
    return false;
}

// The show needs what the program's own window asks of the toolkit: RGBA, double-buffered,
// with a depth buffer.
bool suitsShow(Display* display, XVisualInfo* visual) {
    for (int attribute : {GLX_USE_GL, GLX_RGBA, GLX_DOUBLEBUFFER, GLX_DEPTH_SIZE}) {
        int value = 0;
        if (glXGetConfig(display, visual, attribute, &value) != 0 || value == 0)
            return false;
    }
    return true;
}

// The window's own visual, if GL can draw the show into it; else nullptr, named on stderr.
XVisualInfo* drawableVisual(const GivenWindow& host, const XWindowAttributes& attributes) {
    if (attributes.c_class != InputOutput) {
        std::fprintf(stderr, "varo: GL cannot draw into window 0x%lx: it is input-only\n",
                     host.window);
        return nullptr;
    }
    XVisualInfo wanted{};
    wanted.visualid = XVisualIDFromVisual(attributes.visual);
    wanted.screen = XScreenNumberOfScreen(attributes.screen);
    int count = 0;
    XVisualInfo* visual =
        XGetVisualInfo(host.display, VisualIDMask | VisualScreenMask, &wanted, &count);
    if (visual == nullptr || !suitsShow(host.display, visual)) {
        std::fprintf(stderr,
                     "varo: GL cannot draw into window 0x%lx: its visual 0x%lx is not RGBA, "
                     "double-buffered, with depth\n",
                     host.window, wanted.visualid);
        if (visual != nullptr)
            XFree(visual);
        return nullptr;
    }
    return visual;
}

// A GL context on the window's own visual, made current; false, named on stderr, if there is
// no such window or GL cannot draw into it.
bool makeContext(GivenWindow& host) {
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(host.display, host.window, &attributes) == 0 || windowGone) {
        std::fprintf(stderr, "varo: window 0x%lx does not exist\n", host.window);
        return false;
    }
    XVisualInfo* visual = drawableVisual(host, attributes);
    if (visual == nullptr)
        return false;
    host.context = glXCreateContext(host.display, visual, nullptr, True);
    XFree(visual);
    if (host.context == nullptr || !glXMakeCurrent(host.display, host.window, host.context)) {
        std::fprintf(stderr, "varo: no GL context for window 0x%lx\n", host.window);
        return false;
    }
    onReshape(attributes.width, attributes.height);  // the start's size, before the scene
    return true;
}

bool openGivenWindow(GivenWindow& host, const char* displayName, unsigned long id) {
    host.display = XOpenDisplay(displayName);
    if (host.display == nullptr) {
        std::fprintf(stderr, "varo: cannot open display '%s'\n", XDisplayName(displayName));
        return false;
    }
    XSetErrorHandler(noteXError);
    XSetIOErrorHandler(leaveWithTheServer);
    host.window = id != 0 ? id : DefaultRootWindow(host.display);
    // Sizes and the end are reported from here on; selected before the size is first read, so
    // that no resize falls between. No input is selected: the show takes no keys or pointer.
    XSelectInput(host.display, host.window, StructureNotifyMask);
    return makeContext(host);
}

void closeGivenWindow(GivenWindow& host) {
    releaseGraphics();
    glXMakeCurrent(host.display, None, nullptr);
    glXDestroyContext(host.display, host.context);
    XCloseDisplay(host.display);
}

// --- The frames -------------------------------------------------------------------------------

// A new size is drawn from the next frame on; a destroyed window ends the show.
void followWindow(GivenWindow& host) {
    while (XPending(host.display) > 0) {
        XEvent event;
        XNextEvent(host.display, &event);
        if (event.type == DestroyNotify)
            windowGone = 1;
        const XConfigureEvent& size = event.xconfigure;
        if (event.type == ConfigureNotify &&
            (size.width != windowWidth || size.height != windowHeight))
            onReshape(size.width, size.height);
    }
}

bool showGoesOn() {
    return !stopRequested && !windowGone;
}

// False once the quit fade has run out (the graphics released).
bool drawFrame(const GivenWindow& host) {
    elapsedMs = frameClockMs();
    if (!renderFrame())
        return false;
    glXSwapBuffers(host.display, host.window);
    return true;
}
}  // namespace

int runInGivenWindow(const StartOptions& options) {
    catchStopSignals();
    unsigned long id = 0;
    GivenWindow host;
    const char* display = options.displayName.empty() ? nullptr : options.displayName.c_str();
    if (!chooseWindow(options, id) || !openGivenWindow(host, display, id))
        return kCannotUseWindow;
    aimScreensaverImages(host.window);
    tellOfPictures(options.pictures.titles ? PictureNews::titles : PictureNews::silent);
    setUpScene();  // seeds the generator as main chose, before the clock moves to frame time
    FrameSchedule schedule{framePeriodUs(options.delayUs, Host::givenWindow)};
    // Sizes, the window's end and stops are seen between the slices of a wait, and frames.
    for (followWindow(host); showGoesOn(); followWindow(host)) {
        const long long sliceUs = frameWaitSliceUs(schedule, monotonicMicroseconds());
        if (sliceUs > 0)
            sleepMicroseconds(sliceUs);
        else if (!drawFrame(host))
            break;
    }
    closeGivenWindow(host);
    return 0;
}
