// The BMP table and its folders; the person's PNG and JPEG pictures, the files in pictures/.
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>
#include <variant>

#include "images/picture_file.h"
#include "images/picture_folders.h"
#include "images/texture_table.h"
#include "tests/support/gl_test.h"

namespace fs = std::filesystem;
namespace {
using Bytes = std::vector<unsigned char>;
constexpr int kTopRow = 127 * 128 * 4;  // where the top texture row, the file's first, starts
const std::string kPictures = "../tests/images/pictures/";  // the tests run in data/

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
    // A made-up BMP: a header of zeros, then the given pixel bytes (blue, green, red).
    std::string bmp(const char* name, Bytes pixels) const {
        pixels.insert(pixels.begin(), 54, 0);
        std::ofstream(folder_ / name).write(reinterpret_cast<char*>(pixels.data()), pixels.size());
        return folder_ / name;
    }
};

using Quads = std::array<std::array<int, 3>, 4>;  // top left, top right, bottom left, right
Quads greys(int a, int b, int c, int d) {
    return {{{a, a, a}, {b, b, b}, {c, c, c}, {d, d, d}}};
}
const Quads kRgbw = {{{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}}};
const Quads kGreys = greys(0, 85, 170, 255), kAlphas = greys(0, 51, 128, 255);

// Texels off these quadrants' colours by more than `tolerance`, or not opaque.
int wrongTexels(const unsigned char* block, const Quads& q, int tolerance) {
    int wrong = 0;
    for (int t = 0; t < 128 * 128 * 4; ++t) {  // the bottom row first
        const int want = t % 4 == 3 ? 255 : q[(t < 1 << 15) * 2 + (t % 512 > 255)][t % 4];
        wrong += std::abs(block[t] - want) > tolerance;
    }
    return wrong;
}

// A copy of picture `name` that goes on as zeros to a gigabyte (a sparse file), to remove after.
std::string sparseCopy(const std::string& name) {
    const std::string path = "/tmp/varo-" + std::to_string(getpid()) + "-" + name;
    fs::copy_file(kPictures + name, path, fs::copy_options::overwrite_existing);
    fs::resize_file(path, 1L << 30);
    return path;
}

// Bytes a thread of this process has read so far; -1 for one that has ended.
long bytesReadBy(pid_t thread) {
    std::ifstream io("/proc/self/task/" + std::to_string(thread) + "/io");
    std::string key;
    long value = -1;
    while (io >> key >> value && key != "rchar:") {
    }
    return value;
}

bool decodeFile(const std::string& name, PictureBlock& block, Refusal& reason) {
    std::ifstream file(kPictures + name);
    const Bytes bytes{std::istreambuf_iterator<char>(file), {}};
    return decodePicture(bytes.data(), bytes.size(), block, reason);
}
}  // namespace

// The font is sharp, its alpha the mean; the pictures are opaque and mipmapped down to 1 x 1.
TEST_F(TextureTable, HoldsTheThreePicturesWithTheirAlphaAndFilters) {
    const char* files[] = {"font.bmp", "fisheye.bmp", "monacolor128.bmp"};
    for (int entry = 0; entry < 3; ++entry) {
        GLuint alone = loadBmpTexture(files[entry], entry ? 255 : -1, 0, 0);
        const Bytes want = texelsOf(alone);
        glDeleteTextures(1, &alone);
        EXPECT_TRUE(texelsOf(textureIds[entry]) == want) << files[entry];
        EXPECT_EQ(get(glGetTexLevelParameteriv, GL_TEXTURE_2D, 7, GL_TEXTURE_WIDTH), entry ? 1 : 0);
        EXPECT_EQ(get(glGetTexParameteriv, GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER),
                  entry ? GL_NEAREST_MIPMAP_NEAREST : GL_LINEAR);
        EXPECT_EQ(get(glGetTexParameteriv, GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    }
}

// Rows: alpha value, threshold, six pixels' alpha; past the file's end a byte is 255, -1 to alpha.
TEST_F(TextureTable, AlphaIsTheTruncatedMeanOrAThresholdedValue) {
    const auto path = bmp("cut.bmp", {100, 60, 30, 0, 0, 100, 99, 99, 99, 0, 0, 0, 10, 20});
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

// VARO_DATA_DIR, working directory, installed, source tree; no folder or (blocking) pipe is read.
TEST_F(TextureTable, EachPictureComesFromTheFirstFolderThatHoldsItAsARegularFile) {
    ASSERT_TRUE(fs::create_directory(folder_ / "fisheye.bmp"));
    ASSERT_EQ(mkfifo((folder_ / "pipe.bmp").c_str(), 0644), 0);
    for (const char* name : {"absent.bmp", "fisheye.bmp", "pipe.bmp"})
        EXPECT_EQ(loadBmpTexture((folder_ / name).c_str(), -1, 0, 1), 0u) << name;
    const std::string font = bmp("font.bmp", {3, 2, 1});
    setenv("VARO_DATA_DIR", folder_.c_str(), 1), choosePictureFolders(nullptr),
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

// Every kind and depth shows upright (CMYK, Exif turn); a refusal says why, a hostile one at once.
TEST(PictureFile, EveryVariantShowsItsQuadrantsUprightAndBadFilesAreRefusedWithTheirReason) {
    const Quads turned = {kRgbw[2], kRgbw[0], kRgbw[3], kRgbw[1]};  // as Exif's "turned right"
    const std::string tooLarge = " is too large (at most 64 megapixels, 32768 per side)";
    const struct {
        std::string name;
        std::variant<Quads, std::string> shown;  // the quadrants shown, or the refusal
        long readAtMost = 0;  // set: the file goes on as zeros to a gigabyte, read this far at most
    } variants[] = {
        {"rgb.png", kRgbw},
        {"rgb16.png", kRgbw},
        {"palette.png", kRgbw},        // 2 bits an index
        {"transparent.png", kAlphas},  // a palette's alphas, white on black
        {"grey.png", kGreys},
        {"grey-alpha.png", kAlphas},
        {"interlaced.png", kRgbw},                    // RGBA, 18 x 20
        {"checkers.png", greys(128, 128, 128, 128)},  // 1 bit, 256 x 256, averaged
        {"turned-right.png", turned},                 // its eXIf of 32 KiB after the pixels
        {"noisy.png", kRgbw},                         // 8192 x 2, noise beside the middle
        {"rgb.jpg", kRgbw},
        {"progressive.jpg", kRgbw},
        {"grey.jpg", kGreys},
        {"cmyk.jpg", kRgbw},
        {"cmyk-plain.jpg", kRgbw},  // no Adobe marker: the inks as they are
        {"turned-right.jpg", turned},
        {"many-app1.jpg", turned},     // XMP, Exif turned right, 1000 Exif upside down
        {"far-directory.jpg", kRgbw},  // its Exif directory past the block's end
        {"truncated.png", "truncated"},
        {"truncated.jpg", "truncated"},
        {"bad-crc.png", "corrupt PNG (IHDR: CRC error)"},
        {"gif.gif", "not a PNG or JPEG picture"},
        {"empty", "empty file"},
        {"bomb-header.png", "100000 x 100000" + tooLarge},
        {"side-over.png", "32769 x 100" + tooLarge},
        {"area-over.png", "8001 x 8000" + tooLarge},
        {"long-stream.png", "more data than a 1 x 1 picture needs"},  // 64 KiB in its stream
        {"extra-data.png", "corrupt PNG (IDAT: Too much image data)"},
        {"zeros-after-scan.jpg", "more data than a 208 x 208 picture needs", 64 << 10},
        {"zeros-after-start.jpg", "more than 16 MiB before the picture's size", 17 << 20},
        {"many-scans.jpg", "JPEG of more than 32 scans"},  // 64, one coefficient each
        {"huge-progressive.jpg",
         "8000 x 8000 is too large for a progressive JPEG (over 96 MiB to decode)"},
    };
    for (const auto& v : variants) {
        const std::string path = v.readAtMost ? sparseCopy(v.name) : kPictures + v.name;
        PictureBlock block = {};
        Refusal reason;
        const long readBefore = bytesReadBy(gettid());
        const bool shown = readPictureFile(path.c_str(), block, reason);
        if (v.readAtMost) {
            EXPECT_LE(bytesReadBy(gettid()) - readBefore, v.readAtMost) << v.name;
            fs::remove(path);
        }
        const auto* quads = std::get_if<Quads>(&v.shown);
        EXPECT_EQ(shown ? "shown" : reason, quads ? "shown" : std::get<std::string>(v.shown))
            << v.name;
        const int tolerance = v.name.find(".jpg") == std::string::npos ? 0 : 6;  // JPEG rounds
        if (shown && quads) {
            EXPECT_EQ(wrongTexels(block, *quads, tolerance), 0) << v.name;
        }
    }
}

// A stop from another thread ends a slow decode (32768 x 1953 JPEG of zeros, ~25 MB, 200 KB a row
// of blocks) within a read or two, while this thread decodes its own picture unharmed.
TEST(PictureFile, AStopEndsADecodeAtOnceAndTwoDecodesShareNothing) {
    const std::string slow = sparseCopy("slow.jpg");
    std::atomic<bool> stop = false;
    std::atomic<pid_t> reader = 0;
    std::atomic<long> readInAll = -1;  // once the decode has ended
    Refusal slowReason = "";
    std::thread decoding([&] {
        PictureBlock block;
        reader = gettid();
        readPictureFile(slow.c_str(), block, slowReason, &stop);
        readInAll = bytesReadBy(gettid());
    });
    while (readInAll < 0 && (reader == 0 || bytesReadBy(reader) < 1 << 20))  // a megabyte in
        std::this_thread::yield();
    PictureBlock block;
    Refusal reason;
    EXPECT_TRUE(decodeFile("rgb.jpg", block, reason)) << reason;
    EXPECT_EQ(wrongTexels(block, kRgbw, 6), 0);
    const long readAtStop = bytesReadBy(reader);
    stop = true;
    decoding.join();
    fs::remove(slow);
    EXPECT_STREQ(slowReason, kStopped);
    EXPECT_LT(readInAll - readAtStop, 16 << 10);
}

// 7 x 3 ramp, red 40x, green 100y: columns 80, 120, 160 span 42 2/3 cells; a shared cell averages.
TEST(PictureFile, TheCentredSquareIsAveragedByArea) {
    PictureBlock block;
    Refusal reason;
    ASSERT_TRUE(decodeFile("ramp.png", block, reason));
    std::string cells;  // red,green of cells (x, y)
    for (const auto& [x, y] : {std::pair{0, 0}, {42, 0}, {43, 0}, {85, 0}, {42, 42}, {127, 127}})
        cells += std::to_string(block[(127 - y) * 512 + x * 4]) + "," +
                 std::to_string(block[(127 - y) * 512 + x * 4 + 1]) + " ";
    EXPECT_EQ(cells, "80,0 93,0 120,0 147,0 93,33 160,200 ");
}
