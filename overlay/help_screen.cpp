// The help page: the program's controls drawn over the running scene.
#include "overlay/help_screen.h"

#include <cstddef>

#include "overlay/text_overlay.h"
#include "state/window_state.h"

namespace {
constexpr double kTitleDown = 0.09;  // of the window height, to the title's glyph bottoms
constexpr short kTitleX = 20;
constexpr float kTitleSize = 30.0f;
constexpr short kLineX = kTitleX + 10;
constexpr float kLineSize = 18.0f;
constexpr int kLineStep = 17;
constexpr double kFirstLineGap = kLineStep * 1.4;  // title to line 1
constexpr double kBlockGap = kLineStep * 0.3;      // extra space between the two blocks

const char* const kSpecialControls[] = {
    "Special Controls for this simulation:",
    " <PageUp/Down>  Adjust Main Speed",
    "     shift  <>  Adjust Tesselation: # of Pins",
    "             i  Images: Toggle Available Textures",
    "             o  Options: Toggle Available: TextureGen Mode",
    "             v  View: Toggle Camera Movement: Auto/Manual:",
    "                 <Mouse>    Adjust Look-At Direction",
    "              <Left/Right>  Sidestep Left/Right",
    "                <Up/Down>   Move Forward/Back",
};

const char* const kStandardControls[] = {
    "Standard Controls in most simulations where applicable:",
    "  unshifted <>  Adjust Screen Magnification",
    "            -=  Adjust Universe Rotate Speed",
    "    shift   _+  Adjust Universe Movement Speed",
    "    shift   {}  Adjust Closeness (Camera Z)",
    "             c  Clock: Toggle Frame-Per-Seconds",
    "             f  FullScreen/Window Toggle",
    "             l  Letterbox: Adjust Size 0-6",
    "             p  Pause: Toggle On/Off",
    "             r  Reset/Randomize all parameters",
    "             t  Texture: Toggle On-Off",
    "             u  Universe: Toggle Stars On/Off",
    "             w  Wireframe/Points/PolyGon Mode Toggle",
    "        <SPACE> Toggle Hyperspace (non-blanking)",
    "          <ESC> to QUIT",
    "   -------------------------------------------------------- ",
    "   Varo: a pin board waving before the stars",
    "         written for the joy of it; share it freely",
    "   <?> to return",
};

// Draws the lines one step apart from `y` on; returns the y below the last.
template <std::size_t N>
int drawLines(const char* const (&lines)[N], int y) {
    for (const char* line : lines) {
        textOverlay.drawText(line, kLineX, toPixel(y), kLineSize);
        y += kLineStep;
    }
    return y;
}
}  // namespace

void drawHelpScreen() {
    textOverlay.rememberMessage = 0;  // no help line may replace the message line
    const int titleY = static_cast<int>(windowHeight * kTitleDown);
    textOverlay.drawText("Varo", kTitleX, toPixel(titleY), kTitleSize);
    int y = static_cast<int>(titleY + kFirstLineGap);
    y = drawLines(kSpecialControls, y);
    y = static_cast<int>(y + kBlockGap);
    drawLines(kStandardControls, y);
    textOverlay.rememberMessage = 1;
}
