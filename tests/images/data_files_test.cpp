// The three data files: their format, the font atlas's layout and the pictures' orientation,
// checked on the bytes the program reads (the working directory is the data folder).
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/support/gl_test.h"

namespace {
constexpr int kSide = 128;
constexpr size_t kHeaderBytes = 54;
constexpr size_t kRowBytes = kSide * 3;
constexpr size_t kFileBytes = kHeaderBytes + kRowBytes * kSide;
constexpr int kCellWidth = 8;
constexpr int kCellHeight = 16;

struct Rgb {
    int r, g, b;
};

class DataFile {
public:
    explicit DataFile(const std::string& path) {
        std::ifstream file(path, std::ios::binary);
        bytes_.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }
    size_t size() const { return bytes_.size(); }
    uint32_t field(size_t offset, int width) const {
        uint32_t value = 0;
        for (int i = width - 1; i >= 0; --i)
            value = value << 8 | bytes_[offset + i];
        return value;
    }
    // Pixel x of the stored row, rows counted in the order the file holds them.
    Rgb pixel(int x, int storedRow) const {
        const unsigned char* p = &bytes_[kHeaderBytes + storedRow * kRowBytes + x * 3];
        return {p[2], p[1], p[0]};
    }
    bool ink(int x, int storedRow) const {
        Rgb c = pixel(x, storedRow);
        return (c.r + c.g + c.b) / 3 > 25;  // the alpha test drops what is not above 0.1
    }

private:
    std::vector<unsigned char> bytes_;
};

Rgb meanOver(const DataFile& file, int x0, int row0, int width, int height) {
    Rgb sum{0, 0, 0};
    for (int row = row0; row < row0 + height; ++row)
        for (int x = x0; x < x0 + width; ++x) {
            Rgb c = file.pixel(x, row);
            sum = {sum.r + c.r, sum.g + c.g, sum.b + c.b};
        }
    int n = width * height;
    return {sum.r / n, sum.g / n, sum.b / n};
}

// Ink rows of an atlas cell, from its first stored row down.
std::vector<bool> inkRows(const DataFile& atlas, int code) {
    int cell = code - 32;
    int left = cell % 16 * kCellWidth, top = cell / 16 * kCellHeight;
    std::vector<bool> rows(kCellHeight, false);
    for (int y = 0; y < kCellHeight; ++y)
        for (int x = 0; x < kCellWidth; ++x)
            rows[y] = rows[y] || atlas.ink(left + x, top + y);
    return rows;
}

bool cellHasInkAt(const DataFile& atlas, int code, bool (*where)(int x, int y)) {
    int cell = code - 32;
    int left = cell % 16 * kCellWidth, top = cell / 16 * kCellHeight;
    for (int y = 0; y < kCellHeight; ++y)
        for (int x = 0; x < kCellWidth; ++x)
            if (where(x, y) && atlas.ink(left + x, top + y))
                return true;
    return false;
}
}  // namespace

TEST(DataFiles, AreUncompressed24Bit128By128BmpsOf49206Bytes) {
    for (const char* name : {"font.bmp", "fisheye.bmp", "monacolor128.bmp"}) {
        SCOPED_TRACE(name);
        DataFile file(name);
        ASSERT_EQ(file.size(), kFileBytes);
        EXPECT_EQ(file.field(0, 2), 0x4D42u);  // "BM"
        EXPECT_EQ(file.field(2, 4), kFileBytes);
        EXPECT_EQ(file.field(10, 4), kHeaderBytes);  // pixel data right after the header
        EXPECT_EQ(file.field(14, 4), 40u);
        EXPECT_EQ(file.field(18, 4), 128u);
        EXPECT_EQ(file.field(22, 4), 128u);
        EXPECT_EQ(file.field(28, 2), 24u);
        EXPECT_EQ(file.field(30, 4), 0u);
    }
}

TEST(DataFiles, FontCellsHoldPrintableGlyphsInTheWindowTheTextSamples) {
    DataFile atlas("font.bmp");
    // The text samples a cell shifted about 1.3 texels right and down: nothing may sit in a
    // cell's first column or first row, where it would be lost or bleed into a neighbour.
    auto edge = [](int x, int y) { return x == 0 || y == 0; };
    auto anywhere = [](int, int) { return true; };
    for (int code = 32; code < 160; ++code) {
        SCOPED_TRACE(code);
        bool printable = code > 32 && code < 127;
        EXPECT_EQ(cellHasInkAt(atlas, code, anywhere), printable);
        EXPECT_FALSE(cellHasInkAt(atlas, code, edge));
    }
}

TEST(DataFiles, FontGlyphsStandUprightWithRowZeroFirst) {
    DataFile atlas("font.bmp");
    // '!' is a bar over a dot: the first ink met from the top is the long bar.
    std::vector<bool> rows = inkRows(atlas, '!');
    int first = 0;
    while (first < kCellHeight && !rows[first])
        ++first;
    int bar = 0;
    while (first + bar < kCellHeight && rows[first + bar])
        ++bar;
    int dot = 0;
    for (int y = first + bar; y < kCellHeight; ++y)
        dot += rows[y];
    EXPECT_GT(bar, dot);
    EXPECT_GT(dot, 0);
    // 'g' hangs below the line on which 'a' sits; '^' sits high, '_' low.
    std::vector<bool> a = inkRows(atlas, 'a'), g = inkRows(atlas, 'g');
    EXPECT_FALSE(a[14]);
    EXPECT_TRUE(g[14]);
    EXPECT_TRUE(inkRows(atlas, '^')[4]);
    EXPECT_FALSE(inkRows(atlas, '^')[12]);
    EXPECT_TRUE(inkRows(atlas, '_')[14]);
}

TEST(DataFiles, PicturesHaveTheSkyInTheirFirstStoredRows) {
    DataFile fisheye("fisheye.bmp");
    Rgb sky = meanOver(fisheye, 56, 10, 16, 8);
    Rgb ground = meanOver(fisheye, 56, 110, 16, 8);
    EXPECT_GT(sky.b, sky.r + 40);   // blue sky at the top of the lens circle
    EXPECT_GT(ground.r, ground.b);  // terracotta paving at the bottom
    Rgb corner = meanOver(fisheye, 0, 0, 4, 4);
    EXPECT_LT(corner.r + corner.g + corner.b, 30);  // outside the circle: the dark lens rim

    DataFile portrait("monacolor128.bmp");
    Rgb heaven = meanOver(portrait, 48, 2, 32, 10);
    Rgb dress = meanOver(portrait, 36, 96, 10, 8);
    Rgb face = meanOver(portrait, 58, 52, 12, 6);
    EXPECT_GT(heaven.r + heaven.g + heaven.b, 3 * (dress.r + dress.g + dress.b));
    EXPECT_GT(face.r, face.b + 60);  // warm skin in the middle, below the sky
}
