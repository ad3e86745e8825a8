// Fuzzes the picture loader: any bytes at all, saved as a file and loaded into a texture, must
// give exactly the texels that the file's bytes call for, and no GL error.
//
// The loader is called with the program's two parameter sets (the font's and the pictures')
// and with one more taken from the first eight header bytes, which the loader skips unread.
#include <GL/gl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "images/texture_table.h"
#include "tests/fuzz/fuzz_window.h"
#include "tests/reliability/bmp_reference.h"

namespace {
std::string picturePath;  // the file every input is written to

void writePicture(const std::uint8_t* data, std::size_t size) {
    std::FILE* file = std::fopen(picturePath.c_str(), "wb");
    if (!file || (size != 0 && std::fwrite(data, 1, size, file) != size) || std::fclose(file) != 0)
        fuzzFailure("cannot write the picture file");
}

int headerInt(const std::vector<unsigned char>& file, std::size_t at) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i)
        value |= static_cast<std::uint32_t>(file[at + i]) << (8 * i);
    int result;
    std::memcpy(&result, &value, sizeof result);
    return result;
}

void loadAndCheck(const std::vector<unsigned char>& file, int alphaValue, int alphaThreshold,
                  int mipmapped) {
    GLuint name = loadBmpTexture(picturePath.c_str(), alphaValue, alphaThreshold, mipmapped);
    if (name == 0)
        fuzzFailure("a readable file gave texture name 0");
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    if (static_cast<GLuint>(bound) != name)
        fuzzFailure("the new texture is not left bound");
    std::vector<unsigned char> texels(static_cast<std::size_t>(bmp_reference::kSide) *
                                      bmp_reference::kSide * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    if (texels != bmp_reference::expectedTexels(file, alphaValue, alphaThreshold))
        fuzzFailure("the texels differ from what the file's bytes call for");
    glDeleteTextures(1, &name);
    if (glGetError() != GL_NO_ERROR)
        fuzzFailure("loading raised a GL error");
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    openFuzzWindow();
    char path[] = "/tmp/varo-fuzz-bmp-XXXXXX";
    int descriptor = mkstemp(path);
    if (descriptor < 0)
        fuzzFailure("cannot make a temporary file");
    close(descriptor);
    picturePath = path;
    std::atexit([] { std::remove(picturePath.c_str()); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<unsigned char> file(data, data + size);
    writePicture(data, size);
    loadAndCheck(file, -1, 0, 0);   // the font atlas: alpha is the mean of the channels
    loadAndCheck(file, 255, 0, 1);  // the pictures: opaque, mipmapped
    if (size >= 8)
        loadAndCheck(file, headerInt(file, 0), headerInt(file, 4), static_cast<int>(size & 1));
    return 0;
}
