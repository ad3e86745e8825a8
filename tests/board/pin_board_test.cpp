// The pin board: layout, wave, back plate, pin model and texture-coordinate generation, read
// back from GL feedback and GL state.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <set>
#include <vector>

#include "app/frame.h"
#include "app/reset.h"
#include "board/pin_board.h"
#include "images/texture_table.h"
#include "motion/oscillator_bank.h"
#include "state/frame_clock.h"
#include "state/settings.h"
#include "tests/support/gl_test.h"
#include "view/projection.h"

namespace {
struct Vertex {
    std::array<double, 3> at;  // object units
    float green;
    std::array<float, 4> texture;
};

// The vertices `draw` emits, points and polygons alike, in their order.
std::vector<Vertex> capture(const std::function<void()>& draw, double extent = 5) {
    const auto values = feedback(GL_3D_COLOR_TEXTURE, draw, extent);
    std::vector<Vertex> vertices;
    for (size_t at = 0; at < values.size();) {
        const float token = values[at++];
        int count = token == GL_POINT_TOKEN ? 1 : 2;
        if (token == GL_POLYGON_TOKEN)
            count = static_cast<int>(values[at++]);
        for (; count > 0; --count, at += 11)
            vertices.push_back({objectPoint(&values[at], extent),
                                values[at + 4],
                                {values[at + 7], values[at + 8], values[at + 9], values[at + 10]}});
    }
    return vertices;
}

// Swaps the pin model for one point at `offset`, so feedback yields one point per pin at the
// pin's place; the real list comes back on destruction.
struct PointPins {
    explicit PointPins(std::array<float, 3> offset = {}) {
        glNewList(list, GL_COMPILE);
        glBegin(GL_POINTS);
        glVertex3fv(offset.data());
        glEnd();
        glEndList();
        pinListId = static_cast<int>(list);
    }
    ~PointPins() {
        pinListId = real;
        glDeleteLists(list, 1);
    }
    int real = pinListId;
    GLuint list = glGenLists(1);
};

constexpr double kTolerance = 2e-5;

class PinBoard : public VaroTest {};

TEST_F(PinBoard, PinsStandInShiftedColumnsOnTheWaveBeforeADarkPlate) {
    phase[10] = 0.03;
    phase[11] = 0.1;
    const double kx = std::sin(10 * 0.03) * 0.5, ky = std::sin(10 * 0.1) * 0.5;
    brightness = 0.5f;
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    for (int t : {8, 20, 40}) {
        SCOPED_TRACE(t);
        settings.tesselation = t;
        PointPins points;
        const auto vertices = capture(drawPinBoard);
        const int pins = 2 * t * t;
        ASSERT_EQ(vertices.size(), pins + 6u);  // and the plate's two triangles
        const double s = 4.0 / t, w = 20.0 / t;
        for (int n = 0; n < pins; ++n) {
            const int i = n / t, j = n % t;
            const double expected[] = {-4 + i * s, -2 + j * s + (i % 2) * s / 2,
                                       std::sin(kx * i * w + ky * j * w) * 0.4 - 0.5};
            for (int k = 0; k < 3; ++k)
                ASSERT_NEAR(vertices[n].at[k], expected[k], kTolerance)
                    << i << "," << j << " " << k;
            ASSERT_EQ(vertices[n].green, 0.5f);
        }
        std::set<std::array<double, 3>> plate;
        for (auto v = vertices.begin() + pins; v != vertices.end(); ++v) {
            EXPECT_FLOAT_EQ(v->green, 0.05f);
            plate.insert({std::round(v->at[0] * 100) / 100, std::round(v->at[1] * 100) / 100,
                          std::round(v->at[2] * 100) / 100});
        }
        EXPECT_EQ(plate, (std::set<std::array<double, 3>>{
                             {-4.1, -2.1, 0}, {3.9, -2.1, 0}, {3.9, 2, 0}, {-4.1, 2, 0}}));
    }
}

// Every rebuild replaces the one pin list (and no other) with a shaft of radius 0.02 from z 0
// to 1, 10 slices round, under a head of radius 1.5 / T, 12 slices round, at z 1.
TEST_F(PinBoard, PinModelIsRebuiltWithAHeadOfOnePointFiveOverT) {
    const GLuint neighbour = glGenLists(1);  // someone else's list
    glNewList(neighbour, GL_COMPILE);
    glEndList();
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    for (int t : {8, 40, 20}) {
        SCOPED_TRACE(t);
        const auto previous = static_cast<GLuint>(pinListId);
        settings.tesselation = t;
        ASSERT_EQ(buildPinModel(), pinListId);
        EXPECT_TRUE(glIsList(neighbour));
        EXPECT_TRUE(static_cast<GLuint>(pinListId) == previous || !glIsList(previous));
        double head = 0, shaft = 0;
        std::set<long> headAngles, shaftAngles;
        for (const Vertex& v : capture([] { glCallList(static_cast<GLuint>(pinListId)); }, 2)) {
            const double r = std::hypot(v.at[0], v.at[1]), z = v.at[2];
            const long angle = std::lround(std::atan2(v.at[1], v.at[0]) * 1e3);
            if (r > 0.03) {
                head = std::max(head, r);
                headAngles.insert(angle);
                EXPECT_NEAR(z, 1, kTolerance);
            } else if (r > 1e-4) {  // not the head's centre
                shaft = std::max(shaft, r);
                shaftAngles.insert(angle);
                EXPECT_LT(std::min(std::fabs(z), std::fabs(z - 1)), kTolerance) << z;
            }
        }
        EXPECT_NEAR(head, 1.5 / t, kTolerance);
        EXPECT_NEAR(shaft, 0.02, kTolerance);
        EXPECT_EQ(headAngles.size(), 12u);
        EXPECT_EQ(shaftAngles.size(), 10u);
    }
    glDeleteLists(neighbour, 1);
}

// The coordinates generated for a point at (0.25, 0.5, 2) in the frame of the pin in column 0,
// row 1 of a flat board; coordinates not generated keep the current (0.9, 0.8, 0.7, 0.6).
TEST_F(PinBoard, GeneratesTextureCoordinatesByModeOnTheChosenPicture) {
    GLuint pictures[2];
    glGenTextures(2, pictures);
    for (GLuint picture : pictures) {  // complete textures: generation runs only for those
        const unsigned char white[4] = {255, 255, 255, 255};
        glBindTexture(GL_TEXTURE_2D, picture);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, white);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    }
    const GLuint saved[] = {textureIds[1], textureIds[2]};
    std::copy_n(pictures, 2, &textureIds[1]);
    phase[10] = phase[11] = 0;  // kx = ky = 0: every pin at z -0.5
    PointPins points({0.25f, 0.5f, 2.0f});
    const double eye[] = {-4 + 0.25, -2 + 0.2 + 0.5, -0.5 + 2};
    // A sphere map reflects the unit eye vector u about the normal (0, 0, 1).
    const double m = 2 * std::hypot(eye[0], eye[1], std::hypot(eye[0], eye[1], eye[2]) - eye[2]);
    const std::array<double, 4> expected[] = {
        {eye[0] / m + 0.5, eye[1] / m + 0.5, 0.7, 0.6},  // sphere map
        {0.25, 0.5, 0.7, 2},                             // object planes x, y and q from z
        {eye[0], eye[1], 0.7, 0.6},                      // GL's default eye planes
    };
    for (int mode = 0; mode < 3; ++mode) {
        SCOPED_TRACE(mode);
        settings.texGenMode = mode;
        settings.imageIndex = mode % 2;
        glNormal3f(0, 0, 1);
        glTexCoord4f(0.9f, 0.8f, 0.7f, 0.6f);
        const auto texture = capture(drawPinBoard).at(1).texture;
        for (int k = 0; k < 4; ++k)
            EXPECT_NEAR(texture[k], expected[mode][k], 1e-4) << k;
        for (GLenum off : {GL_TEXTURE_2D, GL_TEXTURE_GEN_S, GL_TEXTURE_GEN_T, GL_TEXTURE_GEN_R,
                           GL_TEXTURE_GEN_Q, GL_DEPTH_TEST})
            EXPECT_FALSE(glIsEnabled(off)) << std::hex << off;
        GLint bound = 0;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        EXPECT_EQ(static_cast<GLuint>(bound), pictures[mode % 2]);
    }
    std::copy_n(saved, 2, &textureIds[1]);
    glDeleteTextures(2, pictures);
}

// Without textures no generation is switched at all (S, T, R, Q stay on); with them only the
// object-linear mode switches the fourth coordinate's.
TEST_F(PinBoard, LeavesGenerationItDoesNotUseAsItWas) {
    struct Case {
        int texturesOn, mode;
        GLenum firstKept;  // generation from this one to GL_TEXTURE_GEN_Q
    };
    for (const Case& c : {Case{0, 1, GL_TEXTURE_GEN_S}, Case{1, 0, GL_TEXTURE_GEN_Q},
                          Case{1, 2, GL_TEXTURE_GEN_Q}}) {
        settings.texturesOn = c.texturesOn;
        settings.texGenMode = c.mode;
        for (GLenum g = c.firstKept; g <= GL_TEXTURE_GEN_Q; ++g)
            glEnable(g);
        drawBoard();
        EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
        for (GLenum g = c.firstKept; g <= GL_TEXTURE_GEN_Q; ++g) {
            EXPECT_TRUE(glIsEnabled(g)) << c.mode << " " << std::hex << g;
            glDisable(g);
        }
    }
}

// With the depth buffer cleared to the near plane a depth-tested board leaves no fragment.
TEST_F(PinBoard, DrawsDepthTestedAndLeavesTheDepthTestOff) {
    for (double clearDepth : {1.0, 0.0}) {
        glClearDepth(clearDepth);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        setupView();
        drawBoard();
        const auto rgb = readRgb(0, 0, kTestWindowWidth, kTestWindowHeight);
        const auto lit = std::count_if(rgb.begin(), rgb.end(), [](unsigned char c) { return c; });
        EXPECT_EQ(lit > 0, clearDepth == 1.0) << lit;
        EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    }
    glClearDepth(1.0);
}
}  // namespace
