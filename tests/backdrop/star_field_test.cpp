// The star field: where the stars fall, their colours and draw order, and the two passes.
#include "backdrop/star_field.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "motion/random.h"
#include "tests/support/gl_test.h"

namespace {
struct Star {
    std::array<double, 3> at;
    std::array<double, 3> colour;  // red, green, blue
};

// The points `draw` emits, in object units of the box [-12, 12]^3 (room for the turned cube).
std::vector<Star> capturePoints(const std::function<void()>& draw) {
    const auto values = feedback(GL_3D_COLOR, draw, 12);
    std::vector<Star> stars;
    for (size_t at = 0; at + 8 <= values.size(); at += 8) {
        EXPECT_EQ(values[at], GL_POINT_TOKEN);
        stars.push_back(
            {objectPoint(&values[at + 1], 12), {values[at + 4], values[at + 5], values[at + 6]}});
    }
    return stars;
}

// The stars as the generator gives them for the program's extents (8, 5): candidates x, y, z
// until the shape accepts one, then the tint draw and the channels blue, green, red.
std::vector<Star> expectedStars(unsigned seed, int count, int shape) {
    seedRandom(seed);
    std::vector<Star> stars(static_cast<size_t>(count));
    for (Star& s : stars) {
        auto& p = s.at;
        for (bool accepted = false; !accepted;) {
            for (double& coordinate : p)
                coordinate = uniformRandom(16.0) - 8.0;
            const double d = std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]);
            const double edge = std::max({std::fabs(p[0]), std::fabs(p[1]), std::fabs(p[2])});
            accepted = shape == 1 ? edge >= 5.01 : d >= 5 && d <= 8 && (shape != 2 || p[1] >= 0);
        }
        const bool tinted = uniformRandom(1.0) < 0.1;
        for (int channel = 2; channel >= 0; --channel)
            s.colour[channel] =
                static_cast<float>(tinted ? 0.3 + uniformRandom(0.5) : 0.5 + uniformRandom(0.3));
    }
    return stars;
}

class StarFieldTest : public VaroTest {
protected:
    void TearDown() override {
        field.release();
        VaroTest::TearDown();
    }
    std::vector<Star> listed() {
        return capturePoints([this] { glCallList(static_cast<GLuint>(field.listId)); });
    }
    StarField field;
};

// Shape 1 is the cube less its centre cube, 2 the upper half of a spherical shell, 3 the shell.
TEST_F(StarFieldTest, StarsFollowTheGeneratorInDrawOrderForEachShape) {
    for (int shape : {1, 2, 3}) {
        SCOPED_TRACE(shape);
        const auto expected = expectedStars(4242, 300, shape);
        seedRandom(4242);
        field.build(300, 8.0f, 5.0f, shape);
        const auto stars = listed();
        ASSERT_EQ(stars.size(), expected.size());
        for (size_t n = 0; n < stars.size(); ++n) {
            for (int k = 0; k < 3; ++k) {
                ASSERT_NEAR(stars[n].at[k], expected[n].at[k], 1e-5) << n;
                ASSERT_NEAR(stars[n].colour[k], expected[n].colour[k], 1e-6) << n;
            }
        }
    }
}

TEST_F(StarFieldTest, DrawShowsTheStarsTwiceTheSecondTimeTurnedAndLeavesSizeTwo) {
    seedRandom(7);
    field.build(300, 8.0f, 5.0f, 1);
    const auto stars = listed();
    glBlendFunc(GL_ONE, GL_ZERO);
    const auto drawn = capturePoints([this] { field.draw(); });
    ASSERT_EQ(drawn.size(), 2 * stars.size());
    const double c = std::cos(120 * M_PI / 180), s = std::sin(120 * M_PI / 180);
    for (size_t n = 0; n < stars.size(); ++n) {
        const auto& p = stars[n].at;
        const std::array<double, 3> turned = {c * p[0] + s * p[2], p[1], -s * p[0] + c * p[2]};
        for (int k = 0; k < 3; ++k) {
            ASSERT_NEAR(drawn[n].at[k], p[k], 1e-5);
            ASSERT_NEAR(drawn[n + stars.size()].at[k], turned[k], 1e-5);
            ASSERT_EQ(drawn[n + stars.size()].colour[k], stars[n].colour[k]);
        }
    }
    float size = 0;
    glGetFloatv(GL_POINT_SIZE, &size);
    EXPECT_EQ(size, 2.0f);
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    int blend[2] = {};
    glGetIntegerv(GL_BLEND_SRC, &blend[0]);
    glGetIntegerv(GL_BLEND_DST, &blend[1]);
    EXPECT_EQ(blend[0], GL_SRC_ALPHA);
    EXPECT_EQ(blend[1], GL_ONE_MINUS_SRC_ALPHA);
}

// One star, drawn in pixels: one pixel in the first pass, two by two in the second, and
// nothing at all where the depth buffer holds the near plane.
TEST_F(StarFieldTest, FirstPassPointsAreOnePixelSecondPassTwoBothDepthTested) {
    seedRandom(3);
    field.build(1, 8.0f, 5.0f, 1);
    for (double clearDepth : {1.0, 0.0}) {
        glClearDepth(clearDepth);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glViewport(0, 0, kTestWindowWidth, kTestWindowHeight);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(-9, 9, -9, 9, -9, 9);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        field.draw();
        const auto rgb = readRgb(0, 0, kTestWindowWidth, kTestWindowHeight);
        int lit = 0;
        for (size_t at = 0; at < rgb.size(); at += 3)
            lit += rgb[at] || rgb[at + 1] || rgb[at + 2];
        EXPECT_EQ(lit, clearDepth == 1.0 ? 1 + 4 : 0);
    }
    glClearDepth(1.0);
}

TEST_F(StarFieldTest, RebuildReplacesTheListAndReleaseIsHarmlessTwice) {
    field.release();  // no list yet: nothing to do
    field.build(10, 8.0f, 5.0f, 1);
    const auto first = static_cast<GLuint>(field.listId);
    field.build(20, 8.0f, 5.0f, 1);
    const auto second = static_cast<GLuint>(field.listId);
    EXPECT_TRUE(second == first || !glIsList(first));
    EXPECT_EQ(listed().size(), 20u);
    field.release();
    field.release();
    EXPECT_EQ(field.listId, -1);
    EXPECT_FALSE(glIsList(second));
}

}  // namespace
