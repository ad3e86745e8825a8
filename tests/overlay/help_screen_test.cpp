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
};

const PageLine kPage[] = {
    {0, "Special Controls for this simulation:"},
    {1, "<PageUp/Down>  Adjust Main Speed"},
    {5, "shift  <>  Adjust Tesselation: # of Pins"},
    {13, "i  Images: Toggle Available Textures"},
    {13, "o  Options: Toggle Available: TextureGen Mode"},
    {13, "v  View: Toggle Camera Movement: Auto/Manual:"},
    {17, "<Mouse>    Adjust Look-At Direction"},
    {14, "<Left/Right>  Sidestep Left/Right"},
    {16, "<Up/Down>   Move Forward/Back"},
    {0, "Standard Controls in most simulations where applicable:"},
    {2, "unshifted <>  Adjust Screen Magnification"},
    {12, "-=  Adjust Universe Rotate Speed"},
    {4, "shift   _+  Adjust Universe Movement Speed"},
    {4, "shift   {}  Adjust Closeness (Camera Z)"},
    {13, "c  Clock: Toggle Frame-Per-Seconds"},
    {13, "f  FullScreen/Window Toggle"},
    {13, "l  Letterbox: Adjust Size 0-6"},
    {13, "p  Pause: Toggle On/Off"},
    {13, "r  Reset/Randomize all parameters"},
    {13, "t  Texture: Toggle On-Off"},
    {13, "u  Universe: Toggle Stars On/Off"},
    {13, "w  Wireframe/Points/PolyGon Mode Toggle"},
    {8, "<SPACE> Toggle Hyperspace (non-blanking)"},
    {10, "<ESC> to QUIT"},
    {3, "--------------------------------------------------------"},  // and a trailing space
    {3, nullptr},
    {9, nullptr},
    {3, "<?> to return"},
};

// y of line n (1-based) below the title at y0: 23 below it, 17 apart, 5 more after line 9.
int lineY(int y0, int n) {
    return y0 + 23 + 17 * (n - 1) + (n >= 10 ? 5 : 0);
}

class HelpScreen : public VaroTest {};

// In 768 rows the title sits at 69: line 1 at 92, line 9 at 228, line 10 at 250, 28 at 556.
TEST_F(HelpScreen, PageReadsLineByLineAtItsPlacesIn768Rows) {
    const auto lines = linesByTop(captureGlyphs(drawHelpScreen));
    ASSERT_EQ(lines.size(), 1u + std::size(kPage));
    auto line = lines.begin();
    const Glyph& title = line->second[0];  // glyphs 15 x 30, advancing 13
    EXPECT_EQ(decodeLine(line->second, 20, 13), "Varo");
    EXPECT_EQ(title.bottom, kTestWindowHeight - 69);
    EXPECT_EQ(title.right - title.left + title.top - title.bottom, 15 + 30);
    for (int n = 1; n <= static_cast<int>(std::size(kPage)); ++n) {
        SCOPED_TRACE(n);
        const std::vector<Glyph>& glyphs = (++line)->second;  // glyphs 9 x 18, advancing 8
        EXPECT_EQ(glyphs[0].bottom, kTestWindowHeight - lineY(69, n));
        EXPECT_EQ(glyphs[0].right - glyphs[0].left + glyphs[0].top - glyphs[0].bottom, 9 + 18);
        const std::string text = decodeLine(glyphs, 30, 8);
        const PageLine& expected = kPage[n - 1];
        EXPECT_EQ(text.find_first_not_of(' '), static_cast<size_t>(expected.leadingSpaces));
        if (expected.text)
            EXPECT_EQ(text, std::string(expected.leadingSpaces, ' ') + expected.text);
        else  // a credit line names no address
            EXPECT_EQ(text.find_first_of("@/"), std::string::npos) << text;
    }
}

// In 512 rows the title sits at 46; the rule (482) and the first credit line (499) show, the
// second credit line (516) is cut by the bottom edge and the last (533) is gone.
TEST_F(HelpScreen, PageFollowsTheWindowHeight) {
    ASSERT_TRUE(resizeWindow(512, 512));
    const auto lines = linesByTop(captureGlyphs(drawHelpScreen));
    std::vector<int> tops, expected = {46 - 30};
    for (const auto& line : lines)
        tops.push_back(512 - static_cast<int>(line.first));
    for (int n = 1; n <= 27; ++n)
        expected.push_back(lineY(46, n) - 18);
    EXPECT_EQ(tops, expected);
    EXPECT_EQ(std::prev(lines.end())->second[0].bottom, 0);  // clipped at the bottom edge
}

TEST_F(HelpScreen, PageNeverReplacesTheMessageLine) {
    textOverlay.showMessage("Paused");
    drawHelpScreen();
    EXPECT_STREQ(textOverlay.messageText, "Paused");
    EXPECT_EQ(textOverlay.lineY, 25);
    textOverlay.rememberMessage = 0;  // afterwards set to 1, not to what it was
    drawHelpScreen();
    EXPECT_EQ(textOverlay.rememberMessage, 1);
}
}  // namespace
