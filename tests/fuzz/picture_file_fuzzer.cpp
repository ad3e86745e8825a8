// Any bytes decode to the 128 x 128 block or a refusal: no over-read, leak or hang. Needs no GL.
#include <cstdint>

#include "images/picture_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static PictureBlock block;
    Refusal reason;
    decodePicture(data, size, block, reason);
    return 0;
}
