// The BMP loader and the texture table, against real GL textures read back from the driver.
#include <GL/gl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "images/picture_folders.h"
#include "images/texture_table.h"
#include "tests/support/gl_test.h"

namespace {
constexpr int kSide = 128;
constexpr size_t kHeaderBytes = 54;
constexpr size_t kFileBytes = kHeaderBytes + kSide * kSide * 3;  // 49,206
constexpr int kTop = kSide - 1;  // the texture row that the file's first row lands in

using Bytes = std::vector<unsigned char>;
using Texel = std::array<int, 4>;

Bytes readFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// The RGBA texels of level 0 of a texture, texture row 0 (t = 0) first.
Bytes texelsOf(GLuint texture) {
    Bytes texels(kSide * kSide * 4);
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    return texels;
}

Texel texelAt(const Bytes& texels, int x, int textureRow) {
    const unsigned char* t = &texels[(static_cast<size_t>(textureRow) * kSide + x) * 4];
    return {t[0], t[1], t[2], t[3]};
}

GLint parameterOf(GLuint texture, GLenum name, int level = -1) {
    GLint value = 0;
    glBindTexture(GL_TEXTURE_2D, texture);
    if (level < 0)
        glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
    else
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, name, &value);
    return value;
}

GLuint boundTexture() {
    GLint name = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &name);
    return static_cast<GLuint>(name);
}

// Pixel data that starts with the given blue, green, red bytes, behind a header of zeros.
Bytes fileStartingWith(std::initializer_list<unsigned char> bgrBytes, size_t length) {
    Bytes bytes(length, 0);
    std::copy(bgrBytes.begin(), bgrBytes.end(), bytes.begin() + kHeaderBytes);
    return bytes;
}

// Loads a file, checks the loader's GL state, and deletes the texture again, keeping its texels.
Bytes loadTexels(const std::string& path, int alphaValue, int alphaThreshold) {
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    GLuint texture = loadBmpTexture(path.c_str(), alphaValue, alphaThreshold, 0);
    EXPECT_NE(texture, 0u);
    EXPECT_EQ(boundTexture(), texture);
    GLint mode = 0;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &mode);
    EXPECT_EQ(mode, GL_MODULATE);
    Bytes texels = texelsOf(texture);
    glDeleteTextures(1, &texture);
    return texels;
}

// Made-up files go into a scratch folder that each test removes with what it holds.
class TextureTable : public VaroTest {
protected:
    const std::filesystem::path folder_ =
        std::filesystem::temp_directory_path() / ("varo-images-" + std::to_string(getpid()));
    void SetUp() override {
        VaroTest::SetUp();
        std::filesystem::create_directory(folder_);
    }
    void TearDown() override {
        std::filesystem::remove_all(folder_);
        VaroTest::TearDown();
    }
    // Writes a made-up file and returns its path.
    std::string scratch(const std::string& name, const Bytes& bytes) const {
        std::ofstream(folder_ / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
        return folder_ / name;
    }
};
}  // namespace

TEST_F(TextureTable, HoldsTheThreePicturesWithTheFileRowsFromTheTopDown) {
    ASSERT_EQ(textureCount, 3);
    const char* files[] = {"font.bmp", "fisheye.bmp", "monacolor128.bmp"};
    for (int entry = 0; entry < 3; ++entry) {
        SCOPED_TRACE(files[entry]);
        Bytes picture = readFile(files[entry]);
        ASSERT_EQ(picture.size(), kFileBytes);
        Bytes texels = texelsOf(textureIds[entry]);
        int mismatches = 0;
        for (int fileRow = 0; fileRow < kSide; ++fileRow)
            for (int x = 0; x < kSide; ++x) {
                const unsigned char* bgr = &picture[kHeaderBytes + (fileRow * kSide + x) * 3];
                int mean = (bgr[0] + bgr[1] + bgr[2]) / 3;
                Texel expected{bgr[2], bgr[1], bgr[0], entry == 0 ? mean : 255};
                mismatches += texelAt(texels, x, kTop - fileRow) != expected;
            }
        EXPECT_EQ(mismatches, 0);
    }
}

// The font lookup relies on GL's default repeat wrap, which the loader leaves alone.
TEST_F(TextureTable, FontIsSharpAndPicturesAreMipmapped) {
    for (int entry = 0; entry < 3; ++entry) {
        SCOPED_TRACE(entry);
        const GLuint id = textureIds[entry];
        EXPECT_EQ(parameterOf(id, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
        EXPECT_EQ(parameterOf(id, GL_TEXTURE_MIN_FILTER),
                  entry == 0 ? GL_LINEAR : GL_NEAREST_MIPMAP_NEAREST);
        EXPECT_EQ(parameterOf(id, GL_TEXTURE_WIDTH, 7), entry == 0 ? 0 : 1);  // down to 1 x 1
        EXPECT_EQ(parameterOf(id, GL_TEXTURE_WRAP_S), GL_REPEAT);
        EXPECT_EQ(parameterOf(id, GL_TEXTURE_WRAP_T), GL_REPEAT);
    }
}

// A file that ends inside its sixth pixel: past the end every byte reads as 255 in colour and
// as -1 in the alpha rules.
TEST_F(TextureTable, AlphaIsTheTruncatedMeanOrAThresholdedValue) {
    // Red, green, blue: (30, 60, 100), (100, 0, 0), (99, 99, 99), black, then (end, 20, 10).
    const std::string path = scratch(
        "made.bmp",
        fileStartingWith({100, 60, 30, 0, 0, 100, 99, 99, 99, 0, 0, 0, 10, 20}, kHeaderBytes + 14));
    const struct {
        int alphaValue, threshold, x;
        Texel expected;
    } cases[] = {
        {-1, 0, 0, {30, 60, 100, 63}},       // 190 / 3, truncated
        {-1, 0, 1, {100, 0, 0, 33}},         // 100 / 3
        {-1, 0, 3, {0, 0, 0, 0}},            // black is transparent
        {-1, 0, 4, {255, 20, 10, 9}},        // 29 / 3
        {-1, 0, 5, {255, 255, 255, 255}},    // -3 / 3 stores as 255
        {200, 100, 0, {30, 60, 100, 200}},   // blue reaches the threshold
        {200, 100, 1, {100, 0, 0, 200}},     // red reaches it
        {200, 100, 2, {99, 99, 99, 0}},      // all just short of it
        {0x180, 0, 3, {0, 0, 0, 0x80}},      // the low 8 bits; a threshold of 0 passes black
        {0x180, 0, 4, {255, 20, 10, 0x80}},  // green 20 reaches 0
        {0x180, 0, 5, {255, 255, 255, 0}},   // -1 is below 0
    };
    for (const auto& c : cases)
        EXPECT_EQ(texelAt(loadTexels(path, c.alphaValue, c.threshold), c.x, kTop), c.expected)
            << "alpha " << c.alphaValue << " threshold " << c.threshold << " pixel " << c.x;
}

// Only a regular file is a picture: a missing name, a folder and a named pipe (which would
// block a reader for good) give texture 0 at once and create nothing.
TEST_F(TextureTable, OnlyARegularFileIsAPicture) {
    ASSERT_TRUE(std::filesystem::create_directory(folder_ / "folder.bmp"));
    ASSERT_EQ(mkfifo((folder_ / "pipe.bmp").c_str(), 0644), 0);
    glBindTexture(GL_TEXTURE_2D, textureIds[2]);
    for (const char* name : {"absent.bmp", "folder.bmp", "pipe.bmp"})
        EXPECT_EQ(loadBmpTexture((folder_ / name).c_str(), -1, 0, 1), 0u) << name;
    EXPECT_EQ(boundTexture(), textureIds[2]);  // no texture was made or bound
}

// Each picture comes from the first folder that holds it as a file: --data (or VARO_DATA_DIR),
// then the working directory, then the installed and the source tree's folders.
TEST_F(TextureTable, EachPictureComesFromTheFirstFolderThatHoldsIt) {
    const Bytes made = fileStartingWith({3, 2, 1}, kFileBytes);
    scratch("fisheye.bmp", made);
    std::filesystem::create_directory(folder_ / "font.bmp");  // not a file: passed over
    setenv("VARO_DATA_DIR", folder_.c_str(), 1);
    choosePictureFolders(nullptr);
    unsetenv("VARO_DATA_DIR");
    char path[kPicturePathCapacity];
    ASSERT_TRUE(findPicture("fisheye.bmp", path));
    EXPECT_EQ(std::string(path), (folder_ / "fisheye.bmp").string());
    ASSERT_TRUE(findPicture("font.bmp", path));
    EXPECT_STREQ(path, "./font.bmp");
    EXPECT_FALSE(findPicture("absent.bmp", path));
    char folders[4 * kPicturePathCapacity];
    describePictureFolders(folders, sizeof folders);
    const std::string source = std::filesystem::canonical("../data").string();
    const std::string installed = std::filesystem::canonical("/proc/self/exe").parent_path()
                                      .parent_path().string() + "/share/varo";
    EXPECT_EQ(std::string(folders), folder_.string() + ", ., " + installed + ", " + source);

    const std::array<GLuint, 3> saved{textureIds[0], textureIds[1], textureIds[2]};
    textureCount = 0;
    loadTextures();
    EXPECT_EQ(texelAt(texelsOf(textureIds[1]), 0, kTop), (Texel{1, 2, 3, 255}));
    EXPECT_EQ(texelsOf(textureIds[2]), texelsOf(saved[2]));
    loadTextures();  // the table is full: nothing more is loaded
    EXPECT_EQ(textureCount, 3);
    glDeleteTextures(3, textureIds);
    std::copy(saved.begin(), saved.end(), textureIds);
    choosePictureFolders(".");
}
