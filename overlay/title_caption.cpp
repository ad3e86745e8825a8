// The title caption: the program's name, shaking, jumping and fading over the first seconds.
#include "overlay/title_caption.h"

#include "motion/oscillator_bank.h"
#include "motion/random.h"
#include "overlay/text_overlay.h"

namespace {
constexpr double kShakeFrequency = 40;  // a fast shake, far quicker than the turns
constexpr double kJumpChance = 0.01;    // of the product of two uniform numbers: ~5.6% of frames

// A jump of up to half the glyph size either way, in about one frame in eighteen.
short maybeJump(short position, float size, float half) {
    double r1 = uniformRandom(1.0);
    double r2 = uniformRandom(1.0);
    if (r1 * r2 < kJumpChance)
        return toPixel(position + uniformRandom(size) - half);
    return position;
}
}  // namespace

void drawTitleCaption(const char* text, short x, short y, float size, float alpha) {
    const auto half = static_cast<float>(size * 0.5);
    short px = toPixel(oscillatorValue(kTitleShakeX, kShakeFrequency, size, -half) + x);
    short py = toPixel(oscillatorValue(kTitleShakeY, kShakeFrequency, size, -half) + y);
    px = maybeJump(px, size, half);
    py = maybeJump(py, size, half);
    textOverlay.rememberMessage = 0;  // the caption never becomes the message line
    textOverlay.alpha = alpha;
    textOverlay.drawText(text, px, py, size);
    textOverlay.alpha = 1.0f;
    textOverlay.rememberMessage = 1;
}
