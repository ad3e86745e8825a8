// The person's own pictures: every PNG and JPEG variant made here and decoded to the block, the
// refused files with their reasons, and a folder of them in the texture table.
#include <cstdio>  // before jpeglib.h, which needs it
// clang-format off
#include <jpeglib.h>
// clang-format on
#include <png.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "images/picture_file.h"
#include "images/user_pictures.h"
#include "tests/support/gl_test.h"

namespace fs = std::filesystem;
namespace {
using Bytes = std::vector<unsigned char>;
using Sample = std::function<unsigned(int x, int y, int channel)>;
const unsigned kQuadrants[4][3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};
// Red top left, green top right, blue bottom left, white bottom right, in a w x h picture.
Sample quadrants(int w, int h) {
    return [=](int x, int y, int c) {
        return c < 3 ? kQuadrants[(y >= h / 2) * 2 + (x >= w / 2)][c] : 255;
    };
}

Bytes png(int w, int h, int type, int depth, const Sample& sample, int interlace = 0,
          std::vector<png_color> palette = {}, Bytes alphas = {}) {
    Bytes out;
    png_structp p = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(p);
    png_set_write_fn(
        p, &out,
        [](png_structp to, png_bytep d, size_t n) {
            auto* bytes = static_cast<Bytes*>(png_get_io_ptr(to));
            bytes->insert(bytes->end(), d, d + n);
        },
        nullptr);
    png_set_IHDR(p, info, w, h, depth, type, interlace, 0, 0);
    if (!palette.empty())
        png_set_PLTE(p, info, palette.data(), static_cast<int>(palette.size()));
    if (!alphas.empty())
        png_set_tRNS(p, info, alphas.data(), static_cast<int>(alphas.size()), nullptr);
    png_write_info(p, info);
    png_set_packing(p);
    const int channels = png_get_channels(p, info), bytes = depth / 16 + 1;
    std::vector<Bytes> rows(h, Bytes(w * channels * bytes));
    std::vector<png_bytep> pointers;
    for (int y = 0; y < h; pointers.push_back(rows[y++].data()))
        for (int i = 0; i < w * channels * bytes; ++i)
            rows[y][i] = sample(i / bytes / channels, y, i / bytes % channels) >>
                         8 * (bytes - 1 - i % bytes);
    png_write_image(p, pointers.data());
    png_write_end(p, nullptr);
    png_destroy_write_struct(&p, &info);
    return out;
}

Bytes jpeg(int w, int h, J_COLOR_SPACE space, int channels, const Sample& sample,
           bool progressive = false, Bytes exif = {}) {
    jpeg_compress_struct c;
    jpeg_error_mgr errors;
    c.err = jpeg_std_error(&errors);
    jpeg_create_compress(&c);
    unsigned char* memory = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &memory, &size);
    c.image_width = w, c.image_height = h, c.input_components = channels, c.in_color_space = space;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 95, TRUE);
    c.comp_info[0].h_samp_factor = c.comp_info[0].v_samp_factor = 1;  // no colour across edges
    if (progressive)
        jpeg_simple_progression(&c);
    jpeg_start_compress(&c, TRUE);
    if (!exif.empty())
        jpeg_write_marker(&c, JPEG_APP0 + 1, exif.data(), static_cast<unsigned>(exif.size()));
    Bytes row(w * channels);
    for (JSAMPROW rows[] = {row.data()}; c.next_scanline < c.image_height;
         jpeg_write_scanlines(&c, rows, 1))
        for (int i = 0; i < w * channels; ++i)
            row[i] = sample(i / channels, c.next_scanline, i % channels);
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    Bytes out(memory, memory + size);
    free(memory);
    return out;
}

// Texels differing from quadrants of these colours (top left, top right, bottom left, bottom
// right) by more than `tolerance`, or not opaque.
int wrongTexels(const PictureBlock& block, const std::array<std::array<int, 3>, 4>& colours,
                int tolerance) {
    int wrong = 0;
    for (int t = 0; t < 128 * 128; ++t)
        for (int c = 0; c < 4; ++c)
            wrong += std::abs(block[t * 4 + c] -
                              (c == 3 ? 255 : colours[(t < 64 * 128) * 2 + (t % 128 >= 64)][c])) >
                     tolerance;
    return wrong;
}

const Bytes kExifTurnedRight = {'E', 'x',  'i', 'f', 0, 0, 'M', 'M', 0, 42, 0, 0, 0, 8, 0, 1,
                                1,   0x12, 0,   3,   0, 0, 0,   1,   0, 6,  0, 0, 0, 0, 0, 0};
const std::array<std::array<int, 3>, 4> kRgbw = {
    {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}}};
const std::array<std::array<int, 3>, 4> kGreys = {
    {{0, 0, 0}, {85, 85, 85}, {170, 170, 170}, {255, 255, 255}}};
const std::array<std::array<int, 3>, 4> kAlphas = {
    {{0, 0, 0}, {51, 51, 51}, {128, 128, 128}, {255, 255, 255}}};
const std::array<std::array<int, 3>, 4> kMidGrey = {
    {{128, 128, 128}, {128, 128, 128}, {128, 128, 128}, {128, 128, 128}}};
const Sample kGreyLevels = [](int x, int y, int) { return 85u * (y * 2 + x); };  // 2 x 2

// A 1 x 1 PNG whose header claims w x h, its checksum made right.
Bytes claiming(unsigned w, unsigned h) {
    Bytes file = png(1, 1, PNG_COLOR_TYPE_GRAY, 8, kGreyLevels);
    for (int n = 0; n < 4; ++n)
        file[16 + n] = w >> (24 - 8 * n), file[20 + n] = h >> (24 - 8 * n);
    const uLong crc = crc32(0, &file[12], 17);
    for (int n = 0; n < 4; ++n)
        file[29 + n] = crc >> (24 - 8 * n);
    return file;
}

class PictureFile : public VaroTest {
protected:
    const fs::path folder_ = "/tmp/varo-pictures-" + std::to_string(getpid());
    void SetUp() override { VaroTest::SetUp(), fs::create_directory(folder_); }
    void TearDown() override { fs::remove_all(folder_), VaroTest::TearDown(); }
    std::string write(const std::string& name, const Bytes& bytes) const {
        std::ofstream(folder_ / name)
            .write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        return folder_ / name;
    }
};
}  // namespace

// Each as a block of memory and as a file: rows top down, red first, transparency on black; a
// 1-pixel checkerboard averages to a flat grey where sampling would give black or white.
TEST_F(PictureFile, EveryVariantShowsItsQuadrantsUpright) {
    const std::vector<png_color> palette = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};
    const Sample index = [](int x, int y, int) { return unsigned(y * 2 + x); };
    const Sample alpha = [](int x, int y, int c) {
        return c ? std::array{0u, 51u, 128u, 255u}[y * 2 + x] : 255u;
    };
    const struct {
        const char* name;
        Bytes file;
        std::array<std::array<int, 3>, 4> colours;
        int tolerance;
    } variants[] = {
        {"PNG RGB", png(2, 2, PNG_COLOR_TYPE_RGB, 8, quadrants(2, 2)), kRgbw, 0},
        {"PNG 16-bit",
         png(2, 2, PNG_COLOR_TYPE_RGB, 16,
             [](int x, int y, int c) { return quadrants(2, 2)(x, y, c) * 257; }),
         kRgbw, 0},
        {"PNG palette", png(2, 2, PNG_COLOR_TYPE_PALETTE, 2, index, 0, palette), kRgbw, 0},
        {"PNG palette, transparent",
         png(2, 2, PNG_COLOR_TYPE_PALETTE, 8, index, 0, std::vector<png_color>(4, {255, 255, 255}),
             {0, 51, 128}),
         kAlphas, 0},
        {"PNG grey", png(2, 2, PNG_COLOR_TYPE_GRAY, 8, kGreyLevels), kGreys, 0},
        {"PNG grey and alpha", png(2, 2, PNG_COLOR_TYPE_GRAY_ALPHA, 8, alpha), kAlphas, 0},
        {"PNG RGBA, interlaced", png(20, 18, PNG_COLOR_TYPE_RGB_ALPHA, 8, quadrants(20, 18), 1),
         kRgbw, 0},
        {"PNG 1-bit checkerboard 256 x 256, averaged",
         png(256, 256, PNG_COLOR_TYPE_GRAY, 1, [](int x, int y, int) { return (x + y) % 2u; }),
         kMidGrey, 0},
        {"JPEG", jpeg(32, 32, JCS_RGB, 3, quadrants(32, 32)), kRgbw, 6},
        {"JPEG progressive", jpeg(32, 32, JCS_RGB, 3, quadrants(32, 32), true), kRgbw, 6},
        {"JPEG grey",
         jpeg(32, 32, JCS_GRAYSCALE, 1,
              [](int x, int y, int) { return 85u * ((y >= 16) * 2 + (x >= 16)); }),
         kGreys, 2},
        {"JPEG CMYK", jpeg(32, 32, JCS_CMYK, 4, quadrants(32, 32)), kRgbw,
         6},  // inverted inks, K last
        {"JPEG turned right",
         jpeg(32, 32, JCS_RGB, 3, quadrants(32, 32), false, kExifTurnedRight),
         {kRgbw[2], kRgbw[0], kRgbw[3], kRgbw[1]},
         6},
    };
    for (const auto& v : variants) {
        PictureBlock block;
        Refusal reason = "";
        EXPECT_TRUE(decodePicture(v.file.data(), v.file.size(), block, reason)) << v.name << reason;
        EXPECT_EQ(wrongTexels(block, v.colours, v.tolerance), 0) << v.name;
        std::memset(block, 0, sizeof block);
        EXPECT_TRUE(readPictureFile(write("file", v.file).c_str(), block, reason))
            << v.name << reason;
        EXPECT_EQ(wrongTexels(block, v.colours, v.tolerance), 0) << v.name << " as a file";
    }
}

// 7 x 3 columns of red 0, 40, ..., rows of green 0, 100, 200: the middle square's columns 80,
// 120, 160, each 42 2/3 cells wide, a cell across two of them their mean by area.
TEST_F(PictureFile, TheCentredSquareIsAveragedByArea) {
    const Bytes ramp = png(7, 3, PNG_COLOR_TYPE_RGB, 8, [](int x, int y, int c) {
        return c == 0 ? x * 40u : c == 1 ? y * 100u : 0u;
    });
    PictureBlock block;
    Refusal reason;
    ASSERT_TRUE(decodePicture(ramp.data(), ramp.size(), block, reason));
    const int cells[][4] = {{0, 0, 80, 0},   {42, 0, 93, 0},   {43, 0, 120, 0},
                            {85, 0, 147, 0}, {42, 42, 93, 33}, {127, 127, 160, 200}};
    for (const auto& [x, y, red, green] : cells) {
        EXPECT_EQ(block[((127 - y) * 128 + x) * 4], red) << x << "," << y;
        EXPECT_EQ(block[((127 - y) * 128 + x) * 4 + 1], green) << x << "," << y;
    }
}

TEST_F(PictureFile, BrokenOrHostileFilesAreRefusedWithTheirReason) {
    Bytes good = png(2, 2, PNG_COLOR_TYPE_RGB, 8, quadrants(2, 2)), badCrc = good;
    Bytes photo = jpeg(32, 32, JCS_RGB, 3, quadrants(32, 32));
    badCrc[30] ^= 1;
    const std::pair<Bytes, const char*> refused[] = {
        {Bytes(good.begin(), good.end() - 20), "truncated"},
        {Bytes(photo.begin(), photo.end() - 100), "truncated"},
        {badCrc, "corrupt PNG (IHDR: CRC error)"},
        {Bytes{'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0}, "not a PNG or JPEG picture"},
        {Bytes{}, "empty file"},
        {claiming(100000, 100000),
         "100000 x 100000 is too large (at most 64 megapixels, 32768 per side)"},
        {claiming(40000, 100), "40000 x 100 is too large (at most 64 megapixels, 32768 per side)"},
        {claiming(8001, 8000), "8001 x 8000 is too large (at most 64 megapixels, 32768 per side)"},
    };
    for (const auto& [file, why] : refused) {
        PictureBlock block;
        Refusal reason = "";
        EXPECT_FALSE(decodePicture(file.data(), file.size(), block, reason));
        EXPECT_STREQ(reason, why);
        EXPECT_FALSE(readPictureFile(write("file", file).c_str(), block, reason));
        EXPECT_STREQ(reason, why);
    }
    ASSERT_EQ(mkfifo((folder_ / "pipe.png").c_str(), 0644), 0);  // would block a reader for good
    const std::pair<std::string, const char*> paths[] = {{"pipe.png", "not a regular file"},
                                                         {"absent.png", "no such file"}};
    for (const auto& [name, why] : paths) {
        PictureBlock block;
        Refusal reason = "";
        EXPECT_FALSE(readPictureFile((folder_ / name).c_str(), block, reason));
        EXPECT_STREQ(reason, why);
    }
}

// Folders' pictures by content in name order, 100 at most; a line for each bad path or file.
TEST_F(PictureFile, FoldersAndFilesFillTheTableAfterTheBuiltInPictures) {
    const Bytes good = png(2, 2, PNG_COLOR_TYPE_RGB, 8, quadrants(2, 2));
    fs::create_directories(folder_ / "many"), fs::create_directories(folder_ / "none/sub.png");
    write("b.jpg", jpeg(32, 32, JCS_RGB, 3, quadrants(32, 32))), write("a.txt", good),
        write("notes.png", {'h', 'i'});
    write("c.png", Bytes(good.begin(), good.end() - 20)), write("none/x.png", {});
    for (int n = 0; n < 101; ++n)
        write("many/" + std::to_string(1000 + n) + ".png", good);
    const std::string f = folder_;
    const std::string lines =
        "test_images: " + f + "/none: no PNG or JPEG pictures in this folder\n" +
        "test_images: 5 more pictures skipped (at most 100 are shown)\n" + "test_images: " + f +
        "/c.png: truncated\n" + "test_images: " + f + "/absent.png: no such file\n";
    testing::internal::CaptureStderr();
    chooseUserPictures({f, f + "/none", f + "/absent.png", f + "/many"});
    loadUserPictures();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), lines);
    ASSERT_EQ(pictureCount(), 2 + 98);  // a.txt, b.jpg, 1000.png ... 1095.png
    EXPECT_EQ(textureCount, 3 + 98);
    std::string names;
    for (int n : {0, 1, 2, 3, 4, 99, 100})
        names += pictureName(n) + std::string(" ");
    EXPECT_EQ(names, "FishEye Mona Lisa a.txt b.jpg 1000.png 1095.png  ");
    EXPECT_EQ(startPicture(0), 2);
    std::vector<unsigned char> texels(128 * 128 * 4);
    glBindTexture(GL_TEXTURE_2D, textureIds[3]);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    EXPECT_EQ(wrongTexels(*reinterpret_cast<PictureBlock*>(texels.data()), kRgbw, 0), 0);
    glDeleteTextures(98, textureIds + 3);
    textureCount = 3, userPictureCount = 0;
    EXPECT_EQ(startPicture(0), 0);
}
