// What the loader must make of any bytes at all: the 128 x 128 RGBA texels of a picture file,
// worked out from byte offsets rather than by reading the file as the loader does.
#pragma once

#include <cstddef>
#include <vector>

namespace bmp_reference {

constexpr int kSide = 128;                // texels per side
constexpr std::size_t kHeaderBytes = 54;  // skipped unread
constexpr std::size_t kRowBytes = 3 * kSide;
constexpr std::size_t kFileBytes = kHeaderBytes + kRowBytes * kSide;  // 49,206

// Byte `offset` of the file, or -1 (the end-of-file value) past its end.
inline int fileByte(const std::vector<unsigned char>& file, std::size_t offset) {
    return offset < file.size() ? file[offset] : -1;
}

// Texture row 0 (t near 0) comes from the last stored row of the file; pixels are stored blue,
// green, red. A negative alphaValue gives the truncated mean of the channels as read; otherwise
// a texel gets alphaValue's low byte where a channel reaches alphaThreshold, else 0.
inline std::vector<unsigned char> expectedTexels(const std::vector<unsigned char>& file,
                                                 int alphaValue, int alphaThreshold) {
    std::vector<unsigned char> texels(static_cast<std::size_t>(kSide) * kSide * 4);
    for (int row = 0; row < kSide; ++row) {
        for (int x = 0; x < kSide; ++x) {
            const std::size_t at = kHeaderBytes +
                                   static_cast<std::size_t>(kSide - 1 - row) * kRowBytes +
                                   static_cast<std::size_t>(x) * 3;
            const int blue = fileByte(file, at);
            const int green = fileByte(file, at + 1);
            const int red = fileByte(file, at + 2);
            int alpha = 0;
            if (alphaValue < 0)
                alpha = static_cast<int>((red + green + blue) / 3.0);
            else if (red >= alphaThreshold || green >= alphaThreshold || blue >= alphaThreshold)
                alpha = alphaValue;
            unsigned char* texel = &texels[(static_cast<std::size_t>(row) * kSide + x) * 4];
            texel[0] = static_cast<unsigned char>(red & 0xFF);
            texel[1] = static_cast<unsigned char>(green & 0xFF);
            texel[2] = static_cast<unsigned char>(blue & 0xFF);
            texel[3] = static_cast<unsigned char>(alpha & 0xFF);
        }
    }
    return texels;
}

}  // namespace bmp_reference
