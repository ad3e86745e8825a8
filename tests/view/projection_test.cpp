// The 3-D view from the settings, from the ordinary to the extremes: no visible rows, a field
// of view narrowed through zero, an unknown polygon mode.
#include <GL/gl.h>
#include <GL/glu.h>

#include <array>

#include "state/settings.h"
#include "state/window_state.h"
#include "tests/support/gl_test.h"
#include "view/projection.h"

namespace {
using View = VaroTest;

// GLU's own perspective is the measure; at 0 degrees it loads nothing. Each row changes the
// polygon mode the row before left, but for the unknown mode 3, which keeps it.
TEST_F(View, LetterboxesTheViewportNarrowsTheViewAndSetsThePolygonMode) {
    const struct {
        int width, height, level, fieldOfView;
        float cameraZ;
        int bottom, visible;  // the bottom bar and the rows between the bars
        double fovy, aspect;  // aspect 1 when no row is visible
        int polyMode, polygon;
    } cases[] = {
        {1000, 601, 3, 120, -0.5f, 90, 420, 105.5, 1000 / 420.0, 1, GL_LINE},  // top bar 91
        {0, 0, 0, 100, 3.0f, 0, 0, 100, 1.0, 2, GL_POINT},  // before the first reshape
        {300, 2, 6, 100, 3.0f, 0, 1, 71, 300.0, 3, GL_POINT},
        {300, 1, 6, 100, 3.0f, 0, 0, 71, 1.0, 0, GL_FILL},  // no row between the bars
        {1024, 768, 6, 1, -40.0f, 230, 307, -28, 1024 / 307.0, 1, GL_LINE},
        {1024, 768, 6, 29, 3.0f, 230, 307, 0, 1024 / 307.0, 0, GL_FILL},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height << " at " << c.fovy);
        windowWidth = c.width, windowHeight = c.height, settings.letterbox = c.level;
        settings.fieldOfView = c.fieldOfView, settings.cameraZ = c.cameraZ;
        settings.polyMode = c.polyMode;
        glMatrixMode(GL_TEXTURE);
        setupView();
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
}  // namespace
