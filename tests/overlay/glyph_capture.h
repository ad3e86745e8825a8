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
#include <vector>

#include "tests/support/gl_test.h"

struct Glyph {
    double left, bottom, right, top;  // window pixels, rows counted from the bottom
    double u0, v0, u1, v1;            // the atlas window it samples
    std::array<float, 4> colour;
};

// drawText sets a full-window orthographic view, so feedback positions are window pixels
// (rounded to 1/256, below which feedback is not exact). A quad comes back as two triangles
// that each span the whole cell, so consecutive triangles over one rectangle are one glyph.
inline std::vector<Glyph> captureGlyphs(const std::function<void()>& draw) {
    const auto values = feedback(GL_3D_COLOR_TEXTURE, draw);
    std::vector<Glyph> glyphs;
    for (size_t at = 0; at < values.size();) {
        EXPECT_EQ(values[at], GL_POLYGON_TOKEN);
        int count = static_cast<int>(values[at + 1]);
        Glyph g{1e9, 1e9, -1e9, -1e9, 1e9, 1e9, -1e9, -1e9, {}};
        for (at += 2; at < values.size() && count > 0; at += 11, --count) {
            const float* v = &values[at];
            const double x = std::round(v[0] * 256) / 256, y = std::round(v[1] * 256) / 256;
            g = {std::min(g.left, x),          std::min(g.bottom, y),
                 std::max(g.right, x),         std::max(g.top, y),
                 std::min<double>(g.u0, v[7]), std::min<double>(g.v0, v[8]),
                 std::max<double>(g.u1, v[7]), std::max<double>(g.v1, v[8]),
                 {v[3], v[4], v[5], v[6]}};
        }
        const Glyph* last = glyphs.empty() ? nullptr : &glyphs.back();
        if (!last || last->left != g.left || last->right != g.right || last->top != g.top ||
            last->bottom != g.bottom)
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
    const double column = (g.u0 - 0.01) / 0.0625, row = (0.865 - g.v0) / 0.125;
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

// Lit pixels of the back buffer: their count, then left, right, bottom and top of their
// bounding box (rows from the bottom).
inline std::array<int, 5> litArea() {
    const auto rgb = readRgb(0, 0, kTestWindowWidth, kTestWindowHeight);
    std::array<int, 5> area = {0, 1 << 20, -1, 1 << 20, -1};
    for (size_t at = 0; at < rgb.size(); at += 3) {
        if (!rgb[at] && !rgb[at + 1] && !rgb[at + 2])
            continue;
        const int x = static_cast<int>(at / 3 % kTestWindowWidth);
        const int y = static_cast<int>(at / 3 / kTestWindowWidth);
        area = {area[0] + 1, std::min(area[1], x), std::max(area[2], x), std::min(area[3], y),
                std::max(area[4], y)};
    }
    return area;
}
