// Bitmap-font text at window pixel positions, the message line, and the clock and error lines.
//
// Globals:
//   glErrorCount  GL errors read since start
// The one instance `textOverlay` is defined with the other global objects in global_objects.cpp.
#include "overlay/text_overlay.h"

#include <GL/glu.h>

#include <cstdio>
#include <cstring>

#include "state/frame_clock.h"
#include "state/window_state.h"

int glErrorCount = 0;

namespace {
// The font atlas: 16 columns by 8 rows of cells, cell n showing character 32 + n, row 0 at
// the top of texture space.
constexpr int kAtlasColumns = 16;
constexpr float kCellWidth = 0.0625f;    // 1/16 of texture space
constexpr float kCellHeight = 0.125f;    // 1/8 of texture space
constexpr float kTopRowBottom = 0.875f;  // lower edge of cell row 0
constexpr float kCellShift = 0.01f;      // the sampled window is shifted, not inset
constexpr unsigned kSpaceCell = 0;

// Glyph metrics relative to the glyph height.
constexpr double kGlyphWidth = 0.5;
constexpr double kGlyphAdvance = 0.45;
constexpr GLfloat kTextAlphaCut = 0.1f;  // texels at or below this alpha are not drawn

constexpr float kLineSize = 20.0f;        // messages, frame rate and error lines
constexpr double kMessageSeconds = 3.0;   // a message shows this long
constexpr double kRoundingRoom = 1.0;     // seconds; more than any rounding of an expiry
constexpr int kFrameRateFromRight = 120;  // the clock line starts this far from the right
constexpr double kErrorLineAt = 0.4;      // of the window width
constexpr size_t kErrorTextLimit = 60;    // characters of the GL error string kept

double clockSeconds() {
    return elapsedMs * 0.001;
}

void beginText() {
    glEnable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, textOverlay.fontTexture);
    glDepthMask(GL_FALSE);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, kTextAlphaCut);
    glPushAttrib(GL_POLYGON_BIT);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);  // text stays filled in every polygon mode
    glPushMatrix();
    glPushAttrib(GL_VIEWPORT_BIT);
    glViewport(0, 0, windowWidth, windowHeight);
    // The projection is replaced, not saved: text comes after all 3-D drawing of a frame and
    // the next frame loads its own perspective.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, windowWidth, 0, windowHeight, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void endText() {
    glPopMatrix();
    glPopAttrib();  // viewport
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glDisable(GL_ALPHA_TEST);
    glPopAttrib();  // polygon mode
    glDepthMask(GL_TRUE);
}

void drawGlyph(unsigned cell, float left, float bottom, float width, float height) {
    float u = static_cast<float>(cell % kAtlasColumns) * kCellWidth + kCellShift;
    float v = kTopRowBottom - static_cast<float>(cell / kAtlasColumns) * kCellHeight - kCellShift;
    glBegin(GL_QUADS);
    glTexCoord2f(u, v);
    glVertex2f(left, bottom);
    glTexCoord2f(u + kCellWidth, v);
    glVertex2f(left + width, bottom);
    glTexCoord2f(u + kCellWidth, v + kCellHeight);
    glVertex2f(left + width, bottom + height);
    glTexCoord2f(u, v + kCellHeight);
    glVertex2f(left, bottom + height);
    glEnd();
}

// Draws a formatted message at once and keeps it as the message line for three seconds.
void postMessage(TextOverlay& overlay, const char* text) {
    overlay.drawText(text, toPixel(overlay.messageX), toPixel(overlay.messageY), kLineSize);
    overlay.messageExpiry = clockSeconds() + kMessageSeconds;
}

// Keeps a copy of the text as the message line; longer text is cut to fit, still terminated.
// The text may be the stored line itself (the line redrawing itself each frame), so the copy
// allows the two to overlap.
void storeMessage(char (&line)[kMessageCapacity], const char* text) {
    size_t length = 0;
    while (length < kMessageCapacity - 1 && text[length] != '\0')
        ++length;
    std::memmove(line, text, length);
    std::memset(line + length, 0, kMessageCapacity - length);
}
}  // namespace

TextOverlay::TextOverlay() {
    rememberMessage = 1;
    red = green = blue = alpha = 1.0f;
    messageX = 10;
    messageY = 25;
}

TextOverlay::~TextOverlay() = default;

void TextOverlay::drawText(const char* text, short x, short y, float size) {
    const short bottom = toPixel(windowHeight - y);
    const auto width = static_cast<float>(size * kGlyphWidth);
    const auto height = static_cast<float>(size);
    const auto advance = static_cast<float>(size * kGlyphAdvance);
    const size_t length = std::strlen(text);

    glColor4d(red, green, blue, alpha);
    beginText();
    short pen = x;
    for (size_t n = 0; n < length; ++n) {
        unsigned cell = (static_cast<unsigned char>(text[n]) - 32u) % 256u;
        if (cell != kSpaceCell)
            drawGlyph(cell, pen, bottom, width, height);
        pen = toPixel(pen + advance);  // the fraction is dropped at every glyph
    }
    endText();

    if (rememberMessage) {
        lineX = x;
        lineY = y;
        storeMessage(messageText, text);
    }
}

// A plain message is copied, never used as a format, so a '%' in it is shown as it is.
void TextOverlay::showMessage(const char* text) {
    char buffer[kMessageCapacity];
    std::snprintf(buffer, sizeof buffer, "%s", text);
    postMessage(*this, buffer);
}

void TextOverlay::showMessageInt(const char* format, int value) {
    char buffer[kMessageCapacity];
    std::snprintf(buffer, sizeof buffer, format, value);
    postMessage(*this, buffer);
}

void TextOverlay::showMessageFloat(const char* format, double value) {
    char buffer[kMessageCapacity];
    std::snprintf(buffer, sizeof buffer, format, value);
    postMessage(*this, buffer);
}

// A message never has more than its three seconds left. Once the toolkit's clock has wrapped
// (after 24.8 days) an expiry set before the wrap would lie weeks ahead: that line goes.
void TextOverlay::drawMessageLine() {
    const double left = messageExpiry - clockSeconds();
    if (left > 0 && left < kMessageSeconds + kRoundingRoom)
        drawText(messageText, toPixel(lineX), toPixel(lineY), kLineSize);
    else
        messageExpiry = 0.0;
}

void TextOverlay::drawFrameRate(int count) {
    rememberMessage = 0;
    char buffer[kMessageCapacity];
    std::snprintf(buffer, sizeof buffer, "%3d Frame/Sec", count);
    drawText(buffer, toPixel(windowWidth - kFrameRateFromRight), toPixel(messageY), kLineSize);
    rememberMessage = 1;
}

// The error is counted, drawn at once and kept as the message line for three seconds, so
// that it can be read; a stream of errors keeps it on screen.
void TextOverlay::drawGlErrors() {
    GLenum error = glGetError();
    if (error != GL_NO_ERROR) {
        ++glErrorCount;
        char name[kErrorTextLimit + 1];
        const auto* description = reinterpret_cast<const char*>(gluErrorString(error));
        std::snprintf(name, sizeof name, "%s", description ? description : "unknown error");
        char line[kMessageCapacity];
        std::snprintf(line, sizeof line, "OpenGL Error: %s", name);
        rememberMessage = 1;
        drawText(line, toPixel(windowWidth * kErrorLineAt), toPixel(messageY), kLineSize);
        messageExpiry = clockSeconds() + kMessageSeconds;
    }
    rememberMessage = 1;
}

short toPixel(double position) {
    constexpr double kIntLimit = 2147483647.0;
    if (!(position > -kIntLimit))
        position = position != position ? 0.0 : -kIntLimit;
    if (position > kIntLimit)
        position = kIntLimit;
    return static_cast<short>(static_cast<int>(position));
}
