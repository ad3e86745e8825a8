// Writing a picture read back from GL as a PNG file.
#pragma once

#include <string>
#include <vector>

// Writes 8-bit RGB pixels, `width` x `height`, rows from the top, to a PNG file. Returns false
// with a message in `error` if the file cannot be written.
bool writePngFile(const std::string& path, int width, int height,
                  const std::vector<unsigned char>& rgb, std::string& error);
