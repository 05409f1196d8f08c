// texture_decoding.cpp: the texture loader's decoding, for its own tests.
#include "texture_decoding.h"

#include "d3dx9/texture_file.h"

namespace testctl {

std::string decodeTextureFile(const std::vector<uint8_t>& bytes, DecodedPicture& picture)
{
    DecodedImage image;
    TextureVerdict verdict = decodeImageFile(bytes.data(), bytes.size(), image);
    if (!verdict.ok())
        return reasonFor(verdict);
    picture.width = image.width;
    picture.height = image.height;
    picture.hasAlpha = image.hasAlpha;
    picture.rgba = std::move(image.rgba);
    return std::string();
}

} // namespace testctl
