// Bitmap-font text: glyph placement and advance, atlas cells, the state left behind, and the
// message, frame-rate and GL-error lines.
#include "overlay/text_overlay.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "app/frame.h"
#include "state/frame_clock.h"
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
        std::array<int, 5> lit;  // count, left, right, bottom, top
    };
    const Case cases[] = {{10, 25, 20, {200, 10, 19, 743, 762}},
                          {100, 400, 30, {450, 100, 114, 368, 397}},
                          {0, 768, 18, {162, 0, 8, 0, 17}}};
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    for (const Case& c : cases) {
        glClear(GL_COLOR_BUFFER_BIT);
        glViewport(0, 0, 100, 100);
        textOverlay.drawText("A", c.x, c.y, c.size);
        EXPECT_EQ(litArea(), c.lit) << c.size;
    }
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
}

// The pen moves by 0.45 x size, truncated toward zero at every character (so from a negative
// pen at size 30, -20 moves to -6 and then to 7); spaces advance without drawing.
TEST_F(TextOverlayTest, AdvanceDropsTheFractionAtEveryCharacter) {
    struct Case {
        const char* text;
        short x;
        float size;
        std::vector<double> lefts;  // of the glyphs inside the window
    };
    const Case cases[] = {{"A         A", 10, 18, {10, 90}},
                          {"A A", 10, 30, {10, 36}},
                          {"A A", -20, 30, {7}},
                          {" A", 10, 20, {19}},
                          {"   ", 10, 20, {}}};
    for (const Case& c : cases) {
        std::vector<double> lefts;
        for (const Glyph& g :
             captureGlyphs([&] { textOverlay.drawText(c.text, c.x, 100, c.size); }))
            lefts.push_back(g.left);
        EXPECT_EQ(lefts, c.lefts) << '"' << c.text << "\" from " << c.x;
    }
}

// Cell n of the atlas shows character 32 + n, so every decoded line reads the printable cells
// back; bytes below 32 and above 159 wrap around its eight rows (texture coordinates repeat).
TEST_F(TextOverlayTest, ControlAndHighBytesSampleTheirWrappedAtlasCell) {
    const auto glyphs = captureGlyphs([] { textOverlay.drawText("\n\x1f\xc8", 40, 60, 20); });
    const int cells[][2] = {{10, 6}, {15, 7}, {8, 2}};  // column, row
    ASSERT_EQ(glyphs.size(), 3u);
    for (int n = 0; n < 3; ++n) {
        const Glyph& g = glyphs[n];
        EXPECT_NEAR(g.u0, cells[n][0] / 16.0 + 0.01, 1e-6) << n;
        EXPECT_NEAR(g.u1 - g.u0, 0.0625, 1e-6);
        EXPECT_NEAR(std::fmod(g.v0 + 4, 1.0), std::fmod((7 - cells[n][1]) / 8.0 - 0.01 + 1, 1.0),
                    1e-6)
            << n;
        EXPECT_NEAR(g.v1 - g.v0, 0.125, 1e-6);
    }
}

template <size_t N = 1>
std::array<int, N> integers(GLenum name) {
    std::array<int, N> values{};
    glGetIntegerv(name, values.data());
    return values;
}

TEST_F(TextOverlayTest, LeavesTextStateOffAndTheSceneStateRestored) {
    GLuint font = 0;
    glGenTextures(1, &font);
    textOverlay.fontTexture = font;
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    glViewport(5, 6, 300, 200);
    glEnable(GL_BLEND);
    glTranslatef(1, 2, 3);
    const auto modelView = currentMatrix(GL_MODELVIEW_MATRIX);
    textOverlay.drawText("Hi", 10, 25, 20);

    for (GLenum off : {GL_BLEND, GL_TEXTURE_2D, GL_ALPHA_TEST, GL_DEPTH_TEST})
        EXPECT_FALSE(glIsEnabled(off)) << std::hex << off;
    EXPECT_EQ(integers(GL_DEPTH_WRITEMASK)[0], GL_TRUE);
    EXPECT_EQ(integers<2>(GL_POLYGON_MODE), (std::array<int, 2>{GL_LINE, GL_LINE}));
    EXPECT_EQ(integers<4>(GL_VIEWPORT), (std::array<int, 4>{5, 6, 300, 200}));
    EXPECT_EQ(integers(GL_MATRIX_MODE)[0], GL_MODELVIEW);
    EXPECT_EQ(currentMatrix(GL_MODELVIEW_MATRIX), modelView);
    EXPECT_EQ(static_cast<GLuint>(integers(GL_TEXTURE_BINDING_2D)[0]), font);

    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glViewport(0, 0, kTestWindowWidth, kTestWindowHeight);
    glDeleteTextures(1, &font);
}

// Spaces draw nothing but are remembered; text too long is cut to the 79 bytes that fit
// before the terminator.
TEST_F(TextOverlayTest, RemembersEvenBlankTextAndCutsLongText) {
    textOverlay.drawText("    ", 1, 2, 20);
    EXPECT_STREQ(textOverlay.messageText, "    ");
    const std::string longText(120, 'x');
    textOverlay.drawText(longText.c_str(), 0, 700, 20);
    EXPECT_EQ(textOverlay.messageText, longText.substr(0, 79));
}

TEST_F(TextOverlayTest, MessageShowsForThreeSecondsStrictly) {
    elapsedMs = 1000;
    textOverlay.showMessage("Hello");
    const auto posted = litArea();  // drawn at once; glyphs 10 wide, 9 apart, overlap
    EXPECT_EQ(posted, (std::array<int, 5>{5 * 200 - 4 * 20, 10, 10 + 4 * 9 + 9,
                                          kTestWindowHeight - 25, kTestWindowHeight - 6}));
    for (int ms : {3999, 4000}) {
        glClear(GL_COLOR_BUFFER_BIT);
        elapsedMs = ms;
        textOverlay.drawMessageLine();
        EXPECT_EQ(litArea()[0], ms < 4000 ? posted[0] : 0);
        EXPECT_EQ(textOverlay.messageExpiry, ms < 4000 ? 4.0 : 0.0) << ms;
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
        EXPECT_EQ(decodeLine(captureGlyphs(c.post), 10, 9), c.shown);
        EXPECT_STREQ(textOverlay.messageText, c.shown);
        EXPECT_EQ(textOverlay.lineX * 100 + textOverlay.lineY, 10 * 100 + 25) << c.shown;
    }
}

TEST_F(TextOverlayTest, FrameRateLineEndsAtTheRightEdgeAndIsNotKept) {
    textOverlay.showMessage("keep");
    const auto glyphs = captureGlyphs([] { textOverlay.drawFrameRate(7); });
    EXPECT_EQ(decodeLine(glyphs, kTestWindowWidth - 120, 9), "  7 Frame/Sec");
    ASSERT_FALSE(glyphs.empty());
    EXPECT_EQ(glyphs.back().right, kTestWindowWidth - 2);
    EXPECT_EQ(glyphs.back().bottom, kTestWindowHeight - 25);
    EXPECT_STREQ(textOverlay.messageText, "keep");
    textOverlay.rememberMessage = 0;  // afterwards set to 1, not to what it was
    textOverlay.drawFrameRate(7);
    EXPECT_EQ(textOverlay.rememberMessage, 1);
}

// An error read at the end of a frame is counted, drawn at 0.4 of the window width, and kept
// as the message line for three seconds so that it can be read.
TEST_F(TextOverlayTest, GlErrorIsCountedAndShownAsTheMessageLine) {
    elapsedMs = 2000;
    const int count = glErrorCount;
    const std::string line = "OpenGL Error: invalid enumerant";
    for (bool error : {true, false}) {  // without an error nothing is drawn or changed
        if (error)
            glEnable(0x1234);  // not a capability: GL_INVALID_ENUM
        textOverlay.rememberMessage = 0;
        const auto glyphs = captureGlyphs([] { textOverlay.drawGlErrors(); });
        EXPECT_EQ(decodeLine(glyphs, kTestWindowWidth * 4 / 10, 9), error ? line : "");
        EXPECT_EQ(glErrorCount, count + 1);
        EXPECT_EQ(textOverlay.messageText, line);
        EXPECT_EQ(textOverlay.lineY, 25);
        EXPECT_DOUBLE_EQ(textOverlay.messageExpiry, 5.0);
        EXPECT_EQ(textOverlay.rememberMessage, 1);
        elapsedMs = 2500;
    }
}
}  // namespace
