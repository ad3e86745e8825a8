// The star field: where the stars fall, their colours and draw order, and the two passes.
#include "backdrop/star_field.h"

#include <GL/gl.h>

#include <cmath>

#include "motion/random.h"
#include "tests/support/gl_test.h"

namespace {
using Star = std::array<double, 6>;  // x, y, z, red, green, blue

// 2000 stars (extents 8, 5) turned about y: x, y, z until accepted; the tint; blue, green, red.
std::vector<Star> expectedStars(unsigned seed, StarShape shape, double degrees) {
    seedRandom(seed);
    std::vector<Star> stars(2000);
    const double c = std::cos(degrees * M_PI / 180), s = std::sin(degrees * M_PI / 180);
    for (Star& p : stars) {
        for (bool accepted = false; !accepted;) {
            for (int k = 0; k < 3; ++k)
                p[k] = uniformRandom(16.0) - 8.0;
            const double d = std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]);
            const double box = std::fmax(std::abs(p[0]), std::fmax(std::abs(p[1]), std::abs(p[2])));
            accepted = shape == kCubeShell
                           ? box >= 5.01
                           : d >= 5 && d <= 8 && (shape != kUpperHalfShell || p[1] >= 0);
        }
        const bool tinted = uniformRandom(1.0) < 0.1;
        for (int k = 5; k >= 3; --k)
            p[k] = static_cast<float>(tinted ? 0.3 + uniformRandom(0.5) : 0.5 + uniformRandom(0.3));
        p = {c * p[0] + s * p[2], p[1], c * p[2] - s * p[0], p[3], p[4], p[5]};
    }
    return stars;
}

using StarFieldTest = VaroTest;

// A cube less its centre, the upper half shell, the shell; each twice, turned 120 degrees.
TEST_F(StarFieldTest, StarsFollowTheGeneratorForEachShapeAndShowAgainTurned) {
    StarField field;
    for (StarShape shape : {kCubeShell, kUpperHalfShell, kSphericalShell}) {
        auto expected = expectedStars(42, shape, 0);
        const auto turned = expectedStars(42, shape, 120);
        expected.insert(expected.end(), turned.begin(), turned.end());
        const auto before = static_cast<GLuint>(field.listId);
        seedRandom(42);
        field.build(2000, 8.0f, 5.0f, shape);
        EXPECT_TRUE(before == static_cast<GLuint>(field.listId) || !glIsList(before));
        const auto values = feedback(GL_3D_COLOR, std::bind(&StarField::draw, &field), 12);
        ASSERT_EQ(values.size(), 8 * expected.size());
        for (size_t n = 0; n < expected.size(); ++n) {
            const auto p = objectPoint(&values[8 * n + 1], 12);
            for (int k = 0; k < 3; ++k) {
                ASSERT_NEAR(p[k], expected[n][k], 1e-5) << shape << ": " << n;
                ASSERT_NEAR(values[8 * n + 4 + k], expected[n][3 + k], 1e-5) << shape << ": " << n;
            }
        }
    }
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    const auto list = static_cast<GLuint>(field.listId);
    field.release();
    field.release();  // harmless twice
    EXPECT_EQ(field.listId, -1);
    EXPECT_FALSE(glIsList(list));
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
    field.release();
}
}  // namespace
