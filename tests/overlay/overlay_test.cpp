// The overlay read back by GL feedback: glyph boxes and text, the lines, the help page, the title.
#include <GL/gl.h>

#include <climits>
#include <cmath>
#include <map>
#include <string>

#include "motion/oscillator_bank.h"
#include "motion/random.h"
#include "overlay/help_screen.h"
#include "overlay/text_overlay.h"
#include "overlay/title_caption.h"
#include "state/frame_clock.h"
#include "tests/support/gl_test.h"

namespace {
struct Glyph {
    std::array<double, 4> box;  // left, bottom, right, top: window pixels, rows from the bottom
    std::array<double, 2> uv;   // lower left corner of the atlas window it samples
    float alpha;
};

// A glyph's quad comes back as triangles that each span its box (pixels exact to 1/256).
std::vector<Glyph> captureGlyphs(const std::function<void()>& draw) {
    const auto values = feedback(GL_3D_COLOR_TEXTURE, draw);
    std::vector<Glyph> glyphs;
    for (size_t at = 0; at < values.size();) {
        EXPECT_EQ(values[at], GL_POLYGON_TOKEN);  // text is filled in every polygon mode
        const size_t end = at + 2 + 11 * static_cast<size_t>(values[at + 1]);
        Glyph g{{1e9, 1e9, -1e9, -1e9}, {1e9, 1e9}, values[at + 8]};
        for (at += 2; at < end; at += 11)
            for (int k : {0, 1}) {
                const double p = std::round(values[at + k] * 256) / 256;
                g.box[k] = std::min(g.box[k], p);
                g.box[k + 2] = std::max(g.box[k + 2], p);
                g.uv[k] = std::min<double>(g.uv[k], values[at + 7 + k]);
            }
        if (glyphs.empty() || glyphs.back().box != g.box)
            glyphs.push_back(g);
    }
    return glyphs;
}

// Text from pen x by whole-pixel advances, gaps as spaces; atlas cell n (16 a row) shows 32 + n.
std::string decodeLine(const std::vector<Glyph>& line, int x, int advance) {
    std::string text;
    for (const Glyph& g : line) {
        const double slot = (g.box[0] - x) / advance, col = (g.uv[0] - 0.01) * 16;
        const double row = (0.865 - g.uv[1]) * 8;
        if (slot < static_cast<double>(text.size()) || slot != std::round(slot))
            return text + "<misplaced>";
        text.resize(static_cast<size_t>(slot), ' ');
        const long c = std::lround(col), r = std::lround(row);
        text += std::fabs(col - c) + std::fabs(row - r) < 1e-3 ? char(32 + (r & 7) * 16 + c) : '?';
    }
    return text;
}

std::string messageLine(int x) {
    return decodeLine(captureGlyphs([] { textOverlay.drawMessageLine(); }), x, 9);
}

using TextOverlayTest = VaroTest;

// Glyphs size/2 x size; the pen adds 0.45 size truncated (-20, -11, -2, 6, 14); bytes wrap round.
TEST_F(TextOverlayTest, LinesReadAtTheirPlacesAndTheSceneStateComesBack) {
    const std::tuple<std::function<void()>, int, int, const char*> cases[] = {
        {[] { textOverlay.drawText("A   A", -20, 25, 18); }, 14, 8, "A"},
        {[] { textOverlay.drawText("A         A", 0, 25, 18); }, 0, 8, "A         A"},
        {[] { textOverlay.showMessage("100%s"); }, 10, 9, "100%s"},
        {[] { textOverlay.showMessageInt("Letterbox: %d", 3); }, 10, 9, "Letterbox: 3"},
        {[] { textOverlay.showMessageFloat("%3.0f Degrees", 90.0); }, 10, 9, " 90 Degrees"},
        {[] { textOverlay.showMessage("A\n\x1f\xc8"); }, 10, 9, "A\x8a\x9fH"},
        {[] { textOverlay.drawFrameRate(7); }, kTestWindowWidth - 120, 9, "  7 Frame/Sec"}};
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    glViewport(5, 6, 300, 200);
    glEnable(GL_BLEND);
    for (const auto& [draw, x, advance, text] : cases) {
        SCOPED_TRACE(testing::PrintToString(text));
        const auto glyphs = captureGlyphs(draw);
        ASSERT_EQ(decodeLine(glyphs, x, advance), text);
        const auto& box = glyphs.back().box;
        EXPECT_EQ(box[1], kTestWindowHeight - 25);
        EXPECT_EQ(box[3] - box[1], 2 * (box[2] - box[0]));
    }
    textOverlay.drawText("Hi", 10, 25, 20);  // outside feedback, which keeps the viewport
    for (GLenum off : {GL_BLEND, GL_TEXTURE_2D, GL_ALPHA_TEST})
        EXPECT_FALSE(glIsEnabled(off)) << std::hex << off;
    std::array<int, 7> state{};  // depth mask, polygon modes, viewport
    glGetIntegerv(GL_DEPTH_WRITEMASK, &state[0]);
    glGetIntegerv(GL_POLYGON_MODE, &state[1]);
    glGetIntegerv(GL_VIEWPORT, &state[3]);
    EXPECT_EQ(state, (std::array<int, 7>{GL_TRUE, GL_LINE, GL_LINE, 5, 6, 300, 200}));
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL),
        glViewport(0, 0, kTestWindowWidth, kTestWindowHeight);
}

// Strictly three seconds, and no longer across the wrap of the int millisecond clock (24.8 days).
TEST_F(TextOverlayTest, MessageShowsForThreeSecondsEvenAcrossTheClockWrap) {
    // Posted at, drawn at, and whether the line shows.
    const int cases[][3] = {{1000, 3999, 1},
                            {1000, 4000, 0},
                            {INT_MAX - 1000, INT_MAX - 500, 1},
                            {INT_MAX - 1000, INT_MIN + 500, 0}};
    for (const auto& [posted, drawn, shown] : cases) {
        elapsedMs = posted, textOverlay.showMessage("Hello"), elapsedMs = drawn;
        EXPECT_EQ(messageLine(10), shown ? "Hello" : "");
        EXPECT_EQ(textOverlay.messageExpiry > 0, shown) << drawn;
    }
}

// Blanks too, cut to 79 bytes; help, clock, title never replace it; a GL error does, for 3 s.
TEST_F(TextOverlayTest, MessageLineIsTheLastTextRememberedOrAGlError) {
    const std::string longText(120, 'x');
    textOverlay.drawText(longText.c_str(), 0, 700, 20);
    EXPECT_EQ(textOverlay.messageText, longText.substr(0, 79));
    textOverlay.drawText("    ", 1, 2, 20);
    const std::function<void()> draws[] = {drawHelpScreen, [] { textOverlay.drawFrameRate(7); },
                                           [] { drawTitleCaption("Varo", 300, 200, 60, 1); },
                                           [] { textOverlay.drawGlErrors(); }};
    for (const auto& draw : draws) {
        draw();
        EXPECT_STREQ(textOverlay.messageText, "    ");
        EXPECT_EQ(textOverlay.rememberMessage, 1);
    }
    glEnable(0x1234);  // not a capability: GL_INVALID_ENUM, counted once and kept all the same
    textOverlay.rememberMessage = 0;
    textOverlay.drawGlErrors();
    EXPECT_EQ(glErrorCount, 1);
    elapsedMs = 2999;
    EXPECT_EQ(messageLine(409), "OpenGL Error: invalid enumerant");  // 0.4 of the width in
}

// Title first, lines split at '|' (the rule's trailing space cannot be read back).
const std::string kHelpPage =
    "Varo|Special Controls for this simulation:|"
    " <PageUp/Down>  Adjust Main Speed|     shift  <>  Adjust Tesselation: # of Pins|"
    "             i  Images: Toggle Available Textures|"
    "             o  Options: Toggle Available: TextureGen Mode|"
    "             v  View: Toggle Camera Movement: Auto/Manual:|"
    "                 <Mouse>    Adjust Look-At Direction|"
    "              <Left/Right>  Sidestep Left/Right|                <Up/Down>   Move Forward/Back|"
    "Standard Controls in most simulations where applicable:|"
    "  unshifted <>  Adjust Screen Magnification|            -=  Adjust Universe Rotate Speed|"
    "    shift   _+  Adjust Universe Movement Speed|    shift   {}  Adjust Closeness (Camera Z)|"
    "             c  Clock: Toggle Frame-Per-Seconds|             f  FullScreen/Window Toggle|"
    "             l  Letterbox: Adjust Size 0-6|             p  Pause: Toggle On/Off|"
    "             r  Reset/Randomize all parameters|             t  Texture: Toggle On-Off|"
    "             u  Universe: Toggle Stars On/Off|"
    "             w  Wireframe/Points/PolyGon Mode Toggle|"
    "        <SPACE> Toggle Hyperspace (non-blanking)|          <ESC> to QUIT|"
    "   --------------------------------------------------------|"
    "   Varo: a pin board waving before the stars|"
    "         written for the joy of it; share it freely|   <?> to return";

// Title bottoms 9% of the height down, line 1 23 below, lines 17 apart, 5 more between blocks.
TEST_F(TextOverlayTest, HelpPageReadsAsWrittenBelowATitleThatFollowsTheWindowHeight) {
    for (const int height : {768, 600}) {
        ASSERT_TRUE(resizeWindow(kTestWindowWidth, height));
        std::map<double, std::vector<Glyph>, std::greater<>> lines;  // by top, the top first
        for (const Glyph& g : captureGlyphs(drawHelpScreen))
            lines[g.box[3]].push_back(g);
        const int title = height * 9 / 100;
        std::vector<int> tops, expected = {title - 30};  // rows from the top
        std::string page;
        for (const auto& [top, glyphs] : lines) {
            tops.push_back(height - static_cast<int>(top));
            page += page.empty() ? decodeLine(glyphs, 20, 13) : "|" + decodeLine(glyphs, 30, 8);
        }
        for (int n = 1, y = title + 23; n < 29; y += n++ == 9 ? 22 : 17)
            expected.push_back(y - 18);
        EXPECT_EQ(tops, expected);
        EXPECT_EQ(page, kHelpPage);
    }
}

// Shaken by its two oscillators (+-size/2, at 40); if r1 r2 < 0.01, a jump by U(size) - size/2.
TEST_F(TextOverlayTest, TitleShakesWithTheOscillatorsAndJumpsWithTheGeneratorInItsOrder) {
    for (unsigned seed = 1; seed <= 300; ++seed) {
        const double shake[] = {phase[kTitleShakeX] = seed * 0.0037,
                                phase[kTitleShakeY] = seed * 0.0051 + 0.01};
        seedRandom(seed);
        double xy[2] = {10, 153};  // x from the left, y from the top, at size 60
        for (int k = 0; k < 2; ++k) {
            xy[k] = std::trunc((std::sin(40 * shake[k]) * 0.5 + 0.5) * 60 - 30 + xy[k]);
            if (uniformRandom(1.0) * uniformRandom(1.0) < 0.01)
                xy[k] = std::trunc(xy[k] + uniformRandom(60) - 30);
        }
        const int next = nextRandom();
        seedRandom(seed);
        const auto glyphs = captureGlyphs([] { drawTitleCaption("Varo", 10, 153, 60, 0.25f); });
        ASSERT_FALSE(glyphs.empty());
        // The last glyph's pen less three advances of 27: the first may be clipped at the left.
        EXPECT_EQ(glyphs.back().box[0] - 3 * 27, xy[0]) << seed;
        EXPECT_EQ(kTestWindowHeight - glyphs.back().box[1], xy[1]) << seed;
        EXPECT_EQ(glyphs.back().alpha, 0.25f);
        EXPECT_EQ(nextRandom(), next) << seed;  // no draw more or less
    }
    EXPECT_EQ(textOverlay.alpha, 1.0f);
}
}  // namespace
