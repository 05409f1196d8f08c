// d3dx_texture.h: the texture loader's last step, from decoded pixels to a
// texture, which the test controls also use to make textures of their own.
#pragma once

#include <d3d9.h>

#include "d3dx9/texture_file.h"

// A managed texture as D3DXCreateTextureFromFileA makes one from `image`:
// power-of-two sides, a full box-filtered mip chain, A8R8G8B8 when the
// image has alpha and X8R8G8B8 otherwise.
HRESULT createTextureFromImage(IDirect3DDevice9* device, const DecodedImage& image, IDirect3DTexture9** texture);
