// Varo: a pin-art board waving in front of a tumbling star field.
#include <GL/freeglut.h>

#include <cstdio>
#include <string>

#include "app/command_line.h"
#include "app/frame_pacer.h"
#include "app/given_window.h"
#include "app/reset.h"
#include "app/window.h"
#include "images/picture_folders.h"
#include "images/user_pictures.h"
#include "motion/random.h"
#include "state/frame_clock.h"

namespace {
constexpr int kBadCommandLine = 2;
constexpr int kCannotStart = 1;
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
    // The clock's raw reading counts from boot: a fine seed, unless one is given.
    const int clockAtStart = startFrameClock();
    elapsedMs = options.seedGiven ? static_cast<int>(options.seed) : clockAtStart;
    seedRandom(static_cast<unsigned int>(elapsedMs));
    choosePictureFolders(options.dataFolder.empty() ? nullptr : options.dataFolder.c_str());
    chooseUserPictures(options.pictures);
    chooseStartSettings(options.show);
    if (options.root || options.windowIdGiven)
        return runInGivenWindow(options, argc, argv);
    openWindow(&argc, argv, options.windowed, framePeriodUs(options.delayUs, Host::ownWindow));
    if (!initScene()) {
        std::fputs("App cannot initialize.\n", stderr);
        return kCannotStart;
    }
    glutMainLoop();
    return 0;
}
