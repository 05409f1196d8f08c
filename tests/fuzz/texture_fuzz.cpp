// texture_fuzz.cpp: libFuzzer target for the texture loader's checks and
// decoders, fed whole files as they would be read from textures/.
#include <stddef.h>
#include <stdint.h>

#include "d3dx9/texture_file.h"

namespace {

// Every header is checked, but only images up to this many pixels are
// decoded: the decoders' code is the same at any size, and a run stays
// fast enough to try many inputs rather than a few huge ones.
constexpr long long kMaxFuzzPixels = 256 * 256;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ImageHeader header;
    if (!checkImageFile(data, size, &header).ok() || (long long)header.width * header.height > kMaxFuzzPixels)
        return 0;
    DecodedImage image;
    TextureVerdict verdict = decodeImageFile(data, size, image);
    // A decoded image must be exactly as large as its header says.
    if (verdict.ok() && (image.width != header.width || image.height != header.height ||
                         image.rgba.size() != size_t(image.width) * size_t(image.height) * 4))
        __builtin_trap();
    return 0;
}
