// Reading text back: the glyph quads that drawText emits, by GL feedback, as boxes and text.
#pragma once

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "tests/support/gl_test.h"

struct Glyph {
    std::array<double, 4> box;  // left, bottom, right, top: window pixels, rows from the bottom
    std::array<double, 2> uv;   // lower left corner of the atlas window it samples
    float alpha;
};

// Text is drawn in window pixels, as feedback gives them (rounded to 1/256, below which it is
// not exact). A quad comes back as triangles that each span its box: one glyph.
inline std::vector<Glyph> captureGlyphs(const std::function<void()>& draw) {
    const auto values = feedback(GL_3D_COLOR_TEXTURE, draw);
    std::vector<Glyph> glyphs;
    for (size_t at = 0; at < values.size();) {
        EXPECT_EQ(values[at], GL_POLYGON_TOKEN);  // text is filled in every polygon mode
        const size_t end = at + 2 + 11 * static_cast<size_t>(values[at + 1]);
        Glyph g{{1e9, 1e9, -1e9, -1e9}, {1e9, 1e9}, values[at + 8]};
        for (at += 2; at < end; at += 11)
            for (int k : {0, 1}) {
                const double p = std::round(values[at + k] * 256) / 256;
                g.box[k] = std::min(g.box[k], p);
                g.box[k + 2] = std::max(g.box[k + 2], p);
                g.uv[k] = std::min<double>(g.uv[k], values[at + 7 + k]);
            }
        if (glyphs.empty() || glyphs.back().box != g.box)
            glyphs.push_back(g);
    }
    return glyphs;
}

// The text of a line drawn from pen `x` with a whole-pixel advance, empty slots read as spaces:
// atlas cell n (16 to a row, row 0 at the top, rows repeating) shows character 32 + n.
inline std::string decodeLine(const std::vector<Glyph>& line, int x, int advance) {
    std::string text;
    for (const Glyph& g : line) {
        const double slot = (g.box[0] - x) / advance, col = (g.uv[0] - 0.01) * 16;
        const double row = (0.865 - g.uv[1]) * 8;
        if (slot < static_cast<double>(text.size()) || slot != std::round(slot))
            return text + "<misplaced>";
        text.resize(static_cast<size_t>(slot), ' ');
        const long c = std::lround(col), r = std::lround(row);
        text += std::fabs(col - c) + std::fabs(row - r) < 1e-3
                    ? static_cast<char>(32 + (r & 7) * 16 + c)
                    : '?';
    }
    return text;
}
