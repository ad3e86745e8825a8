// Bitmap-font text: glyph boxes, advance and cells, the state left behind, and the lines.
#include "overlay/text_overlay.h"

#include <climits>
#include <tuple>

#include "overlay/help_screen.h"
#include "overlay/title_caption.h"
#include "state/frame_clock.h"
#include "tests/overlay/glyph_capture.h"

namespace {
class TextOverlayTest : public VaroTest {};

// Glyphs are size/2 wide and size high, bottoms y below the top edge; the pen moves by 0.45 x
// size truncated toward zero at each character (-20, -11, -2, 6, 14 at 18). Messages show at once
// from (10, 25) with only their own conversion; bytes outside 32..159 wrap round the atlas'
// eight rows; the frame rate starts 120 left of the right edge. Text is filled in window pixels
// whatever the scene left, which it restores. Rows: draw, pen and advance to read, text.
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
    for (GLenum off : {GL_BLEND, GL_TEXTURE_2D, GL_ALPHA_TEST, GL_DEPTH_TEST})
        EXPECT_FALSE(glIsEnabled(off)) << std::hex << off;
    std::array<int, 7> state{};  // depth mask, polygon modes, viewport
    glGetIntegerv(GL_DEPTH_WRITEMASK, &state[0]);
    glGetIntegerv(GL_POLYGON_MODE, &state[1]);
    glGetIntegerv(GL_VIEWPORT, &state[3]);
    EXPECT_EQ(state, (std::array<int, 7>{GL_TRUE, GL_LINE, GL_LINE, 5, 6, 300, 200}));
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glViewport(0, 0, kTestWindowWidth, kTestWindowHeight);
}

// A message shows for three seconds strictly, and no longer across the wrap of the toolkit's
// int millisecond clock (after 24.8 days), where a line left over is cleared.
TEST_F(TextOverlayTest, MessageShowsForThreeSecondsEvenAcrossTheClockWrap) {
    // Posted at, drawn at, and whether the line shows.
    const int cases[][3] = {{1000, 3999, 1},
                            {1000, 4000, 0},
                            {INT_MAX - 1000, INT_MAX - 500, 1},
                            {INT_MAX - 1000, INT_MIN + 500, 0}};
    for (const auto& [posted, drawn, shown] : cases) {
        elapsedMs = posted;
        textOverlay.showMessage("Hello");
        elapsedMs = drawn;
        EXPECT_EQ(decodeLine(captureGlyphs([] { textOverlay.drawMessageLine(); }), 10, 9),
                  shown ? "Hello" : "");
        EXPECT_EQ(textOverlay.messageExpiry > 0, shown) << drawn;
    }
}

// An error is counted and kept as the message line, 0.4 of the width in, for three seconds.
TEST_F(TextOverlayTest, GlErrorIsCountedAndKeptAsTheMessageLine) {
    glEnable(0x1234);                 // not a capability: GL_INVALID_ENUM
    textOverlay.rememberMessage = 0;  // kept even so
    textOverlay.drawGlErrors();
    textOverlay.drawGlErrors();  // no error now: nothing counted
    EXPECT_EQ(glErrorCount, 1);
    elapsedMs = 2999;
    EXPECT_EQ(decodeLine(captureGlyphs([] { textOverlay.drawMessageLine(); }), 409, 9),
              "OpenGL Error: invalid enumerant");
}

// drawText keeps its text as the message line, blanks too, cut to the 79 bytes that fit; the
// help page, frame rate, title and error check without error never replace it.
TEST_F(TextOverlayTest, MessageLineIsTheLastTextRemembered) {
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
}
}  // namespace
