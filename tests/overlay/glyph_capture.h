// Reading text back: the glyph quads that drawText emits, by GL feedback, and lit pixels.
#pragma once

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/gl_test.h"

struct Glyph {
    double left, bottom, right, top;  // window pixels, rows counted from the bottom
    double u0, v0, u1, v1;            // the atlas window it samples
    std::array<float, 4> colour;
};

// Runs `draw` in feedback mode; drawText sets a full-window viewport and an orthographic
// projection, so the feedback positions are window pixels. A quad arrives as two triangles
// that each span the whole cell, so consecutive triangles over one rectangle are one glyph.
// Positions are rounded to 1/256 pixel, below which feedback is not exact.
inline std::vector<Glyph> captureGlyphs(const std::function<void()>& draw) {
    static std::vector<GLfloat> buffer(1 << 18);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR_TEXTURE, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    const int used = glRenderMode(GL_RENDER);
    EXPECT_GE(used, 0) << "feedback buffer overflow";
    std::vector<Glyph> glyphs;
    for (int at = 0; at < used;) {
        EXPECT_EQ(buffer[at], GL_POLYGON_TOKEN);
        const int count = static_cast<int>(buffer[at + 1]);
        at += 2;
        Glyph g{1e9, 1e9, -1e9, -1e9, 1e9, 1e9, -1e9, -1e9, {}};
        for (int k = 0; k < count; ++k, at += 11) {
            const GLfloat* v = &buffer[at];
            const double x = std::round(v[0] * 256) / 256, y = std::round(v[1] * 256) / 256;
            g.left = std::min(g.left, x);
            g.right = std::max(g.right, x);
            g.bottom = std::min(g.bottom, y);
            g.top = std::max(g.top, y);
            g.u0 = std::min<double>(g.u0, v[7]);
            g.u1 = std::max<double>(g.u1, v[7]);
            g.v0 = std::min<double>(g.v0, v[8]);
            g.v1 = std::max<double>(g.v1, v[8]);
            g.colour = {v[3], v[4], v[5], v[6]};
        }
        const bool sameCell = !glyphs.empty() && glyphs.back().left == g.left &&
                              glyphs.back().right == g.right && glyphs.back().top == g.top &&
                              glyphs.back().bottom == g.bottom;
        if (!sameCell)
            glyphs.push_back(g);
    }
    return glyphs;
}

// Glyphs grouped into lines by their top edge, the top line first.
inline std::map<double, std::vector<Glyph>, std::greater<double>> linesByTop(
    const std::vector<Glyph>& glyphs) {
    std::map<double, std::vector<Glyph>, std::greater<double>> lines;
    for (const Glyph& g : glyphs)
        lines[g.top].push_back(g);
    return lines;
}

// The character a glyph shows, from its atlas cell (cell n is character 32 + n, 16 to a row,
// row 0 at the top of texture space), or '?' for a window that is not a cell.
inline char characterOf(const Glyph& g) {
    const double column = (g.u0 - 0.01) / 0.0625;
    const double row = (0.865 - g.v0) / 0.125;
    if (std::fabs(column - std::round(column)) > 1e-3 || std::fabs(row - std::round(row)) > 1e-3)
        return '?';
    return static_cast<char>(32 + std::lround(row) * 16 + std::lround(column));
}

// The text of one line drawn from pen `x` with a whole-pixel advance: spaces fill the slots
// that hold no glyph, so leading and inner spaces come back; trailing ones cannot.
inline std::string decodeLine(const std::vector<Glyph>& line, int x, int advance) {
    std::string text;
    for (const Glyph& g : line) {
        const double offset = g.left - x;
        if (offset < 0 || std::fmod(offset, advance) != 0)
            return text + "<misplaced>";
        const auto slot = static_cast<size_t>(offset / advance);
        if (slot < text.size())
            return text + "<overlap>";
        text.resize(slot, ' ');
        text += characterOf(g);
    }
    return text;
}

// Lit pixels of the back buffer: their number and bounding box (rows from the bottom).
struct LitArea {
    int count = 0;
    int left = 1 << 20, right = -1, bottom = 1 << 20, top = -1;
};

inline LitArea litArea() {
    const auto rgb = readRgb(0, 0, kTestWindowWidth, kTestWindowHeight);
    LitArea area;
    for (int y = 0; y < kTestWindowHeight; ++y) {
        for (int x = 0; x < kTestWindowWidth; ++x) {
            const size_t at = (static_cast<size_t>(y) * kTestWindowWidth + x) * 3;
            if (rgb[at] || rgb[at + 1] || rgb[at + 2]) {
                ++area.count;
                area.left = std::min(area.left, x);
                area.right = std::max(area.right, x);
                area.bottom = std::min(area.bottom, y);
                area.top = std::max(area.top, y);
            }
        }
    }
    return area;
}

// Runs of lit columns, first and last, along one pixel row.
inline std::vector<std::pair<int, int>> litRuns(int row) {
    const auto rgb = readRgb(0, row, kTestWindowWidth, 1);
    std::vector<std::pair<int, int>> runs;
    for (int x = 0; x < kTestWindowWidth; ++x) {
        const bool lit = rgb[x * 3] || rgb[x * 3 + 1] || rgb[x * 3 + 2];
        if (lit && (runs.empty() || runs.back().second != x - 1))
            runs.push_back({x, x});
        else if (lit)
            runs.back().second = x;
    }
    return runs;
}
