// Any bytes as a picture file give a texture or 0, no GL error or over-read, under each alpha rule.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "images/texture_table.h"
#include "tests/fuzz/fuzz_window.h"

static char picturePath[] = "/tmp/varo-fuzz-bmp-XXXXXX";

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    openFuzzWindow();
    close(mkstemp(picturePath));
    std::atexit([] { unlink(picturePath); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::ofstream(picturePath, std::ios::binary).write(reinterpret_cast<const char*>(data), size);
    int header[2] = {0, 0};  // an alpha value and threshold, from bytes the loader skips
    std::memcpy(header, data, size < sizeof header ? size : sizeof header);
    const int rules[][3] = {{-1, 0, 0}, {255, 0, 1}, {header[0], header[1], header[0] & 1}};
    for (const auto& [alphaValue, alphaThreshold, mipmapped] : rules) {
        GLuint texture = loadBmpTexture(picturePath, alphaValue, alphaThreshold, mipmapped);
        glDeleteTextures(1, &texture);
    }
    if (glGetError() != GL_NO_ERROR)
        std::abort();  // a finding: loading raised a GL error
    return 0;
}
