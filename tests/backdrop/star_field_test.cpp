// The star field as drawn: each shape's count, extent, hollow, colours, both passes and turns.
#include "backdrop/star_field.h"

#include <set>

#include "motion/random.h"
#include "tests/support/gl_test.h"

namespace {
using Star = std::array<double, 6>;  // x, y, z, red, green, blue

// The stars of both passes as fed back, in drawing order.
std::vector<Star> drawnStars(StarField& field) {
    const auto values = feedback(
        GL_3D_COLOR, [&field] { field.draw(); }, 12);
    std::vector<Star> stars;
    for (size_t n = 0; n + 8 <= values.size(); n += 8) {
        const auto p = objectPoint(&values[n + 1], 12);
        stars.push_back({p[0], p[1], p[2], values[n + 4], values[n + 5], values[n + 6]});
    }
    return stars;
}

// 2000 stars 5 to 8 out: cube less a hollow a hair over 5 (all six faces reached), shell or half.
// 1 in 10 tinted from 0.3, 78% under the others' 0.5 in a channel; all < 0.8; pass 2 turned 120 y.
void expectField(const std::vector<Star>& stars, int shape) {
    ASSERT_EQ(stars.size(), 4000u);
    std::set<int> faces;
    int below = 0, deep = 0;
    for (size_t n = 0; n < 2000; ++n) {
        const auto& [x, y, z, r, g, b] = stars[n];
        const double far = std::max({std::fabs(x), std::fabs(y), std::fabs(z)});
        ASSERT_TRUE(shape == kCubeShell ? far >= 5.01 && far <= 8
                                        : std::hypot(x, y, z) >= 5 && std::hypot(x, y, z) <= 8);
        ASSERT_TRUE(std::min({r, g, b}) >= 0.3 && std::max({r, g, b}) < 0.8) << n;
        below += y < 0, deep += std::min({r, g, b}) < 0.5;
        for (int k = 0; k < 3; ++k)
            if (std::fabs(stars[n][(k + 1) % 3]) < 5.01 && std::fabs(stars[n][(k + 2) % 3]) < 5.01)
                faces.insert(2 * k + (stars[n][k] > 0));
        const Star& t = stars[2000 + n];
        const double c = -0.5, s = std::sqrt(0.75);  // of 120 degrees
        ASSERT_LT(std::hypot(t[0] - c * x - s * z, t[1] - y, t[2] - c * z + s * x), 1e-4) << n;
    }
    EXPECT_EQ(below > 0, shape != kUpperHalfShell);
    EXPECT_TRUE(shape != kCubeShell || faces.size() == 6);
    EXPECT_NEAR(deep / 2000.0, 0.078, 0.02);
}

using StarFieldTest = VaroTest;

// Built again from the same seed, the same field; a rebuild replaces the list; the scene's field.
TEST_F(StarFieldTest, EachShapeFillsItsExtentAndTheSeedGivesTheSameFieldAgain) {
    StarField field;
    for (int shape : {kCubeShell, kUpperHalfShell, kSphericalShell}) {
        SCOPED_TRACE(shape);
        seedRandom(42);
        field.build(2000, 8.0f, 5.0f, shape);
        const auto stars = drawnStars(field);
        const int list = field.listId;
        expectField(stars, shape);
        seedRandom(42);
        field.build(2000, 8.0f, 5.0f, shape);
        EXPECT_TRUE(drawnStars(field) == stars &&
                    (list == field.listId || !glIsList(static_cast<GLuint>(list))));
    }
    const auto list = static_cast<GLuint>(field.listId);
    field.release(), field.release();  // harmless twice
    EXPECT_TRUE(field.listId == -1 && !glIsList(list));
    SCOPED_TRACE("the scene's");
    expectField(drawnStars(starField), kCubeShell);
}

// One star: a pixel in the first pass, two by two in the second, none behind the near plane.
TEST_F(StarFieldTest, PassesDrawOneAndTwoPixelPointsDepthTested) {
    StarField field;
    seedRandom(3);
    field.build(1, 8.0f, 5.0f, kCubeShell);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-9, 9, -9, 9, -9, 9);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    for (double clearDepth : {0.0, 1.0}) {
        glClearDepth(clearDepth);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        field.draw();
        EXPECT_EQ(litPixels(), clearDepth == 1.0 ? 1 + 4 : 0);
        EXPECT_EQ(currentMatrix(GL_MODELVIEW_MATRIX)[0], 1.0);  // the turn undone
    }
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    field.release();
}

// The window x, y where a frame draws the first pass of the stars, with these turn phases.
std::vector<std::array<float, 2>> frameStars(std::array<double, 3> phases) {
    phase[kStarTurnAboutY] = phases[0], phase[kStarTurnAboutX] = phases[1];
    phase[kStarTurnAboutZ] = phases[2];
    const auto values = feedback(GL_2D, [] { frameAt(20000); });
    std::vector<std::array<float, 2>> stars;
    for (size_t at = 0; at < values.size();) {
        if (values[at] == GL_POINT_TOKEN)
            stars.push_back({values[at + 1], values[at + 2]}), at += 3;
        else
            at += 2 + 2 * static_cast<size_t>(values[at + 1]);  // a polygon: count, vertices
    }
    return stars;
}

// Turns about y, then x, then z: a star on an axis stays under its own turn and any turn before it.
TEST_F(StarFieldTest, FramesTurnTheStarsAboutYThenXThenZ) {
    const int sceneList = starField.listId;
    starField.listId = static_cast<int>(glGenLists(1));
    glNewList(static_cast<GLuint>(starField.listId), GL_COMPILE);
    glBegin(GL_POINTS);
    glVertex3f(0, 1, 0), glVertex3f(1, 0, 0), glVertex3f(0, 0, 1);
    glEnd();
    glEndList();
    settings.cameraMode = kManualCamera, settings.tesselation = 8, paused = 1;  // all else still
    for (std::array<double, 3> turns : {std::array<double, 3>{50, 0, 0},
                                        {0, 50, 0},
                                        {0, 0, 50},
                                        {50, 50, 0},
                                        {0, 50, 50},
                                        {50, 50, 50}}) {
        SCOPED_TRACE(testing::PrintToString(turns));
        const int last = turns[2] ? 2 : turns[1] ? 1 : 0;
        auto before = turns;
        before[last] = 0;
        const auto turned = frameStars(turns), unturned = frameStars(before);
        for (int star = 0; star < 3; ++star)
            EXPECT_EQ(turned[star] == unturned[star], star == last) << star;
    }
    glDeleteLists(static_cast<GLuint>(starField.listId), 1);
    starField.listId = sceneList;
}
}  // namespace
