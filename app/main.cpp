// Varo: a pin-art board waving in front of a tumbling star field.
#include <GL/freeglut.h>

#include <cstdio>
#include <string>
#include <utility>

#include "app/command_line.h"
#include "app/frame_pacer.h"
#include "app/given_window.h"
#include "app/reset.h"
#include "app/scene.h"
#include "app/screensaver_images.h"
#include "app/window.h"
#include "images/picture_folders.h"
#include "motion/random.h"
#include "state/frame_clock.h"

namespace {
constexpr int kBadCommandLine = 2;
constexpr int kCannotStart = 1;
}  // namespace

int main(int argc, char** argv) {
    StartOptions options;
    std::string error;
    if (!readCommandLine(argc, argv, options, error)) {
        std::fprintf(stderr, "varo: %s (see varo --help)\n", error.c_str());
        return kBadCommandLine;
    }
    if (options.helpAsked || options.versionAsked) {
        std::fputs(options.helpAsked ? usageText().c_str() : versionText(), stdout);
        return 0;
    }
    PictureSource screensaverImages = chooseScreensaverImages(options.pictures);  // Xlib first
    // The clock's raw reading counts from boot: a fine seed, unless one is given.
    const int clockAtStart = startFrameClock();
    elapsedMs = options.seed >= 0 ? options.seed : clockAtStart;
    seedRandom(static_cast<unsigned int>(elapsedMs));
    choosePictureFolders(options.dataFolder.empty() ? nullptr : options.dataFolder.c_str());
    chooseStartSettings(options.show);
    const Host host = options.root || options.windowId != 0 ? Host::givenWindow : Host::ownWindow;
    choosePictureShow(options.pictures, host, std::move(screensaverImages));
    if (host == Host::givenWindow)
        return runInGivenWindow(options);
    openWindow(&argc, argv, options.windowed, framePeriodUs(options.delayUs, Host::ownWindow));
    aimScreensaverImages(0);
    if (!initScene()) {
        std::fputs("App cannot initialize.\n", stderr);
        return kCannotStart;
    }
    glutMainLoop();
    return 0;
}
