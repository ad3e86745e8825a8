// The BMP loader and the texture table, against real GL textures read back from the driver.
#include <GL/gl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "images/texture_table.h"
#include "overlay/text_overlay.h"
#include "tests/support/gl_test.h"

namespace {
constexpr int kSide = 128;
constexpr size_t kHeaderBytes = 54;
constexpr size_t kRowBytes = kSide * 3;
constexpr size_t kFileBytes = kHeaderBytes + kRowBytes * kSide;  // 49,206

using Bytes = std::vector<unsigned char>;

Bytes readFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void writeFile(const std::string& path, const Bytes& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
}

// The RGBA texels of level `level` of a texture, texture row 0 (t = 0) first.
Bytes texelsOf(GLuint texture, int level = 0) {
    int side = kSide >> level;
    Bytes texels(static_cast<size_t>(side) * side * 4);
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, level, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    return texels;
}

std::array<int, 4> texelAt(const Bytes& texels, int x, int textureRow) {
    const unsigned char* t = &texels[(static_cast<size_t>(textureRow) * kSide + x) * 4];
    return {t[0], t[1], t[2], t[3]};
}

GLint parameterOf(GLuint texture, GLenum name) {
    GLint value = 0;
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
    return value;
}

GLint levelWidth(GLuint texture, int level) {
    GLint width = 0;
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &width);
    return width;
}

GLuint boundTexture() {
    GLint name = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &name);
    return static_cast<GLuint>(name);
}

// A scratch folder for made-up files, removed with what it holds.
class ScratchFolder {
public:
    ScratchFolder() {
        char pattern[] = "/tmp/varo-images-XXXXXX";
        path_ = mkdtemp(pattern);
    }
    ~ScratchFolder() { std::system(("rm -rf '" + path_ + "'").c_str()); }
    std::string file(const std::string& name) const { return path_ + "/" + name; }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// Pixel data whose first pixel is (red, green, blue) and the rest black, behind a header of
// zeros (the loader skips the header unread).
Bytes fileStartingWith(std::initializer_list<unsigned char> bgrBytes, size_t length) {
    Bytes bytes(length, 0);
    std::copy(bgrBytes.begin(), bgrBytes.end(), bytes.begin() + kHeaderBytes);
    return bytes;
}

// Loads a made-up file and deletes the texture again, keeping its texels.
Bytes loadTexels(const std::string& path, int alphaValue, int alphaThreshold) {
    GLuint texture = loadBmpTexture(path.c_str(), alphaValue, alphaThreshold, 0);
    EXPECT_NE(texture, 0u);
    Bytes texels = texelsOf(texture);
    glDeleteTextures(1, &texture);
    return texels;
}

// Keeps the table and the font as initScene left them, and puts them back afterwards.
class SavedTable {
public:
    SavedTable() : count_(textureCount), font_(textOverlay.fontTexture) {
        std::copy(textureIds, textureIds + kTextureCapacity, ids_.begin());
    }
    ~SavedTable() {
        std::copy(ids_.begin(), ids_.end(), textureIds);
        textureCount = count_;
        textOverlay.fontTexture = font_;
    }
    GLuint id(int entry) const { return ids_[entry]; }

private:
    std::array<GLuint, kTextureCapacity> ids_{};
    int count_;
    GLuint font_;
};

class TextureTable : public VaroTest {};
}  // namespace

TEST_F(TextureTable, HoldsTheThreePicturesWithTheFileRowsFromTheTopDown) {
    ASSERT_EQ(textureCount, 3);
    EXPECT_EQ(textOverlay.fontTexture, textureIds[0]);
    const char* files[] = {"font.bmp", "fisheye.bmp", "monacolor128.bmp"};
    for (int entry = 0; entry < 3; ++entry) {
        SCOPED_TRACE(files[entry]);
        ASSERT_NE(textureIds[entry], 0u);
        Bytes file = readFile(files[entry]);
        ASSERT_EQ(file.size(), kFileBytes);
        Bytes texels = texelsOf(textureIds[entry]);
        int mismatches = 0;
        for (int fileRow = 0; fileRow < kSide; ++fileRow)
            for (int x = 0; x < kSide; ++x) {
                const unsigned char* bgr = &file[kHeaderBytes + fileRow * kRowBytes + x * 3];
                int mean = (bgr[0] + bgr[1] + bgr[2]) / 3;
                std::array<int, 4> expected{bgr[2], bgr[1], bgr[0], entry == 0 ? mean : 255};
                mismatches += texelAt(texels, x, kSide - 1 - fileRow) != expected;
            }
        EXPECT_EQ(mismatches, 0);
    }
}

TEST_F(TextureTable, FontIsSharpAndPicturesAreMipmapped) {
    EXPECT_EQ(parameterOf(textureIds[0], GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    EXPECT_EQ(parameterOf(textureIds[0], GL_TEXTURE_MIN_FILTER), GL_LINEAR);
    EXPECT_EQ(levelWidth(textureIds[0], 1), 0);
    for (int entry = 1; entry < 3; ++entry) {
        EXPECT_EQ(parameterOf(textureIds[entry], GL_TEXTURE_MAG_FILTER), GL_LINEAR);
        EXPECT_EQ(parameterOf(textureIds[entry], GL_TEXTURE_MIN_FILTER), GL_NEAREST_MIPMAP_NEAREST);
        EXPECT_EQ(levelWidth(textureIds[entry], 1), 64);
        EXPECT_EQ(levelWidth(textureIds[entry], 7), 1);  // the chain runs down to 1 x 1
    }
    for (int entry = 0; entry < 3; ++entry) {  // the font lookup relies on repeat
        EXPECT_EQ(parameterOf(textureIds[entry], GL_TEXTURE_WRAP_S), GL_REPEAT);
        EXPECT_EQ(parameterOf(textureIds[entry], GL_TEXTURE_WRAP_T), GL_REPEAT);
    }
}

TEST_F(TextureTable, LoaderSetsModulateAndLeavesItsTextureBound) {
    ScratchFolder folder;
    writeFile(folder.file("grey.bmp"), fileStartingWith({}, kFileBytes));
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    GLuint texture = loadBmpTexture(folder.file("grey.bmp").c_str(), 255, 0, 1);
    ASSERT_NE(texture, 0u);
    EXPECT_EQ(boundTexture(), texture);
    GLint mode = 0, alignment = 0;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &mode);
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(mode, GL_MODULATE);
    EXPECT_EQ(alignment, 1);
    glDeleteTextures(1, &texture);
}

TEST_F(TextureTable, AlphaIsTheTruncatedMeanOrAThresholdedValue) {
    ScratchFolder folder;
    // First pixel red 30, green 60, blue 100; second 100, 0, 0; third 99, 99, 99.
    Bytes file = fileStartingWith({100, 60, 30, 0, 0, 100, 99, 99, 99}, kFileBytes);
    writeFile(folder.file("made.bmp"), file);
    const std::string path = folder.file("made.bmp");
    const int top = kSide - 1;  // the first pixels of the file land in the top texture row

    Bytes mean = loadTexels(path, -1, 0);
    EXPECT_EQ(texelAt(mean, 0, top), (std::array<int, 4>{30, 60, 100, 63}));  // 190 / 3
    EXPECT_EQ(texelAt(mean, 1, top), (std::array<int, 4>{100, 0, 0, 33}));
    EXPECT_EQ(texelAt(mean, 2, top), (std::array<int, 4>{99, 99, 99, 99}));
    EXPECT_EQ(texelAt(mean, 3, top)[3], 0);  // black is transparent

    Bytes threshold = loadTexels(path, 200, 100);   // any channel of 100 or more
    EXPECT_EQ(texelAt(threshold, 0, top)[3], 200);  // blue reaches it
    EXPECT_EQ(texelAt(threshold, 1, top)[3], 200);  // red reaches it
    EXPECT_EQ(texelAt(threshold, 2, top)[3], 0);    // all just short of it
    EXPECT_EQ(texelAt(threshold, 0, 0)[3], 0);

    Bytes lowByte = loadTexels(path, 0x180, 0);  // only the low 8 bits count
    EXPECT_EQ(texelAt(lowByte, 3, top)[3], 0x80);
    EXPECT_EQ(texelAt(lowByte, 0, 0)[3], 0x80);  // a threshold of 0 passes black
}

TEST_F(TextureTable, BytesPastTheEndReadAs255ColourAndBelowEveryThreshold) {
    ScratchFolder folder;
    // One whole pixel (30, 60, 100), then only the blue 10 and green 20 of the next.
    Bytes file = fileStartingWith({100, 60, 30, 10, 20}, kHeaderBytes + 5);
    writeFile(folder.file("short.bmp"), file);
    const std::string path = folder.file("short.bmp");
    const int top = kSide - 1;

    Bytes mean = loadTexels(path, -1, 0);
    EXPECT_EQ(texelAt(mean, 0, top), (std::array<int, 4>{30, 60, 100, 63}));
    EXPECT_EQ(texelAt(mean, 1, top), (std::array<int, 4>{255, 20, 10, 9}));      // 29 / 3
    EXPECT_EQ(texelAt(mean, 2, top), (std::array<int, 4>{255, 255, 255, 255}));  // -3 / 3
    EXPECT_EQ(texelAt(mean, 5, 0), (std::array<int, 4>{255, 255, 255, 255}));

    Bytes threshold = loadTexels(path, 200, 0);
    EXPECT_EQ(texelAt(threshold, 1, top)[3], 200);  // green 20 reaches 0
    EXPECT_EQ(texelAt(threshold, 2, top)[3], 0);    // end of file is -1, below 0
    EXPECT_EQ(texelAt(threshold, 5, 0)[3], 0);

    writeFile(folder.file("stub.bmp"), Bytes(10, 7));  // shorter than the header
    Bytes stub = loadTexels(folder.file("stub.bmp"), -1, 0);
    EXPECT_EQ(texelAt(stub, 0, top), (std::array<int, 4>{255, 255, 255, 255}));
}

TEST_F(TextureTable, ALongerFileIsReadOnlyToItsFirst49206Bytes) {
    ScratchFolder folder;
    Bytes file = readFile("monacolor128.bmp");
    ASSERT_EQ(file.size(), kFileBytes);
    Bytes longer = file;
    longer.insert(longer.end(), 5000, 0xAB);
    writeFile(folder.file("longer.bmp"), longer);
    writeFile(folder.file("exact.bmp"), file);
    EXPECT_EQ(loadTexels(folder.file("longer.bmp"), -1, 0),
              loadTexels(folder.file("exact.bmp"), -1, 0));
}

TEST_F(TextureTable, MissingFileOrFolderGivesNameZeroAndCreatesNothing) {
    ScratchFolder folder;
    ASSERT_EQ(mkdir(folder.file("folder.bmp").c_str(), 0755), 0);
    glBindTexture(GL_TEXTURE_2D, textureIds[2]);
    EXPECT_EQ(loadBmpTexture(folder.file("absent.bmp").c_str(), -1, 0, 1), 0u);
    EXPECT_EQ(loadBmpTexture(folder.file("folder.bmp").c_str(), -1, 0, 1), 0u);
    EXPECT_EQ(boundTexture(), textureIds[2]);  // no texture was made or bound
}

TEST_F(TextureTable, MissingFontLeavesEntryZeroAndStillCountsThree) {
    SavedTable saved;
    ScratchFolder folder;
    writeFile(folder.file("fisheye.bmp"), readFile("fisheye.bmp"));
    writeFile(folder.file("monacolor128.bmp"), readFile("monacolor128.bmp"));
    char home[4096];
    ASSERT_NE(getcwd(home, sizeof home), nullptr);
    ASSERT_EQ(chdir(folder.path().c_str()), 0);
    textureCount = 0;
    textOverlay.fontTexture = 12345;
    loadTextures();
    ASSERT_EQ(chdir(home), 0);

    EXPECT_EQ(textureCount, 3);
    EXPECT_EQ(textureIds[0], 0u);
    EXPECT_EQ(textOverlay.fontTexture, 0u);
    ASSERT_NE(textureIds[1], 0u);
    ASSERT_NE(textureIds[2], 0u);
    EXPECT_EQ(texelsOf(textureIds[1]), texelsOf(saved.id(1)));
    EXPECT_EQ(texelsOf(textureIds[2]), texelsOf(saved.id(2)));
    glDeleteTextures(2, &textureIds[1]);
}

TEST_F(TextureTable, LoadingAgainIntoAFullTableChangesNothing) {
    SavedTable saved;
    glBindTexture(GL_TEXTURE_2D, textureIds[1]);
    loadTextures();
    EXPECT_EQ(textureCount, 3);
    for (int entry = 0; entry < kTextureCapacity; ++entry)
        EXPECT_EQ(textureIds[entry], saved.id(entry));
    EXPECT_EQ(textOverlay.fontTexture, saved.id(0));
    EXPECT_EQ(boundTexture(), saved.id(1));  // no file was loaded
}
