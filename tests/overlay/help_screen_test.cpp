// The help page: its lines, read back glyph by glyph, where they sit, and the message line
// they leave alone.
#include "overlay/help_screen.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

#include "overlay/text_overlay.h"
#include "tests/overlay/glyph_capture.h"
#include "tests/support/gl_test.h"

namespace {
struct PageLine {
    int leadingSpaces;
    const char* text;  // nullptr: a credit line, free text
    int length;        // leading spaces included
};

const PageLine kPage[] = {
    {0, "Special Controls for this simulation:", 37},
    {1, "<PageUp/Down>  Adjust Main Speed", 33},
    {5, "shift  <>  Adjust Tesselation: # of Pins", 45},
    {13, "i  Images: Toggle Available Textures", 49},
    {13, "o  Options: Toggle Available: TextureGen Mode", 58},
    {13, "v  View: Toggle Camera Movement: Auto/Manual:", 58},
    {17, "<Mouse>    Adjust Look-At Direction", 52},
    {14, "<Left/Right>  Sidestep Left/Right", 47},
    {16, "<Up/Down>   Move Forward/Back", 45},
    {0, "Standard Controls in most simulations where applicable:", 55},
    {2, "unshifted <>  Adjust Screen Magnification", 43},
    {12, "-=  Adjust Universe Rotate Speed", 44},
    {4, "shift   _+  Adjust Universe Movement Speed", 46},
    {4, "shift   {}  Adjust Closeness (Camera Z)", 43},
    {13, "c  Clock: Toggle Frame-Per-Seconds", 47},
    {13, "f  FullScreen/Window Toggle", 40},
    {13, "l  Letterbox: Adjust Size 0-6", 42},
    {13, "p  Pause: Toggle On/Off", 36},
    {13, "r  Reset/Randomize all parameters", 46},
    {13, "t  Texture: Toggle On-Off", 38},
    {13, "u  Universe: Toggle Stars On/Off", 45},
    {13, "w  Wireframe/Points/PolyGon Mode Toggle", 52},
    {8, "<SPACE> Toggle Hyperspace (non-blanking)", 48},
    {10, "<ESC> to QUIT", 23},
    {3, "-------------------------------------------------------- ", 60},
    {3, nullptr, -1},
    {9, nullptr, -1},
    {3, "<?> to return", 16},
};
constexpr int kLines = 28;

// y of line n (1-based) below the title at y0: 23 below it, 17 apart, 5 more after line 9.
int lineY(int y0, int n) {
    return y0 + 23 + 17 * (n - 1) + (n >= 10 ? 5 : 0);
}

class HelpScreen : public VaroTest {};

TEST_F(HelpScreen, PageReadsLineByLineAtItsPlacesIn768Rows) {
    const auto lines = linesByTop(captureGlyphs(drawHelpScreen));
    ASSERT_EQ(lines.size(), 1u + kLines);
    auto line = lines.begin();
    // Title: glyphs 15 x 30 advancing 13 at (20, 69).
    EXPECT_EQ(decodeLine(line->second, 20, 13), "Varo");
    EXPECT_EQ(line->second[0].bottom, kTestWindowHeight - 69);
    EXPECT_EQ(line->second[0].right - line->second[0].left, 15);
    EXPECT_EQ(line->second[0].top - line->second[0].bottom, 30);
    const int y0 = 69;
    for (int n = 1; n <= kLines; ++n) {
        ++line;
        SCOPED_TRACE(n);
        const PageLine& expected = kPage[n - 1];
        const std::vector<Glyph>& glyphs = line->second;
        EXPECT_EQ(glyphs[0].bottom, kTestWindowHeight - lineY(y0, n));
        EXPECT_EQ(glyphs[0].right - glyphs[0].left, 9);
        EXPECT_EQ(glyphs[0].top - glyphs[0].bottom, 18);
        const std::string text = decodeLine(glyphs, 30, 8);
        ASSERT_GT(text.size(), static_cast<size_t>(expected.leadingSpaces));
        EXPECT_EQ(text.find_first_not_of(' '), static_cast<size_t>(expected.leadingSpaces));
        if (expected.text) {
            std::string whole = std::string(expected.leadingSpaces, ' ') + expected.text;
            EXPECT_EQ(static_cast<int>(whole.size()), expected.length);
            whole.erase(whole.find_last_not_of(' ') + 1);  // trailing spaces leave no trace
            EXPECT_EQ(text, whole);
        } else {  // a credit line names no address
            EXPECT_EQ(text.find('@'), std::string::npos) << text;
            EXPECT_EQ(text.find("http"), std::string::npos) << text;
            EXPECT_EQ(text.find("www"), std::string::npos) << text;
            EXPECT_LE(30 + 8 * static_cast<int>(text.size()), kTestWindowWidth);
        }
    }
    // The anchors: line 1 at 92, line 9 at 228, line 10 at 250, line 28 at 556.
    EXPECT_EQ(lineY(y0, 1), 92);
    EXPECT_EQ(lineY(y0, 9), 228);
    EXPECT_EQ(lineY(y0, 10), 250);
    EXPECT_EQ(lineY(y0, 28), 556);
}

// In a 512-row window the title sits at 46; the rule (482) and the first credit line (499)
// show, the second credit line (516) is cut by the bottom edge and the last (533) is gone.
TEST_F(HelpScreen, PageFollowsTheWindowHeight) {
    ASSERT_TRUE(resizeWindow(512, 512));
    const auto lines = linesByTop(captureGlyphs(drawHelpScreen));
    std::vector<int> ys;
    for (const auto& line : lines)
        ys.push_back(512 - static_cast<int>(line.first));
    std::vector<int> expected = {46 - 30};
    for (int n = 1; n <= 27; ++n)
        expected.push_back(lineY(46, n) - 18);
    EXPECT_EQ(ys, expected);  // glyph tops, from the top edge
    EXPECT_EQ(lineY(46, 25), 482);
    EXPECT_EQ(lineY(46, 26), 499);
    auto rule = lines.begin();
    std::advance(rule, 25);
    EXPECT_EQ(decodeLine(rule->second, 30, 8), "   " + std::string(56, '-'));
    auto cut = std::prev(lines.end());
    EXPECT_EQ(cut->second[0].bottom, 0);  // clipped at the window's bottom edge
}

TEST_F(HelpScreen, PageNeverReplacesTheMessageLine) {
    textOverlay.showMessage("Paused");
    textOverlay.rememberMessage = 0;
    glClear(GL_COLOR_BUFFER_BIT);
    drawHelpScreen();
    EXPECT_STREQ(textOverlay.messageText, "Paused");
    EXPECT_EQ(textOverlay.lineX, 10);
    EXPECT_EQ(textOverlay.lineY, 25);
    EXPECT_EQ(textOverlay.rememberMessage, 1);
    textOverlay.showMessage("Next");
    EXPECT_STREQ(textOverlay.messageText, "Next");
}
}  // namespace
