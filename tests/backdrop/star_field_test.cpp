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
    std::array<double, 3> position;
    std::array<double, 3> colour;  // red, green, blue
};

// Runs `draw` in feedback mode under identity transforms that map the box [-12, 12]^3 (room
// for the turned cube) onto a viewport of 100 pixels per unit, and returns the points with
// their object coordinates.
template <class Draw>
std::vector<Star> capturePoints(Draw draw) {
    constexpr double kExtent = 12, kScale = 100;
    static std::vector<GLfloat> buffer(1 << 16);
    glPushAttrib(GL_VIEWPORT_BIT | GL_TRANSFORM_BIT);
    glViewport(0, 0, static_cast<int>(2 * kExtent * kScale),
               static_cast<int>(2 * kExtent * kScale));
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(-kExtent, kExtent, -kExtent, kExtent, -kExtent, kExtent);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    const int used = glRenderMode(GL_RENDER);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glPopAttrib();
    EXPECT_GE(used, 0) << "feedback buffer overflow";
    std::vector<Star> stars;
    for (int at = 0; at + 8 <= used; at += 8) {
        EXPECT_EQ(buffer[at], GL_POINT_TOKEN);
        const GLfloat* v = &buffer[at + 1];
        stars.push_back(
            {{v[0] / kScale - kExtent, v[1] / kScale - kExtent, kExtent * (1 - 2.0 * v[2])},
             {v[3], v[4], v[5]}});
    }
    return stars;
}

std::vector<Star> listedStars(const StarField& field) {
    return capturePoints([&] { glCallList(static_cast<GLuint>(field.listId)); });
}

constexpr double kTolerance = 1e-5;
constexpr double kLargestCoordinate = 8 - 16 / 32768.0;

double distance(const Star& s) {
    return std::sqrt(s.position[0] * s.position[0] + s.position[1] * s.position[1] +
                     s.position[2] * s.position[2]);
}

class StarFieldTest : public VaroTest {
protected:
    void TearDown() override {
        field.release();
        VaroTest::TearDown();
    }
    StarField field;
};

TEST_F(StarFieldTest, FillsTheCubeOutsideTheCentreCube) {
    seedRandom(1234);
    field.build(2000, 8.0f, 5.0f, 1);
    const auto stars = listedStars(field);
    ASSERT_EQ(stars.size(), 2000u);
    double low = 0, high = 0;
    int tinted = 0;
    for (const Star& s : stars) {
        const auto& p = s.position;
        ASSERT_GE(std::max({std::fabs(p[0]), std::fabs(p[1]), std::fabs(p[2])}), 5.01 - kTolerance);
        low = std::min({low, p[0], p[1], p[2]});
        high = std::max({high, p[0], p[1], p[2]});
        const double least = *std::min_element(s.colour.begin(), s.colour.end());
        const double most = *std::max_element(s.colour.begin(), s.colour.end());
        ASSERT_GE(least, 0.3 - 1e-6);
        ASSERT_LT(most, 0.8);
        tinted += least < 0.5;  // only tinted stars go below 0.5, 78% of them do
    }
    EXPECT_GE(low, -8 - kTolerance);
    EXPECT_LT(low, -7.9);
    EXPECT_LE(high, kLargestCoordinate + kTolerance);
    EXPECT_GT(high, 7.9);
    // One star in ten is tinted, and a tinted star has a channel below 0.5 with chance
    // 1 - 0.6^3: about 157 of 2000.
    EXPECT_GT(tinted, 110);
    EXPECT_LT(tinted, 210);
}

TEST_F(StarFieldTest, ShellShapesKeepTheirDistanceAndHalf) {
    struct Case {
        int shape;
        bool upperHalfOnly;
    };
    for (const Case& c : {Case{2, true}, Case{3, false}, Case{0, false}}) {
        SCOPED_TRACE(c.shape);
        seedRandom(99);
        field.build(600, 8.0f, 5.0f, c.shape);
        const auto stars = listedStars(field);
        ASSERT_EQ(stars.size(), 600u);
        int below = 0;
        for (const Star& s : stars) {
            EXPECT_GE(distance(s), 5 - kTolerance);
            EXPECT_LE(distance(s), 8 + kTolerance);
            below += s.position[1] < 0;
        }
        if (c.upperHalfOnly)
            EXPECT_EQ(below, 0);
        else
            EXPECT_GT(below, 200);
    }
}

// The first stars again from the generator: candidates x, y, z until accepted, then the tint
// test and the channels blue, green, red.
std::vector<Star> expectedStars(unsigned seed, int count, int shape) {
    seedRandom(seed);
    std::vector<Star> stars;
    for (int n = 0; n < count; ++n) {
        Star s;
        auto& p = s.position;
        for (;;) {
            for (double& coordinate : p)
                coordinate = uniformRandom(16.0) - 8.0;
            const double d = std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]);
            const bool inCube =
                std::fabs(p[0]) < 5.01 && std::fabs(p[1]) < 5.01 && std::fabs(p[2]) < 5.01;
            if (shape == 1 ? !inCube : (d >= 5 && d <= 8))
                break;
        }
        const bool tinted = uniformRandom(1.0) < 0.1;
        const double low = tinted ? 0.3 : 0.5, spread = tinted ? 0.5 : 0.3;
        for (int channel = 2; channel >= 0; --channel)
            s.colour[channel] = low + uniformRandom(spread);
        stars.push_back(s);
    }
    return stars;
}

TEST_F(StarFieldTest, StarsFollowTheGeneratorInDrawOrder) {
    for (int shape : {1, 3}) {
        SCOPED_TRACE(shape);
        const auto expected = expectedStars(4242, 40, shape);
        seedRandom(4242);
        field.build(40, 8.0f, 5.0f, shape);
        const auto stars = listedStars(field);
        ASSERT_EQ(stars.size(), expected.size());
        int tinted = 0;
        for (size_t n = 0; n < stars.size(); ++n) {
            for (int k = 0; k < 3; ++k) {
                ASSERT_NEAR(stars[n].position[k], expected[n].position[k], kTolerance) << n;
                ASSERT_NEAR(stars[n].colour[k], expected[n].colour[k], 1e-6) << n;
            }
            tinted += expected[n].colour[0] < 0.5 || expected[n].colour[1] < 0.5 ||
                      expected[n].colour[2] < 0.5;
        }
        EXPECT_GT(tinted, 0);  // the order of a tinted star's draws is covered too
    }
}

TEST_F(StarFieldTest, DrawShowsTheStarsTwiceTheSecondTimeTurned) {
    seedRandom(7);
    field.build(300, 8.0f, 5.0f, 1);
    const auto stars = listedStars(field);
    glBlendFunc(GL_ONE, GL_ZERO);
    glPointSize(5.0f);
    const auto drawn = capturePoints([&] { field.draw(); });
    ASSERT_EQ(drawn.size(), 2 * stars.size());
    const double c = std::cos(120 * M_PI / 180), s = std::sin(120 * M_PI / 180);
    for (size_t n = 0; n < stars.size(); ++n) {
        const auto& p = stars[n].position;
        const std::array<double, 3> turned = {c * p[0] + s * p[2], p[1], -s * p[0] + c * p[2]};
        for (int k = 0; k < 3; ++k) {
            ASSERT_NEAR(drawn[n].position[k], p[k], kTolerance);
            ASSERT_NEAR(drawn[n + stars.size()].position[k], turned[k], kTolerance);
            ASSERT_EQ(drawn[n + stars.size()].colour[k], stars[n].colour[k]);
        }
    }
    float size = 0;
    glGetFloatv(GL_POINT_SIZE, &size);
    EXPECT_EQ(size, 2.0f);
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    int source = 0, destination = 0;
    glGetIntegerv(GL_BLEND_SRC, &source);
    glGetIntegerv(GL_BLEND_DST, &destination);
    EXPECT_EQ(source, GL_SRC_ALPHA);
    EXPECT_EQ(destination, GL_ONE_MINUS_SRC_ALPHA);
    std::array<float, 4> colour{};
    glGetFloatv(GL_CURRENT_COLOR, colour.data());
    for (int k = 0; k < 3; ++k)
        EXPECT_FLOAT_EQ(colour[k], stars.back().colour[k]);
}

// One star, drawn in pixels: one pixel in the first pass, two by two in the second, and
// nothing at all where the depth buffer holds the near plane.
TEST_F(StarFieldTest, FirstPassPointsAreOnePixelSecondPassTwo) {
    seedRandom(3);
    field.build(1, 8.0f, 5.0f, 1);
    auto litPixels = [&](double clearDepth) {
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
        return lit;
    };
    EXPECT_EQ(litPixels(1.0), 1 + 4);
    EXPECT_EQ(litPixels(0.0), 0);
    glClearDepth(1.0);
}

TEST_F(StarFieldTest, RebuildReplacesTheListAndReleaseIsHarmlessTwice) {
    field.release();  // no list yet: nothing to do
    EXPECT_EQ(field.listId, -1);
    field.build(10, 8.0f, 5.0f, 1);
    const GLuint first = static_cast<GLuint>(field.listId);
    field.build(20, 8.0f, 5.0f, 1);
    const GLuint second = static_cast<GLuint>(field.listId);
    EXPECT_TRUE(glIsList(second));
    if (second != first) {
        EXPECT_FALSE(glIsList(first));
    }
    EXPECT_EQ(listedStars(field).size(), 20u);
    field.release();
    EXPECT_EQ(field.listId, -1);
    EXPECT_FALSE(glIsList(second));
    field.release();
    EXPECT_EQ(field.listId, -1);
}

// Extents that no candidate can meet end the build with the stars placed so far: none.
TEST_F(StarFieldTest, ImpossibleExtentsBuildAnEmptyList) {
    struct Case {
        float outer, inner;
        int shape;
    };
    for (const Case& c : {Case{1, 5, 1}, Case{5, 8, 3}, Case{5, 8, 2}}) {
        SCOPED_TRACE(c.shape);
        field.build(10, c.outer, c.inner, c.shape);
        EXPECT_TRUE(glIsList(static_cast<GLuint>(field.listId)));
        EXPECT_TRUE(listedStars(field).empty());
    }
}
}  // namespace
