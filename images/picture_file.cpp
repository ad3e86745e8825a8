// Reading a person's own PNG or JPEG picture, of any size, into one 128 x 128 block of texels.
//
// The decoding is libpng's and libjpeg's; ours is the glue around their error paths (each
// refusal jumps back to the one function that created the decoder, which destroys it) and the
// fit: the largest centred square, averaged over the block's cells. Rows are streamed into the
// averages as they are decoded, so a picture is never held whole in memory by us.
//
// Globals (file-local, one picture at a time on the one thread):
//   sums, rowSums   the box filter's weighted colour sums: per cell, and for the current row
//   side, left, top the centred square in the picture: its size and its top-left pixel
//   row             one decoded row, up to the widest picture allowed, four bytes a pixel
#include "images/picture_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstring>

// clang-format off
#include <jpeglib.h>  // after <cstdio>, which it needs
#include <jerror.h>
// clang-format on
#include <png.h>

namespace {
constexpr unsigned char kPngSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr unsigned char kJpegStart[] = {0xFF, 0xD8, 0xFF};
constexpr int kMaxJpegScans = 500;  // a progressive file of endless tiny scans would take hours
constexpr long kJpegMemoryCap = 512L << 20;  // bytes: a progressive 64-megapixel file fits
constexpr std::size_t kInputChunk = 4096;    // bytes read from a file at a time
constexpr int kBlockLast = kBlockSide - 1;
constexpr int kUpright = 1;  // the EXIF orientation of a picture to show as it is stored

std::uint64_t sums[kBlockSide][kBlockSide][3];
std::uint64_t rowSums[kBlockSide][3];
long side = 0, left = 0, top = 0;
unsigned char row[kMaxPictureSide * 4];

// Where a decoder's bytes come from: an open file, or a block of memory.
struct Source {
    std::FILE* file;
    const unsigned char* bytes;
    std::size_t size, at;
    Refusal* reason;
    bool truncated;  // the decoder asked for bytes past the end
};

std::size_t readSource(Source& source, unsigned char* into, std::size_t wanted) {
    if (source.file != nullptr)
        return std::fread(into, 1, wanted, source.file);
    const std::size_t count = std::min(wanted, source.size - source.at);
    if (count > 0)  // an empty block of memory may have no address at all
        std::memcpy(into, source.bytes + source.at, count);
    source.at += count;
    return count;
}

bool refuse(Source& source, const char* reason) {
    std::snprintf(*source.reason, kRefusalCapacity, "%s", reason);
    return false;
}

// Checked from the header alone, before the decoder allocates anything for the pixels.
bool sizeAllowed(unsigned long width, unsigned long height, Source& source) {
    if (width <= kMaxPictureSide && height <= kMaxPictureSide &&
        width * height <= static_cast<unsigned long>(kMaxPicturePixels))
        return true;
    std::snprintf(*source.reason, kRefusalCapacity,
                  "%lu x %lu is too large (at most 64 megapixels, %d per side)", width, height,
                  kMaxPictureSide);
    return false;
}

// --- The fit: a box filter over the centred square ---------------------------------------------
// Lengths along a side of the square count in units of 1 / (128 side): a pixel is 128 units
// long and a cell `side` units, so every overlap of a pixel and a cell is a whole number and a
// cell's weights add up to side x side, whether the square is larger than the block or smaller.

void startFilter(long width, long height) {
    side = std::min(width, height);
    left = (width - side) / 2;
    top = (height - side) / 2;
    std::memset(sums, 0, sizeof sums);
}

// Calls add(cell, weight) for each cell that pixel `i` of the square overlaps.
template <typename Add>
void forEachCell(long i, Add add) {
    const long start = i * kBlockSide, end = start + kBlockSide;
    for (long cell = start / side; cell < kBlockSide && cell * side < end; ++cell)
        add(static_cast<int>(cell),
            std::min(end, (cell + 1) * side) - std::max(start, cell * side));
}

// `count` pixels of picture row y, of 3 (RGB) or 4 (RGBA) bytes, at x = firstX, firstX + step,
// ... Transparent pixels are composed on black.
void addRow(long y, const unsigned char* pixels, int channels, long count, long firstX, long step) {
    if (y < top || y >= top + side)
        return;
    std::memset(rowSums, 0, sizeof rowSums);
    for (long k = 0, i = firstX - left; k < count && i < side; ++k, i += step, pixels += channels) {
        if (i < 0)
            continue;
        unsigned colour[3] = {pixels[0], pixels[1], pixels[2]};
        if (channels == 4)
            for (unsigned& c : colour)
                c = (c * pixels[3] + 127) / 255;
        forEachCell(i, [&](int cell, long weight) {
            for (int c = 0; c < 3; ++c)
                rowSums[cell][c] += colour[c] * static_cast<std::uint64_t>(weight);
        });
    }
    forEachCell(y - top, [](int cell, long weight) {
        for (int x = 0; x < kBlockSide; ++x)
            for (int c = 0; c < 3; ++c)
                sums[cell][x][c] += rowSums[x][c] * static_cast<std::uint64_t>(weight);
    });
}

// Where cell (x, y) of the stored picture, y from the top, is shown under an EXIF orientation.
void orient(int orientation, int& x, int& y) {
    const int stored[] = {x, y};
    switch (orientation) {
        case 2: x = kBlockLast - stored[0]; break;                              // mirrored
        case 3: x = kBlockLast - stored[0], y = kBlockLast - stored[1]; break;  // upside down
        case 4: y = kBlockLast - stored[1]; break;                              // flipped
        case 5: x = stored[1], y = stored[0]; break;                            // transposed
        case 6: x = kBlockLast - stored[1], y = stored[0]; break;               // turned right
        case 7: x = kBlockLast - stored[1], y = kBlockLast - stored[0]; break;  // transversed
        case 8: x = stored[1], y = kBlockLast - stored[0]; break;               // turned left
        default: break;
    }
}

// The averages into the block, the picture's top row into the top texture row.
void finishFilter(int orientation, PictureBlock& block) {
    const std::uint64_t area = static_cast<std::uint64_t>(side) * static_cast<std::uint64_t>(side);
    for (int cellY = 0; cellY < kBlockSide; ++cellY) {
        for (int cellX = 0; cellX < kBlockSide; ++cellX) {
            int x = cellX, y = cellY;
            orient(orientation, x, y);
            unsigned char* texel = block + ((kBlockLast - y) * kBlockSide + x) * 4;
            for (int c = 0; c < 3; ++c)
                texel[c] = static_cast<unsigned char>((sums[cellY][cellX][c] + area / 2) / area);
            texel[3] = 255;
        }
    }
}

// --- PNG ----------------------------------------------------------------------------------------
// Metadata that is never shown: libpng need not decompress or keep it.
constexpr png_byte kUnusedPngChunks[] = "iCCP\0iTXt\0sPLT\0tEXt\0zTXt\0eXIf";
constexpr int kUnusedPngChunkCount = 6;

void onPngError(png_structp png, png_const_charp message) {
    Source& source = *static_cast<Source*>(png_get_error_ptr(png));
    if (!source.truncated)
        std::snprintf(*source.reason, kRefusalCapacity, "corrupt PNG (%s)", message);
    png_longjmp(png, 1);
}

void ignorePngWarning(png_structp, png_const_charp) {}

void readPngBytes(png_structp png, png_bytep into, std::size_t wanted) {
    Source& source = *static_cast<Source*>(png_get_io_ptr(png));
    if (readSource(source, into, wanted) != wanted) {
        source.truncated = true;
        refuse(source, "truncated");
        png_error(png, "truncated");
    }
}

// Every row, in any form, as 8-bit RGB or RGBA. An interlaced picture comes as seven smaller
// pictures whose pixels are spread over the whole: each row goes to its place in the filter,
// which needs no whole picture.
void streamPngRows(png_structp png, png_uint_32 width, png_uint_32 height, int channels,
                   bool interlaced) {
    for (int pass = 0; pass < (interlaced ? 7 : 1); ++pass) {
        const png_uint_32 rows = interlaced ? PNG_PASS_ROWS(height, pass) : height;
        const png_uint_32 columns = interlaced ? PNG_PASS_COLS(width, pass) : width;
        if (rows == 0 || columns == 0)
            continue;  // libpng passes over an empty pass too
        for (png_uint_32 n = 0; n < rows; ++n) {
            png_read_row(png, row, nullptr);
            if (interlaced)
                addRow(PNG_ROW_FROM_PASS_ROW(n, pass), row, channels, columns,
                       PNG_PASS_START_COL(pass), 1L << PNG_PASS_COL_SHIFT(pass));
            else
                addRow(n, row, channels, columns, 0, 1);
        }
    }
}

bool readPng(png_structp png, png_infop info, Source& source, PictureBlock& block) {
    png_read_info(png, info);
    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    if (!sizeAllowed(width, height, source))
        return false;
    png_set_expand(png);  // palette to RGB, grey to 8 bits, a transparent colour to alpha
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) > sizeof row)
        return refuse(source, "unsupported PNG");
    startFilter(width, height);
    streamPngRows(png, width, height, png_get_channels(png, info),
                  png_get_interlace_type(png, info) == PNG_INTERLACE_ADAM7);
    png_read_end(png, nullptr);  // the last checksums, up to the end
    finishFilter(kUpright, block);
    return true;
}

bool decodePng(Source& source, PictureBlock& block) {
    png_structp png =
        png_create_read_struct(PNG_LIBPNG_VER_STRING, &source, onPngError, ignorePngWarning);
    if (png == nullptr)
        return refuse(source, "out of memory");
    png_infop info = png_create_info_struct(png);
    volatile bool read = false;
    if (info == nullptr)
        refuse(source, "out of memory");
    else if (setjmp(png_jmpbuf(png)) == 0) {
        png_set_read_fn(png, &source, readPngBytes);
        png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, kUnusedPngChunks,
                                    kUnusedPngChunkCount);
        read = readPng(png, info, source, block);
    }
    png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
    return read;
}

// --- JPEG ---------------------------------------------------------------------------------------
struct JpegErrors {
    jpeg_error_mgr manager;  // first, so that libjpeg's pointer to it is one to this
    std::jmp_buf jump;
    Source* source;
};

struct JpegInput {
    jpeg_source_mgr manager;  // first, likewise
    Source* source;
    unsigned char chunk[kInputChunk];
};

[[noreturn]] void onJpegError(j_common_ptr jpeg) {
    auto* errors = reinterpret_cast<JpegErrors*>(jpeg->err);
    if (!errors->source->truncated) {
        char message[JMSG_LENGTH_MAX];
        (*jpeg->err->format_message)(jpeg, message);
        std::snprintf(*errors->source->reason, kRefusalCapacity, "corrupt JPEG (%.140s)", message);
    }
    std::longjmp(errors->jump, 1);
}

void ignoreJpegMessage(j_common_ptr, int) {}

// A progressive picture's scans are read before the first row comes out: count them.
void limitJpegScans(j_common_ptr jpeg) {
    if (reinterpret_cast<j_decompress_ptr>(jpeg)->input_scan_number > kMaxJpegScans) {
        auto* errors = reinterpret_cast<JpegErrors*>(jpeg->err);
        refuse(*errors->source, "corrupt JPEG (more than 500 scans)");
        std::longjmp(errors->jump, 1);
    }
}

void startJpegInput(j_decompress_ptr) {}
void endJpegInput(j_decompress_ptr) {}

boolean fillJpegInput(j_decompress_ptr jpeg) {
    auto* input = reinterpret_cast<JpegInput*>(jpeg->src);
    const std::size_t count = readSource(*input->source, input->chunk, sizeof input->chunk);
    if (count == 0) {
        input->source->truncated = true;
        refuse(*input->source, "truncated");
        ERREXIT(jpeg, JERR_INPUT_EOF);
    }
    input->manager.next_input_byte = input->chunk;
    input->manager.bytes_in_buffer = count;
    return TRUE;
}

void skipJpegInput(j_decompress_ptr jpeg, long count) {
    jpeg_source_mgr& input = *jpeg->src;
    if (count <= 0)
        return;
    while (static_cast<std::size_t>(count) > input.bytes_in_buffer) {
        count -= static_cast<long>(input.bytes_in_buffer);
        fillJpegInput(jpeg);
    }
    input.next_input_byte += count;
    input.bytes_in_buffer -= static_cast<std::size_t>(count);
}

// The orientation tag (0x0112) of the first directory of an APP1 "Exif" segment; 1 without.
int exifOrientation(jpeg_saved_marker_ptr marker) {
    for (; marker != nullptr; marker = marker->next) {
        const unsigned char* tiff = marker->data + 6;
        const std::size_t size = marker->data_length > 6 ? marker->data_length - 6 : 0;
        if (size < 8 || std::memcmp(marker->data, "Exif\0\0", 6) != 0 ||
            (std::memcmp(tiff, "II", 2) != 0 && std::memcmp(tiff, "MM", 2) != 0))
            continue;
        auto number = [&](std::size_t at, int bytes) {  // 0 past the end
            unsigned long value = 0;
            for (int n = 0; n < bytes && at + static_cast<std::size_t>(bytes) <= size; ++n)
                value |= static_cast<unsigned long>(tiff[at + n])
                         << (tiff[0] == 'I' ? 8 * n : 8 * (bytes - 1 - n));
            return value;
        };
        const std::size_t directory = number(4, 4);
        const std::size_t entries = number(directory, 2);
        for (std::size_t n = 0, entry = directory + 2; n < entries && entry + 12 <= size;
             ++n, entry += 12) {
            const unsigned long orientation = number(entry + 8, 2);
            if (number(entry, 2) == 0x0112 && orientation >= 1 && orientation <= 8)
                return static_cast<int>(orientation);
        }
    }
    return kUpright;
}

// CMYK in place to RGB. Adobe's programs, which mark their files so, store the inks inverted.
void cmykToRgb(unsigned char* pixels, long count, bool inverted) {
    for (long k = 0; k < count; ++k) {
        const unsigned char* ink = pixels + 4 * k;
        const unsigned black = inverted ? ink[3] : 255u - ink[3];
        unsigned char rgb[3];
        for (int c = 0; c < 3; ++c)
            rgb[c] = static_cast<unsigned char>((inverted ? ink[c] : 255u - ink[c]) * black / 255);
        std::memcpy(pixels + 3 * k, rgb, 3);
    }
}

bool readJpeg(jpeg_decompress_struct& jpeg, Source& source, PictureBlock& block) {
    jpeg_save_markers(&jpeg, JPEG_APP0 + 1, 0xFFFF);
    jpeg_read_header(&jpeg, TRUE);
    if (!sizeAllowed(jpeg.image_width, jpeg.image_height, source))
        return false;
    const bool cmyk = jpeg.jpeg_color_space == JCS_CMYK || jpeg.jpeg_color_space == JCS_YCCK;
    jpeg.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;  // grey too becomes RGB
    jpeg.mem->max_memory_to_use = kJpegMemoryCap;
    jpeg_start_decompress(&jpeg);
    startFilter(jpeg.output_width, jpeg.output_height);
    while (jpeg.output_scanline < jpeg.output_height) {
        const long y = jpeg.output_scanline;
        JSAMPROW rows[] = {row};
        jpeg_read_scanlines(&jpeg, rows, 1);
        if (cmyk)
            cmykToRgb(row, jpeg.output_width, jpeg.saw_Adobe_marker);
        addRow(y, row, 3, jpeg.output_width, 0, 1);
    }
    const int orientation = exifOrientation(jpeg.marker_list);
    jpeg_finish_decompress(&jpeg);
    finishFilter(orientation, block);
    return true;
}

bool decodeJpeg(Source& source, PictureBlock& block) {
    jpeg_decompress_struct jpeg;
    JpegErrors errors;
    JpegInput input;
    jpeg_progress_mgr progress;
    jpeg.err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = onJpegError;
    errors.manager.emit_message = ignoreJpegMessage;
    errors.source = &source;
    volatile bool read = false;
    if (setjmp(errors.jump) == 0) {
        jpeg_create_decompress(&jpeg);
        input.manager = {
            nullptr,     0, startJpegInput, fillJpegInput, skipJpegInput, jpeg_resync_to_restart,
            endJpegInput};
        input.source = &source;
        jpeg.src = &input.manager;
        progress.progress_monitor = limitJpegScans;
        jpeg.progress = &progress;
        read = readJpeg(jpeg, source, block);
    }
    jpeg_destroy_decompress(&jpeg);
    return read;
}

// --- Telling the kind --------------------------------------------------------------------------
bool startsWith(const unsigned char* head, std::size_t size, const unsigned char* magic,
                std::size_t length) {
    return size >= length && std::memcmp(head, magic, length) == 0;
}

// Tells the kind from the first bytes, then decodes from the start.
bool decode(Source& source, PictureBlock& block) {
    unsigned char head[sizeof kPngSignature];
    const std::size_t size = readSource(source, head, sizeof head);
    source.at = 0;
    if (source.file != nullptr && std::fseek(source.file, 0, SEEK_SET) != 0)
        return refuse(source, std::strerror(errno));
    if (size == 0)
        return refuse(source, "empty file");
    if (startsWith(head, size, kPngSignature, sizeof kPngSignature))
        return decodePng(source, block);
    if (startsWith(head, size, kJpegStart, sizeof kJpegStart))
        return decodeJpeg(source, block);
    return refuse(source, "not a PNG or JPEG picture");
}

}  // namespace

std::FILE* openRegularFile(const char* path, Refusal& reason) {
    const int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    struct stat status;
    const char* problem = nullptr;
    if (fd < 0)
        problem = errno == ENOENT ? "no such file" : std::strerror(errno);
    else if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode))
        problem = "not a regular file";
    std::FILE* file = problem ? nullptr : fdopen(fd, "rb");
    if (file == nullptr && problem == nullptr)
        problem = std::strerror(errno);
    if (problem != nullptr) {
        std::snprintf(reason, kRefusalCapacity, "%s", problem);
        if (fd >= 0)
            close(fd);
    }
    return file;
}

bool decodePicture(const unsigned char* bytes, std::size_t size, PictureBlock& block,
                   Refusal& reason) {
    Source source{nullptr, bytes, size, 0, &reason, false};
    return decode(source, block);
}

void fitRgbPicture(const unsigned char* pixels, long width, long height, PictureBlock& block) {
    startFilter(width, height);
    for (long y = 0; y < height; ++y)
        addRow(y, pixels + y * width * 3, 3, width, 0, 1);
    finishFilter(kUpright, block);
}

bool readPictureFile(const char* path, PictureBlock& block, Refusal& reason,
                     const std::atomic<bool>*) {
    std::FILE* file = openRegularFile(path, reason);
    if (file == nullptr)
        return false;
    Source source{file, nullptr, 0, 0, &reason, false};
    const bool read = decode(source, block);
    std::fclose(file);
    return read;
}

bool looksLikePicture(const char* path, Refusal& reason) {
    std::FILE* file = openRegularFile(path, reason);
    if (file == nullptr)
        return false;
    unsigned char head[sizeof kPngSignature];
    const std::size_t size = std::fread(head, 1, sizeof head, file);
    std::fclose(file);
    if (startsWith(head, size, kPngSignature, sizeof kPngSignature) ||
        startsWith(head, size, kJpegStart, sizeof kJpegStart))
        return true;
    std::snprintf(reason, kRefusalCapacity, "%s", kNotAPicture);
    return false;
}
