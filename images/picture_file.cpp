// Reading a person's own PNG or JPEG picture, of any size, into one 128 x 128 block of texels.
//
// The decoding is libpng's and libjpeg's; ours is the glue around their error paths (each
// refusal jumps back to the one function that created the decoder, which destroys it), the
// bounds on what a file may cost, and the fit: the largest centred square, averaged over the
// block's cells. Rows are streamed into the averages as they are decoded, so a picture is never
// held whole in memory by us; a large JPEG is decoded at the smallest of libjpeg's scales that
// still gives the square a block's width.
//
// What a file may cost follows the size in its header, not the file's length:
//   bytes read      in all, 16 MiB of metadata and four times the pixels' raw size (a JPEG
//                   coded at its worst takes about 3.3 bytes a sample); of a PNG's pixel
//                   stream, four times a row's raw size and 16 KiB for each row, the last row
//                   reading the stream's end too; after a JPEG's last row, 16 KiB
//   bytes inflated  a PNG's rows, and what the stream's last 16 KiB or so give (16 MiB at
//                   most); its ancillary chunks but eXIf are passed over, never inflated
//   scans           32 in a JPEG: libjpeg's own progression has 10, other encoders a dozen
//   memory          96 MiB for libjpeg, which holds a progressive JPEG's coefficients
//
// No globals: everything one decode touches is in its Decoding, on the heap, so that decodes
// on two threads share nothing.
#include "images/picture_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csetjmp>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>

// clang-format off
#include <jpeglib.h>  // after <cstdio>, which it needs
#include <jerror.h>
// clang-format on
#include <png.h>

namespace {
constexpr unsigned char kPngSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr unsigned char kJpegStart[] = {0xFF, 0xD8, 0xFF};
constexpr long long kMetadataBytes = 16LL << 20;  // Exif, colour profiles, XMP, thumbnails
constexpr long long kRawSizeFactor = 4;           // bytes read per byte of raw pixels, at most
constexpr long long kEndBytes = 16 << 10;         // beyond a row: read-ahead, checksums, end marker
constexpr int kMaxJpegScans = 32;
constexpr long kJpegMemoryCap = 96L << 20;    // bytes: a progressive 16-megapixel colour file
constexpr std::size_t kMaxExifBytes = 65527;  // an APP1 segment's, past "Exif\0\0"
constexpr png_byte kExifChunk[] = "eXIf";
constexpr png_uint_32 kPixelChunk = 0x49444154;  // "IDAT", as libpng names chunks
constexpr int kBlockLast = kBlockSide - 1;
constexpr int kUpright = 1;  // the EXIF orientation of a picture to show as it is stored

// --- The fit: a box filter over the centred square ---------------------------------------------
// Lengths along a side of the square count in units of 1 / (128 side): a pixel is 128 units
// long and a cell `side` units, so every overlap of a pixel and a cell is a whole number and a
// cell's weights add up to side x side, whether the square is larger than the block or smaller.

struct Fit {
    std::uint64_t sums[kBlockSide][kBlockSide][3];  // weighted colour sums, per cell
    std::uint64_t rowSums[kBlockSide][3];           // the same for the current row
    long side, left, top;  // the centred square in the picture: its size and its top-left pixel
};

void startFilter(Fit& fit, long width, long height) {
    fit.side = std::min(width, height);
    fit.left = (width - fit.side) / 2;
    fit.top = (height - fit.side) / 2;
    std::memset(fit.sums, 0, sizeof fit.sums);
}

// Calls add(cell, weight) for each cell that pixel `i` of a square of `side` pixels overlaps.
template <typename Add>
void forEachCell(long side, long i, Add add) {
    const long start = i * kBlockSide, end = start + kBlockSide;
    for (long cell = start / side; cell < kBlockSide && cell * side < end; ++cell)
        add(static_cast<int>(cell),
            std::min(end, (cell + 1) * side) - std::max(start, cell * side));
}

// `count` RGB pixels of picture row y, at x = firstX, firstX + step, ...
void addRow(Fit& fit, long y, const unsigned char* pixels, long count, long firstX, long step) {
    if (y < fit.top || y >= fit.top + fit.side)
        return;
    std::memset(fit.rowSums, 0, sizeof fit.rowSums);
    for (long k = 0, i = firstX - fit.left; k < count && i < fit.side;
         ++k, i += step, pixels += 3) {
        if (i < 0)
            continue;
        forEachCell(fit.side, i, [&](int cell, long weight) {
            for (int c = 0; c < 3; ++c)
                fit.rowSums[cell][c] += pixels[c] * static_cast<std::uint64_t>(weight);
        });
    }
    forEachCell(fit.side, y - fit.top, [&](int cell, long weight) {
        for (int x = 0; x < kBlockSide; ++x)
            for (int c = 0; c < 3; ++c)
                fit.sums[cell][x][c] += fit.rowSums[x][c] * static_cast<std::uint64_t>(weight);
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
void finishFilter(const Fit& fit, int orientation, PictureBlock& block) {
    const std::uint64_t area = static_cast<std::uint64_t>(fit.side) * fit.side;
    for (int cellY = 0; cellY < kBlockSide; ++cellY) {
        for (int cellX = 0; cellX < kBlockSide; ++cellX) {
            int x = cellX, y = cellY;
            orient(orientation, x, y);
            unsigned char* texel = block + ((kBlockLast - y) * kBlockSide + x) * 4;
            for (int c = 0; c < 3; ++c)
                texel[c] =
                    static_cast<unsigned char>((fit.sums[cellY][cellX][c] + area / 2) / area);
            texel[3] = 255;
        }
    }
}

// The orientation tag (0x0112) of the first directory of a TIFF block, Exif's form; upright
// without one.
int exifOrientation(const unsigned char* tiff, std::size_t size) {
    const bool intel = size >= 8 && std::memcmp(tiff, "II", 2) == 0;
    if (size < 8 || (!intel && std::memcmp(tiff, "MM", 2) != 0))
        return kUpright;
    auto number = [&](std::size_t at, std::size_t bytes) {  // 0 for one that does not fit
        unsigned long value = 0;
        if (at <= size && bytes <= size - at)  // `at + bytes` could wrap on a 32-bit size_t
            for (std::size_t n = 0; n < bytes; ++n)
                value |= static_cast<unsigned long>(tiff[at + n])
                         << (intel ? 8 * n : 8 * (bytes - 1 - n));
        return value;
    };
    const std::size_t directory = number(4, 4);
    const std::size_t entries = number(directory, 2);  // none when the directory is outside
    for (std::size_t n = 0; n < entries; ++n) {
        const std::size_t entry = directory + 2 + 12 * n;  // under size + 786432: no wrap
        const unsigned long orientation = number(entry + 8, 2);
        if (number(entry, 2) == 0x0112 && orientation >= 1 && orientation <= 8)
            return static_cast<int>(orientation);
    }
    return kUpright;
}

// --- One decode: its file, its refusal, what it may still cost, its fit ------------------------
struct Decoding {
    std::FILE* file;
    Refusal* reason;
    const std::atomic<bool>* stop;          // null: never asked to stop
    bool refused = false;                   // the reason is written, and an error path keeps it
    long long bytesRead = 0;                // bytes given by the file so far
    long long fileBudget = kMetadataBytes;  // bytes it may give in all
    long long budget = kMetadataBytes;      // bytes it may give up to the next row, or in all
    unsigned long width = 0, height = 0;    // the picture's size, once its header is read
    Fit fit = {};
    unsigned char row[kMaxPictureSide * 4] = {};  // one decoded row: RGB, or a JPEG's CMYK
    unsigned char exif[kMaxExifBytes] = {};       // a JPEG's first Exif block, exifSize bytes of it
    std::size_t exifSize = 0;
};

[[gnu::format(printf, 2, 3)]] bool refuse(Decoding& decoding, const char* format, ...) {
    std::va_list words;
    va_start(words, format);
    std::vsnprintf(*decoding.reason, kRefusalCapacity, format, words);
    va_end(words);
    decoding.refused = true;
    return false;
}

// False, with kStopped, once the decode is asked to stop: checked at every read and every row.
bool mayGoOn(Decoding& decoding) {
    if (decoding.stop == nullptr || !decoding.stop->load())
        return true;
    return refuse(decoding, "%s", kStopped);
}

// Counts bytes given by the file against what its picture may need.
bool charge(Decoding& decoding, std::size_t bytes) {
    decoding.bytesRead += static_cast<long long>(bytes);
    if (decoding.bytesRead <= decoding.budget)
        return true;
    if (decoding.width == 0)
        return refuse(decoding, "more than %lld MiB before the picture's size",
                      kMetadataBytes >> 20);
    return refuse(decoding, "more data than a %lu x %lu picture needs", decoding.width,
                  decoding.height);
}

// Checked from the header alone, before the decoder allocates anything for the pixels.
bool sizeAllowed(Decoding& decoding, unsigned long width, unsigned long height) {
    if (width <= kMaxPictureSide && height <= kMaxPictureSide &&
        width * height <= static_cast<unsigned long>(kMaxPicturePixels))
        return true;
    return refuse(decoding, "%lu x %lu is too large (at most 64 megapixels, %d per side)", width,
                  height, kMaxPictureSide);
}

void setBudget(Decoding& decoding, unsigned long width, unsigned long height,
               unsigned long long rawBytes) {
    decoding.width = width, decoding.height = height;
    decoding.fileBudget = kMetadataBytes + kRawSizeFactor * static_cast<long long>(rawBytes);
    decoding.budget = decoding.fileBudget;
}

// From here on the file may give what `rawBytes` more of pixels can need, and its end: libpng
// reads the end of a PNG's stream with its last row, so that data past the pixels would be
// inflated there, and a JPEG's end follows its last row.
void allowNext(Decoding& decoding, long long rawBytes) {
    decoding.budget =
        std::min(decoding.fileBudget, decoding.bytesRead + kRawSizeFactor * rawBytes + kEndBytes);
}

// --- PNG ----------------------------------------------------------------------------------------
void onPngError(png_structp png, png_const_charp message) {
    Decoding& decoding = *static_cast<Decoding*>(png_get_error_ptr(png));
    if (!decoding.refused)
        refuse(decoding, "corrupt PNG (%s)", message);
    png_longjmp(png, 1);
}

void ignorePngWarning(png_structp, png_const_charp) {}

// libpng's stdio reader (png_init_io) has no place for the stop check and the budget: ours. A
// row's allowance holds for the pixels' stream; metadata after it counts to the whole file's.
void readPngBytes(png_structp png, png_bytep into, std::size_t wanted) {
    Decoding& decoding = *static_cast<Decoding*>(png_get_io_ptr(png));
    if (png_get_io_chunk_type(png) != kPixelChunk)
        decoding.budget = decoding.fileBudget;
    if (mayGoOn(decoding) && charge(decoding, wanted) &&
        std::fread(into, 1, wanted, decoding.file) != wanted)
        refuse(decoding, "truncated");
    if (decoding.refused)
        png_error(png, *decoding.reason);
}

// libpng's own bounds. It refuses a side over ours itself (the area is ours to check), and any
// chunk longer than the metadata allowance but for the pixels' own. Its "benign" faults (data
// after the last row, a damaged tRNS or eXIf) refuse the file too, as every other fault does.
// The ancillary chunks but tRNS and eXIf are passed over unread: neither a colour profile nor
// a gamma applies (colours are shown as stored) and no text is shown.
void limitPng(png_structp png) {
    png_set_user_limits(png, kMaxPictureSide, kMaxPictureSide);
    png_set_chunk_malloc_max(png, kMetadataBytes);
    png_set_benign_errors(png, 0);
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_AS_DEFAULT, kExifChunk, 1);
}

// Every row, in any form, as 8-bit RGB. An interlaced picture comes as seven smaller pictures
// whose pixels are spread over the whole: each row goes to its place in the filter, which needs
// no whole picture.
void streamPngRows(png_structp png, Decoding& decoding, png_uint_32 width, png_uint_32 height,
                   bool interlaced, long long rowBytes) {
    for (int pass = 0; pass < (interlaced ? 7 : 1); ++pass) {
        const png_uint_32 rows = interlaced ? PNG_PASS_ROWS(height, pass) : height;
        const png_uint_32 columns = interlaced ? PNG_PASS_COLS(width, pass) : width;
        if (rows == 0 || columns == 0)
            continue;  // libpng passes over an empty pass too
        for (png_uint_32 n = 0; n < rows; ++n) {
            if (!mayGoOn(decoding))
                png_error(png, kStopped);
            allowNext(decoding, rowBytes);
            png_read_row(png, decoding.row, nullptr);
            if (interlaced)
                addRow(decoding.fit, PNG_ROW_FROM_PASS_ROW(n, pass), decoding.row, columns,
                       PNG_PASS_START_COL(pass), 1L << PNG_PASS_COL_SHIFT(pass));
            else
                addRow(decoding.fit, n, decoding.row, columns, 0, 1);
        }
    }
}

int pngOrientation(png_structp png, png_infop info) {
    png_uint_32 size = 0;
    png_bytep exif = nullptr;
    return png_get_eXIf_1(png, info, &size, &exif) != 0 ? exifOrientation(exif, size) : kUpright;
}

bool readPng(png_structp png, png_infop info, Decoding& decoding, PictureBlock& block) {
    png_read_info(png, info);
    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    if (!sizeAllowed(decoding, width, height))
        return false;
    const long long rowBytes = png_get_rowbytes(png, info) + 1;  // raw, with the filter's byte
    setBudget(decoding, width, height, rowBytes * height);
    png_set_expand(png);  // palette to RGB, grey to 8 bits, a transparent colour to alpha
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    const png_color_16 black = {};
    png_set_background(png, &black, PNG_BACKGROUND_GAMMA_SCREEN, 0, 1.0);  // alpha gone
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) > sizeof decoding.row)
        return refuse(decoding, "unsupported PNG");
    startFilter(decoding.fit, width, height);
    streamPngRows(png, decoding, width, height,
                  png_get_interlace_type(png, info) == PNG_INTERLACE_ADAM7, rowBytes);
    png_read_end(png, info);  // the last checksums, up to the end; an eXIf may come late
    finishFilter(decoding.fit, pngOrientation(png, info), block);
    return true;
}

bool decodePng(Decoding& decoding, PictureBlock& block) {
    png_structp png =
        png_create_read_struct(PNG_LIBPNG_VER_STRING, &decoding, onPngError, ignorePngWarning);
    if (png == nullptr)
        return refuse(decoding, "out of memory");
    png_infop info = png_create_info_struct(png);
    volatile bool read = false;
    if (info == nullptr)
        refuse(decoding, "out of memory");
    else if (setjmp(png_jmpbuf(png)) == 0) {
        png_set_read_fn(png, &decoding, readPngBytes);
        limitPng(png);
        read = readPng(png, info, decoding, block);
    } else {  // a side over libpng's limit is refused in the words of any size too large
        sizeAllowed(decoding, png_get_image_width(png, info), png_get_image_height(png, info));
    }
    png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
    return read;
}

// --- JPEG ---------------------------------------------------------------------------------------
// A JPEG decode's own parts, which libjpeg's callbacks reach through client_data.
struct JpegDecoding {
    jpeg_error_mgr errors;
    jpeg_progress_mgr progress;
    std::jmp_buf jump;
    boolean (*readStdio)(j_decompress_ptr);  // the stdio source's reader, which ours wraps
    Decoding* decoding;
};

template <typename Jpeg>  // j_common_ptr or j_decompress_ptr: both lead with client_data
JpegDecoding& partsOf(Jpeg jpeg) {
    return *static_cast<JpegDecoding*>(jpeg->client_data);
}

[[noreturn]] void onJpegError(j_common_ptr jpeg) {
    Decoding& decoding = *partsOf(jpeg).decoding;
    if (decoding.refused) {
    } else if (jpeg->err->msg_code == JERR_NO_BACKING_STORE) {  // over kJpegMemoryCap
        refuse(decoding, "%lu x %lu is too large for a progressive JPEG (over %ld MiB to decode)",
               decoding.width, decoding.height, kJpegMemoryCap >> 20);
    } else {
        char message[JMSG_LENGTH_MAX];
        (*jpeg->err->format_message)(jpeg, message);
        refuse(decoding, "corrupt JPEG (%.140s)", message);
    }
    std::longjmp(partsOf(jpeg).jump, 1);
}

// libjpeg's warnings pass, but for the stdio source's at the file's end: it is cut short.
void onJpegWarning(j_common_ptr jpeg, int level) {
    if (level < 0 && jpeg->err->msg_code == JWRN_JPEG_EOF) {
        refuse(*partsOf(jpeg).decoding, "truncated");
        (*jpeg->err->error_exit)(jpeg);
    }
}

// libjpeg calls it for every row and, while a progressive picture's scans are read inside
// jpeg_start_decompress, for every row of blocks.
void watchJpegProgress(j_common_ptr jpeg) {
    Decoding& decoding = *partsOf(jpeg).decoding;
    if (reinterpret_cast<j_decompress_ptr>(jpeg)->input_scan_number > kMaxJpegScans)
        refuse(decoding, "JPEG of more than %d scans", kMaxJpegScans);
    if (decoding.refused || !mayGoOn(decoding))
        (*jpeg->err->error_exit)(jpeg);
}

// The stdio source's reader (4 KiB at a time), with the stop check and the budget.
boolean readJpegBytes(j_decompress_ptr jpeg) {
    JpegDecoding& parts = partsOf(jpeg);
    if (mayGoOn(*parts.decoding)) {
        parts.readStdio(jpeg);
        charge(*parts.decoding, jpeg->src->bytes_in_buffer);
    }
    if (parts.decoding->refused)
        (*jpeg->err->error_exit)(reinterpret_cast<j_common_ptr>(jpeg));
    return TRUE;
}

void takeJpegBytes(j_decompress_ptr jpeg, unsigned char* into, std::size_t count) {
    jpeg_source_mgr& source = *jpeg->src;
    while (count > 0) {
        if (source.bytes_in_buffer == 0)
            (*source.fill_input_buffer)(jpeg);
        const std::size_t taken = std::min(count, source.bytes_in_buffer);
        std::memcpy(into, source.next_input_byte, taken);
        source.next_input_byte += taken, source.bytes_in_buffer -= taken;
        into += taken, count -= taken;
    }
}

// Of the APP1 segments, the first of Exif is kept for its orientation and every other passed
// over: saving them all, as libjpeg would, lets a file of endless segments fill memory.
boolean readApp1(j_decompress_ptr jpeg) {
    Decoding& decoding = *partsOf(jpeg).decoding;
    unsigned char head[8];  // the segment's length, then "Exif\0\0"
    takeJpegBytes(jpeg, head, 2);
    long rest = (head[0] << 8 | head[1]) - 2;
    if (decoding.exifSize == 0 && rest >= 6) {
        takeJpegBytes(jpeg, head + 2, 6);
        rest -= 6;
        if (std::memcmp(head + 2, "Exif\0\0", 6) == 0) {
            takeJpegBytes(jpeg, decoding.exif, static_cast<std::size_t>(rest));
            decoding.exifSize = static_cast<std::size_t>(rest);
            return TRUE;
        }
    }
    (*jpeg->src->skip_input_data)(jpeg, rest);  // nothing for rest <= 0
    return TRUE;
}

// libjpeg decodes at M/8 of the size: the smallest M that still gives the centred square a
// block's width, so that most of a photo's averaging is done by its smaller inverse transform.
void scaleToBlock(jpeg_decompress_struct& jpeg) {
    const unsigned long side = std::min(jpeg.image_width, jpeg.image_height);
    jpeg.scale_denom = 8;
    jpeg.scale_num = 1;
    while (jpeg.scale_num < 8 && (side * jpeg.scale_num + 7) / 8 < kBlockSide)
        ++jpeg.scale_num;
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

bool readJpeg(jpeg_decompress_struct& jpeg, Decoding& decoding, PictureBlock& block) {
    jpeg_set_marker_processor(&jpeg, JPEG_APP0 + 1, readApp1);
    jpeg_read_header(&jpeg, TRUE);
    if (!sizeAllowed(decoding, jpeg.image_width, jpeg.image_height))
        return false;
    setBudget(decoding, jpeg.image_width, jpeg.image_height,
              1ULL * jpeg.image_width * jpeg.image_height * jpeg.num_components);
    const bool cmyk = jpeg.jpeg_color_space == JCS_CMYK || jpeg.jpeg_color_space == JCS_YCCK;
    jpeg.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;  // grey too becomes RGB
    jpeg.mem->max_memory_to_use = kJpegMemoryCap;
    scaleToBlock(jpeg);
    jpeg_start_decompress(&jpeg);
    startFilter(decoding.fit, jpeg.output_width, jpeg.output_height);
    while (jpeg.output_scanline < jpeg.output_height) {
        const long y = jpeg.output_scanline;
        JSAMPROW rows[] = {decoding.row};
        jpeg_read_scanlines(&jpeg, rows, 1);
        if (cmyk)
            cmykToRgb(decoding.row, jpeg.output_width, jpeg.saw_Adobe_marker);
        addRow(decoding.fit, y, decoding.row, jpeg.output_width, 0, 1);
    }
    allowNext(decoding, 0);
    jpeg_finish_decompress(&jpeg);
    finishFilter(decoding.fit, exifOrientation(decoding.exif, decoding.exifSize), block);
    return true;
}

bool decodeJpeg(Decoding& decoding, PictureBlock& block) {
    jpeg_decompress_struct jpeg;
    JpegDecoding parts;
    jpeg.err = jpeg_std_error(&parts.errors);
    jpeg.client_data = &parts;  // kept by jpeg_create_decompress
    parts.errors.error_exit = onJpegError;
    parts.errors.emit_message = onJpegWarning;
    parts.progress.progress_monitor = watchJpegProgress;
    parts.decoding = &decoding;
    volatile bool read = false;
    if (setjmp(parts.jump) == 0) {
        jpeg_create_decompress(&jpeg);
        jpeg.progress = &parts.progress;
        jpeg_stdio_src(&jpeg, decoding.file);
        parts.readStdio = jpeg.src->fill_input_buffer;
        jpeg.src->fill_input_buffer = readJpegBytes;  // skip_input_data reads through it too
        read = readJpeg(jpeg, decoding, block);
    }
    jpeg_destroy_decompress(&jpeg);
    return read;
}

// --- Telling the kind --------------------------------------------------------------------------
enum class Kind { png, jpeg, other };

Kind kindOf(const unsigned char* head, std::size_t size) {
    auto startsWith = [&](const unsigned char* magic, std::size_t length) {
        return size >= length && std::memcmp(head, magic, length) == 0;
    };
    if (startsWith(kPngSignature, sizeof kPngSignature))
        return Kind::png;
    return startsWith(kJpegStart, sizeof kJpegStart) ? Kind::jpeg : Kind::other;
}

// Tells the kind from the first bytes, then decodes from the start.
bool decodeFile(Decoding& decoding, PictureBlock& block) {
    unsigned char head[sizeof kPngSignature];
    const std::size_t size = std::fread(head, 1, sizeof head, decoding.file);
    if (std::fseek(decoding.file, 0, SEEK_SET) != 0)
        return refuse(decoding, "%s", std::strerror(errno));
    if (size == 0)
        return refuse(decoding, "empty file");
    switch (kindOf(head, size)) {
        case Kind::png: return decodePng(decoding, block);
        case Kind::jpeg: return decodeJpeg(decoding, block);
        default: return refuse(decoding, "%s", kNotAPicture);
    }
}

bool decodeAndClose(std::FILE* file, PictureBlock& block, Refusal& reason,
                    const std::atomic<bool>* stop) {
    const std::unique_ptr<Decoding> decoding(new Decoding{file, &reason, stop});  // 0.6 MiB
    const bool decoded = decodeFile(*decoding, block);
    std::fclose(file);
    return decoded;
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

// Memory is read as a stream too, so that both decoders have the one reader each.
bool decodePicture(const unsigned char* bytes, std::size_t size, PictureBlock& block,
                   Refusal& reason) {
    std::FILE* file = fmemopen(const_cast<unsigned char*>(bytes), size, "rb");
    if (file == nullptr)
        std::snprintf(reason, kRefusalCapacity, "%s", std::strerror(errno));
    return file != nullptr && decodeAndClose(file, block, reason, nullptr);
}

void fitRgbPicture(const unsigned char* pixels, long width, long height, PictureBlock& block) {
    const std::unique_ptr<Fit> fit(new Fit{});  // 0.4 MiB of sums
    startFilter(*fit, width, height);
    for (long y = 0; y < height; ++y)
        addRow(*fit, y, pixels + y * width * 3, width, 0, 1);
    finishFilter(*fit, kUpright, block);
}

bool readPictureFile(const char* path, PictureBlock& block, Refusal& reason,
                     const std::atomic<bool>* stop) {
    std::FILE* file = openRegularFile(path, reason);
    return file != nullptr && decodeAndClose(file, block, reason, stop);
}

bool looksLikePicture(const char* path, Refusal& reason) {
    std::FILE* file = openRegularFile(path, reason);
    if (file == nullptr)
        return false;
    unsigned char head[sizeof kPngSignature];
    const std::size_t size = std::fread(head, 1, sizeof head, file);
    std::fclose(file);
    if (kindOf(head, size) != Kind::other)
        return true;
    std::snprintf(reason, kRefusalCapacity, "%s", kNotAPicture);
    return false;
}
