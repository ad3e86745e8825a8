// Bitmap-font text at window pixel positions, the message line, and the clock and error lines.
#pragma once

#include <GL/gl.h>

constexpr int kMessageCapacity = 80;  // bytes of every text buffer, terminator included

// A window position as the text takes it: truncated toward zero to a 16-bit pixel, wrapping
// as 16-bit arithmetic does; out-of-range and undefined values wrap from the int range.
short toPixel(double position);

class TextOverlay {
public:
    TextOverlay();
    virtual ~TextOverlay();

    // Draws `text` with its glyphs' bottom edge `y` pixels below the top of the window,
    // starting `x` pixels from the left, glyphs `size` pixels high.
    void drawText(const char* text, short x, short y, float size);

    void showMessage(const char* text);
    void showMessageInt(const char* format, int value);
    void showMessageFloat(const char* format, double value);

    void drawMessageLine();
    void drawFrameRate(int framesPerSecond);
    void drawGlErrors();

    int messageX;                // x of new messages, pixels from the left
    int messageY;                // y of new messages (glyph bottoms), pixels from the top
    int lineX = 0;               // x of the stored message line
    int lineY = 0;               // y of the stored message line
    int rememberMessage;         // flag: drawText stores its text as the message line
    double messageExpiry = 0.0;  // seconds; the line shows while now is below; 0: no line
    float red;
    float green;
    float blue;
    float alpha;
    char messageText[kMessageCapacity] = {};  // the stored message line, NUL-terminated
    GLuint fontTexture = 0;                   // the font atlas texture
};

extern TextOverlay textOverlay;
extern int glErrorCount;  // GL errors read since start
