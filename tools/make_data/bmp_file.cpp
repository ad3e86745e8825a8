// A hand-rolled BMP writer: the two standard headers, then rows of blue, green, red bytes.
#include "bmp_file.h"

#include <cmath>
#include <cstdint>
#include <fstream>
#include <vector>

namespace {
constexpr int kFileHeaderBytes = 14;
constexpr int kInfoHeaderBytes = 40;
constexpr int kBitsPerPixel = 24;
constexpr int kRowBytes = kPictureSize * 3;  // a multiple of 4: no padding
constexpr int kPixelsPerMetre = 2835;        // 72 dots per inch, as most writers put it

void putLittleEndian(std::vector<unsigned char>& bytes, uint32_t value, int width) {
    for (int i = 0; i < width; ++i)
        bytes.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

std::vector<unsigned char> headerBytes() {
    std::vector<unsigned char> bytes;
    bytes.push_back('B');
    bytes.push_back('M');
    putLittleEndian(bytes, kBmpFileBytes, 4);
    putLittleEndian(bytes, 0, 4);  // two reserved words
    putLittleEndian(bytes, kFileHeaderBytes + kInfoHeaderBytes, 4);
    putLittleEndian(bytes, kInfoHeaderBytes, 4);
    putLittleEndian(bytes, kPictureSize, 4);  // width
    putLittleEndian(bytes, kPictureSize, 4);  // height, positive
    putLittleEndian(bytes, 1, 2);             // planes
    putLittleEndian(bytes, kBitsPerPixel, 2);
    putLittleEndian(bytes, 0, 4);  // no compression
    putLittleEndian(bytes, kRowBytes * kPictureSize, 4);
    putLittleEndian(bytes, kPixelsPerMetre, 4);
    putLittleEndian(bytes, kPixelsPerMetre, 4);
    putLittleEndian(bytes, 0, 4);  // colours used: none, no palette
    putLittleEndian(bytes, 0, 4);  // important colours: all
    return bytes;
}

unsigned char toByte(double channel) {
    return static_cast<unsigned char>(std::lround(clamp01(channel) * 255.0));
}
}  // namespace

bool writeBmpFile(const Picture& picture, const std::string& path) {
    std::vector<unsigned char> bytes = headerBytes();
    for (int y = 0; y < kPictureSize; ++y)
        for (int x = 0; x < kPictureSize; ++x) {
            const Colour& c = picture.at(x, y);
            bytes.push_back(toByte(c.b));
            bytes.push_back(toByte(c.g));
            bytes.push_back(toByte(c.r));
        }
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
    return static_cast<bool>(file);
}
