// The 3-D view: polygon mode, the letterboxed viewport, the perspective and the eye.
#include <GL/gl.h>

#include <array>
#include <cmath>

#include "app/settings.h"
#include "app/window.h"
#include "tests/support/gl_test.h"
#include "view/projection.h"

namespace {
constexpr double kPi = 3.14159265358979323846;

// The matrix gluPerspective multiplies on, column by column.
std::array<double, 16> perspective(double fovy, double aspect, double zNear, double zFar) {
    const double f = 1.0 / std::tan(fovy * kPi / 360.0);
    std::array<double, 16> m{};
    m[0] = f / aspect;
    m[5] = f;
    m[10] = (zFar + zNear) / (zNear - zFar);
    m[11] = -1;
    m[14] = 2 * zFar * zNear / (zNear - zFar);
    return m;
}

std::array<double, 16> translationAlongZ(double z) {
    std::array<double, 16> m{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, z, 1};
    return m;
}

void expectMatrixNear(const std::array<double, 16>& actual, const std::array<double, 16>& expected,
                      const char* what) {
    for (int n = 0; n < 16; ++n) {
        EXPECT_TRUE(std::isfinite(actual[n])) << what << " element " << n;
        EXPECT_NEAR(actual[n], expected[n], 1e-5 * std::fabs(expected[n]) + 1e-6)
            << what << " element " << n;
    }
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
    struct Case {
        int width, height, level, fieldOfView;
        float cameraZ;
        int bottom, visible;  // the bottom bar and the rows between the bars
        double aspect;        // width / visible, or 1 when no row is visible
    };
    const Case cases[] = {
        {1024, 768, 0, 100, 3.0f, 0, 768, 1024 / 768.0},
        {1024, 768, 1, 100, 3.0f, 38, 691, 1024 / 691.0},  // top bar 39
        {1024, 768, 2, 60, 1.5f, 76, 615, 1024 / 615.0},
        {1000, 601, 3, 120, -0.5f, 90, 420, 1000 / 420.0},
        {512, 512, 5, 100, 3.0f, 128, 256, 2.0},
        {1024, 2, 6, 100, 3.0f, 0, 1, 1024.0},
        {1024, 1, 6, 100, 3.0f, 0, 0, 1.0},                 // a sliver: no visible row
        {0, 0, 0, 100, 3.0f, 0, 0, 1.0},                    // before the first reshape
        {1024, 768, 6, 100, 3.0f, 230, 307, 1024 / 307.0},  // top bar 231
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height << " level " << c.level);
        windowWidth = c.width;
        windowHeight = c.height;
        settings.letterbox = c.level;
        settings.fieldOfView = c.fieldOfView;
        settings.cameraZ = c.cameraZ;
        glMatrixMode(GL_TEXTURE);
        setupView();
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

        GLint viewport[4];
        glGetIntegerv(GL_VIEWPORT, viewport);
        EXPECT_EQ(viewport[0], 0);
        EXPECT_EQ(viewport[1], c.bottom);
        EXPECT_EQ(viewport[2], c.width);
        EXPECT_EQ(viewport[3], c.visible);

        const double fovy = c.fieldOfView - c.level / 6.0 * 29.0;
        expectMatrixNear(currentMatrix(GL_PROJECTION_MATRIX),
                         perspective(fovy, c.aspect, 0.02, c.cameraZ + 14.0), "projection");
        expectMatrixNear(currentMatrix(GL_MODELVIEW_MATRIX), translationAlongZ(-c.cameraZ),
                         "look-at");
        GLint mode = 0;
        glGetIntegerv(GL_MATRIX_MODE, &mode);
        EXPECT_EQ(mode, GL_MODELVIEW);
    }
}

TEST_F(View, PolygonModeFollowsTheSettingAndIgnoresUnknownValues) {
    struct Case {
        int polyMode;
        GLenum preset, expected;
    };
    const Case cases[] = {
        {0, GL_POINT, GL_FILL}, {1, GL_FILL, GL_LINE},    {2, GL_FILL, GL_POINT},
        {3, GL_LINE, GL_LINE},  {-1, GL_POINT, GL_POINT},
    };
    for (const Case& c : cases) {
        glPolygonMode(GL_FRONT_AND_BACK, c.preset);
        settings.polyMode = c.polyMode;
        setupView();
        GLint modes[2] = {};
        glGetIntegerv(GL_POLYGON_MODE, modes);
        EXPECT_EQ(modes[0], static_cast<GLint>(c.expected)) << "front, polyMode " << c.polyMode;
        EXPECT_EQ(modes[1], static_cast<GLint>(c.expected)) << "back, polyMode " << c.polyMode;
    }
}
