// The BMP loader, the texture table and the picture search, against textures read back from GL.
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "images/picture_folders.h"
#include "images/texture_table.h"
#include "tests/support/gl_test.h"

namespace fs = std::filesystem;
namespace {
using Bytes = std::vector<unsigned char>;
constexpr int kTopRow = 127 * 128 * 4;  // where the top texture row, the file's first, starts

// The RGBA texels of a texture, texture row 0 (t = 0) first.
Bytes texelsOf(GLuint texture) {
    Bytes texels(128 * 128 * 4);
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    return texels;
}

// One GL state value: get(glGetTexEnviv, GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE) and the like.
template <typename Query, typename... Names>
GLint get(Query query, Names... names) {
    GLint value = 0;
    query(names..., &value);
    return value;
}

class TextureTable : public VaroTest {
protected:
    const fs::path folder_ = "/tmp/varo-images-" + std::to_string(getpid());
    void SetUp() override { VaroTest::SetUp(), fs::create_directory(folder_); }
    void TearDown() override { fs::remove_all(folder_), VaroTest::TearDown(); }
    // A made-up file: a header of zeros, then the given pixel bytes (blue, green, red).
    std::string scratch(const char* name, Bytes pixels) const {
        pixels.insert(pixels.begin(), 54, 0);
        std::ofstream(folder_ / name).write(reinterpret_cast<char*>(pixels.data()), pixels.size());
        return folder_ / name;
    }
};
}  // namespace

// The font is sharp, its alpha the mean; the pictures are opaque and mipmapped down to 1 x 1.
TEST_F(TextureTable, HoldsTheThreePicturesRowsTopDownWithTheirFilters) {
    const char* files[] = {"font.bmp", "fisheye.bmp", "monacolor128.bmp"};
    for (int entry = 0; entry < 3; ++entry) {
        const Bytes file{std::istreambuf_iterator<char>(std::ifstream(files[entry]).rdbuf()), {}};
        ASSERT_EQ(file.size(), 54u + 128 * 128 * 3);
        Bytes want(128 * 128 * 4);
        for (int i = 0; i < 128 * 128; ++i) {
            const unsigned char* p = &file[54 + i * 3];
            unsigned char* t = &want[kTopRow - i / 128 * 512 + i % 128 * 4];
            t[0] = p[2], t[1] = p[1], t[2] = p[0], t[3] = entry ? 255 : (p[0] + p[1] + p[2]) / 3;
        }
        EXPECT_TRUE(texelsOf(textureIds[entry]) == want) << files[entry];
        EXPECT_EQ(get(glGetTexLevelParameteriv, GL_TEXTURE_2D, 7, GL_TEXTURE_WIDTH), entry ? 1 : 0);
        EXPECT_EQ(get(glGetTexParameteriv, GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER),
                  entry ? GL_NEAREST_MIPMAP_NEAREST : GL_LINEAR);
        EXPECT_EQ(get(glGetTexParameteriv, GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    }
}

// Each case: the alpha value and threshold, then the alpha of the file's six pixels. The file
// ends inside the fifth pixel; past the end a byte is 255 in colour and -1 in the alpha rules.
TEST_F(TextureTable, AlphaIsTheTruncatedMeanOrAThresholdedValue) {
    const auto path = scratch("cut.bmp", {100, 60, 30, 0, 0, 100, 99, 99, 99, 0, 0, 0, 10, 20});
    const int colours[] = {30, 60, 100, 100, 0, 0, 99, 99, 99, 0, 0, 0, 255, 20, 10, 255, 255, 255};
    const int cases[][8] = {
        {-1, 0, 63, 33, 99, 0, 9, 255},               // the mean, truncated; -3 / 3 stores as 255
        {200, 100, 200, 200, 0, 0, 0, 0},             // blue, then red reach 100; 99 does not
        {0x180, 0, 0x80, 0x80, 0x80, 0x80, 0x80, 0},  // the low 8 bits; all but -1 reach 0
    };
    for (const auto& c : cases) {
        GLuint texture = loadBmpTexture(path.c_str(), c[0], c[1], 0);
        const Bytes texels = texelsOf(get(glGetIntegerv, GL_TEXTURE_BINDING_2D));  // left bound
        for (int i = 0; i < 24; ++i)
            EXPECT_EQ(texels[kTopRow + i], i % 4 == 3 ? c[2 + i / 4] : colours[i / 4 * 3 + i % 4])
                << "alpha " << c[0] << " pixel " << i / 4;
        glDeleteTextures(1, &texture);
    }
    EXPECT_EQ(get(glGetTexEnviv, GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE), GL_MODULATE);
}

// A missing name, a folder and a named pipe (which would block a reader for good) give 0 at once.
TEST_F(TextureTable, OnlyARegularFileIsAPicture) {
    ASSERT_TRUE(fs::create_directory(folder_ / "folder.bmp"));
    ASSERT_EQ(mkfifo((folder_ / "pipe.bmp").c_str(), 0644), 0);
    for (const char* name : {"absent.bmp", "folder.bmp", "pipe.bmp"})
        EXPECT_EQ(loadBmpTexture((folder_ / name).c_str(), -1, 0, 1), 0u) << name;
}

// The folders: VARO_DATA_DIR (without --data), the working directory, installed, source tree.
TEST_F(TextureTable, EachPictureComesFromTheFirstFolderThatHoldsIt) {
    ASSERT_TRUE(fs::create_directory(folder_ / "fisheye.bmp"));  // not a file: passed over
    const std::string font = scratch("font.bmp", {3, 2, 1});
    setenv("VARO_DATA_DIR", folder_.c_str(), 1);
    choosePictureFolders(nullptr);
    unsetenv("VARO_DATA_DIR");
    char path[kPicturePathCapacity], folders[4 * kPicturePathCapacity];
    const std::string found[][2] = {
        {"font.bmp", font}, {"fisheye.bmp", "./fisheye.bmp"}, {"absent.bmp", ""}};
    for (const auto& [name, where] : found)
        EXPECT_EQ(findPicture(name.c_str(), path) ? path : "", where);
    describePictureFolders(folders, sizeof folders);
    const fs::path prefix = fs::canonical("/proc/self/exe").parent_path().parent_path();
    EXPECT_EQ(folders, folder_.string() + ", ., " + (prefix / "share/varo").string() + ", " +
                           fs::canonical("../data").string());

    const GLuint portrait = textureIds[2];
    textureCount = 2;
    loadTextures();  // one entry free: it takes the made-up font.bmp and no more
    EXPECT_EQ(texelsOf(textureIds[2])[kTopRow], 1);
    EXPECT_EQ(textureCount, 3);
    textureIds[2] = portrait;
    choosePictureFolders(".");
}
