// Bad data files against the real loader: missing, empty, one byte, header only, cut off
// inside the pixels, longer than a picture, a folder under the file's name, random bytes, and
// pictures of another size or depth. A name that opens nothing gives texture 0; any file at
// all gives a texture of exactly the texels its bytes call for (bytes past the end read as the
// end-of-file value); the program then draws with them without a GL error.
#include <GL/gl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "app/frame.h"
#include "app/reset.h"
#include "images/texture_table.h"
#include "input/keyboard.h"
#include "overlay/text_overlay.h"
#include "state/frame_clock.h"
#include "state/settings.h"
#include "tests/reliability/bmp_reference.h"
#include "tests/reliability/reliability_support.h"
#include "tests/support/gl_test.h"

namespace {
using Bytes = std::vector<unsigned char>;

void put16(Bytes& b, unsigned v) {
    for (int i = 0; i < 2; ++i)
        b.push_back(static_cast<unsigned char>(v >> (8 * i)));
}

void put32(Bytes& b, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b.push_back(static_cast<unsigned char>(v >> (8 * i)));
}

// A well-formed uncompressed BMP of the given size and depth, its pixel bytes from `seed`.
Bytes bmpFile(int width, int height, int bitsPerPixel, unsigned seed) {
    const int rowBytes = (width * bitsPerPixel / 8 + 3) / 4 * 4;
    const std::uint32_t palette = bitsPerPixel == 8 ? 1024 : 0;
    const std::uint32_t pixels = static_cast<std::uint32_t>(rowBytes * height);
    Bytes b = {'B', 'M'};
    put32(b, 54 + palette + pixels);
    put32(b, 0);
    put32(b, 54 + palette);
    put32(b, 40);
    put32(b, static_cast<std::uint32_t>(width));
    put32(b, static_cast<std::uint32_t>(height));
    put16(b, 1);
    put16(b, static_cast<unsigned>(bitsPerPixel));
    for (std::uint32_t v : {0u, pixels, 2835u, 2835u, 0u, 0u})
        put32(b, v);
    std::mt19937 random(seed);
    for (std::uint32_t n = 0; n < palette + pixels; ++n)
        b.push_back(static_cast<unsigned char>(random()));
    return b;
}

Bytes randomBytes(std::size_t size, unsigned seed) {
    std::mt19937 random(seed);
    Bytes b(size);
    for (auto& byte : b)
        byte = static_cast<unsigned char>(random());
    return b;
}

Bytes prefix(const Bytes& b, std::size_t size) {
    return Bytes(b.begin(), b.begin() + static_cast<std::ptrdiff_t>(size));
}

enum class Kind { Missing, Folder, Pipe, File };

struct BadFile {
    const char* name;
    Kind kind;
    Bytes bytes;
};

std::vector<BadFile> badFiles() {
    const Bytes picture = bmpFile(128, 128, 24, 1);
    Bytes longer = picture;
    const Bytes tail = randomBytes(5000, 2);
    longer.insert(longer.end(), tail.begin(), tail.end());
    return {
        {"missing", Kind::Missing, {}},
        {"empty", Kind::File, {}},
        {"one byte", Kind::File, {'B'}},
        {"header only", Kind::File, prefix(picture, 54)},
        {"cut off inside the pixels", Kind::File, prefix(picture, 54 + 100 * 384 + 17)},
        {"longer than a picture", Kind::File, longer},
        {"a folder", Kind::Folder, {}},
        {"a named pipe, which would block a reader for good", Kind::Pipe, {}},
        {"random bytes of a picture's length", Kind::File, randomBytes(49206, 3)},
        {"random bytes, short", Kind::File, randomBytes(3000, 4)},
        {"64 x 64, 24 bits", Kind::File, bmpFile(64, 64, 24, 5)},
        {"256 x 256, 24 bits", Kind::File, bmpFile(256, 256, 24, 6)},
        {"128 x 128, 32 bits", Kind::File, bmpFile(128, 128, 32, 7)},
        {"128 x 128, 8 bits with a palette", Kind::File, bmpFile(128, 128, 8, 8)},
    };
}

// A scratch folder that is the working directory while it lives.
class ScratchFolder {
public:
    ScratchFolder() {
        char pattern[] = "/tmp/varo-bad-files-XXXXXX";
        path_ = mkdtemp(pattern);
        char here[4096];
        home_ = getcwd(here, sizeof here);
        EXPECT_EQ(chdir(path_.c_str()), 0);
    }
    ~ScratchFolder() {
        EXPECT_EQ(chdir(home_.c_str()), 0);
        std::string command = "rm -rf '" + path_ + "'";
        EXPECT_EQ(std::system(command.c_str()), 0);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

private:
    std::string path_, home_;
};

void place(const BadFile& f, const char* as) {
    if (f.kind == Kind::Folder) {
        ASSERT_EQ(mkdir(as, 0755), 0);
    } else if (f.kind == Kind::Pipe) {
        ASSERT_EQ(mkfifo(as, 0644), 0);
    } else if (f.kind == Kind::File) {
        std::FILE* file = std::fopen(as, "wb");
        ASSERT_NE(file, nullptr);
        if (!f.bytes.empty()) {
            ASSERT_EQ(std::fwrite(f.bytes.data(), 1, f.bytes.size(), file), f.bytes.size());
        }
        ASSERT_EQ(std::fclose(file), 0);
    }
}

Bytes texelsOf(GLuint name) {
    Bytes texels(128 * 128 * 4);
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    return texels;
}

// Whether the glyph cell of the first character of a message (10 x 20 pixels from (10, 25),
// the bottom-left corner, counted from the top) is one solid white block: what text looks
// like when the font gave no usable glyphs.
bool firstGlyphIsSolidBlock() {
    auto pixels = readRgb(11, kTestWindowHeight - 24, 8, 18);
    for (unsigned char channel : pixels)
        if (channel != 255)
            return false;
    return true;
}
}  // namespace

using BadDataFiles = VaroTest;

TEST_F(BadDataFiles, LoaderGivesZeroOrExactlyTheTexelsTheBytesCallFor) {
    ScratchFolder scratch;
    const GLuint probeLimit = 200;
    for (const BadFile& f : badFiles()) {
        SCOPED_TRACE(f.name);
        place(f, "picture.bmp");
        const int texturesBefore = texturesUpTo(probeLimit);
        for (auto [alphaValue, mipmapped] : {std::pair{-1, 0}, std::pair{255, 1}}) {
            GLuint name = loadBmpTexture("picture.bmp", alphaValue, 0, mipmapped);
            EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
            if (f.kind != Kind::File) {
                EXPECT_EQ(name, 0u);
                EXPECT_EQ(texturesUpTo(probeLimit), texturesBefore);
                continue;
            }
            ASSERT_NE(name, 0u);
            EXPECT_EQ(texelsOf(name), bmp_reference::expectedTexels(f.bytes, alphaValue, 0));
            glDeleteTextures(1, &name);
        }
        std::remove("picture.bmp");
        rmdir("picture.bmp");
    }
}

// The three data files replaced by bad ones, three at a time, as the program loads them at
// start-up: the table still holds three entries, a file that opens nothing leaves its entry 0,
// and the program draws frames with every picture and mode without a GL error. A font that
// gave no glyphs (missing, a folder, or all end-of-file bytes) shows text as solid blocks.
TEST_F(BadDataFiles, ProgramDrawsWithEveryBadSetOfDataFiles) {
    const std::vector<BadFile> files = badFiles();
    auto find = [&](const std::string& name) {
        for (const BadFile& f : files)
            if (name == f.name)
                return f;
        return BadFile{};
    };
    struct Set {
        const char* font;
        const char* fisheye;
        const char* portrait;
        bool solidText;
    };
    const Set sets[] = {
        {"missing", "empty", "one byte", true},
        {"header only", "cut off inside the pixels", "longer than a picture", true},
        {"a folder", "random bytes of a picture's length", "128 x 128, 32 bits", true},
        {"random bytes, short", "64 x 64, 24 bits", "128 x 128, 8 bits with a palette", false},
    };
    const GLuint savedIds[3] = {textureIds[0], textureIds[1], textureIds[2]};
    const int savedCount = textureCount;
    for (const Set& s : sets) {
        SCOPED_TRACE(std::string(s.font) + " / " + s.fisheye + " / " + s.portrait);
        ScratchFolder scratch;
        place(find(s.font), "font.bmp");
        place(find(s.fisheye), "fisheye.bmp");
        place(find(s.portrait), "monacolor128.bmp");
        textureCount = 0;
        loadTextures();
        EXPECT_EQ(textureCount, 3);
        textOverlay.fontTexture = textureIds[0];  // as initScene does
        const char* names[] = {s.font, s.fisheye, s.portrait};
        for (int n = 0; n < 3; ++n)
            EXPECT_EQ(textureIds[n] == 0, find(names[n]).kind != Kind::File) << names[n];

        int ms = 20000;
        for (unsigned char key : {'i', 'o', 'o', 'i', 'o', 'w', 'w', 'w', '?'}) {
            onKeyboard(key, 0, 0);
            ASSERT_EQ(frameAt(ms += 16), 0);
        }
        onKeyboard('n', 0, 0);  // "# : 1"
        helpShown = 0;
        ASSERT_EQ(frameAt(ms += 16), 0);
        EXPECT_EQ(firstGlyphIsSolidBlock(), s.solidText);

        glDeleteTextures(3, textureIds);
    }
    for (int n = 0; n < 3; ++n)
        textureIds[n] = savedIds[n];
    textOverlay.fontTexture = savedIds[0];
    textureCount = savedCount;
    textOverlay.fontTexture = textureIds[0];
}
