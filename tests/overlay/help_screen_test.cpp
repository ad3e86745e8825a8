// The help page: its lines as users read them, and where they sit for the window height.
#include "overlay/help_screen.h"

#include <map>

#include "tests/overlay/glyph_capture.h"

namespace {
// The page, title first, lines split at '|' (the rule's trailing space cannot be read back).
const std::string kPage =
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

class HelpScreen : public VaroTest {};

// The title's glyph bottoms sit 9% of the height down, line 1 23 pixels below them, lines 17
// apart with 5 more between the two blocks.
TEST_F(HelpScreen, PageReadsAsWrittenBelowATitleThatFollowsTheWindowHeight) {
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
        EXPECT_EQ(page, kPage);
    }
}
}  // namespace
