// The title caption: the shake from the oscillators, the random jumps, and its opacity.
#include "overlay/title_caption.h"

#include "motion/oscillator_bank.h"
#include "motion/random.h"
#include "overlay/text_overlay.h"
#include "tests/overlay/glyph_capture.h"

namespace {
class TitleCaption : public VaroTest {};

// Each call shakes the caption by an oscillator value in [-size/2, size/2] at frequency 40
// (oscillator 17 for x, 18 for y), then draws r1, r2 and, when r1 x r2 < 0.01 (one call in
// eighteen), jumps by U(size) - size/2; the same for y. Truncation is toward zero. It is drawn
// at the given opacity, and the overlay is left opaque.
TEST_F(TitleCaption, ShakesWithTheOscillatorsAndJumpsWithTheGeneratorInItsOrder) {
    for (unsigned seed = 1; seed <= 300; ++seed) {
        phase[17] = seed * 0.0037;
        phase[18] = seed * 0.0051 + 0.01;
        seedRandom(seed);
        double xy[2] = {10, 153};  // x from the left, y from the top, at size 60
        for (int k = 0; k < 2; ++k) {
            xy[k] = std::trunc((std::sin(40 * phase[17 + k]) * 0.5 + 0.5) * 60 - 30 + xy[k]);
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
