// d3dx_texture.cpp: D3DXCreateTextureFromFileA on the OpenGL device.
//
// The file is read, checked and decoded to RGBA8 by the shared loader; the
// device makes the texture and its mip chain. Every failure returns an
// error, says why on standard error and leaves the output untouched.
#include <d3dx9.h>

#include "d3d9/resources.h"
#include "d3dx9/texture_error_code.h"
#include "d3dx9/texture_image.h"

HRESULT WINAPI D3DXCreateTextureFromFileA(IDirect3DDevice9* device, LPCSTR srcFile, IDirect3DTexture9** texture)
{
    if (!device || !srcFile || !texture)
        return D3DERR_INVALIDCALL;
    DecodedImage image;
    TextureVerdict verdict = loadTextureImage(srcFile, image);
    if (!verdict.ok())
        return textureErrorCode(verdict.problem);
    return createTextureRgba(device, UINT(image.width), UINT(image.height), image.rgba.data(), texture);
}
