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
#include "app/settings.h"
#include "board/pin_board.h"
#include "images/texture_table.h"
#include "motion/oscillator_bank.h"
#include "tests/support/gl_test.h"
#include "view/projection.h"

namespace {
struct Vertex {
    std::array<double, 3> position;  // object coordinates
    std::array<float, 4> colour;
    std::array<float, 4> texture;  // s, t, r, q
};

struct Primitive {
    GLfloat token;
    std::vector<Vertex> vertices;
};

// Runs `draw` in feedback mode under identity transforms that map the box [-e, e]^3 onto a
// viewport of 100 pixels per unit, so each window coordinate converts back to an object
// coordinate (finely enough: feedback positions are not exact to a small fraction of a pixel).
template <class Draw>
std::vector<Primitive> capture(Draw draw, double e = 5.0) {
    constexpr double kScale = 100;  // pixels per unit
    static std::vector<GLfloat> buffer(1 << 20);
    glPushAttrib(GL_VIEWPORT_BIT | GL_TRANSFORM_BIT);
    glViewport(0, 0, static_cast<int>(2 * e * kScale), static_cast<int>(2 * e * kScale));
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(-e, e, -e, e, -e, e);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR_TEXTURE, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    const int used = glRenderMode(GL_RENDER);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glPopAttrib();
    EXPECT_GE(used, 0) << "feedback buffer overflow";

    std::vector<Primitive> primitives;
    auto readVertex = [&](int& at) {
        Vertex v;
        v.position = {buffer[at] / kScale - e, buffer[at + 1] / kScale - e,
                      e * (1 - 2.0 * buffer[at + 2])};
        for (int k = 0; k < 4; ++k) {
            v.colour[k] = buffer[at + 3 + k];
            v.texture[k] = buffer[at + 7 + k];
        }
        at += 11;
        return v;
    };
    for (int at = 0; at < used;) {
        Primitive p{buffer[at++], {}};
        int count = 1;
        if (p.token == GL_POLYGON_TOKEN)
            count = static_cast<int>(buffer[at++]);
        else if (p.token == GL_LINE_TOKEN || p.token == GL_LINE_RESET_TOKEN)
            count = 2;
        for (int k = 0; k < count; ++k)
            p.vertices.push_back(readVertex(at));
        primitives.push_back(p);
    }
    return primitives;
}

// Swaps the pin model for a list of one point at `offset`, so feedback yields one point per
// pin at the pin's place; the real list is put back on destruction.
class PointPins {
public:
    explicit PointPins(std::array<float, 3> offset = {0, 0, 0}) {
        glNewList(list_, GL_COMPILE);
        glBegin(GL_POINTS);
        glVertex3f(offset[0], offset[1], offset[2]);
        glEnd();
        glEndList();
        pinListId = static_cast<int>(list_);
    }
    ~PointPins() {
        pinListId = realList_;
        glDeleteLists(list_, 1);
    }

private:
    int realList_ = pinListId;
    GLuint list_ = glGenLists(1);
};

double waveNumber(double oscillatorPhase) {
    return std::sin(10 * oscillatorPhase) * 0.5;
}

struct Layout {
    int tesselation;
    int pins;
    double spacing;
    double headRadius;
    double waveFactor;
};
const Layout kLayouts[] = {
    {8, 128, 0.5, 0.1875, 2.5},
    {20, 800, 0.2, 0.075, 1.0},
    {40, 3200, 0.1, 0.0375, 0.5},
};
constexpr double kTolerance = 2e-5;

class PinBoard : public VaroTest {};

TEST_F(PinBoard, PinsStandInShiftedColumnsOnTheWave) {
    phase[10] = 0.03;
    phase[11] = 0.1;
    const double kx = waveNumber(0.03), ky = waveNumber(0.1);
    brightness = 0.75f;
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    for (const Layout& layout : kLayouts) {
        SCOPED_TRACE(layout.tesselation);
        settings.tesselation = layout.tesselation;
        PointPins points;
        auto primitives = capture(drawPinBoard);
        ASSERT_EQ(primitives.size(), static_cast<size_t>(layout.pins) + 2);  // + plate triangles
        const int rows = layout.tesselation;
        for (int n = 0; n < layout.pins; ++n) {
            const int i = n / rows, j = n % rows;
            const Primitive& pin = primitives[n];
            ASSERT_EQ(pin.token, GL_POINT_TOKEN);
            const double w = layout.waveFactor, s = layout.spacing;
            const double z = std::sin(kx * i * w + ky * j * w) * 0.4 - 0.5;
            const auto& at = pin.vertices[0].position;
            ASSERT_NEAR(at[0], -4 + i * s, kTolerance) << i << "," << j;
            ASSERT_NEAR(at[1], -2 + j * s + (i % 2) * s / 2, kTolerance) << i << "," << j;
            ASSERT_NEAR(at[2], z, kTolerance) << i << "," << j;
            ASSERT_FLOAT_EQ(pin.vertices[0].colour[0], 0.75f);
        }
        EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    }
}

TEST_F(PinBoard, BackPlateIsADarkGreyRectangleBehindThePins) {
    brightness = 0.5f;
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    PointPins points;
    auto primitives = capture(drawPinBoard);
    std::set<std::array<double, 2>> corners;
    for (const Primitive& p : primitives) {
        if (p.token != GL_POLYGON_TOKEN)
            continue;
        for (const Vertex& v : p.vertices) {
            EXPECT_NEAR(v.position[2], 0, kTolerance);
            EXPECT_NEAR(v.colour[0], 0.05, 1e-6);
            EXPECT_NEAR(v.colour[2], 0.05, 1e-6);
            corners.insert(
                {std::round(v.position[0] * 100) / 100, std::round(v.position[1] * 100) / 100});
        }
    }
    const std::set<std::array<double, 2>> expected = {
        {-4.1, -2.1}, {3.9, -2.1}, {3.9, 2.0}, {-4.1, 2.0}};
    EXPECT_EQ(corners, expected);
}

// The pin model itself: a shaft of radius 0.02 from z 0 to 1 under a disk of radius 1.5 / T.
TEST_F(PinBoard, PinModelHeadShrinksWithTheTesselation) {
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    for (const Layout& layout : kLayouts) {
        SCOPED_TRACE(layout.tesselation);
        settings.tesselation = layout.tesselation;
        EXPECT_EQ(buildPinModel(), pinListId);
        auto primitives = capture([] { glCallList(static_cast<GLuint>(pinListId)); }, 2.0);
        double headRadius = 0, shaftRadius = 0, lowZ = 9, highZ = -9;
        std::set<long> headAngles, shaftAngles;
        for (const Primitive& p : primitives) {
            for (const Vertex& v : p.vertices) {
                const double r = std::hypot(v.position[0], v.position[1]);
                const long angle = std::lround(std::atan2(v.position[1], v.position[0]) * 1e3);
                lowZ = std::min(lowZ, v.position[2]);
                highZ = std::max(highZ, v.position[2]);
                if (r > 0.03) {
                    headRadius = std::max(headRadius, r);
                    headAngles.insert(angle);
                    EXPECT_NEAR(v.position[2], 1, kTolerance);
                } else if (r > 1e-4) {
                    shaftRadius = std::max(shaftRadius, r);
                    shaftAngles.insert(angle);
                }
            }
        }
        EXPECT_NEAR(headRadius, layout.headRadius, kTolerance);
        EXPECT_NEAR(shaftRadius, 0.02, kTolerance);
        EXPECT_NEAR(lowZ, 0, kTolerance);
        EXPECT_NEAR(highZ, 1, kTolerance);
        EXPECT_EQ(headAngles.size(), 12u);
        EXPECT_GE(shaftAngles.size(), 10u);  // 10 slices; the head's centre-fan adds none
    }
}

std::set<GLuint> liveLists(GLuint upTo) {
    std::set<GLuint> live;
    for (GLuint id = 1; id <= upTo; ++id)
        if (glIsList(id))
            live.insert(id);
    return live;
}

TEST_F(PinBoard, RebuildsKeepExactlyOnePinList) {
    const GLuint neighbour = glGenLists(1);  // someone else's list must survive every rebuild
    glNewList(neighbour, GL_COMPILE);
    glEndList();
    const GLuint original = static_cast<GLuint>(pinListId);
    const std::set<GLuint> before = liveLists(neighbour + 20);
    for (int t : {8, 40, 40, 20}) {
        settings.tesselation = t;
        const int previous = pinListId;
        const int rebuilt = buildPinModel();
        ASSERT_EQ(rebuilt, pinListId);
        EXPECT_TRUE(glIsList(static_cast<GLuint>(rebuilt)));
        if (rebuilt != previous) {
            EXPECT_FALSE(glIsList(static_cast<GLuint>(previous)));
        }
    }
    std::set<GLuint> expected = before;
    expected.erase(original);
    expected.insert(static_cast<GLuint>(pinListId));
    EXPECT_EQ(liveLists(neighbour + 20), expected);

    // With no list recorded, a build deletes nothing.
    glDeleteLists(static_cast<GLuint>(pinListId), 1);
    pinListId = -1;
    buildPinModel();
    EXPECT_TRUE(glIsList(neighbour));
    EXPECT_TRUE(glIsList(static_cast<GLuint>(pinListId)));
    glDeleteLists(neighbour, 1);
}

// A sphere map reflects the eye vector about the normal (0, 0, 1).
std::array<double, 2> sphereMap(std::array<double, 3> eye) {
    const double length = std::sqrt(eye[0] * eye[0] + eye[1] * eye[1] + eye[2] * eye[2]);
    const std::array<double, 3> u = {eye[0] / length, eye[1] / length, eye[2] / length};
    const std::array<double, 3> r = {u[0], u[1], u[2] - 2 * u[2]};
    const double m = 2 * std::sqrt(r[0] * r[0] + r[1] * r[1] + (r[2] + 1) * (r[2] + 1));
    return {r[0] / m + 0.5, r[1] / m + 0.5};
}

std::array<float, 4> texGenPlane(GLenum coordinate, GLenum plane) {
    std::array<float, 4> values{};
    glGetTexGenfv(coordinate, plane, values.data());
    return values;
}

int texGenMode(GLenum coordinate) {
    int mode = 0;
    glGetTexGeniv(coordinate, GL_TEXTURE_GEN_MODE, &mode);
    return mode;
}

// Feedback gives the generated texture coordinates of a point at (0.25, 0.5, 2) in each pin's
// model frame; the untouched coordinates keep the current ones.
TEST_F(PinBoard, GeneratesTextureCoordinatesByMode) {
    struct Case {
        int mode;
        GLenum generation;
    };
    const Case cases[] = {{0, GL_SPHERE_MAP}, {1, GL_OBJECT_LINEAR}, {2, GL_EYE_LINEAR}};
    GLuint pictures[2];
    glGenTextures(2, pictures);
    for (GLuint picture : pictures) {  // complete textures: generation runs only for those
        const unsigned char texel[4] = {255, 255, 255, 255};
        glBindTexture(GL_TEXTURE_2D, picture);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, texel);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    }
    const std::array<GLuint, kTextureCapacity> savedIds = {textureIds[0], textureIds[1],
                                                           textureIds[2]};
    textureIds[1] = pictures[0];
    textureIds[2] = pictures[1];
    phase[10] = phase[11] = 0;  // kx = ky = 0: a flat board, every pin at z -0.5
    const std::array<float, 3> offset = {0.25f, 0.5f, 2.0f};
    PointPins points(offset);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        settings.texGenMode = c.mode;
        settings.imageIndex = c.mode % 2;
        glDisable(GL_TEXTURE_GEN_Q);
        glNormal3f(0, 0, 1);
        glTexCoord4f(0.9f, 0.8f, 0.7f, 0.6f);
        auto primitives = capture(drawPinBoard);
        const Vertex& pin = primitives.at(1).vertices.at(0);  // column 0, row 1
        const std::array<double, 3> eye = {-4 + offset[0], -2 + 0.2 + offset[1], -0.5 + offset[2]};
        std::array<double, 4> expected = {0, 0, 0.7, 0.6};
        if (c.mode == 0) {
            auto st = sphereMap(eye);
            expected = {st[0], st[1], 0.7, 0.6};
        } else if (c.mode == 1) {
            expected = {offset[0], offset[1], 0.7, offset[2]};
        } else {
            expected = {eye[0], eye[1], 0.7, 0.6};
        }
        for (int k = 0; k < 4; ++k)
            EXPECT_NEAR(pin.texture[k], expected[k], 1e-4) << k;

        EXPECT_EQ(texGenMode(GL_S), static_cast<int>(c.generation));
        EXPECT_EQ(texGenMode(GL_T), static_cast<int>(c.generation));
        for (GLenum off : {GL_TEXTURE_2D, GL_TEXTURE_GEN_S, GL_TEXTURE_GEN_T, GL_TEXTURE_GEN_Q,
                           GL_TEXTURE_GEN_R, GL_DEPTH_TEST})
            EXPECT_FALSE(glIsEnabled(off)) << std::hex << off;
        int bound = 0;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        EXPECT_EQ(static_cast<GLuint>(bound), textureIds[settings.imageIndex + 1]);
    }
    EXPECT_EQ(texGenMode(GL_Q), GL_OBJECT_LINEAR);
    using Plane = std::array<float, 4>;
    EXPECT_EQ(texGenPlane(GL_S, GL_OBJECT_PLANE), (Plane{1, 0, 0, 0}));
    EXPECT_EQ(texGenPlane(GL_T, GL_OBJECT_PLANE), (Plane{0, 1, 0, 0}));
    EXPECT_EQ(texGenPlane(GL_Q, GL_OBJECT_PLANE), (Plane{0, 0, 1, 0}));
    EXPECT_EQ(texGenPlane(GL_S, GL_EYE_PLANE), (Plane{1, 0, 0, 0}));
    EXPECT_EQ(texGenPlane(GL_T, GL_EYE_PLANE), (Plane{0, 1, 0, 0}));

    // Only the object-linear mode touches the fourth coordinate's generation.
    for (int mode : {0, 2}) {
        settings.texGenMode = mode;
        glEnable(GL_TEXTURE_GEN_Q);
        drawBoard();
        EXPECT_TRUE(glIsEnabled(GL_TEXTURE_GEN_Q)) << mode;
    }
    glDisable(GL_TEXTURE_GEN_Q);
    std::copy(savedIds.begin(), savedIds.end(), textureIds);
    glDeleteTextures(2, pictures);
}

TEST_F(PinBoard, UntexturedBoardLeavesTextureStateAlone) {
    settings.texturesOn = 0;
    settings.texGenMode = 1;
    GLuint mine = 0;
    glGenTextures(1, &mine);
    glBindTexture(GL_TEXTURE_2D, mine);
    glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_EYE_LINEAR);
    glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_EYE_LINEAR);
    glTexGeni(GL_Q, GL_TEXTURE_GEN_MODE, GL_EYE_LINEAR);
    const GLenum generation[] = {GL_TEXTURE_GEN_S, GL_TEXTURE_GEN_T, GL_TEXTURE_GEN_Q};
    for (GLenum g : generation)
        glEnable(g);
    drawBoard();
    for (GLenum g : generation)
        EXPECT_TRUE(glIsEnabled(g)) << std::hex << g;
    for (GLenum c : {GL_S, GL_T, GL_Q})
        EXPECT_EQ(texGenMode(c), GL_EYE_LINEAR);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    int bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), mine);
    for (GLenum g : generation)
        glDisable(g);
    glDeleteTextures(1, &mine);
}

// With the depth buffer cleared to the near plane, a depth-tested board leaves no fragment.
TEST_F(PinBoard, DrawsDepthTestedAndLeavesTheDepthTestOff) {
    auto litPixels = [](double clearDepth) {
        glClearDepth(clearDepth);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        setupView();
        drawBoard();
        auto rgb = readRgb(0, 0, kTestWindowWidth, kTestWindowHeight);
        return std::count_if(rgb.begin(), rgb.end(), [](unsigned char c) { return c != 0; });
    };
    EXPECT_GT(litPixels(1.0), 100000);
    EXPECT_EQ(litPixels(0.0), 0);
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    glClearDepth(1.0);
}
}  // namespace
