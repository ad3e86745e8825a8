// Bitmap-font text: glyph placement and advance, atlas cells, the state left behind, and the
// message, frame-rate and GL-error lines.
#include "overlay/text_overlay.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/frame.h"
#include "app/window.h"
#include "tests/overlay/glyph_capture.h"
#include "tests/support/gl_test.h"

namespace {
// Without the font atlas each glyph is a solid block of the text colour: exact to the pixel.
class TextOverlayTest : public VaroTest {
protected:
    void SetUp() override {
        VaroTest::SetUp();
        textOverlay.fontTexture = 0;
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
    void TearDown() override {
        textOverlay.fontTexture = font_;
        VaroTest::TearDown();
    }

private:
    GLuint font_ = textOverlay.fontTexture;
};

// y is measured from the top edge to the glyphs' bottom; a glyph is size/2 wide, size high,
// and fills in every polygon mode and whatever viewport the scene left.
TEST_F(TextOverlayTest, GlyphCoversItsCellInWindowPixels) {
    struct Case {
        short x, y;
        float size;
        LitArea expected;
    };
    const Case cases[] = {
        {10, 25, 20, {200, 10, 19, 743, 762}},
        {100, 400, 30, {450, 100, 114, 368, 397}},
        {0, 768, 18, {162, 0, 8, 0, 17}},
    };
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        glClear(GL_COLOR_BUFFER_BIT);
        glViewport(0, 0, 100, 100);
        textOverlay.drawText("A", c.x, c.y, c.size);
        const LitArea area = litArea();
        EXPECT_EQ(area.count, c.expected.count);
        EXPECT_EQ(area.left, c.expected.left);
        EXPECT_EQ(area.right, c.expected.right);
        EXPECT_EQ(area.bottom, c.expected.bottom);
        EXPECT_EQ(area.top, c.expected.top);
    }
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
}

// The pen moves by 0.45 x size, truncated toward zero at every character: 8 at size 18,
// 13 at 30, 9 at 20, and from a negative pen at size 30, -20 to -6.
TEST_F(TextOverlayTest, AdvanceDropsTheFractionAtEveryCharacter) {
    struct Case {
        const char* text;
        short x;
        float size;
        std::vector<std::pair<int, int>> runs;
    };
    const Case cases[] = {
        {"A         A", 10, 18, {{10, 18}, {90, 98}}},
        {"A A", 10, 30, {{10, 24}, {36, 50}}},
        {"A A", -20, 30, {{7, 21}}},
        {" A", 10, 20, {{19, 28}}},
        {"   ", 10, 20, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        glClear(GL_COLOR_BUFFER_BIT);
        textOverlay.drawText(c.text, c.x, 100, c.size);
        EXPECT_EQ(litRuns(kTestWindowHeight - 100 + 1), c.runs);
    }
}

// Cell n of the atlas shows character 32 + n; bytes below 32 and above 159 wrap around the
// eight rows (texture coordinates repeat), and only the space is skipped.
TEST_F(TextOverlayTest, EachByteSamplesItsAtlasCell) {
    struct Case {
        unsigned char code;
        int column, row;
    };
    const Case cases[] = {{'!', 1, 0},   {'A', 1, 2}, {'~', 14, 5},
                          {'\n', 10, 6}, {31, 15, 7}, {200, 8, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.code));
        const char text[] = {static_cast<char>(c.code), 0};
        const auto glyphs = captureGlyphs([&] { textOverlay.drawText(text, 40, 60, 20); });
        ASSERT_EQ(glyphs.size(), 1u);
        const Glyph& g = glyphs[0];
        EXPECT_EQ(g.left, 40);
        EXPECT_EQ(g.right, 50);
        EXPECT_EQ(g.bottom, kTestWindowHeight - 60);
        EXPECT_EQ(g.top, kTestWindowHeight - 40);
        EXPECT_NEAR(g.u0, c.column / 16.0 + 0.01, 1e-6);
        EXPECT_NEAR(g.u1 - g.u0, 0.0625, 1e-6);
        EXPECT_NEAR(std::fmod(g.v0 + 4, 1.0), std::fmod((7 - c.row) / 8.0 - 0.01 + 1, 1.0), 1e-6);
        EXPECT_NEAR(g.v1 - g.v0, 0.125, 1e-6);
    }
}

TEST_F(TextOverlayTest, LeavesTextStateOffAndTheSceneStateRestored) {
    GLuint font = 0;
    glGenTextures(1, &font);
    textOverlay.fontTexture = font;
    textOverlay.alpha = 0.5f;
    for (GLenum mode : {GL_FILL, GL_LINE, GL_POINT}) {
        SCOPED_TRACE(mode);
        glPolygonMode(GL_FRONT_AND_BACK, mode);
        glViewport(5, 6, 300, 200);
        glEnable(GL_BLEND);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glTranslatef(1, 2, 3);
        const auto modelView = currentMatrix(GL_MODELVIEW_MATRIX);
        textOverlay.drawText("Hi", 10, 25, 20);

        for (GLenum off : {GL_BLEND, GL_TEXTURE_2D, GL_ALPHA_TEST, GL_DEPTH_TEST})
            EXPECT_FALSE(glIsEnabled(off)) << std::hex << off;
        GLboolean depthMask = GL_FALSE;
        glGetBooleanv(GL_DEPTH_WRITEMASK, &depthMask);
        EXPECT_TRUE(depthMask);
        std::array<int, 2> polygonMode{};
        glGetIntegerv(GL_POLYGON_MODE, polygonMode.data());
        EXPECT_EQ(polygonMode,
                  (std::array<int, 2>{static_cast<int>(mode), static_cast<int>(mode)}));
        std::array<int, 4> viewport{};
        glGetIntegerv(GL_VIEWPORT, viewport.data());
        EXPECT_EQ(viewport, (std::array<int, 4>{5, 6, 300, 200}));
        int matrixMode = 0, bound = 0;
        glGetIntegerv(GL_MATRIX_MODE, &matrixMode);
        EXPECT_EQ(matrixMode, GL_MODELVIEW);
        EXPECT_EQ(currentMatrix(GL_MODELVIEW_MATRIX), modelView);
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        EXPECT_EQ(static_cast<GLuint>(bound), font);
        std::array<float, 4> colour{};
        glGetFloatv(GL_CURRENT_COLOR, colour.data());
        EXPECT_EQ(colour, (std::array<float, 4>{1, 1, 1, 0.5f}));
        // The window's orthographic projection stays: x 0..1024 and y 0..768 onto -1..1.
        const std::array<double, 16> ortho = {2.0 / kTestWindowWidth,
                                              0,
                                              0,
                                              0,
                                              0,
                                              2.0 / kTestWindowHeight,
                                              0,
                                              0,
                                              0,
                                              0,
                                              -1,
                                              0,
                                              -1,
                                              -1,
                                              0,
                                              1};
        const auto projection = currentMatrix(GL_PROJECTION_MATRIX);
        for (int k = 0; k < 16; ++k)
            EXPECT_NEAR(projection[k], ortho[k], 1e-9) << k;
    }
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glViewport(0, 0, kTestWindowWidth, kTestWindowHeight);
    glDeleteTextures(1, &font);
}

TEST_F(TextOverlayTest, DrawnTextBecomesTheMessageLineOnlyWhenRemembered) {
    textOverlay.drawText("first", 12, 34, 20);
    EXPECT_STREQ(textOverlay.messageText, "first");
    EXPECT_EQ(textOverlay.lineX, 12);
    EXPECT_EQ(textOverlay.lineY, 34);

    textOverlay.rememberMessage = 0;
    textOverlay.drawText("second", 56, 78, 20);
    EXPECT_STREQ(textOverlay.messageText, "first");
    EXPECT_EQ(textOverlay.lineX, 12);
    EXPECT_EQ(textOverlay.lineY, 34);

    textOverlay.rememberMessage = 1;
    textOverlay.drawText("    ", 1, 2, 20);  // spaces draw nothing but are remembered
    EXPECT_STREQ(textOverlay.messageText, "    ");

    // Longer text is cut to the 79 bytes that fit before the terminator.
    const std::string longText(120, 'x');
    textOverlay.drawText(longText.c_str(), 0, 700, 20);
    EXPECT_EQ(std::string(textOverlay.messageText), longText.substr(0, 79));
}

TEST_F(TextOverlayTest, MessageShowsForThreeSecondsStrictly) {
    elapsedMs = 1000;
    textOverlay.showMessage("Hello");
    EXPECT_DOUBLE_EQ(textOverlay.messageExpiry, 4.0);
    EXPECT_EQ(litArea().left, 10);  // drawn at once

    struct Step {
        int ms;
        bool drawn;
        double expiryAfter;
    };
    for (const Step& step : {Step{3999, true, 4.0}, Step{4000, false, 0.0}}) {
        SCOPED_TRACE(step.ms);
        glClear(GL_COLOR_BUFFER_BIT);
        elapsedMs = step.ms;
        textOverlay.drawMessageLine();
        const LitArea area = litArea();
        EXPECT_EQ(area.count > 0, step.drawn);
        if (step.drawn) {
            EXPECT_EQ(area.left, 10);
            EXPECT_EQ(area.right, 10 + 4 * 9 + 9);
            EXPECT_EQ(area.bottom, kTestWindowHeight - 25);
        }
        EXPECT_EQ(textOverlay.messageExpiry, step.expiryAfter);
    }
}

TEST_F(TextOverlayTest, PostedMessagesFormatOnlyTheirOwnConversion) {
    struct Case {
        std::function<void()> post;
        const char* shown;
    };
    const Case cases[] = {
        {[] { textOverlay.showMessage("100%s"); }, "100%s"},
        {[] { textOverlay.showMessage("50%% %d"); }, "50%% %d"},
        {[] { textOverlay.showMessageInt("Letterbox: %d", 3); }, "Letterbox: 3"},
        {[] { textOverlay.showMessageFloat("FOV: %3.0f Degrees", 100.0); }, "FOV: 100 Degrees"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shown);
        const auto glyphs = captureGlyphs(c.post);
        EXPECT_EQ(decodeLine(glyphs, 10, 9), c.shown);
        EXPECT_STREQ(textOverlay.messageText, c.shown);
        EXPECT_EQ(textOverlay.lineX, 10);
        EXPECT_EQ(textOverlay.lineY, 25);
    }
}

TEST_F(TextOverlayTest, FrameRateLineSitsAtTheRightAndIsNotKept) {
    textOverlay.showMessage("keep");
    textOverlay.rememberMessage = 0;
    const auto glyphs = captureGlyphs([] { textOverlay.drawFrameRate(7); });
    EXPECT_EQ(decodeLine(glyphs, kTestWindowWidth - 120, 9), "  7 Frame/Sec");
    ASSERT_FALSE(glyphs.empty());
    EXPECT_EQ(glyphs.back().right, kTestWindowWidth - 2);
    EXPECT_EQ(glyphs.back().bottom, kTestWindowHeight - 25);
    EXPECT_STREQ(textOverlay.messageText, "keep");
    EXPECT_EQ(textOverlay.lineX, 10);
    EXPECT_EQ(textOverlay.rememberMessage, 1);
}

// An error read at the end of a frame is counted, drawn at 0.4 of the window width, and kept
// as the message line for three seconds so that it can be read.
TEST_F(TextOverlayTest, GlErrorIsCountedAndShownAsTheMessageLine) {
    elapsedMs = 2000;
    textOverlay.showMessage("keep");
    const int count = glErrorCount;
    glEnable(0x1234);  // not a capability: GL_INVALID_ENUM
    const std::string line = "OpenGL Error: invalid enumerant";
    const int x = static_cast<int>(kTestWindowWidth * 0.4);
    const auto glyphs = captureGlyphs([] { textOverlay.drawGlErrors(); });
    EXPECT_EQ(decodeLine(glyphs, x, 9), line);
    ASSERT_FALSE(glyphs.empty());
    EXPECT_EQ(glyphs[0].bottom, kTestWindowHeight - 25);
    EXPECT_EQ(glErrorCount, count + 1);
    EXPECT_EQ(textOverlay.messageText, line);
    EXPECT_EQ(textOverlay.lineX, x);
    EXPECT_EQ(textOverlay.lineY, 25);
    EXPECT_DOUBLE_EQ(textOverlay.messageExpiry, 5.0);
    EXPECT_EQ(textOverlay.rememberMessage, 1);

    // Without an error nothing is drawn and nothing changes.
    elapsedMs = 2500;
    textOverlay.rememberMessage = 0;
    EXPECT_TRUE(captureGlyphs([] { textOverlay.drawGlErrors(); }).empty());
    EXPECT_EQ(glErrorCount, count + 1);
    EXPECT_EQ(textOverlay.messageText, line);
    EXPECT_DOUBLE_EQ(textOverlay.messageExpiry, 5.0);
    EXPECT_EQ(textOverlay.rememberMessage, 1);
}
}  // namespace
