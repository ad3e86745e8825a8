// Varo: a pin-art board waving in front of a tumbling star field.
#include <GL/freeglut.h>

#include <cstdio>
#include <string>
#include <utility>

#include "app/command_line.h"
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
constexpr int kGivenWindowDuration = 30;  // seconds a picture stays where no key can change it
}  // namespace

int main(int argc, char** argv) {
    StartOptions options;
    std::string error;
    switch (readCommandLine(argc, argv, options, error)) {
        case CommandLineRequest::showHelp: std::fputs(usageText().c_str(), stdout); return 0;
        case CommandLineRequest::showVersion: std::fputs(versionText(), stdout); return 0;
        case CommandLineRequest::bad:
            std::fprintf(stderr, "varo: %s (see varo --help)\n", error.c_str());
            return kBadCommandLine;
        case CommandLineRequest::run: break;
    }
    PictureSource screensaverImages = chooseScreensaverImages(options.pictures);  // Xlib first
    // Before glutInit the toolkit's clock counts from boot: a fine seed, unless one is given.
    elapsedMs = options.seedGiven ? static_cast<int>(options.seed) : glutGet(GLUT_ELAPSED_TIME);
    seedRandom(static_cast<unsigned int>(elapsedMs));
    choosePictureFolders(options.dataFolder.empty() ? nullptr : options.dataFolder.c_str());
    const bool givenWindow = options.root || options.windowIdGiven;
    PictureShowOptions show = options.pictures;
    if (show.durationSeconds < 0)
        show.durationSeconds = givenWindow ? kGivenWindowDuration : 0;  // the keys rule otherwise
    choosePictureShow(show, std::move(screensaverImages));
    chooseStartSettings(options.show);
    if (givenWindow)
        return runInGivenWindow(options, argc, argv);
    openWindow(&argc, argv, options.windowed, options.delayUs);
    aimScreensaverImages(0);
    if (!initScene()) {
        std::fputs("App cannot initialize.\n", stderr);
        return kCannotStart;
    }
    glutMainLoop();
    return 0;
}
