// The title caption: its opacity, the shake from the oscillators, and the random jumps.
#include "overlay/title_caption.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "motion/oscillator_bank.h"
#include "motion/random.h"
#include "overlay/text_overlay.h"
#include "tests/overlay/glyph_capture.h"
#include "tests/support/gl_test.h"

namespace {
constexpr float kSize = 60;
constexpr int kAdvance = 27;  // 0.45 x 60
constexpr short kRestX = 10, kRestY = 153;

class TitleCaption : public VaroTest {};

TEST_F(TitleCaption, DrawsAtTheGivenOpacityAndRestoresTheOverlay) {
    textOverlay.showMessage("keep");
    const auto glyphs = captureGlyphs([] { drawTitleCaption("Varo", 300, 200, kSize, 0.25f); });
    ASSERT_EQ(glyphs.size(), 4u);
    for (const Glyph& g : glyphs)
        EXPECT_EQ(g.colour, (std::array<float, 4>{1, 1, 1, 0.25f}));
    EXPECT_EQ(decodeLine(glyphs, static_cast<int>(glyphs[0].left), kAdvance), "Varo");
    EXPECT_STREQ(textOverlay.messageText, "keep");
    textOverlay.alpha = 0.7f;  // both afterwards set to 1, not to what they were
    textOverlay.rememberMessage = 0;
    drawTitleCaption("Varo", 300, 200, kSize, 0.25f);
    EXPECT_EQ(textOverlay.alpha, 1.0f);
    EXPECT_EQ(textOverlay.rememberMessage, 1);
}

// Each call shakes the caption by an oscillator value in [-size/2, size/2] at frequency 40
// (oscillator 17 for x, 18 for y), then draws r1, r2 and, when r1 x r2 < 0.01 (about one call
// in eighteen), jumps by U(size) - size/2; the same again for y. Truncation is toward zero.
TEST_F(TitleCaption, ShakesWithTheOscillatorsAndJumpsWithTheGeneratorInItsOrder) {
    int jumps = 0;
    for (unsigned seed = 1; seed <= 300; ++seed) {
        SCOPED_TRACE(seed);
        phase[17] = seed * 0.0037;
        phase[18] = seed * 0.0051 + 0.01;
        seedRandom(seed);
        double expected[2];  // x from the left, y from the top
        for (int k = 0; k < 2; ++k) {
            const double rest = k == 0 ? kRestX : kRestY;
            expected[k] =
                std::trunc((std::sin(40 * phase[17 + k]) * 0.5 + 0.5) * kSize - kSize / 2 + rest);
            if (uniformRandom(1.0) * uniformRandom(1.0) < 0.01) {
                expected[k] = std::trunc(expected[k] + uniformRandom(kSize) - kSize / 2);
                ++jumps;
            }
        }
        const int next = nextRandom();
        seedRandom(seed);
        // The last glyph's pen less three advances: the first glyph may be clipped at the left.
        const auto glyphs =
            captureGlyphs([] { drawTitleCaption("Varo", kRestX, kRestY, kSize, 1); });
        ASSERT_FALSE(glyphs.empty());
        EXPECT_EQ(glyphs.back().left - 3 * kAdvance, expected[0]);
        EXPECT_EQ(kTestWindowHeight - glyphs.back().bottom, expected[1]);
        EXPECT_EQ(nextRandom(), next);  // no draw more or less
    }
    EXPECT_GT(jumps, 15);  // of about 34 in the 600 chances
}
}  // namespace
