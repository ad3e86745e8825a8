// The camera: automatic flight, pointer steering, arrow-key walking, the transform it applies
// and how the toolkit reports the pointer warp back.
#include "view/camera.h"

#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cmath>
#include <thread>
#include <tuple>
#include <utility>

#include "app/frame.h"
#include "app/reset.h"
#include "motion/oscillator_bank.h"
#include "state/frame_clock.h"
#include "state/settings.h"
#include "tests/support/gl_test.h"

namespace {
using Matrix = std::array<double, 16>;  // column-major, as GL keeps it

Matrix operator*(const Matrix& a, const Matrix& b) {
    Matrix m{};
    for (int column = 0; column < 4; ++column)
        for (int row = 0; row < 4; ++row)
            for (int k = 0; k < 4; ++k)
                m[column * 4 + row] += a[k * 4 + row] * b[column * 4 + k];
    return m;
}

Matrix translation(double x, double y, double z) {
    return {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, x, y, z, 1};
}

// A turn of `degrees` about the x axis (x = true) or the y axis.
Matrix rotation(double degrees, bool aboutX) {
    double c = std::cos(degrees * M_PI / 180), s = std::sin(degrees * M_PI / 180);
    if (aboutX)
        return {1, 0, 0, 0, 0, c, s, 0, 0, -s, c, 0, 0, 0, 0, 1};
    return {c, 0, -s, 0, 0, 1, 0, 0, s, 0, c, 0, 0, 0, 0, 1};
}

double wave(double phaseValue, double frequency, double span, double low) {
    return (std::sin(frequency * phaseValue) * 0.5 + 0.5) * span + low;
}

struct CameraValues {
    double pitch, yaw, x, y, z;
};

void placeCamera(const CameraValues& c) {
    cameraPitch = c.pitch, cameraYaw = c.yaw, cameraX = c.x, cameraY = c.y, cameraPosZ = c.z;
}

// The eye's look-at stands for whatever setupView left; the camera multiplies onto it.
const Matrix kEye = translation(0, 0, -3);

void updateFromEye() {
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixd(kEye.data());
    updateCamera();
}

// The values, and the transform: pitch about x, then yaw about y, then the target moved to
// the origin.
void expectCamera(const CameraValues& c) {
    EXPECT_EQ(std::make_tuple(cameraPitch, cameraYaw, cameraX, cameraY, cameraPosZ),
              std::make_tuple(c.pitch, c.yaw, c.x, c.y, c.z));
    Matrix expected =
        kEye * rotation(c.pitch, true) * rotation(c.yaw, false) * translation(-c.x, -c.y, -c.z);
    Matrix actual = currentMatrix(GL_MODELVIEW_MATRIX);
    for (int n = 0; n < 16; ++n)
        EXPECT_NEAR(actual[n], expected[n], 1e-5) << "element " << n;
}

// Pumps events until a pointer report arrives, or `ms` milliseconds pass.
bool waitForReport(int ms = 2000) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < deadline) {
        glutMainLoopEvent();
        if (mouseMoved)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));  // the X server's turn
    }
    return false;
}

using CameraTest = VaroTest;

TEST_F(CameraTest, AutomaticCameraFliesOnItsOscillatorsUnlessPausedAndManualSteersWhilePaused) {
    const struct {
        int mode, paused;
        bool flies;
        double yawTurn;  // degrees added this frame by the pointer offset
    } cases[] = {{0, 0, true, 0}, {0, 1, false, 0}, {2, 0, false, 0}, {1, 1, false, 0.5}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << c.mode << " paused " << c.paused);
        settings.cameraMode = c.mode;
        paused = c.paused;
        phase[1] = 3.7, phase[2] = -12.5, phase[4] = 0.21, phase[5] = -0.4, phase[6] = 0.077;
        mouseDX = 5, mouseDY = 0, mouseMoved = 0;
        placeCamera({12, -7, 0.2, 0.1, -0.6});
        updateFromEye();
        expectCamera(c.flies ? CameraValues{wave(3.7, 0.1, 90, -70), wave(-12.5, 0.1, 60, -30),
                                            wave(0.21, 10, 0.6, -0.3), wave(-0.4, 10, 0.6, -0.3),
                                            wave(0.077, 10, 4, -1)}
                             : CameraValues{12, -7 + c.yawTurn, 0.2, 0.1, -0.6});
    }
}

// Each report turns by a tenth of a degree per pixel of offset in every frame until the next
// report, without bound or wrap; the arrow keys walk only in the frame after a report.
TEST_F(CameraTest, PointerOffsetsTurnTheManualCameraEveryFrameUntilTheNextReport) {
    settings.cameraMode = 1;
    frameStep = 0.05f;
    arrowKeys = 4;
    onPointerMotion(2450, -1650);
    EXPECT_EQ(mouseMoved, 1);
    for (int frame = 1; frame <= 3; ++frame) {
        updateFromEye();
        EXPECT_EQ(mouseMoved, 0);
        EXPECT_DOUBLE_EQ(cameraYaw, frame * 200.0);
        EXPECT_DOUBLE_EQ(cameraPitch, frame * -200.0);
    }
    EXPECT_NEAR(cameraPosZ, -0.1, 1e-7) << "one step, taken at yaw 0: straight toward -z";
    onPointerMotion(450, 350);
    updateFromEye();
    EXPECT_DOUBLE_EQ(cameraYaw, 600.0);
}

// At a 30-degree heading each key moves both coordinates, so every sign shows.
TEST_F(CameraTest, ArrowKeysWalkTheGroundAlongTheHeading) {
    const double s = 0.05, c = 0.1 * std::sqrt(3.0) / 2;  // a 0.1 step at 30 degrees
    const struct {
        int keys;
        double dx, dz;
    } walks[] = {{1, -c, -s}, {2, c, s}, {4, s, -c}, {8, -s, c}};
    for (const auto& w : walks) {
        SCOPED_TRACE(testing::Message() << "keys " << w.keys);
        settings.cameraMode = 1;
        frameStep = 0.05f;  // two units a second: a 0.1 step
        arrowKeys = w.keys;
        mouseDX = mouseDY = 0, mouseMoved = 1;
        placeCamera({45, 30, 1.0, 0.3, 2.0});
        updateFromEye();
        EXPECT_NEAR(cameraX, 1.0 + w.dx, 1e-6);
        EXPECT_NEAR(cameraPosZ, 2.0 + w.dz, 1e-6);
        EXPECT_EQ(cameraY, 0.3);  // the walk stays level whatever the pitch
        EXPECT_EQ(cameraPitch, 45);
    }
}

TEST_F(CameraTest, OnlyTheLeftButtonRecordsThePointerOnPressAndRelease) {
    for (int state : {GLUT_DOWN, GLUT_UP}) {
        mouseDX = mouseDY = mouseMoved = 0;
        onMouseButton(GLUT_LEFT_BUTTON, state, 470, 330);
        EXPECT_EQ(std::make_tuple(mouseDX, mouseDY, mouseMoved), std::make_tuple(20, -20, 1));
    }
    onMouseButton(GLUT_RIGHT_BUTTON, GLUT_DOWN, 0, 0);
    onMouseButton(GLUT_MIDDLE_BUTTON, GLUT_UP, 0, 0);
    EXPECT_EQ(std::make_pair(mouseDX, mouseDY), std::make_pair(20, -20));
}

// The pointer callbacks as the program registers them, for the length of one test, with the
// pointer at home inside the window and the reports of earlier warps drained.
class PointerWarpTest : public VaroTest {
protected:
    void SetUp() override {
        VaroTest::SetUp();
        glutPassiveMotionFunc(onPointerMotion);
        glutMotionFunc(onPointerMotion);
        glutWarpPointer(450, 350);
        ASSERT_TRUE(waitForReport());
        do
            mouseMoved = 0;
        while (waitForReport(100));
    }
    void TearDown() override {
        glutPassiveMotionFunc(nullptr);
        glutMotionFunc(nullptr);
        pumpEvents();
        VaroTest::TearDown();
    }
};

// freeglut under X reports every warp back as a pointer motion to the warp centre, so a
// movement turns the manual camera for one frame and the arrow keys walk on every frame.
TEST_F(PointerWarpTest, TheWarpHomeComesBackAsAReportOfNoOffset) {
    settings.cameraMode = 1;
    glutWarpPointer(460, 340);  // the user moves the pointer
    ASSERT_TRUE(waitForReport());
    updateFromEye();  // turns, and sends the pointer home
    ASSERT_TRUE(waitForReport());
    EXPECT_EQ(std::make_pair(mouseDX, mouseDY), std::make_pair(0, 0));
    EXPECT_DOUBLE_EQ(cameraYaw, 1.0);

    // Without a report there is no warp, so nothing comes back; nor from the automatic camera.
    for (int mode : {1, 0}) {
        settings.cameraMode = mode;
        mouseMoved = 0;
        updateFromEye();
        EXPECT_FALSE(waitForReport(300)) << "mode " << mode;
    }
}
}  // namespace
