// d3dx_texture.cpp: D3DXCreateTextureFromFileA, on any Direct3D 9 device.
//
// Makes what D3DX makes by default: sides rounded up to powers of two
// (within what the device takes), a full box-filtered mip chain, X8R8G8B8,
// or A8R8G8B8 when the file's format has alpha, in the managed pool. Only
// the public interface is used (CreateTexture, LockRect), so the Windows
// and the Linux build share this file and differ only in how a file is read
// and decoded. A file that cannot be used is reported on standard error;
// every failure returns an error and leaves the output untouched.
#include <windows.h>
#include <d3d9.h>
#include <d3dx9.h>

#include "d3dx9/d3dx_texture.h"
#include "d3dx9/mip_chain.h"
#include "d3dx9/texture_error_code.h"

namespace {

// One level's RGBA rows into the locked surface's B, G, R, A texels.
void copyLevel(const MipLevel& level, const D3DLOCKED_RECT& locked)
{
    for (int y = 0; y < level.height; ++y) {
        const uint8_t* from = level.rgba.data() + size_t(y) * size_t(level.width) * 4;
        uint8_t* to = static_cast<uint8_t*>(locked.pBits) + size_t(y) * size_t(locked.Pitch);
        for (int x = 0; x < level.width; ++x, from += 4, to += 4) {
            to[0] = from[2];
            to[1] = from[1];
            to[2] = from[0];
            to[3] = from[3];
        }
    }
}

} // namespace

HRESULT createTextureFromImage(IDirect3DDevice9* device, const DecodedImage& image, IDirect3DTexture9** texture)
{
    D3DCAPS9 caps = {};
    if (FAILED(device->GetDeviceCaps(&caps)))
        return D3DERR_INVALIDCALL;
    int width = powerOfTwoAtLeast(image.width, caps.MaxTextureWidth ? int(caps.MaxTextureWidth) : kMaxImageSide);
    int height = powerOfTwoAtLeast(image.height, caps.MaxTextureHeight ? int(caps.MaxTextureHeight) : kMaxImageSide);
    std::vector<MipLevel> levels = buildMipChain(image.rgba.data(), image.width, image.height, width, height);

    IDirect3DTexture9* made = nullptr;
    D3DFORMAT format = image.hasAlpha ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8;
    HRESULT result = device->CreateTexture(UINT(width), UINT(height), UINT(levels.size()), 0, format, D3DPOOL_MANAGED,
                                           &made, nullptr);
    if (FAILED(result))
        return result;
    for (size_t i = 0; i < levels.size(); ++i) {
        D3DLOCKED_RECT locked = {};
        result = made->LockRect(UINT(i), &locked, nullptr, 0);
        if (FAILED(result)) {
            made->Release();
            return result;
        }
        copyLevel(levels[i], locked);
        made->UnlockRect(UINT(i));
    }
    *texture = made;
    return D3D_OK;
}

HRESULT WINAPI D3DXCreateTextureFromFileA(IDirect3DDevice9* device, const char* srcFile, IDirect3DTexture9** texture)
{
    if (!device || !srcFile || !texture)
        return D3DERR_INVALIDCALL;
    DecodedImage image;
    TextureVerdict verdict = loadTextureImage(srcFile, image);
    if (!verdict.ok())
        return textureErrorCode(verdict.problem);
    return createTextureFromImage(device, image, texture);
}
