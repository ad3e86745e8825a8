// The 3-D view: polygon mode, the letterboxed viewport, the perspective and the eye, from the
// ordinary to the extremes (no visible rows, a field of view narrowed through zero).
#include <GL/gl.h>

#include <array>
#include <cmath>

#include "app/reset.h"
#include "app/window.h"
#include "state/settings.h"
#include "state/window_state.h"
#include "tests/support/gl_test.h"
#include "view/projection.h"

namespace {
using Matrix = std::array<double, 16>;

// The matrix gluPerspective multiplies on, column by column; at 0 degrees GLU loads nothing.
Matrix perspective(double fovy, double aspect, double zNear, double zFar) {
    if (fovy == 0)
        return {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    const double f = 1.0 / std::tan(fovy * M_PI / 360.0), depth = zNear - zFar;
    return {f / aspect, 0, 0, 0, 0, f, 0, 0, 0, 0, (zFar + zNear) / depth, -1,
            0,          0, 2 * zFar * zNear / depth, 0};
}

void expectMatrixNear(const Matrix& actual, const Matrix& expected, const char* what) {
    for (int n = 0; n < 16; ++n)
        EXPECT_NEAR(actual[n], expected[n], 1e-5 * std::fabs(expected[n]) + 1e-6)
            << what << " element " << n;
}

// setupView reads the window size from the globals; the test window's own size comes back
// at the end of each test.
class View : public VaroTest {
protected:
    void TearDown() override {
        windowWidth = kTestWindowWidth;
        windowHeight = kTestWindowHeight;
        settings.polyMode = 0;
        setupView();
        VaroTest::TearDown();
    }
};
}  // namespace

TEST_F(View, LetterboxNarrowsTheViewportAndTheFieldOfView) {
    const struct {
        int width, height, level, fieldOfView;
        float cameraZ;
        int bottom, visible;  // the bottom bar and the rows between the bars
        double aspect;        // width / visible, or 1 when no row is visible
    } cases[] = {
        {1024, 768, 0, 100, 3.0f, 0, 768, 1024 / 768.0},
        {1024, 768, 1, 100, 3.0f, 38, 691, 1024 / 691.0},  // top bar 39
        {1000, 601, 3, 120, -0.5f, 90, 420, 1000 / 420.0},
        {512, 512, 5, 100, 3.0f, 128, 256, 2.0},
        {1024, 768, 6, 100, 3.0f, 230, 307, 1024 / 307.0},  // top bar 231
        {0, 0, 0, 100, 3.0f, 0, 0, 1.0},                    // before the first reshape
        {300, 2, 6, 100, 3.0f, 0, 1, 300.0},                // a sliver of a window
        {300, 1, 6, 100, 3.0f, 0, 0, 1.0},                  // no row left between the bars
        {1024, 768, 6, 1, -40.0f, 230, 307, 1024 / 307.0},  // -28 degrees: turned over
        {1024, 768, 6, 29, 3.0f, 230, 307, 1024 / 307.0},   // exactly 0 degrees
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height << " level " << c.level);
        windowWidth = c.width;
        windowHeight = c.height;
        settings.letterbox = c.level;
        settings.fieldOfView = c.fieldOfView;
        settings.cameraZ = c.cameraZ;
        glMatrixMode(GL_TEXTURE);
        setupView();

        std::array<GLint, 4> viewport{};
        glGetIntegerv(GL_VIEWPORT, viewport.data());
        EXPECT_EQ(viewport, (std::array<GLint, 4>{0, c.bottom, c.width, c.visible}));
        const double fovy = c.fieldOfView - c.level / 6.0 * 29.0;
        expectMatrixNear(currentMatrix(GL_PROJECTION_MATRIX),
                         perspective(fovy, c.aspect, 0.02, c.cameraZ + 14.0), "projection");
        expectMatrixNear(currentMatrix(GL_MODELVIEW_MATRIX),
                         {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, -c.cameraZ, 1}, "look-at");
        GLint mode = 0;
        glGetIntegerv(GL_MATRIX_MODE, &mode);
        EXPECT_EQ(mode, GL_MODELVIEW);
    }
}

TEST_F(View, PolygonModeFollowsTheSettingAndIgnoresUnknownValues) {
    const struct {
        int polyMode;
        GLint preset, expected;
    } cases[] = {{0, GL_POINT, GL_FILL},
                 {1, GL_FILL, GL_LINE},
                 {2, GL_FILL, GL_POINT},
                 {3, GL_LINE, GL_LINE}};
    for (const auto& c : cases) {
        glPolygonMode(GL_FRONT_AND_BACK, static_cast<GLenum>(c.preset));
        settings.polyMode = c.polyMode;
        setupView();
        std::array<GLint, 2> modes{};
        glGetIntegerv(GL_POLYGON_MODE, modes.data());
        EXPECT_EQ(modes, (std::array<GLint, 2>{c.expected, c.expected})) << c.polyMode;
    }
}
