// The board step: pin layout, wave, plate, pin model, texture generation, depth test, spotlight.
#include "board/pin_board.h"

#include <set>

#include "images/texture_table.h"
#include "tests/support/gl_test.h"
#include "view/projection.h"

namespace {
using Vertex = std::array<float, 11>;  // fed back: window x, y, z, r, g, b, a, s, t, r, q
constexpr int kGreen = 4, kTexture = 7;

// The vertices `draw` feeds back, points and filled polygons alike, in their order.
template <class Draw>
std::vector<Vertex> capture(Draw draw, double extent = 5) {
    const auto f = feedback(GL_3D_COLOR_TEXTURE, draw, extent);
    std::vector<Vertex> vertices;
    for (size_t at = 0; at < f.size();) {
        const bool polygon = f[at++] == GL_POLYGON_TOKEN;
        for (int count = polygon ? static_cast<int>(f[at++]) : 1; count > 0; --count, at += 11)
            std::copy_n(&f[at], 11, vertices.emplace_back().begin());
    }
    return vertices;
}

using PinBoard = VaroTest;

// Pins 4 / T apart (odd columns half up) on the wave, textured by mode; then the darker plate.
TEST_F(PinBoard, PinsStandInShiftedColumnsOnTheWaveTexturedByModeBeforeADarkPlate) {
    phase[kPinWaveAcross] = 0.03, phase[kPinWaveUp] = 0.1, brightness = 0.5f;
    const double kx = std::sin(0.3) * 0.5, ky = std::sin(1.0) * 0.5;
    glNewList(static_cast<GLuint>(pinListId), GL_COMPILE);  // for now, a pin is one point
    glBegin(GL_POINTS);
    glVertex3f(0.25f, 0.5f, 2.0f);
    glEnd();
    glEndList();
    for (auto [t, texturesOn, mode] : {std::array<int, 3>{8, 1, kSphereMap},
                                       {20, 1, kObjectLinear},
                                       {40, 1, kEyeLinear},
                                       {8, 0, kEyeLinear}}) {
        settings.tesselation = t, settings.texturesOn = texturesOn, settings.texGenMode = mode;
        settings.imageIndex = mode % 2;
        glNormal3f(0, 0, 1);
        glTexCoord4f(0.9f, 0.8f, 0.7f, 0.6f);
        const auto v = capture(drawPinBoard);
        GLint bound = 0;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        EXPECT_EQ(static_cast<GLuint>(bound), textureIds[mode % 2 + 1]);
        for (GLenum off :
             {GL_TEXTURE_2D, GL_TEXTURE_GEN_S, GL_TEXTURE_GEN_T, GL_TEXTURE_GEN_Q, GL_DEPTH_TEST})
            EXPECT_FALSE(glIsEnabled(off)) << off;
        const size_t pins = 2 * t * t;
        const double s = 4.0 / t, w = 20.0 / t;
        std::set<std::array<long, 3>> plate;  // corners, in hundredths
        for (size_t n = 0; n < v.size(); ++n) {
            ASSERT_FLOAT_EQ(v[n][kGreen], n < pins ? 0.5f : 0.05f) << n;
            const auto [x, y, z] = objectPoint(v[n].data(), 5);
            if (n >= pins) {
                plate.insert({std::lround(x * 100), std::lround(y * 100), std::lround(z * 100)});
                continue;
            }
            const int i = static_cast<int>(n) / t, j = static_cast<int>(n) % t;
            const double dz = z - 1.5 - std::sin(kx * i * w + ky * j * w) * 0.4;
            ASSERT_LT(std::hypot(x + 3.75 - i * s, y + 1.5 - (j + i % 2 * 0.5) * s, dz), 4e-5) << n;
            const double m = 2 * std::hypot(x, y, std::hypot(x, y, z) - z);
            const double textures[][4] = {{x / m + 0.5, y / m + 0.5, 0.7, 0.6},
                                          {0.25, 0.5, 0.7, 2},
                                          {x, y, 0.7, 0.6},
                                          {0.9, 0.8, 0.7, 0.6}};
            for (int k = 0; k < 4; ++k)
                ASSERT_NEAR(v[n][kTexture + k], textures[texturesOn ? mode : 3][k], 1e-4) << n;
        }
        EXPECT_EQ(plate, (std::set<std::array<long, 3>>{
                             {-410, -210, 0}, {390, -210, 0}, {390, 200, 0}, {-410, 200, 0}}));
    }
    buildPinModel();
}

// Shaft radius 0.02 from z 0 to 1, head radius 1.5 / T at z 1; each rebuild replaces one list.
TEST_F(PinBoard, EveryRebuildReplacesThePinListWithAHeadOfOnePointFiveOverT) {
    const GLuint neighbour = glGenLists(1);  // another list, empty
    for (int t : {8, 40, 20}) {
        const auto previous = static_cast<GLuint>(pinListId);
        settings.tesselation = t;
        const auto list = static_cast<GLuint>(buildPinModel());
        EXPECT_TRUE(list == static_cast<GLuint>(pinListId) && glIsList(list) &&
                    glIsList(neighbour) && (list == previous || !glIsList(previous)));
        const auto v = capture([list] { glCallList(list); }, 2);
        EXPECT_EQ(v.size(), 96u) << "10 shaft quads, 12 head triangles: 32 triangles";
        std::array<double, 2> radius{};  // shaft, head
        for (const Vertex& p : v) {
            const auto [x, y, z] = objectPoint(p.data(), 2);
            const double r = std::hypot(x, y);
            radius[r > 0.03] = std::max(radius[r > 0.03], r);
            EXPECT_LT(r > 0.03 ? std::fabs(z - 1) : std::min(std::fabs(z), std::fabs(z - 1)), 2e-5);
        }
        EXPECT_NEAR(radius[0], 0.02, 2e-5) << t;
        EXPECT_NEAR(radius[1], 1.5 / t, 2e-5) << t;
    }
    glDeleteLists(neighbour, 1);
}

// Spotlight by brightness on the eye's axis (off: kept); depth-tested; q generation left alone.
TEST_F(PinBoard, StepLoadsTheSpotlightAndDrawsDepthTestedLeavingGenerationItDoesNotUse) {
    // On, brightness, cameraZ, the level and z expected, and textures (the far plane cleared).
    const float cases[][6] = {
        {1, 1, 3, 1, 3, 1}, {1, 0.5f, 5.5f, 0.5f, 5.5f, 0}, {0, 1, 7, 0.5f, 5.5f, 1}};
    for (const auto& c : cases) {
        settings.spotlightOn = static_cast<int>(c[0]), brightness = c[1], settings.cameraZ = c[2];
        settings.texturesOn = static_cast<int>(c[5]);
        settings.texGenMode = c[5] ? kSphereMap : kObjectLinear;
        glEnable(GL_TEXTURE_GEN_Q);
        glClearDepth(c[5]);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        setupView();
        glRotatef(-35, 1, 0.5f, 0);  // a camera transform, which the light must ignore
        const auto before = currentMatrix(GL_MODELVIEW_MATRIX);
        drawBoard();
        EXPECT_EQ(litPixels() > 0, c[5] == 1);
        std::vector<float> got(31);  // model ambient, material specular, the light's, direction
        glGetFloatv(GL_LIGHT_MODEL_AMBIENT, &got[0]);
        glGetMaterialfv(GL_FRONT, GL_SPECULAR, &got[4]);
        glGetMaterialfv(GL_BACK, GL_SPECULAR, &got[8]);
        for (GLenum name : {GL_AMBIENT, GL_DIFFUSE, GL_SPECULAR, GL_POSITION, GL_SPOT_DIRECTION})
            glGetLightfv(GL_LIGHT0, name, &got[12 + 4 * (name - GL_AMBIENT)]);
        const float a = 0.5f * c[3], d = 0.75f * c[3], s = 0.99f * c[3], z = -c[4];
        EXPECT_EQ(got, (std::vector<float>{a, a, a, 1, s, s, s, 1, s, s, s, 1, a, a, a, 1,
                                           d, d, d, 1, s, s, s, 1, 0, 0, z, 1, 0, 0, 0}));
        EXPECT_EQ(currentMatrix(GL_MODELVIEW_MATRIX), before);
        EXPECT_TRUE(glIsEnabled(GL_LIGHT0) && !glIsEnabled(GL_LIGHTING));
        EXPECT_TRUE(glIsEnabled(GL_TEXTURE_GEN_Q));
    }
    glDisable(GL_TEXTURE_GEN_Q);
}
}  // namespace
