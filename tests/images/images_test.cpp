// BMP table and folders; PNG and JPEG files made here (VARO_PICTURE_SEEDS=DIR keeps them there).
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>  // before jpeglib.h, which needs it
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <thread>

#include <jpeglib.h>
#include <png.h>
#include <zlib.h>

#include "images/picture_file.h"
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

using Sample = std::function<unsigned(int x, int y, int channel)>;  // 8-bit values
using Quads = std::array<std::array<int, 4>, 4>;  // top left, top right, bottom left, right
Quads greys(int a, int b, int c, int d) {
    return {{{a, a, a}, {b, b, b}, {c, c, c}, {d, d, d}}};
}
const Quads kRgbw = {{{255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}, {255, 255, 255, 255}}};
const Quads kGreys = greys(0, 85, 170, 255), kAlphas = greys(0, 51, 128, 255);
Sample quads(int w, int h, const Quads& q) {
    return [=](int x, int y, int c) { return q[(y >= h / 2) * 2 + (x >= w / 2)][c]; };
}

void appendBytes(png_structp png, png_bytep bytes, size_t n) {
    auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), bytes, bytes + n);
}

// Said to be in gamma 1/2.2, which the decoder passes over: colours are shown as stored. An
// eXIf chunk, if any, follows the pixels.
Bytes png(int w, int h, int type, int depth, const Sample& sample, int interlace = 0,
          std::vector<png_color> palette = {}, Bytes alphas = {}, Bytes exif = {}) {
    Bytes out;
    png_structp p = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(p);
    png_set_write_fn(p, &out, appendBytes, nullptr);
    png_set_IHDR(p, info, w, h, depth, type, interlace, 0, 0);
    if (!palette.empty())
        png_set_PLTE(p, info, palette.data(), static_cast<int>(palette.size()));
    png_set_tRNS(p, info, alphas.data(), static_cast<int>(alphas.size()), nullptr);
    png_set_gAMA(p, info, 1 / 2.2);
    png_write_info(p, info), png_set_packing(p);  // packing: after the header
    const int channels = png_get_channels(p, info), bytes = depth / 16 + 1;  // 16 bits: twice
    Bytes row(w * channels * bytes);
    for (int pass = png_set_interlace_handling(p); pass > 0; --pass)
        for (int y = 0; y < h; png_write_row(p, row.data()), ++y)
            for (size_t i = 0; i < row.size(); ++i)
                row[i] = sample(i / bytes / channels, y, i / bytes % channels);
    if (!exif.empty())  // after the pixels, where libpng writes it when set late
        png_set_eXIf_1(p, info, static_cast<png_uint_32>(exif.size()), exif.data());
    png_write_end(p, info), png_destroy_write_struct(&p, &info);
    return out;
}

void noAdobeMarker(j_compress_ptr c) {
    c->write_Adobe_marker = FALSE;
}

// 64 scans of one coefficient each: more than real files have, yet none repeats another.
void scanPerCoefficient(j_compress_ptr c) {
    static jpeg_scan_info scans[64];
    for (int k = 0; k < 64; ++k)
        scans[k] = {1, {0}, k, k, 0, 0};
    c->scan_info = scans, c->num_scans = 64;
}

// 208 x 208 (decoded at 5/8: 130 pixels, the middle on a block's edge), quadrants of these
// colours, no colour subsampling (which would bleed across edges); `app1`: APP1 segments.
Bytes jpeg(int channels, J_COLOR_SPACE space, const Quads& q, void (*tune)(j_compress_ptr) = {},
           const std::vector<Bytes>& app1 = {}) {
    constexpr int side = 208;
    jpeg_compress_struct c;
    jpeg_error_mgr errors;
    unsigned char* memory = nullptr;
    unsigned long size = 0;
    c.err = jpeg_std_error(&errors), jpeg_create_compress(&c), jpeg_mem_dest(&c, &memory, &size);
    c.image_width = c.image_height = side, c.input_components = channels, c.in_color_space = space;
    jpeg_set_defaults(&c), c.comp_info[0].h_samp_factor = c.comp_info[0].v_samp_factor = 1;
    tune ? tune(&c) : void();
    jpeg_start_compress(&c, TRUE);
    for (const Bytes& segment : app1)
        jpeg_write_marker(&c, JPEG_APP0 + 1, segment.data(), static_cast<unsigned>(segment.size()));
    Bytes row(side * channels);
    for (JSAMPROW rows[] = {row.data()}; c.next_scanline < side; jpeg_write_scanlines(&c, rows, 1))
        for (int i = 0; i < side * channels; ++i)
            row[i] = quads(side, side, q)(i / channels, c.next_scanline, i % channels);
    jpeg_finish_compress(&c), jpeg_destroy_compress(&c);
    Bytes out(memory, memory + size);
    free(memory);
    return out;
}

// Texels off these quadrants' colours by more than `tolerance`, or not opaque.
int wrongTexels(const unsigned char* block, const Quads& q, int tolerance) {
    int wrong = 0;
    for (int t = 0; t < 128 * 128 * 4; ++t) {  // the bottom row first
        const int want = t % 4 == 3 ? 255 : q[(t < 1 << 15) * 2 + (t % 512 > 255)][t % 4];
        wrong += std::abs(block[t] - want) > tolerance;
    }
    return wrong;
}

void putBigEndian(unsigned char* at, unsigned long value) {
    for (int n = 0; n < 4; ++n)
        at[n] = static_cast<unsigned char>(value >> (24 - 8 * n));
}

// A 1 x 1 PNG whose header claims w x h, its checksum made right.
Bytes claiming(unsigned w, unsigned h) {
    Bytes file = png(1, 1, PNG_COLOR_TYPE_GRAY, 8, quads(1, 1, kGreys));
    putBigEndian(&file[16], w), putBigEndian(&file[20], h);
    putBigEndian(&file[29], crc32(0, &file[12], 17));
    return file;
}

// A 1 x 1 PNG whose one zlib stream goes on with `extra` random bytes after its pixel.
Bytes longStream(size_t extra) {
    const Bytes small = png(1, 1, PNG_COLOR_TYPE_GRAY, 8, quads(1, 1, kGreys));
    Bytes raw(2 + extra);
    std::generate(raw.begin() + 2, raw.end(), std::minstd_rand());
    uLongf size = compressBound(raw.size());
    Bytes file(small.begin(), small.begin() + 33);  // signature and header, then an IDAT
    file.resize(41 + size);
    compress(&file[41], &size, raw.data(), raw.size());
    file.resize(41 + size + 4);
    putBigEndian(&file[33], size), std::copy_n("IDAT", 4, &file[37]);
    putBigEndian(&file[41 + size], crc32(0, &file[37], 4 + size));
    file.insert(file.end(), small.end() - 12, small.end());  // IEND
    return file;
}

// A JPEG's bytes up to the end of its first scan's header, where the coded data starts.
Bytes upToData(const Bytes& file) {
    const unsigned char startOfScan[] = {0xFF, 0xDA};
    const auto at = std::search(file.begin(), file.end(), startOfScan, startOfScan + 2);
    return Bytes(file.begin(), at + 2 + (at[2] << 8 | at[3]));
}

// The same JPEG claiming w x h in its frame header (baseline or progressive).
Bytes claimingJpeg(Bytes file, unsigned w, unsigned h) {
    const auto frame = std::adjacent_find(file.begin(), file.end(), [](int a, int b) {
        return a == 0xFF && (b == 0xC0 || b == 0xC2);
    });
    frame[5] = h >> 8, frame[6] = h, frame[7] = w >> 8, frame[8] = w;
    return file;
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

// VARO_DATA_DIR, working directory, installed, source tree; no folder or (blocking) pipe is read.
TEST_F(TextureTable, EachPictureComesFromTheFirstFolderThatHoldsItAsARegularFile) {
    ASSERT_TRUE(fs::create_directory(folder_ / "fisheye.bmp"));
    ASSERT_EQ(mkfifo((folder_ / "pipe.bmp").c_str(), 0644), 0);
    for (const char* name : {"absent.bmp", "fisheye.bmp", "pipe.bmp"})
        EXPECT_EQ(loadBmpTexture((folder_ / name).c_str(), -1, 0, 1), 0u) << name;
    const std::string font = scratch("font.bmp", {3, 2, 1});
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

// Upright, red first, on black, middle square, checkers grey, CMYK inverted or not, the first
// Exif's turn; refusals say why, hostile files' as soon as the fault shows (a sparse file is
// zeros, a gigabyte of them here).
TEST(PictureFile, EveryVariantShowsItsQuadrantsUprightAndBadFilesAreRefusedWithTheirReason) {
    const Bytes turnedRight = {'E', 'x',  'i', 'f', 0, 0, 'M', 'M', 0, 42, 0, 0, 0, 8, 0, 1,
                               1,   0x12, 0,   3,   0, 0, 0,   1,   0, 6,  0, 0, 0, 0, 0, 0};
    Bytes upsideDown = turnedRight, farDirectory = turnedRight,
          tiff(&turnedRight[6], &turnedRight[32]);
    upsideDown[25] = 3;
    upsideDown.insert(upsideDown.end(), {0xFF, 0xD8, 0xFF, 0xD9});  // a thumbnail's markers
    putBigEndian(&farDirectory[10], 0xFFFFFFF8);
    tiff.resize(32 << 10);  // more than a row's share of reading: it counts to the whole file's
    const std::string xmp = "http://ns.adobe.com/xap/1.0/";
    std::vector<Bytes> app1(1000, upsideDown);  // after an XMP segment and the first Exif one
    app1.insert(app1.begin(), {Bytes(xmp.begin(), xmp.end()), turnedRight});
    const auto index = [](int x, int y, int) { return unsigned(y * 2 + x); };
    const auto greyAlpha = [](int x, int y, int c) { return c ? kAlphas[y * 2 + x][0] : 255u; };
    const auto checkers = [](int x, int y, int) { return (x + y) % 2u; };
    const auto noisy = [random = std::minstd_rand()](int x, int y,
                                                     int c) mutable {  // but the middle
        return unsigned(x - 4095) < 2 ? kRgbw[y * 2 + x - 4095][c] : unsigned(random() >> 8 & 255);
    };
    const std::vector<png_color> rgbw = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};
    const Quads turned = {kRgbw[2], kRgbw[0], kRgbw[3], kRgbw[1]};
    const Quads inks = {{{0, 255, 255, 0}, {255, 0, 255, 0}, {255, 255, 0, 0}, {0, 0, 0, 0}}};
    const Bytes rgb = png(2, 2, 2, 8, quads(2, 2, kRgbw)), photo = jpeg(3, JCS_RGB, kRgbw);
    const Bytes progressive = jpeg(3, JCS_RGB, kRgbw, jpeg_simple_progression);
    Bytes badCrc = rgb;
    badCrc[30] ^= 1;
    const std::string tooLarge = " is too large (at most 64 megapixels, 32768 per side)";
    const struct {
        std::string name;
        Bytes file;
        Quads shown;
        std::string refusal = "";    // empty: shown
        long sparseTo = 0;           // bytes the file is stretched to, the rest zeros
        long readAtMost = 1L << 40;  // bytes the decode may read
    } variants[] = {
        {"rgb.png", rgb, kRgbw},
        {"rgb16.png", png(2, 2, PNG_COLOR_TYPE_RGB, 16, quads(2, 2, kRgbw)), kRgbw},
        {"palette.png", png(2, 2, PNG_COLOR_TYPE_PALETTE, 2, index, 0, rgbw), kRgbw},
        {"transparent.png", png(2, 2, 3, 8, index, 0, {4, {255, 255, 255}}, {0, 51, 128}), kAlphas},
        {"grey.png", png(2, 2, PNG_COLOR_TYPE_GRAY, 8, quads(2, 2, kGreys)), kGreys},
        {"grey-alpha.png", png(2, 2, PNG_COLOR_TYPE_GRAY_ALPHA, 8, greyAlpha), kAlphas},
        {"interlaced.png", png(18, 20, PNG_COLOR_TYPE_RGBA, 8, quads(18, 20, kRgbw), 1), kRgbw},
        {"checkers.png", png(256, 256, 0, 1, checkers), greys(128, 128, 128, 128)},
        {"turned-right.png", png(2, 2, 2, 8, quads(2, 2, kRgbw), 0, {}, {}, tiff), turned},
        {"noisy.png", png(8192, 2, PNG_COLOR_TYPE_RGB, 8, noisy), kRgbw},
        {"rgb.jpg", photo, kRgbw},
        {"progressive.jpg", progressive, kRgbw},
        {"grey.jpg", jpeg(1, JCS_GRAYSCALE, kGreys), kGreys},
        {"cmyk.jpg", jpeg(4, JCS_CMYK, kRgbw), kRgbw},
        {"cmyk-plain.jpg", jpeg(4, JCS_CMYK, inks, noAdobeMarker), kRgbw},
        {"turned-right.jpg", jpeg(3, JCS_RGB, kRgbw, {}, {turnedRight}), turned},
        {"many-app1.jpg", jpeg(3, JCS_RGB, kRgbw, {}, app1), turned},
        {"far-directory.jpg", jpeg(3, JCS_RGB, kRgbw, {}, {farDirectory}), kRgbw},
        {"truncated.png", Bytes(rgb.begin(), rgb.end() - 20), {}, "truncated"},
        {"truncated.jpg", Bytes(photo.begin(), photo.end() - 100), {}, "truncated"},
        {"bad-crc.png", badCrc, {}, "corrupt PNG (IHDR: CRC error)"},
        {"gif.gif", {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0}, {}, "not a PNG or JPEG picture"},
        {"empty", {}, {}, "empty file"},
        {"bomb-header.png", claiming(100000, 100000), {}, "100000 x 100000" + tooLarge},
        {"side-over.png", claiming(32769, 100), {}, "32769 x 100" + tooLarge},
        {"area-over.png", claiming(8001, 8000), {}, "8001 x 8000" + tooLarge},
        {"long-stream.png", longStream(64 << 10), {}, "more data than a 1 x 1 picture needs"},
        {"extra-data.png", longStream(100), {}, "corrupt PNG (IDAT: Too much image data)"},
        {"zeros-after-scan.jpg",
         upToData(photo),
         {},
         "more data than a 208 x 208 picture needs",
         1L << 30,
         64 << 10},
        {"zeros-after-start.jpg",
         {0xFF, 0xD8, 0xFF},
         {},
         "more than 16 MiB before the picture's size",
         1L << 30,
         17 << 20},
        {"many-scans.jpg",
         jpeg(1, JCS_GRAYSCALE, kGreys, scanPerCoefficient),
         {},
         "JPEG of more than 32 scans"},
        {"huge-progressive.jpg",
         claimingJpeg(progressive, 8000, 8000),
         {},
         "8000 x 8000 is too large for a progressive JPEG (over 96 MiB to decode)"},
    };
    const char* seeds = std::getenv("VARO_PICTURE_SEEDS");  // keeps the files there
    const fs::path folder = seeds ? seeds : "/tmp/varo-pictures-" + std::to_string(getpid());
    fs::create_directories(folder);
    for (const auto& v : variants) {
        const std::string path = folder / v.name;
        std::ofstream(path).write(reinterpret_cast<const char*>(v.file.data()), v.file.size());
        v.sparseTo ? fs::resize_file(path, v.sparseTo) : void();
        PictureBlock block = {};
        Refusal reason;
        const int tolerance = v.name.find(".jpg") == std::string::npos ? 0 : 6;  // JPEG rounds
        const long readBefore = bytesReadBy(gettid());
        const bool shown = readPictureFile(path.c_str(), block, reason);
        EXPECT_LE(bytesReadBy(gettid()) - readBefore, v.readAtMost) << v.name;
        EXPECT_EQ(shown ? "" : reason, v.refusal) << v.name;
        EXPECT_EQ(shown ? wrongTexels(block, v.shown, tolerance) : v.refusal.empty(), 0) << v.name;
    }
    seeds ? void() : void(fs::remove_all(folder));
}

// A stop asked for from another thread ends a slow decode within a read or two (its zeros
// would take some 25 MB, 200 KB a row of blocks), while this thread decodes a picture of its
// own, unharmed.
TEST(PictureFile, AStopEndsADecodeAtOnceAndTwoDecodesShareNothing) {
    const Bytes photo = jpeg(3, JCS_RGB, kRgbw);
    const std::string slow = "/tmp/varo-slow-" + std::to_string(getpid()) + ".jpg";
    const auto halvedColour = [](j_compress_ptr c) {
        c->comp_info[0].h_samp_factor = c->comp_info[0].v_samp_factor = 2;
    };
    const Bytes start = upToData(claimingJpeg(jpeg(3, JCS_RGB, kRgbw, halvedColour), 32768, 1953));
    std::ofstream(slow).write(reinterpret_cast<const char*>(start.data()), start.size());
    fs::resize_file(slow, 1L << 30);
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
    EXPECT_TRUE(decodePicture(photo.data(), photo.size(), block, reason)) << reason;
    EXPECT_EQ(wrongTexels(block, kRgbw, 6), 0);
    const long readAtStop = bytesReadBy(reader);
    stop = true;
    decoding.join();
    fs::remove(slow);
    EXPECT_STREQ(slowReason, kStopped);
    EXPECT_LT(readInAll - readAtStop, 16 << 10);
}

// 7 x 3: the middle columns, red 80, 120, 160, 42 2/3 cells wide, a cell across two their mean.
TEST(PictureFile, TheCentredSquareIsAveragedByArea) {
    Bytes ramp =
        png(7, 3, 2, 8, [](int x, int y, int c) { return c ? c == 1 ? y * 100u : 0 : x * 40u; });
    PictureBlock block;
    Refusal reason;
    ASSERT_TRUE(decodePicture(ramp.data(), ramp.size(), block, reason));
    std::string cells;  // red,green of cells (x, y)
    for (const auto& [x, y] : {std::pair{0, 0}, {42, 0}, {43, 0}, {85, 0}, {42, 42}, {127, 127}})
        cells += std::to_string(block[(127 - y) * 512 + x * 4]) + "," +
                 std::to_string(block[(127 - y) * 512 + x * 4 + 1]) + " ";
    EXPECT_EQ(cells, "80,0 93,0 120,0 147,0 93,33 160,200 ");
}
