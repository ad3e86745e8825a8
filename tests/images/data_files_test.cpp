// The checked-in data files, on the bytes the program reads (the working directory is data/).
#include <fstream>
#include <iterator>
#include <vector>

#include "tests/support/gl_test.h"

namespace {
using Bytes = std::vector<unsigned char>;

Bytes readData(const char* name) {
    return {std::istreambuf_iterator<char>(std::ifstream(name, std::ios::binary).rdbuf()), {}};
}

// Channel c (0 blue, 1 green, 2 red, 3 all) summed along `width` pixels of the row-th stored row.
int light(const Bytes& file, int x0, int row, int width, int c = 3) {
    int sum = 0;
    for (int i = (row * 128 + x0) * 3; i < (row * 128 + x0 + width) * 3; ++i)
        sum += c > 2 || i % 3 == c ? file[54 + i] : 0;
    return sum;
}
}  // namespace

TEST(DataFiles, Are24Bit128By128BmpsStoredTopRowFirst) {
    // "BM", 49,206 bytes, pixels at 54, a 40-byte header, 128 x 128, 1 plane, 24 bits, raw.
    const Bytes header{'B', 'M', 0x36, 0xC0, 0, 0,   0, 0, 0, 0, 54, 0,  0, 0, 40, 0, 0,
                       0,   128, 0,    0,    0, 128, 0, 0, 0, 1, 0,  24, 0, 0, 0,  0, 0};
    for (const char* name : {"font.bmp", "fisheye.bmp", "monacolor128.bmp"}) {
        const Bytes file = readData(name);
        ASSERT_EQ(file.size(), 49206u) << name;
        EXPECT_EQ(Bytes(file.begin(), file.begin() + 34), header) << name;
    }
    // Rows of 8 x 16 glyph cells from their first stored row, ink being more light than a texel
    // of mean 25: 'g' hangs below the line of 'a', '^' sits high, '_' low. The sky is first.
    const Bytes atlas = readData("font.bmp"), fisheye = readData("fisheye.bmp");
    const int rows[][3] = {{'a', 14, 0}, {'g', 14, 1}, {'^', 4, 1}, {'^', 12, 0}, {'_', 14, 1}};
    for (const auto& [code, row, ink] : rows)
        EXPECT_EQ(light(atlas, (code - 32) % 16 * 8, (code - 32) / 16 * 16 + row, 8) > 75, ink != 0)
            << char(code) << " row " << row;
    EXPECT_GT(light(fisheye, 56, 12, 16, 0), light(fisheye, 56, 12, 16, 2));    // blue sky
    EXPECT_GT(light(fisheye, 56, 114, 16, 2), light(fisheye, 56, 114, 16, 0));  // red paving
    const Bytes portrait = readData("monacolor128.bmp");  // a bright sky above a dark dress
    EXPECT_GT(light(portrait, 48, 5, 32), 3 * light(portrait, 36, 100, 32));
}
