// Fuzzes the decoding of a person's picture: any bytes give the 128 x 128 block or a refusal with
// a reason, never a read past the bytes, a leak or a hang. Needs no GL.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "images/picture_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static PictureBlock block;
    Refusal reason = "";
    block[3] = 0;
    const bool shown = decodePicture(data, size, block, reason);
    if (shown ? block[3] != 255 : reason[0] == '\0')
        std::abort();  // a finding: a block not filled, or a refusal without a reason
    return 0;
}
