// Measurements shared by the reliability tests.
#include "tests/reliability/reliability_support.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <string>

#include "app/frame.h"
#include "app/window.h"
#include "motion/oscillator_bank.h"
#include "overlay/text_overlay.h"
#include "state/frame_clock.h"
#include "state/window_state.h"
#include "tests/support/gl_test.h"
#include "view/camera.h"
#include "view/projection.h"

int frameAt(int ms) {
    const int before = glErrorCount;
    elapsedMs = ms;
    renderFrame();
    // The program's swap waits for the frame to be drawn; without that wait the driver queues
    // frame after frame and its memory grows by megabytes per frame.
    glFinish();
    return glErrorCount - before;
}

int litPixels() {
    auto pixels = readRgb(0, 0, windowWidth, windowHeight);
    int lit = 0;
    for (size_t n = 0; n + 2 < pixels.size(); n += 3)
        lit += std::max({pixels[n], pixels[n + 1], pixels[n + 2]}) >= 20;
    return lit;
}

int displayListsUpTo(GLuint limit) {
    int count = 0;
    for (GLuint name = 1; name <= limit; ++name)
        count += glIsList(name) == GL_TRUE;
    return count;
}

int texturesUpTo(GLuint limit) {
    int count = 0;
    for (GLuint name = 1; name <= limit; ++name)
        count += glIsTexture(name) == GL_TRUE;
    return count;
}

long residentKiB() {
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == "VmRSS:") {
            long kib = 0;
            status >> kib;
            return kib;
        }
        status.ignore(1 << 20, '\n');
    }
    return -1;
}

bool phasesFinite() {
    for (int i = 0; i < oscillatorCount; ++i)
        if (!std::isfinite(phase[i]))
            return false;
    return true;
}

bool viewFinite() {
    setupView();
    for (GLenum which : {GL_PROJECTION_MATRIX, GL_MODELVIEW_MATRIX})
        for (double element : currentMatrix(which))
            if (!std::isfinite(element))
                return false;
    for (double value : {cameraPitch, cameraYaw, cameraX, cameraY, cameraPosZ})
        if (!std::isfinite(value))
            return false;
    return true;
}
