// Any text, position, size, clock or own-format value: the message stays terminated, GL error-free.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "overlay/text_overlay.h"
#include "state/frame_clock.h"
#include "tests/fuzz/fuzz_window.h"

namespace {
const char* const kIntFormats[] = {"Tesselation: %d\n", "Letterbox: %d", "# : %d"};
const char* const kFloatFormats[] = {"FOV: %3.0f Degrees\n", "Light Rotate Speed: %4.2f\n"};

// An input: these fields (zeros where it is short), then the text up to its first zero byte.
struct Arguments {
    std::uint8_t operation, choice;  // what is done; a format or a glyph height
    short x, y;
    int clock;  // milliseconds, or the integer shown
    double value;
};
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    openFuzzWindow();
    initScene();  // the font and the rest of the scene, from the working directory
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Arguments a{};
    const std::size_t used = size < sizeof a ? size : sizeof a;
    std::memcpy(&a, data, used);
    const std::string text(data + used, data + size);
    elapsedMs = a.clock;
    switch (a.operation % 5) {
        case 0: textOverlay.showMessage(text.c_str()); break;
        case 1:
            textOverlay.rememberMessage = a.operation / 5 % 2;
            textOverlay.drawText(text.c_str(), a.x, a.y, a.choice);  // glyphs 0 to 255 pixels high
            textOverlay.rememberMessage = 1;
            break;
        case 2: textOverlay.showMessageInt(kIntFormats[a.choice % 3], a.clock); break;
        case 3: textOverlay.showMessageFloat(kFloatFormats[a.choice % 2], a.value); break;
        default: textOverlay.drawFrameRate(a.clock); textOverlay.messageExpiry = a.value;
    }
    textOverlay.drawMessageLine();
    if (std::memchr(textOverlay.messageText, '\0', kMessageCapacity) == nullptr)
        std::abort();  // a finding: the stored message line is not terminated
    glFinish();        // as a frame's buffer swap would: else the driver's queue grows without end
    if (glGetError() != GL_NO_ERROR)
        std::abort();  // a finding: text drawing raised a GL error
    return 0;
}
