// The view: letterbox, perspective, polygon mode; the camera's flight, steering and pointer warp.
#include <GL/freeglut.h>
#include <GL/glu.h>

#include <chrono>
#include <tuple>

#include "app/toolkit_input.h"
#include "tests/support/gl_test.h"
#include "view/camera.h"
#include "view/projection.h"

namespace {
using View = VaroTest;

// GLU's perspective is the measure (at 0 degrees it loads nothing); unknown mode 3 keeps the last.
TEST_F(View, LetterboxesTheViewportNarrowsTheViewAndSetsThePolygonMode) {
    const struct {
        int width, height, level, fieldOfView;
        float cameraZ;
        int bottom, visible;  // the bottom bar and the rows between the bars
        double fovy, aspect;  // aspect 1 when no row is visible
        int polyMode, polygon;
    } cases[] = {
        // A top bar of 91 rows; then the size before the first reshape.
        {1000, 601, 3, 120, -0.5f, 90, 420, 105.5, 1000 / 420.0, kPolygonLines, GL_LINE},
        {0, 0, 0, 100, 3.0f, 0, 0, 100, 1.0, kPolygonPoints, GL_POINT},
        {300, 2, 6, 100, 3.0f, 0, 1, 71, 300.0, 3, GL_POINT},
        {300, 1, 6, 100, 3.0f, 0, 0, 71, 1.0, kFilledPolygons, GL_FILL},  // no row between the bars
        {1024, 768, 6, 1, -40.0f, 230, 307, -28, 1024 / 307.0, kPolygonLines, GL_LINE},
        {1024, 768, 6, 29, 3.0f, 230, 307, 0, 1024 / 307.0, kFilledPolygons, GL_FILL},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height << " at " << c.fovy);
        windowWidth = c.width, windowHeight = c.height, settings.letterbox = c.level;
        settings.fieldOfView = c.fieldOfView, settings.cameraZ = c.cameraZ,
        settings.polyMode = c.polyMode;
        glMatrixMode(GL_TEXTURE);
        setupView();                 // which leaves the model-view matrix current
        std::array<GLint, 7> got{};  // matrix mode, viewport, polygon modes
        glGetIntegerv(GL_MATRIX_MODE, &got[0]);
        glGetIntegerv(GL_VIEWPORT, &got[1]);
        glGetIntegerv(GL_POLYGON_MODE, &got[5]);
        EXPECT_EQ(got, (std::array<GLint, 7>{GL_MODELVIEW, 0, c.bottom, c.width, c.visible,
                                             c.polygon, c.polygon}));
        const std::array<double, 16> eye = {1, 0, 0, 0, 0, 1, 0,          0,
                                            0, 0, 1, 0, 0, 0, -c.cameraZ, 1};
        EXPECT_EQ(currentMatrix(GL_MODELVIEW_MATRIX), eye);
        const auto projection = currentMatrix(GL_PROJECTION_MATRIX);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(c.fovy, c.aspect, 0.02, c.cameraZ + 14.0);  // the far plane 14 past the eye
        EXPECT_EQ(currentMatrix(GL_PROJECTION_MATRIX), projection);
    }
    glMatrixMode(GL_MODELVIEW);
    windowWidth = kTestWindowWidth, windowHeight = kTestWindowHeight;
}

using Camera = VaroTest;

// Oscillators at their range ends; pointer 5 px right; at 30 degrees each arrow moves x and z.
TEST_F(Camera, FliesOnItsOscillatorsUnlessPausedOrSteeredByHandAndArrowKeysEvenWhenPaused) {
    phase[kCameraPitch] = 5 * M_PI, phase[kCameraYaw] = -5 * M_PI;
    phase[kCameraDriftX] = phase[kCameraDistance] = M_PI / 20, phase[kCameraDriftY] = -M_PI / 20;
    onToolkitMouseButton(GLUT_LEFT_BUTTON, GLUT_DOWN, kWarpX + 5, kWarpY);  // a press reports too
    const double s = 0.05, c = 0.1 * std::sqrt(3.0) / 2;  // a 0.1 step (two units a second)
    const std::tuple<int, int, int, std::array<double, 5>> cases[] = {
        // Mode, paused, arrow keys; pitch, yaw, x, y, z.
        {kAutomaticCamera, 0, 0, {20, -30, 0.3, -0.3, 3}},
        {kAutomaticCamera, 1, 0, {45, 30, 1, 0.3, 2}},
        {2, 0, 0, {45, 30, 1, 0.3, 2}},  // no such mode
        {kManualCamera, 1, kArrowLeft, {45, 30.5, 1 - c, 0.3, 2 - s}},
        {kManualCamera, 0, kArrowRight, {45, 30.5, 1 + c, 0.3, 2 + s}},
        {kManualCamera, 0, kArrowUp, {45, 30.5, 1 + s, 0.3, 2 - c}},
        {kManualCamera, 0, kArrowDown, {45, 30.5, 1 - s, 0.3, 2 + c}}};
    for (const auto& [mode, pause, keys, expected] : cases) {
        settings.cameraMode = mode, paused = pause, arrowKeys = keys, mouseMoved = 1;
        cameraPitch = 45, cameraYaw = 30, cameraX = 1, cameraY = 0.3, cameraPosZ = 2;
        frameStep = 0.05f;
        updateCamera();
        const double got[] = {cameraPitch, cameraYaw, cameraX, cameraY, cameraPosZ};
        for (int n = 0; n < 5; ++n)
            EXPECT_NEAR(got[n], expected[n], 1e-6) << "mode " << mode << " keys " << keys;
    }
}

// 0.1 degree a pixel each frame till the next report, unbounded; left button only; one walk.
TEST_F(Camera, PointerOffsetsTurnTheManualCameraEveryFrameUntilTheNextReport) {
    settings.cameraMode = kManualCamera, frameStep = 0.05f, arrowKeys = kArrowUp;
    onToolkitMouseButton(GLUT_LEFT_BUTTON, GLUT_UP, kWarpX + 1500, kWarpY - 2100);
    onToolkitMouseButton(GLUT_RIGHT_BUTTON, GLUT_DOWN, 0, 0);
    onToolkitMouseButton(GLUT_MIDDLE_BUTTON, GLUT_UP, 0, 0);
    for (int frame = 1; frame <= 3; ++frame) {
        glLoadIdentity();
        glTranslated(0, 0, -3);  // the eye's look-at
        updateCamera();
        EXPECT_EQ(std::make_tuple(mouseMoved, cameraYaw, cameraPitch),
                  std::make_tuple(0, frame * 150.0, frame * -210.0));
    }
    // Pitch -630 after yaw 450: (x, y, z) to (z, x, y); the target (0, 0, -0.1) to the origin.
    const std::array<double, 16> expected = {0, 1, 0, 0, 0, 0, 1, 0, 1, 0, 0, 0, 0.1, 0, -3, 1};
    for (int n = 0; n < 16; ++n)
        EXPECT_NEAR(currentMatrix(GL_MODELVIEW_MATRIX)[n], expected[n], 1e-5) << n;
}

std::vector<std::array<int, 2>> reports;  // pointer reports, in order of arrival

// Warps to a marker, pumps till its report: events keep order (the deadline guards a lost one).
std::vector<std::array<int, 2>> reportsUpTo(int x, int y) {
    glutWarpPointer(x, y);
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while ((reports.empty() || reports.back() != std::array{x, y}) &&
           std::chrono::steady_clock::now() < end)
        pumpEvents();
    return std::exchange(reports, {});
}

// A report turns the manual camera and warps home, reported as no offset; no report, no warp.
TEST_F(Camera, TheWarpHomeComesBackAsAReportOfNoOffset) {
    glutPassiveMotionFunc([](int x, int y) { reports.push_back({x, y}), onPointerMotion(x, y); });
    settings.cameraMode = kManualCamera;
    reportsUpTo(460, 340);  // the user moves the pointer
    updateCamera();
    EXPECT_EQ(reportsUpTo(470, 360), (decltype(reports){{kWarpX, kWarpY}, {470, 360}}));
    EXPECT_EQ(cameraYaw, 1.0);
    mouseMoved = 0;
    updateCamera();
    EXPECT_EQ(reportsUpTo(480, 370), (decltype(reports){{480, 370}}));
    glutPassiveMotionFunc(nullptr);
}
}  // namespace
