// The font atlas from a PSF console font: 16 x 8 cells of 8 x 16 pixels, cell n holding the
// character code 32 + n, row 0 at the top. Codes 127 to 159 stay blank, so that a control
// character such as a trailing newline, which the text draws from those cells, shows nothing.
#include "font_atlas.h"

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <vector>

namespace {
constexpr int kGlyphWidth = 8;
constexpr int kGlyphHeight = 16;
constexpr int kCellColumns = 16;
constexpr int kFirstCode = 32;       // the space, cell 0
constexpr int kLastPrintable = 126;  // '~'

// The text samples each cell through a window shifted about 1.3 texels right and down, past
// the cell into its neighbours. Glyphs are placed one texel right of and below the cell's
// corner so that they sit in that window; the console font leaves the last column and row
// of its glyphs empty, which is what the shift drops.
constexpr int kGlyphShift = 1;

const Colour kInk{1.0, 1.0, 1.0};  // white, so opaque: the atlas's alpha is the channels' mean

constexpr unsigned char kPsf1Magic[] = {0x36, 0x04};
constexpr unsigned char kPsf2Magic[] = {0x72, 0xb5, 0x4a, 0x86};
constexpr int kPsf1HeaderBytes = 4;
constexpr int kPsf1Has512Glyphs = 0x01;
constexpr int kPsf1HasTable = 0x02;
constexpr int kPsf2HeaderBytes = 32;
constexpr uint32_t kPsf2HasTable = 0x01;

struct ConsoleFont {
    int width = 0;
    int height = 0;
    int glyphCount = 0;
    int bytesPerGlyph = 0;
    const unsigned char* glyphs = nullptr;
    std::map<uint32_t, int> glyphOfCode;  // from the font's Unicode table, if it has one
};

bool readWholeFile(const std::string& path, std::vector<unsigned char>& bytes) {
    gzFile file = gzopen(path.c_str(), "rb");  // reads plain files as they are
    if (!file)
        return false;
    unsigned char buffer[16384];
    int count;
    while ((count = gzread(file, buffer, sizeof buffer)) > 0)
        bytes.insert(bytes.end(), buffer, buffer + count);
    gzclose(file);
    return count == 0;
}

uint32_t littleEndian(const unsigned char* p, int width) {
    uint32_t value = 0;
    for (int i = width - 1; i >= 0; --i)
        value = value << 8 | p[i];
    return value;
}

// Version 1 table: per glyph, 16-bit code points up to 0xFFFF; 0xFFFE starts sequences.
void readPsf1Table(const unsigned char* p, const unsigned char* end, ConsoleFont& font) {
    for (int glyph = 0; glyph < font.glyphCount && p + 2 <= end; ++glyph) {
        bool inSequence = false;
        for (uint32_t code; p + 2 <= end && (code = littleEndian(p, 2)) != 0xFFFF;) {
            p += 2;
            inSequence = inSequence || code == 0xFFFE;
            if (!inSequence)
                font.glyphOfCode.emplace(code, glyph);
        }
        p += 2;
    }
}

// Version 2 table: per glyph, UTF-8 text up to 0xFF; 0xFE starts sequences.
void readPsf2Table(const unsigned char* p, const unsigned char* end, ConsoleFont& font) {
    for (int glyph = 0; glyph < font.glyphCount && p < end; ++glyph) {
        bool inSequence = false;
        while (p < end && *p != 0xFF) {
            inSequence = inSequence || *p == 0xFE;
            int length = *p < 0x80 ? 1 : *p >= 0xF0 ? 4 : *p >= 0xE0 ? 3 : *p >= 0xC0 ? 2 : 1;
            uint32_t code = length == 1 ? *p : *p & (0x7F >> length);
            for (int i = 1; i < length && p + i < end; ++i)
                code = code << 6 | (p[i] & 0x3F);
            if (!inSequence && *p != 0xFE)
                font.glyphOfCode.emplace(code, glyph);
            p += length;
        }
        ++p;
    }
}

bool parseFont(const std::vector<unsigned char>& bytes, ConsoleFont& font, std::string& error) {
    const unsigned char* data = bytes.data();
    const unsigned char* end = data + bytes.size();
    size_t glyphOffset;
    bool hasTable;
    if (bytes.size() >= kPsf1HeaderBytes && data[0] == kPsf1Magic[0] && data[1] == kPsf1Magic[1]) {
        font.glyphCount = data[2] & kPsf1Has512Glyphs ? 512 : 256;
        font.width = kGlyphWidth;
        font.height = font.bytesPerGlyph = data[3];
        glyphOffset = kPsf1HeaderBytes;
        hasTable = data[2] & kPsf1HasTable;
    } else if (bytes.size() >= kPsf2HeaderBytes && std::equal(kPsf2Magic, kPsf2Magic + 4, data)) {
        glyphOffset = littleEndian(data + 8, 4);
        hasTable = littleEndian(data + 12, 4) & kPsf2HasTable;
        font.glyphCount = static_cast<int>(littleEndian(data + 16, 4));
        font.bytesPerGlyph = static_cast<int>(littleEndian(data + 20, 4));
        font.height = static_cast<int>(littleEndian(data + 24, 4));
        font.width = static_cast<int>(littleEndian(data + 28, 4));
    } else {
        error = "not a PSF font";
        return false;
    }
    if (font.width != kGlyphWidth || font.height != kGlyphHeight ||
        font.bytesPerGlyph != kGlyphHeight) {
        error = "glyphs are not 8 x 16";
        return false;
    }
    size_t tableOffset = glyphOffset + static_cast<size_t>(font.glyphCount) * font.bytesPerGlyph;
    if (tableOffset > bytes.size()) {
        error = "font file is cut short";
        return false;
    }
    font.glyphs = data + glyphOffset;
    if (hasTable && data[0] == kPsf1Magic[0])
        readPsf1Table(data + tableOffset, end, font);
    else if (hasTable)
        readPsf2Table(data + tableOffset, end, font);
    return true;
}

// Fonts without a table keep their glyphs in code order.
int glyphFor(const ConsoleFont& font, int code) {
    if (font.glyphOfCode.empty())
        return code < font.glyphCount ? code : -1;
    auto found = font.glyphOfCode.find(static_cast<uint32_t>(code));
    return found == font.glyphOfCode.end() ? -1 : found->second;
}

void drawGlyph(const unsigned char* rows, int cell, Picture& atlas) {
    int left = cell % kCellColumns * kGlyphWidth;
    int top = cell / kCellColumns * kGlyphHeight;
    for (int y = 0; y + kGlyphShift < kGlyphHeight; ++y)
        for (int x = 0; x + kGlyphShift < kGlyphWidth; ++x)
            if (rows[y] & (0x80 >> x))
                atlas.at(left + x + kGlyphShift, top + y + kGlyphShift) = kInk;
}
}  // namespace

bool paintFontAtlas(const std::string& fontPath, Picture& atlas, std::string& error) {
    std::vector<unsigned char> bytes;
    if (!readWholeFile(fontPath, bytes)) {
        error = "cannot read " + fontPath;
        return false;
    }
    ConsoleFont font;
    if (!parseFont(bytes, font, error))
        return false;
    atlas = Picture();
    for (int code = kFirstCode; code <= kLastPrintable; ++code) {
        int glyph = glyphFor(font, code);
        if (glyph < 0) {
            error = "font has no glyph for code " + std::to_string(code);
            return false;
        }
        drawGlyph(font.glyphs + glyph * font.bytesPerGlyph, code - kFirstCode, atlas);
    }
    return true;
}
