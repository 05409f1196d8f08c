// texture_file.cpp: reading, checking and decoding a texture file, and the
// line on standard error that says why one was refused.
#include "d3dx9/texture_file.h"

#include <cstdio>
#include <new>

namespace {

void reportFailure(const char* path, const std::string& tried, const TextureVerdict& verdict)
{
    std::string where = currentDirectory();
    std::fprintf(stderr, "texture \"%s\" (working directory \"%s\"", path, where.c_str());
    if (!tried.empty() && tried != path)
        std::fprintf(stderr, ", also tried \"%s\"", tried.c_str());
    std::fprintf(stderr, "): %s\n", reasonFor(verdict).c_str());
    std::fflush(stderr);
}

} // namespace

std::string reasonFor(const TextureVerdict& verdict)
{
    std::string reason = describe(verdict.problem);
    if (verdict.detail)
        reason += std::string(": ") + verdict.detail;
    return reason;
}

TextureVerdict decodeImageFile(const uint8_t* data, size_t size, DecodedImage& out)
{
    ImageHeader header;
    TextureVerdict verdict = checkImageFile(data, size, &header);
    if (!verdict.ok())
        return verdict;
    switch (header.format) {
    case ImageFormat::Tga: verdict = decodeTga(data, size, header, out); break;
    case ImageFormat::Pnm: verdict = decodePnm(data, size, header, out); break;
    default: verdict = decodeWithSystemCodec(data, size, header, out); break;
    }
    if (verdict.ok() && (out.width != header.width || out.height != header.height ||
                         out.rgba.size() != size_t(out.width) * size_t(out.height) * 4))
        return refuse(TextureProblem::Corrupt, "an image of another size than its header says");
    return verdict;
}

TextureVerdict loadTextureImage(const char* path, DecodedImage& out)
{
    FileBytes file;
    std::string tried;
    TextureVerdict verdict = readTextureFile(path, file, tried);
    if (verdict.ok())
        verdict = decodeImageFile(file.data.get(), file.size, out);
    if (!verdict.ok())
        reportFailure(path, tried, verdict);
    return verdict;
}
