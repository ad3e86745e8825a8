// Writing a picture as a 128 x 128, 24-bit, uncompressed BMP file the way the program reads it.
#pragma once

#include <string>

#include "picture.h"

constexpr long kBmpFileBytes = 49206;  // 54 bytes of header, then 128 rows of 384 bytes

// Writes the picture's top row first. The header is a standard one with a positive height, so
// an ordinary image viewer, which takes the first stored row as the bottom, shows the file
// upside down; the program puts the first stored row at the top of texture space, where it
// shows upright. Returns false if the file cannot be written.
bool writeBmpFile(const Picture& picture, const std::string& path);
