// Fuzzes the text paths: any bytes as a message or as drawn text, at any position, and any
// value in the program's constant message formats. The stored message line must always be
// the text cut to 79 bytes and terminated, nothing beside it may change, and no GL error may
// be raised.
//
// Input: byte 0 picks the operation; the bytes after it are its arguments and text.
#include <GL/gl.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "app/frame.h"
#include "app/window.h"
#include "overlay/text_overlay.h"
#include "state/frame_clock.h"
#include "state/window_state.h"
#include "tests/fuzz/fuzz_window.h"

namespace {
// Every format the program posts an integer or a real number with.
const char* const kIntFormats[] = {"Tesselation: %d\n", "Letterbox: %d", "# : %d"};
const char* const kFloatFormats[] = {"FOV: %3.0f Degrees\n",    "Rotate Speed: %4.2f\n",
                                     "Movement Speed: %4.2f\n", "Light Rotate Speed: %4.2f\n",
                                     "Object Size: %4.2f\n",    "CameraZ: %4.2f\n",
                                     "Main Speed: %4.2f\n",     "Speed: %4.2f\n"};
const float kSizes[] = {18.0f, 20.0f, 30.0f, 60.0f};  // glyph heights the program draws at

// Reads little-endian arguments off the front of the input; zeros once it runs out.
class Reader {
public:
    Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    std::uint8_t byte() { return at_ < size_ ? data_[at_++] : 0; }
    template <typename T>
    T value() {
        unsigned char bytes[sizeof(T)];
        for (auto& b : bytes)
            b = byte();
        T result;
        std::memcpy(&result, bytes, sizeof result);
        return result;
    }
    // The rest of the input as a C string: up to its first zero byte.
    std::string rest() {
        std::string text(reinterpret_cast<const char*>(data_ + at_), size_ - at_);
        at_ = size_;
        return text.substr(0, text.find('\0'));
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

// The fields that no text operation may touch, and the stored line.
struct Snapshot {
    int messageX, messageY;
    float red, green, blue, alpha;
    GLuint fontTexture;
    std::string line;
    int lineX, lineY;
};

Snapshot snapshot() {
    const TextOverlay& t = textOverlay;
    return {t.messageX, t.messageY, t.red,         t.green,
            t.blue,     t.alpha,    t.fontTexture, std::string(t.messageText, sizeof t.messageText),
            t.lineX,    t.lineY};
}

// The message line as a store of `text` must hold: its first 79 bytes, then zeros.
std::string storedForm(const std::string& text) {
    std::string line = text.substr(0, kMessageCapacity - 1);
    line.resize(kMessageCapacity, '\0');
    return line;
}

void expectLine(const std::string& text, int x, int y) {
    const TextOverlay& t = textOverlay;
    if (std::string(t.messageText, sizeof t.messageText) != storedForm(text))
        fuzzFailure("the stored message line is not the text cut to 79 bytes");
    if (t.lineX != x || t.lineY != y)
        fuzzFailure("the stored message line is not at the position drawn");
}

void expectUntouched(const Snapshot& before, bool lineToo) {
    Snapshot now = snapshot();
    if (now.messageX != before.messageX || now.messageY != before.messageY ||
        now.red != before.red || now.green != before.green || now.blue != before.blue ||
        now.alpha != before.alpha || now.fontTexture != before.fontTexture)
        fuzzFailure("a text operation changed the overlay's fixed fields");
    if (lineToo &&
        (now.line != before.line || now.lineX != before.lineX || now.lineY != before.lineY))
        fuzzFailure("the message line changed although nothing was stored");
    if (textOverlay.rememberMessage != 1)
        fuzzFailure("rememberMessage is not back to 1");
}

void expectExpiry() {
    if (textOverlay.messageExpiry != elapsedMs * 0.001 + 3.0)
        fuzzFailure("a posted message does not expire three seconds after the clock");
}

std::string formatted(const char* format, int value) {
    char wide[512];
    std::snprintf(wide, sizeof wide, format, value);
    return wide;
}

std::string formatted(const char* format, double value) {
    char wide[512];
    std::snprintf(wide, sizeof wide, format, value);
    return wide;
}

void fuzzOne(Reader& in) {
    const Snapshot before = snapshot();
    switch (in.byte() % 5) {
        case 0: {  // a plain message: the text is shown as it is, never used as a format
            elapsedMs = in.value<int>();
            std::string text = in.rest();
            textOverlay.showMessage(text.c_str());
            expectLine(text, textOverlay.messageX, textOverlay.messageY);
            expectExpiry();
            expectUntouched(before, false);
            break;
        }
        case 1: {  // drawn text, remembered or not, anywhere, at any of the program's sizes
            auto x = in.value<short>();
            auto y = in.value<short>();
            std::uint8_t choice = in.byte();
            textOverlay.rememberMessage = choice & 1;
            std::string text = in.rest();
            textOverlay.drawText(text.c_str(), x, y, kSizes[(choice >> 1) % 4]);
            bool remembered = textOverlay.rememberMessage != 0;
            textOverlay.rememberMessage = 1;
            if (remembered)
                expectLine(text, x, y);
            expectUntouched(before, !remembered);
            break;
        }
        case 2: {
            const char* format = kIntFormats[in.byte() % 3];
            int value = in.value<int>();
            textOverlay.showMessageInt(format, value);
            expectLine(formatted(format, value), textOverlay.messageX, textOverlay.messageY);
            expectUntouched(before, false);
            break;
        }
        case 3: {  // any double at all: huge, tiny, infinite, not a number
            const char* format = kFloatFormats[in.byte() % 8];
            double value = in.value<double>();
            textOverlay.showMessageFloat(format, value);
            expectLine(formatted(format, value), textOverlay.messageX, textOverlay.messageY);
            expectUntouched(before, false);
            break;
        }
        default: {  // the clock line, then the message line at any clock value
            textOverlay.drawFrameRate(in.value<int>());
            expectUntouched(before, true);
            elapsedMs = in.value<int>();
            textOverlay.messageExpiry = in.value<double>();
            textOverlay.drawMessageLine();
            expectUntouched(before, true);
            break;
        }
    }
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    openFuzzWindow();
    initScene();  // the font and the rest of the scene, from the working directory
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Reader in(data, size);
    fuzzOne(in);
    // The program's frames wait at every buffer swap; without a wait now and then the driver
    // queues all the drawing and its memory grows without end.
    static unsigned inputs = 0;
    if (++inputs % 32 == 0)
        glFinish();
    textOverlay.drawGlErrors();
    if (glErrorCount != 0)
        fuzzFailure("text drawing raised a GL error");
    return 0;
}
