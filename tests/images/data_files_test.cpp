// The three data files: their format, the font atlas's layout and the pictures' orientation,
// checked on the bytes the program reads (the working directory is the data folder).
#include <array>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <vector>

#include "tests/support/gl_test.h"

namespace {
constexpr size_t kHeaderBytes = 54;
constexpr size_t kFileBytes = kHeaderBytes + 128 * 128 * 3;

using Bytes = std::vector<unsigned char>;
using Rgb = std::array<int, 3>;

Bytes readData(const char* name) {
    std::ifstream file(name, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// The little-endian header field of `width` bytes at `offset`.
uint32_t field(const Bytes& file, size_t offset, int width) {
    uint32_t value = 0;
    for (int i = width - 1; i >= 0; --i)
        value = value << 8 | file[offset + i];
    return value;
}

// Pixel x of a stored row, rows counted in the order the file holds them.
Rgb pixel(const Bytes& file, int x, int storedRow) {
    const unsigned char* p = &file[kHeaderBytes + (storedRow * 128 + x) * 3];
    return {p[2], p[1], p[0]};
}

Rgb meanOver(const Bytes& file, int x0, int row0, int width, int height) {
    Rgb sum{0, 0, 0};
    for (int row = row0; row < row0 + height; ++row)
        for (int x = x0; x < x0 + width; ++x)
            for (int c = 0; c < 3; ++c)
                sum[c] += pixel(file, x, row)[c];
    return {sum[0] / (width * height), sum[1] / (width * height), sum[2] / (width * height)};
}

// Ink at (x, y) of the 8 x 16 atlas cell of `code`, y from the cell's first stored row down:
// what the alpha test keeps, a mean above 0.1.
bool ink(const Bytes& atlas, int code, int x, int y) {
    Rgb c = pixel(atlas, (code - 32) % 16 * 8 + x, (code - 32) / 16 * 16 + y);
    return (c[0] + c[1] + c[2]) / 3 > 25;
}

bool inkInRow(const Bytes& atlas, int code, int y) {
    for (int x = 0; x < 8; ++x)
        if (ink(atlas, code, x, y))
            return true;
    return false;
}
}  // namespace

TEST(DataFiles, AreUncompressed24Bit128By128BmpsOf49206Bytes) {
    for (const char* name : {"font.bmp", "fisheye.bmp", "monacolor128.bmp"}) {
        Bytes file = readData(name);
        ASSERT_EQ(file.size(), kFileBytes) << name;
        // "BM", file size, pixel data right after the header, header size, width, height,
        // bits per pixel, no compression.
        const struct {
            size_t offset;
            int width;
            uint32_t value;
        } fields[] = {{0, 2, 0x4D42u}, {2, 4, kFileBytes}, {10, 4, kHeaderBytes}, {14, 4, 40},
                      {18, 4, 128},    {22, 4, 128},       {28, 2, 24},           {30, 4, 0}};
        for (const auto& f : fields)
            EXPECT_EQ(field(file, f.offset, f.width), f.value) << name << " byte " << f.offset;
    }
}

// The text samples a cell shifted about 1.3 texels right and down: nothing may sit in a
// cell's first column or first row, where it would be lost or bleed into a neighbour.
TEST(DataFiles, FontCellsHoldPrintableGlyphsInTheWindowTheTextSamples) {
    const Bytes atlas = readData("font.bmp");
    for (int code = 32; code < 160; ++code) {
        int inked = 0, onEdge = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 8; ++x) {
                inked += ink(atlas, code, x, y);
                onEdge += ink(atlas, code, x, y) && (x == 0 || y == 0);
            }
        EXPECT_EQ(inked > 0, code > 32 && code < 127) << code;
        EXPECT_EQ(onEdge, 0) << code;
    }
}

// 'g' hangs below the line on which 'a' sits; '^' sits high, '_' low.
TEST(DataFiles, FontGlyphsStandUprightWithRowZeroFirst) {
    const Bytes atlas = readData("font.bmp");
    EXPECT_FALSE(inkInRow(atlas, 'a', 14));
    EXPECT_TRUE(inkInRow(atlas, 'g', 14));
    EXPECT_TRUE(inkInRow(atlas, '^', 4));
    EXPECT_FALSE(inkInRow(atlas, '^', 12));
    EXPECT_TRUE(inkInRow(atlas, '_', 14));
}

TEST(DataFiles, PicturesHaveTheSkyInTheirFirstStoredRows) {
    const Bytes fisheye = readData("fisheye.bmp"), portrait = readData("monacolor128.bmp");
    Rgb sky = meanOver(fisheye, 56, 10, 16, 8), ground = meanOver(fisheye, 56, 110, 16, 8);
    EXPECT_GT(sky[2], sky[0] + 40);   // blue sky at the top of the lens circle
    EXPECT_GT(ground[0], ground[2]);  // terracotta paving at the bottom
    Rgb heaven = meanOver(portrait, 48, 2, 32, 10), dress = meanOver(portrait, 36, 96, 10, 8);
    EXPECT_GT(heaven[0] + heaven[1] + heaven[2], 3 * (dress[0] + dress[1] + dress[2]));
}
