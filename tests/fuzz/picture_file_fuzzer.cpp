// Fuzzes the decoding of a person's picture: any bytes give the 128 x 128 block or a refusal, never
// a read past the bytes, a leak or a hang. Needs no GL.
#include <cstdint>

#include "images/picture_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static PictureBlock block;
    Refusal reason;
    decodePicture(data, size, block, reason);
    return 0;
}
