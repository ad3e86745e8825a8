// The camera: automatic flight, pointer steering, arrow-key walking, the transform it applies
// and how the toolkit reports the pointer warp back.
#include "view/camera.h"

#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cmath>
#include <thread>

#include "app/frame.h"
#include "app/settings.h"
#include "motion/oscillator_bank.h"
#include "tests/support/gl_test.h"

namespace {
using Matrix = std::array<double, 16>;  // column-major, as GL keeps it

Matrix multiply(const Matrix& a, const Matrix& b) {
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

Matrix rotationX(double degrees) {
    double c = std::cos(degrees * M_PI / 180), s = std::sin(degrees * M_PI / 180);
    return {1, 0, 0, 0, 0, c, s, 0, 0, -s, c, 0, 0, 0, 0, 1};
}

Matrix rotationY(double degrees) {
    double c = std::cos(degrees * M_PI / 180), s = std::sin(degrees * M_PI / 180);
    return {c, 0, -s, 0, 0, 1, 0, 0, s, 0, c, 0, 0, 0, 0, 1};
}

double wave(double phaseValue, double frequency, double span, double low) {
    return (std::sin(frequency * phaseValue) * 0.5 + 0.5) * span + low;
}

struct CameraValues {
    double pitch, yaw, x, y, z;
};

CameraValues camera() {
    return {cameraPitch, cameraYaw, cameraX, cameraY, cameraPosZ};
}

void placeCamera(const CameraValues& c) {
    cameraPitch = c.pitch, cameraYaw = c.yaw, cameraX = c.x, cameraY = c.y, cameraPosZ = c.z;
}

void expectCamera(const CameraValues& expected) {
    EXPECT_DOUBLE_EQ(cameraPitch, expected.pitch);
    EXPECT_DOUBLE_EQ(cameraYaw, expected.yaw);
    EXPECT_DOUBLE_EQ(cameraX, expected.x);
    EXPECT_DOUBLE_EQ(cameraY, expected.y);
    EXPECT_DOUBLE_EQ(cameraPosZ, expected.z);
}

// The eye's look-at stands for whatever setupView left; the camera multiplies onto it.
const Matrix kEye = translation(0, 0, -3);

void updateFromEye() {
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixd(kEye.data());
    updateCamera();
}

// Pitch about x, then yaw about y, then the target moved to the origin.
void expectTransformOf(const CameraValues& c) {
    Matrix expected = multiply(multiply(multiply(kEye, rotationX(c.pitch)), rotationY(c.yaw)),
                               translation(-c.x, -c.y, -c.z));
    Matrix actual = currentMatrix(GL_MODELVIEW_MATRIX);
    for (int n = 0; n < 16; ++n)
        EXPECT_NEAR(actual[n], expected[n], 1e-5) << "element " << n;
}

class CameraTest : public VaroTest {};

TEST_F(CameraTest, AutomaticCameraFliesOnItsFiveOscillators) {
    phase[1] = 3.7, phase[2] = -12.5, phase[4] = 0.21, phase[5] = -0.4, phase[6] = 0.077;
    placeCamera({5, 5, 5, 5, 5});
    updateFromEye();
    CameraValues expected{wave(3.7, 0.1, 90, -70), wave(-12.5, 0.1, 60, -30),
                          wave(0.21, 10, 0.6, -0.3), wave(-0.4, 10, 0.6, -0.3),
                          wave(0.077, 10, 4, -1)};
    expectCamera(expected);
    expectTransformOf(expected);
}

TEST_F(CameraTest, CameraHoldsStillWhenPausedOrInAnUnknownModeButSteersWhilePaused) {
    struct ModeCase {
        int mode, paused;
        double yawTurn;  // degrees added this frame
    };
    const ModeCase cases[] = {{0, 1, 0}, {2, 0, 0}, {1, 1, 0.5}};
    for (const ModeCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << c.mode << " paused " << c.paused);
        settings.cameraMode = c.mode;
        paused = c.paused;
        phase[1] = phase[2] = phase[4] = phase[5] = phase[6] = 1.0;
        mouseDX = 5, mouseDY = 0, mouseMoved = 0;
        const CameraValues held{12, -7, 0.2, 0.1, -0.6};
        placeCamera(held);
        updateFromEye();
        CameraValues expected = held;
        expected.yaw += c.yawTurn;
        expectCamera(expected);
        expectTransformOf(expected);
    }
}

TEST_F(CameraTest, PointerOffsetsTurnTheManualCameraEveryFrameUntilTheNextReport) {
    settings.cameraMode = 1;
    frameStep = 0.05f;
    arrowKeys = 4;  // held: the walk comes only with a report
    onPointerMotion(460, 340);
    EXPECT_EQ(mouseMoved, 1);
    for (int frame = 1; frame <= 3; ++frame) {
        updateFromEye();
        EXPECT_EQ(mouseMoved, 0);
        EXPECT_DOUBLE_EQ(cameraYaw, frame * 1.0);
        EXPECT_DOUBLE_EQ(cameraPitch, frame * -1.0);
    }
    expectTransformOf(camera());
    // One walking step, in the reported frame only; yaw was 0 then, so straight toward -z.
    EXPECT_NEAR(cameraPosZ, -0.1, 1e-7);
    EXPECT_NEAR(cameraX, 0, 1e-12);

    onPointerMotion(450, 350);
    updateFromEye();
    updateFromEye();
    EXPECT_DOUBLE_EQ(cameraYaw, 3.0);
    EXPECT_DOUBLE_EQ(cameraPitch, -3.0);

    // Neither angle is bounded nor wrapped.
    onPointerMotion(1450, 2350);
    for (int frame = 0; frame < 5; ++frame)
        updateFromEye();
    EXPECT_NEAR(cameraYaw, 503.0, 1e-9);
    EXPECT_NEAR(cameraPitch, 997.0, 1e-9);
}

TEST_F(CameraTest, ArrowKeysWalkTheGroundAlongTheHeading) {
    struct Walk {
        double yaw;
        int keys;
        double dx, dz;
    };
    const double s30 = 0.05, c30 = 0.1 * std::sqrt(3.0) / 2;  // a 0.1 step at 30 degrees
    const Walk walks[] = {
        {0, 4, 0, -0.1},  {0, 8, 0, 0.1},    {0, 2, 0.1, 0},
        {0, 1, -0.1, 0},  {90, 4, 0.1, 0},   {90, 2, 0, 0.1},
        {180, 4, 0, 0.1}, {-90, 4, -0.1, 0}, {30, 4 | 2, s30 + c30, s30 - c30},
        {0, 1 | 2, 0, 0}, {37, 4 | 8, 0, 0}, {-45, 15, 0, 0},
    };
    for (const Walk& w : walks) {
        SCOPED_TRACE(testing::Message() << "yaw " << w.yaw << " keys " << w.keys);
        settings.cameraMode = 1;
        frameStep = 0.05f;  // two units a second: a 0.1 step
        arrowKeys = w.keys;
        mouseDX = mouseDY = 0, mouseMoved = 1;
        placeCamera({45, w.yaw, 1.0, 0.3, 2.0});
        updateFromEye();
        EXPECT_NEAR(cameraX, 1.0 + w.dx, 1e-6);
        EXPECT_NEAR(cameraPosZ, 2.0 + w.dz, 1e-6);
        EXPECT_EQ(cameraY, 0.3);  // the walk stays level whatever the pitch
        EXPECT_EQ(cameraPitch, 45);
        EXPECT_EQ(cameraYaw, w.yaw);
    }
}

TEST_F(CameraTest, OnlyTheLeftButtonRecordsThePointer) {
    struct Click {
        int button, state, x, y;
        int dx, dy, moved;
    };
    const Click clicks[] = {
        {GLUT_LEFT_BUTTON, GLUT_DOWN, 470, 330, 20, -20, 1},
        {GLUT_LEFT_BUTTON, GLUT_UP, 440, 361, -10, 11, 1},
        {GLUT_RIGHT_BUTTON, GLUT_DOWN, 470, 330, 7, 8, 0},
        {GLUT_MIDDLE_BUTTON, GLUT_UP, 470, 330, 7, 8, 0},
    };
    for (const Click& c : clicks) {
        SCOPED_TRACE(testing::Message() << "button " << c.button << " state " << c.state);
        mouseDX = 7, mouseDY = 8, mouseMoved = 0;
        onMouseButton(c.button, c.state, c.x, c.y);
        EXPECT_EQ(mouseDX, c.dx);
        EXPECT_EQ(mouseDY, c.dy);
        EXPECT_EQ(mouseMoved, c.moved);
    }
}

// The pointer callbacks as the program registers them, for the length of one test.
class PointerWarpTest : public VaroTest {
protected:
    void SetUp() override {
        VaroTest::SetUp();
        glutPassiveMotionFunc(onPointerMotion);
        glutMotionFunc(onPointerMotion);
        glutWarpPointer(kWarpX, kWarpY);  // the pointer inside the window, at home
        ASSERT_TRUE(waitForReport());
        do  // drain the reports of earlier warps
            mouseMoved = 0;
        while (waitForReport(100));
    }
    void TearDown() override {
        glutPassiveMotionFunc(nullptr);
        glutMotionFunc(nullptr);
        pumpEvents();
        VaroTest::TearDown();
    }

    // Pumps events until a pointer report arrives, or `ms` milliseconds pass.
    static bool waitForReport(int ms = 2000) {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (std::chrono::steady_clock::now() < deadline) {
            glutMainLoopEvent();
            if (mouseMoved)
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));  // the X server's turn
        }
        return false;
    }
};

// freeglut under X reports every warp back as a pointer motion to the warp centre, so a
// movement turns the manual camera for one frame and the arrow keys walk on every frame.
TEST_F(PointerWarpTest, TheWarpHomeComesBackAsAReportOfNoOffset) {
    settings.cameraMode = 1;
    frameStep = 0.05f;
    glutWarpPointer(460, 340);  // the user moves the pointer
    ASSERT_TRUE(waitForReport());
    EXPECT_EQ(mouseDX, 10);
    EXPECT_EQ(mouseDY, -10);

    updateFromEye();  // turns, and sends the pointer home
    EXPECT_EQ(mouseMoved, 0);
    ASSERT_TRUE(waitForReport());
    EXPECT_EQ(mouseDX, 0);
    EXPECT_EQ(mouseDY, 0);

    arrowKeys = 4;
    updateFromEye();  // no turn, but a step: the echo counts as a report
    EXPECT_DOUBLE_EQ(cameraYaw, 1.0);
    EXPECT_DOUBLE_EQ(cameraPitch, -1.0);
    EXPECT_LT(cameraPosZ, -0.05);
    EXPECT_TRUE(waitForReport());  // and it warps again, every frame

    // Without a report there is no warp, so nothing comes back; nor from the automatic camera.
    for (int mode : {1, 0}) {
        SCOPED_TRACE(testing::Message() << "mode " << mode);
        settings.cameraMode = mode;
        mouseMoved = 0;
        updateFromEye();
        EXPECT_FALSE(waitForReport(300));
    }
}
}  // namespace
