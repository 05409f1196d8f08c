// d3dx_texture.cpp: D3DXCreateTextureFromFileA over SDL2_image.
//
// The whole file is read (up to a size limit), its header checked, then
// decoded from memory and converted to RGBA8; the device makes the texture
// and its mip chain. Every failure returns an error and leaves the output
// untouched.
#include <d3dx9.h>

#include <SDL.h>
#include <SDL_image.h>

#include <cstdio>
#include <memory>
#include <new>

#include "d3d9/resources.h"
#include "d3dx9/image_file.h"

namespace {

constexpr long kMaxFileBytes = 64L * 1024L * 1024L;

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
struct SurfaceFreer {
    void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};

bool readWholeFile(const char* path, std::unique_ptr<uint8_t[]>& bytes, size_t& size)
{
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path, "rb"));
    if (!file || std::fseek(file.get(), 0, SEEK_END) != 0)
        return false;
    long length = std::ftell(file.get());
    if (length <= 0 || length > kMaxFileBytes || std::fseek(file.get(), 0, SEEK_SET) != 0)
        return false;
    bytes.reset(new (std::nothrow) uint8_t[size_t(length)]);
    if (!bytes || std::fread(bytes.get(), 1, size_t(length), file.get()) != size_t(length))
        return false;
    size = size_t(length);
    return true;
}

} // namespace

HRESULT WINAPI D3DXCreateTextureFromFileA(IDirect3DDevice9* device, LPCSTR srcFile, IDirect3DTexture9** texture)
{
    if (!device || !srcFile || !texture)
        return D3DERR_INVALIDCALL;
    std::unique_ptr<uint8_t[]> bytes;
    size_t size = 0;
    if (!readWholeFile(srcFile, bytes, size))
        return D3DERR_INVALIDCALL;
    ImageHeader header;
    if (!checkImageFile(bytes.get(), size, &header))
        return D3DXERR_INVALIDDATA;

    SDL_RWops* source = SDL_RWFromConstMem(bytes.get(), int(size));
    std::unique_ptr<SDL_Surface, SurfaceFreer> decoded(source ? IMG_Load_RW(source, 1) : nullptr);
    if (!decoded || decoded->w != header.width || decoded->h != header.height)
        return D3DXERR_INVALIDDATA;
    std::unique_ptr<SDL_Surface, SurfaceFreer> rgba(SDL_ConvertSurfaceFormat(decoded.get(), SDL_PIXELFORMAT_RGBA32, 0));
    if (!rgba || SDL_LockSurface(rgba.get()) != 0)
        return D3DXERR_INVALIDDATA;

    // Rows of the converted surface may be padded; the device wants them packed.
    size_t rowBytes = size_t(rgba->w) * 4;
    std::unique_ptr<uint8_t[]> packed(new (std::nothrow) uint8_t[rowBytes * size_t(rgba->h)]);
    if (!packed) {
        SDL_UnlockSurface(rgba.get());
        return E_OUTOFMEMORY;
    }
    for (int row = 0; row < rgba->h; ++row)
        SDL_memcpy(packed.get() + size_t(row) * rowBytes,
                   static_cast<const uint8_t*>(rgba->pixels) + size_t(row) * size_t(rgba->pitch), rowBytes);
    SDL_UnlockSurface(rgba.get());
    return createTextureRgba(device, UINT(rgba->w), UINT(rgba->h), packed.get(), texture);
}
