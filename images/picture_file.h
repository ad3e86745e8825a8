// Reading a person's own PNG or JPEG picture, of any size, into one 128 x 128 block of texels.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdio>

constexpr int kBlockSide = 128;                           // texels per side of the block
constexpr int kBlockBytes = kBlockSide * kBlockSide * 4;  // red, green, blue, alpha
constexpr long kMaxPicturePixels = 64000000;              // 64 megapixels...
constexpr int kMaxPictureSide = 32768;                    // ...and no side longer
constexpr std::size_t kRefusalCapacity = 160;             // bytes of a reason, terminated

// A picture's texels, as the texture table uploads them: opaque (alpha 255), the file's first
// row in the top texture row (the last of the block), red first.
using PictureBlock = unsigned char[kBlockBytes];
// Why a file was refused, in a few words: "truncated", "not a PNG or JPEG picture", ...
using Refusal = char[kRefusalCapacity];
// The two reasons a caller tells apart from the rest, by comparing: a file that is no picture at
// all (a folder holds other files too), and a decode that ended because it was asked to stop.
inline constexpr char kNotAPicture[] = "not a PNG or JPEG picture";
inline constexpr char kStopped[] = "stopped";

// Decodes a PNG or JPEG picture (told by its first bytes, never by its name) from memory: its
// largest centred square, averaged down (or up) to the block. False, with the reason, for
// anything else: no byte past `size` is read, and a header claiming more than 64 megapixels or
// a side over 32768 is refused before any pixel is decoded. A decode's work and memory follow
// the picture's size, whatever the file holds: a file that gives more bytes than its pixels can
// need, a JPEG of more scans than real files have, or a progressive JPEG that would need more
// than 96 MiB is refused as soon as that shows.
bool decodePicture(const unsigned char* bytes, std::size_t size, PictureBlock& block,
                   Refusal& reason);

// The same from a file, read as it is decoded. Only a regular file is read; one that would
// block (a named pipe, a device) is refused at once. Decodes on several threads at once share
// nothing. Once `*stop` is true, the decode ends within a slice of work (a read of 4 KiB or so,
// a row) and returns false with kStopped.
bool readPictureFile(const char* path, PictureBlock& block, Refusal& reason,
                     const std::atomic<bool>* stop = nullptr);

// Fits a picture already in memory, rows of RGB pixels (3 bytes a pixel, `width` pixels a row,
// the top row first; both sides at least 1), to the block as a decoded picture is fitted.
void fitRgbPicture(const unsigned char* pixels, long width, long height, PictureBlock& block);

// A regular file opened for reading, or null with the reason. Only a regular file names a
// picture: a folder opens but cannot be read, and a named pipe or a device could block start-up
// for good. The open itself does not block, so that a pipe cannot stall it.
std::FILE* openRegularFile(const char* path, Refusal& reason);

// Whether a regular file starts as a PNG or JPEG picture does; false, with the reason, for
// another kind (kNotAPicture) or a file that cannot be read.
bool looksLikePicture(const char* path, Refusal& reason);
