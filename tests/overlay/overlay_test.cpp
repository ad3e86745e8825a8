// The overlay read back by GL feedback: glyph boxes and text, the lines, the help page, the title.

#include <climits>
#include <map>

#include "motion/random.h"
#include "overlay/help_screen.h"
#include "overlay/text_overlay.h"
#include "overlay/title_caption.h"
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
// A glyph between cells reads as ~, one out of its place ends the text with ~~.
std::string decodeLine(const std::vector<Glyph>& line, int x, int advance) {
    std::string text;
    for (const Glyph& g : line) {
        const double slot = (g.box[0] - x) / advance, col = (g.uv[0] - 0.01) * 16;
        const double row = (0.865 - g.uv[1]) * 8;
        if (slot < static_cast<double>(text.size()) || slot != std::round(slot))
            return text + "~~";
        text.resize(static_cast<size_t>(slot), ' ');
        const long c = std::lround(col), r = std::lround(row);
        text += std::fabs(col - c) + std::fabs(row - r) < 1e-3 ? char(32 + (r & 7) * 16 + c) : '~';
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

// Strictly 3 s, also across the int ms clock's wrap (24.8 days); the last text (blanks too, cut to
// 79 bytes) stays; help, clock and title never replace it; a GL error does, 0.4 of the width in.
TEST_F(TextOverlayTest, MessageLineShowsTheLastTextOrAGlErrorForThreeSeconds) {
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
    const std::string longText(120, 'x');
    textOverlay.drawText(longText.c_str(), 0, 700, 20);
    EXPECT_EQ(textOverlay.messageText, longText.substr(0, 79));
    textOverlay.drawText("    ", 1, 2, 20);
    for (auto draw : {drawHelpScreen, +[] { textOverlay.drawFrameRate(7); },
                      +[] { drawTitleCaption("Varo", 300, 200, 60, 1); },
                      +[] { textOverlay.drawGlErrors(); }}) {
        draw();
        EXPECT_TRUE(textOverlay.messageText == std::string("    ") && textOverlay.rememberMessage);
    }
    glEnable(0x1234);  // not a capability: GL_INVALID_ENUM, counted once and kept all the same
    textOverlay.rememberMessage = 0, elapsedMs = 0;
    textOverlay.drawGlErrors();
    EXPECT_EQ(glErrorCount, 1);
    elapsedMs = 2999;
    EXPECT_EQ(messageLine(409), "OpenGL Error: invalid enumerant");
}

// Title "Varo" 9% of the height down, then 28 lines 17 apart (22 between blocks), none off-page.
TEST_F(TextOverlayTest, HelpPageDrawsItsLinesInTwoBlocksBelowATitleThatFollowsTheHeight) {
    for (const int height : {768, 600}) {
        ASSERT_TRUE(resizeWindow(kTestWindowWidth, height));
        std::map<double, std::vector<Glyph>, std::greater<>> lines;  // by top, the top first
        double right = 0;
        for (const Glyph& g : captureGlyphs(drawHelpScreen))
            lines[g.box[3]].push_back(g), right = std::max(right, g.box[2]);
        std::vector<int> tops;  // from the top of the window
        for (const auto& [top, glyphs] : lines) {
            tops.push_back(height - static_cast<int>(top));
            const bool title = tops.size() == 1;
            EXPECT_EQ(decodeLine(glyphs, title ? 20 : 30, title ? 13 : 8).find('~'),
                      std::string::npos);
        }
        std::vector<int> expected = {height * 9 / 100 - 30, height * 9 / 100 + 5};
        for (int line = 2; line <= 28; ++line)
            expected.push_back(expected.back() + (line == 10 ? 22 : 17));
        EXPECT_EQ(tops, expected);
        EXPECT_EQ(decodeLine(lines.begin()->second, 20, 13), "Varo");
        glClear(GL_COLOR_BUFFER_BIT);
        drawHelpScreen();
        const int lit = litPixels(), bottom = height - tops.back() - 18;
        glEnable(GL_SCISSOR_TEST);
        glScissor(20, bottom, static_cast<int>(right) - 20, height - tops[0] - bottom);
        glClear(GL_COLOR_BUFFER_BIT);
        glDisable(GL_SCISSOR_TEST);
        EXPECT_TRUE(lit > 20000 && litPixels() == 0) << lit << ", off the page " << litPixels();
    }
}

// Where the title's first glyph lands less where it is asked (x right, y down), by how often.
std::map<std::array<int, 2>, int> titleOffsets(unsigned seeds) {
    std::map<std::array<int, 2>, int> offsets;
    for (unsigned seed = 1; seed <= seeds; ++seed) {
        seedRandom(seed * 2654435761u);  // spread: the first draws of near seeds are near
        const auto box = captureGlyphs([] { drawTitleCaption("Varo", 100, 153, 60, 1); })[0].box;
        ++offsets[{static_cast<int>(box[0]) - 100,
                   kTestWindowHeight - static_cast<int>(box[1]) - 153}];
    }
    return offsets;
}

// Quarter period (40 a phase unit): half its size from the middle; 1 in ~18 frames jumps as far.
TEST_F(TextOverlayTest, TitleShakesWithItsOscillatorsJumpsWithinHalfItsSizeAndFades) {
    phase[kTitleShakeX] = M_PI / 80, phase[kTitleShakeY] = 3 * M_PI / 80;
    EXPECT_GT((titleOffsets(40)[{30, -30}]), 30);
    phase[kTitleShakeX] = phase[kTitleShakeY] = 0;
    std::array<int, 2> jumps{}, lowest{}, highest{};
    for (const auto& [offset, count] : titleOffsets(2000))
        for (int k : {0, 1}) {
            jumps[k] += offset[k] != 0 ? count : 0;
            lowest[k] = std::min(lowest[k], offset[k]),
            highest[k] = std::max(highest[k], offset[k]);
        }
    for (int k : {0, 1})
        EXPECT_TRUE(std::abs(jumps[k] - 110) < 30 && lowest[k] <= -25 && highest[k] >= 25 &&
                    lowest[k] >= -30 && highest[k] < 30)
            << jumps[k] << " jumps from " << lowest[k] << " to " << highest[k];
    const auto glyphs = captureGlyphs([] { drawTitleCaption("Varo", 100, 153, 60, 0.25f); });
    EXPECT_TRUE(glyphs.back().alpha == 0.25f && textOverlay.alpha == 1.0f);
}
}  // namespace
