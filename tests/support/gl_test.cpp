// Test support: a real GLUT window with a GL context, and a fixture with fresh program state.
#include "tests/support/gl_test.h"

#include <GL/freeglut.h>
#include <GL/glx.h>
#include <poll.h>

#include <chrono>
#include <cstdlib>
#include <cstring>

#include "app/frame.h"
#include "app/reset.h"
#include "app/scene.h"
#include "app/window.h"
#include "input/keyboard.h"
#include "overlay/text_overlay.h"
#include "view/camera.h"

namespace {
// One real window per test program, with the program's reshape callback and start-up scene.
class GlEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        int argc = 1;
        char name[] = "varo-tests";
        char* argv[] = {name, nullptr};
        glutInit(&argc, argv);
        glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
        glutInitWindowSize(kTestWindowWidth, kTestWindowHeight);
        glutCreateWindow("Varo");
        glutSetOption(GLUT_ACTION_ON_WINDOW_CLOSE, GLUT_ACTION_CONTINUE_EXECUTION);
        glutReshapeFunc(onReshape);
        glutDisplayFunc([] {});
        ASSERT_TRUE(resizeWindow(kTestWindowWidth, kTestWindowHeight));
        initScene();
    }
};
}  // namespace

void pumpEvents() {
    glutMainLoopEvent();
}

bool resizeWindow(int width, int height) {
    glutReshapeWindow(width, height);
    Display* display = glXGetCurrentDisplay();
    pollfd server{ConnectionNumber(display), POLLIN, 0};
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (std::chrono::steady_clock::now() < end) {
        glutMainLoopEvent();
        if (windowWidth == width && windowHeight == height && glutGet(GLUT_WINDOW_WIDTH) == width &&
            glutGet(GLUT_WINDOW_HEIGHT) == height)
            return true;
        if (XEventsQueued(display, QueuedAfterFlush) == 0)
            poll(&server, 1, 100);  // until the X server sends an event
    }
    return false;
}

int frameAt(int ms) {
    const int before = glErrorCount;
    elapsedMs = ms;
    renderFrame();
    glFinish();  // as the program's swap does: the driver's queue stays short
    return glErrorCount - before;
}

std::vector<unsigned char> readRgb(int x, int y, int w, int h) {
    std::vector<unsigned char> pixels(static_cast<size_t>(w) * static_cast<size_t>(h) * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(x, y, w, h, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

int litPixels(int level) {
    const auto pixels = readRgb(0, 0, windowWidth, windowHeight);
    int lit = 0;
    for (size_t n = 0; n + 2 < pixels.size(); n += 3)
        lit += std::max({pixels[n], pixels[n + 1], pixels[n + 2]}) >= level;
    return lit;
}

std::array<double, 16> currentMatrix(unsigned int which) {
    std::array<double, 16> m{};
    glGetDoublev(which, m.data());
    return m;
}

std::vector<float> feedback(unsigned int type, const std::function<void()>& draw, double extent) {
    static std::vector<GLfloat> buffer(1 << 20);
    glPushAttrib(GL_VIEWPORT_BIT | GL_TRANSFORM_BIT);
    for (GLenum matrix : {GL_PROJECTION, GL_MODELVIEW}) {
        glMatrixMode(matrix), glPushMatrix();
        if (extent > 0)
            glLoadIdentity();
        if (extent > 0 && matrix == GL_PROJECTION)
            glOrtho(-extent, extent, -extent, extent, -extent, extent);
    }
    if (extent > 0)
        glViewport(0, 0, static_cast<int>(200 * extent), static_cast<int>(200 * extent));
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), type, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    const int used = glRenderMode(GL_RENDER);
    EXPECT_GE(used, 0) << "feedback buffer overflow";
    for (GLenum matrix : {GL_PROJECTION, GL_MODELVIEW})
        glMatrixMode(matrix), glPopMatrix();
    glPopAttrib();
    return {buffer.begin(), buffer.begin() + std::max(used, 0)};
}

void resetProgramState(int ms) {
    elapsedMs = ms;
    resetSettings();
    seedOscillators(oscillatorCount);
    rate[kFrameClock] = targetRate[kFrameClock] = phase[kFrameClock] = 0;
    drifting[kFrameClock] = 0;
    nowSeconds = static_cast<float>(ms * 0.001);
    lastFrameMs = ms, nextSecondMarkMs = msAfter(ms, 1000);
    frameStep = 0, framesThisSecond = 0, framesPerSecond = 30;
    forceClear = kNoClearRequested;
    helpShown = arrowKeys = mouseDX = mouseDY = mouseMoved = 0;
    letterboxPhase = numberCounter = 0;
    textOverlay.messageExpiry = 0;
    std::memset(textOverlay.messageText, 0, sizeof textOverlay.messageText);
    textOverlay.rememberMessage = 1, textOverlay.alpha = 1.0f;
    while (glGetError() != GL_NO_ERROR) {
    }
    glErrorCount = 0;
}

void VaroTest::SetUp() {
    if (windowWidth != kTestWindowWidth || windowHeight != kTestWindowHeight) {
        ASSERT_TRUE(resizeWindow(kTestWindowWidth, kTestWindowHeight));
    }
    resetProgramState();
}

void VaroTest::TearDown() {
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new GlEnvironment);
    static bool testsReturned = false;
    std::atexit([] {  // the quit fade ends the process: tests still to run would pass unseen
        if (!testsReturned)
            std::fputs("the process ended before its tests did\n", stderr), std::_Exit(1);
    });
    const int result = RUN_ALL_TESTS();
    testsReturned = true;
    return result;
}
