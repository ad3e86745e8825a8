// The title caption: its opacity, the shake from the oscillators, and the random jumps.
#include "overlay/title_caption.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "motion/oscillator_bank.h"
#include "motion/random.h"
#include "overlay/text_overlay.h"
#include "tests/overlay/glyph_capture.h"
#include "tests/support/gl_test.h"

namespace {
constexpr float kSize = 60;
constexpr int kAdvance = 27;  // 0.45 x 60
constexpr short kRestX = 10, kRestY = 153;

struct Position {
    int x, y;
};

// Where a caption call put "Varo": the last glyph's pen less three advances (the first glyph
// may be clipped at the left edge), and the glyphs' bottom edge as y from the top.
Position drawnCaption() {
    const auto glyphs = captureGlyphs([] { drawTitleCaption("Varo", kRestX, kRestY, kSize, 1); });
    if (glyphs.empty())
        return {-9999, -9999};
    return {static_cast<int>(glyphs.back().left) - 3 * kAdvance,
            kTestWindowHeight - static_cast<int>(glyphs.back().bottom)};
}

// The random draws of one call from `seed`, in their order: r1, r2, the horizontal offset
// only when r1 x r2 < 0.01, then the same for the vertical; `next` is the value after them.
struct Draws {
    bool jumpX = false, jumpY = false;
    double offsetX = 0, offsetY = 0;
    int next = 0;
};

Draws predictDraws(unsigned seed) {
    seedRandom(seed);
    Draws d;
    d.jumpX = uniformRandom(1.0) * uniformRandom(1.0) < 0.01;
    if (d.jumpX)
        d.offsetX = uniformRandom(kSize);
    d.jumpY = uniformRandom(1.0) * uniformRandom(1.0) < 0.01;
    if (d.jumpY)
        d.offsetY = uniformRandom(kSize);
    d.next = nextRandom();
    return d;
}

unsigned firstSeedWith(bool jumpX, bool jumpY) {
    for (unsigned seed = 1;; ++seed) {
        const Draws d = predictDraws(seed);
        if (d.jumpX == jumpX && d.jumpY == jumpY)
            return seed;
    }
}

// The shake: an oscillator value in [-size/2, size/2] at frequency 40, truncated toward zero.
int shaken(int rest, double oscillatorPhase) {
    return static_cast<int>(
        std::trunc((std::sin(40 * oscillatorPhase) * 0.5 + 0.5) * kSize - kSize / 2 + rest));
}

class TitleCaption : public VaroTest {};

TEST_F(TitleCaption, DrawsAtTheGivenOpacityAndRestoresTheOverlay) {
    textOverlay.showMessage("keep");
    textOverlay.alpha = 0.7f;
    textOverlay.rememberMessage = 0;
    const auto glyphs = captureGlyphs([] { drawTitleCaption("Varo", 300, 200, kSize, 0.25f); });
    ASSERT_EQ(glyphs.size(), 4u);
    for (const Glyph& g : glyphs)
        EXPECT_EQ(g.colour, (std::array<float, 4>{1, 1, 1, 0.25f}));
    EXPECT_EQ(decodeLine(glyphs, static_cast<int>(glyphs[0].left), kAdvance), "Varo");
    EXPECT_EQ(glyphs[0].right - glyphs[0].left, 30);
    EXPECT_EQ(glyphs[0].top - glyphs[0].bottom, 60);
    EXPECT_EQ(textOverlay.alpha, 1.0f);
    EXPECT_EQ(textOverlay.rememberMessage, 1);
    EXPECT_STREQ(textOverlay.messageText, "keep");
}

TEST_F(TitleCaption, ShakesWithinHalfItsSizeOfTheRestPosition) {
    const unsigned calm = firstSeedWith(false, false);
    for (int k = 0; k < 60; ++k) {
        SCOPED_TRACE(k);
        phase[17] = k * 0.0037;
        phase[18] = k * 0.0051 + 0.01;
        seedRandom(calm);
        const Position at = drawnCaption();
        EXPECT_EQ(at.x, shaken(kRestX, phase[17]));
        EXPECT_EQ(at.y, shaken(kRestY, phase[18]));
        EXPECT_LE(std::abs(at.x - kRestX), kSize / 2);
        EXPECT_LE(std::abs(at.y - kRestY), kSize / 2);
    }
}

// r1 x r2 < 0.01 has chance 0.01 x (1 + ln 100), about 5.6%; one jump in sixty lands back
// on the same pixel.
TEST_F(TitleCaption, JumpsInAboutOneCallInEighteen) {
    phase[17] = 0.01;
    phase[18] = 0.02;
    const Position rest = {shaken(kRestX, 0.01), shaken(kRestY, 0.02)};
    seedRandom(2024);
    constexpr int kCalls = 3000;
    int jumpsX = 0, jumpsY = 0;
    for (int n = 0; n < kCalls; ++n) {
        const Position at = drawnCaption();
        jumpsX += at.x != rest.x;
        jumpsY += at.y != rest.y;
        ASSERT_LE(std::abs(at.x - rest.x), kSize / 2);
        ASSERT_LE(std::abs(at.y - rest.y), kSize / 2);
    }
    for (int jumps : {jumpsX, jumpsY}) {
        EXPECT_GT(jumps, kCalls * 0.042);
        EXPECT_LT(jumps, kCalls * 0.070);
    }
}

TEST_F(TitleCaption, DrawsRandomNumbersInItsOrder) {
    phase[17] = 0.004;
    phase[18] = 0.03;
    const Position shake = {shaken(kRestX, 0.004), shaken(kRestY, 0.03)};
    struct Case {
        bool jumpX, jumpY;
    };
    for (const Case& c :
         {Case{false, false}, Case{true, false}, Case{false, true}, Case{true, true}}) {
        SCOPED_TRACE(c.jumpX * 2 + c.jumpY);
        const unsigned seed = firstSeedWith(c.jumpX, c.jumpY);
        const Draws d = predictDraws(seed);
        seedRandom(seed);
        const Position at = drawnCaption();
        EXPECT_EQ(at.x, c.jumpX ? std::trunc(shake.x + d.offsetX - kSize / 2) : shake.x);
        EXPECT_EQ(at.y, c.jumpY ? std::trunc(shake.y + d.offsetY - kSize / 2) : shake.y);
        EXPECT_EQ(nextRandom(), d.next);  // no draw more or less
    }
}
}  // namespace
