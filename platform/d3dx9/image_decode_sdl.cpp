// image_decode_sdl.cpp: JPEG, PNG and BMP through SDL2_image.
//
// Each file goes to the decoder of the format its header check found, never
// to SDL_image's guess, so only checked formats reach a decoder. Decoding
// runs on a short-lived SDL thread: SDL keeps its error text in per-thread
// storage that it frees only when one of its own threads ends, and a failed
// decode would otherwise leave it behind on the caller's thread.
#include "d3dx9/texture_file.h"

#include <SDL.h>
#include <SDL_image.h>

#include <memory>

namespace {

struct SurfaceFreer {
    void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};
using Surface = std::unique_ptr<SDL_Surface, SurfaceFreer>;

struct DecodeJob {
    const uint8_t* data;
    size_t size;
    const ImageHeader* header;
    DecodedImage* out;
    TextureVerdict verdict;
};

SDL_Surface* decodeAs(ImageFormat format, SDL_RWops* source)
{
    switch (format) {
    case ImageFormat::Jpeg: return IMG_LoadJPG_RW(source);
    case ImageFormat::Png: return IMG_LoadPNG_RW(source);
    case ImageFormat::Bmp: return IMG_LoadBMP_RW(source);
    default: return nullptr;
    }
}

TextureVerdict decode(const DecodeJob& job)
{
    SDL_RWops* source = SDL_RWFromConstMem(job.data, int(job.size));
    if (!source)
        return refuse(TextureProblem::OutOfMemory);
    Surface decoded(decodeAs(job.header->format, source));
    SDL_RWclose(source);
    if (!decoded)
        return refuse(TextureProblem::Corrupt, "the decoder refused it");
    if (decoded->w != job.header->width || decoded->h != job.header->height)
        return refuse(TextureProblem::Corrupt, "an image of another size than its header says");
    bool alpha = SDL_ISPIXELFORMAT_ALPHA(decoded->format->format) || SDL_HasColorKey(decoded.get());
    Surface rgba(SDL_ConvertSurfaceFormat(decoded.get(), SDL_PIXELFORMAT_RGBA32, 0));
    if (!rgba || SDL_LockSurface(rgba.get()) != 0)
        return refuse(TextureProblem::OutOfMemory);

    // Rows of the converted surface may be padded; the texture wants them packed.
    DecodedImage& out = *job.out;
    out.width = rgba->w;
    out.height = rgba->h;
    out.hasAlpha = alpha;
    size_t rowBytes = size_t(rgba->w) * 4;
    out.rgba.resize(rowBytes * size_t(rgba->h));
    for (int row = 0; row < rgba->h; ++row)
        SDL_memcpy(out.rgba.data() + size_t(row) * rowBytes,
                   static_cast<const uint8_t*>(rgba->pixels) + size_t(row) * size_t(rgba->pitch), rowBytes);
    SDL_UnlockSurface(rgba.get());
    return {};
}

int SDLCALL runDecode(void* job)
{
    DecodeJob* j = static_cast<DecodeJob*>(job);
    j->verdict = decode(*j);
    return 0;
}

} // namespace

TextureVerdict decodeWithSystemCodec(const uint8_t* data, size_t size, const ImageHeader& header, DecodedImage& out)
{
    DecodeJob job = {data, size, &header, &out, {}};
    SDL_Thread* thread = SDL_CreateThread(runDecode, "texture decode", &job);
    if (!thread)
        return refuse(TextureProblem::OutOfMemory, "no thread to decode on");
    SDL_WaitThread(thread, nullptr);
    return job.verdict;
}
