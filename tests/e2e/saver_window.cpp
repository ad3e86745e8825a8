// saver_window W H [--single (no depth)]: a saver's window, id printed, kept till stdin ends.
#include <GL/glx.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    Display* display = XOpenDisplay(nullptr);
    int show[] = {GLX_RGBA, GLX_DOUBLEBUFFER, GLX_DEPTH_SIZE, 16, None},
        single[] = {GLX_RGBA, None};
    XVisualInfo* visual =
        display == nullptr || argc < 3
            ? nullptr
            : glXChooseVisual(display, DefaultScreen(display), argc > 3 ? single : show);
    if (visual == nullptr)
        return 2;
    const Window root = DefaultRootWindow(display);
    XSetWindowAttributes attributes{};  // a black background, no border
    attributes.colormap = XCreateColormap(display, root, visual->visual, AllocNone);
    const Window window = XCreateWindow(display, root, 0, 0, std::atoi(argv[1]), std::atoi(argv[2]),
                                        0, visual->depth, InputOutput, visual->visual,
                                        CWColormap | CWBorderPixel | CWBackPixel, &attributes);
    XMapWindow(display, window);
    XSync(display, False);
    std::printf("0x%lx\n", window);
    std::fflush(stdout);
    std::getchar();  // nothing comes: returns when stdin ends
    return 0;        // the server destroys the window with the connection
}
