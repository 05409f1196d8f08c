// texture_error_code.h: the code D3DXCreateTextureFromFileA returns for each
// kind of refusal, the same on every system: a file that cannot be had is an
// invalid call, one whose contents are wrong is invalid data.
#pragma once

#include <d3dx9.h>

#include "d3dx9/texture_problem.h"

inline HRESULT textureErrorCode(TextureProblem problem)
{
    switch (problem) {
    case TextureProblem::None: return D3D_OK;
    case TextureProblem::NotFound:
    case TextureProblem::NotRegularFile:
    case TextureProblem::Unreadable:
    case TextureProblem::FileTooLarge: return D3DERR_INVALIDCALL;
    case TextureProblem::OutOfMemory: return E_OUTOFMEMORY;
    case TextureProblem::ImageTooLarge:
    case TextureProblem::Corrupt:
    case TextureProblem::Unsupported: break;
    }
    return D3DXERR_INVALIDDATA;
}
