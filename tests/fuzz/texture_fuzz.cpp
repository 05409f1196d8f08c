// texture_fuzz.cpp: libFuzzer target for the texture loader's checks and
// decoders, fed whole files as they would be read from textures/.
#include <stddef.h>
#include <stdint.h>

#include "d3dx9/texture_image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    DecodedImage image;
    TextureVerdict verdict = decodeImageFile(data, size, image);
    // A decoded image must be exactly as large as it says.
    if (verdict.ok() && image.rgba.size() != size_t(image.width) * size_t(image.height) * 4)
        __builtin_trap();
    return 0;
}
