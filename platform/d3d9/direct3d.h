// direct3d.h: the object behind IDirect3D9.
#pragma once

#include <d3d9.h>

struct Direct3D : IDirect3D9 {
    ULONG refs = 1;
};
