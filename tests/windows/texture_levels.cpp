// texture_levels.cpp: loads a texture file as the game does and prints each
// level of the texture: its size, format and a digest of its texels.
//
// Built twice from this one source: for Linux against the platform, and for
// Windows against the real Direct3D 9. tests/windows runs both on the same
// file and wants the same lines.
//
//   texture_levels FILE
#include <windows.h>
#include <d3d9.h>
#include <d3dx9.h>

#include <cstdint>
#include <cstdio>

namespace {

const char kWindowClass[] = "texture levels";
constexpr int kWindowSide = 64;
constexpr uint64_t kFnvOffset = 14695981039346656037ull;
constexpr uint64_t kFnvPrime = 1099511628211ull;
constexpr UINT kTexelBytes = 4;

// Every texel's bytes, row by row, whatever the pitch.
uint64_t digest(const D3DLOCKED_RECT& locked, const D3DSURFACE_DESC& desc)
{
    uint64_t hash = kFnvOffset;
    for (UINT y = 0; y < desc.Height; ++y) {
        const unsigned char* row = static_cast<const unsigned char*>(locked.pBits) + size_t(y) * size_t(locked.Pitch);
        for (UINT i = 0; i < desc.Width * kTexelBytes; ++i)
            hash = (hash ^ row[i]) * kFnvPrime;
    }
    return hash;
}

int printLevels(IDirect3DTexture9* texture)
{
    for (UINT level = 0; level < texture->GetLevelCount(); ++level) {
        D3DSURFACE_DESC desc = {};
        D3DLOCKED_RECT locked = {};
        if (FAILED(texture->GetLevelDesc(level, &desc)) ||
            FAILED(texture->LockRect(level, &locked, nullptr, D3DLOCK_READONLY))) {
            std::fprintf(stderr, "texture_levels: level %u cannot be read\n", level);
            return 1;
        }
        std::printf("level %u: %ux%u format %d digest %016llx\n", level, desc.Width, desc.Height, int(desc.Format),
                    (unsigned long long)digest(locked, desc));
        texture->UnlockRect(level);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: texture_levels FILE\n");
        return 2;
    }
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = kWindowClass;
    RegisterClassExA(&wc);
    HWND window = CreateWindowExA(0, kWindowClass, kWindowClass, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                                  kWindowSide, kWindowSide, nullptr, nullptr, nullptr, nullptr);
    IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
    D3DPRESENT_PARAMETERS params = {};
    params.Windowed = TRUE;
    params.SwapEffect = D3DSWAPEFFECT_DISCARD;
    params.BackBufferFormat = D3DFMT_UNKNOWN;
    IDirect3DDevice9* device = nullptr;
    if (!window || !d3d ||
        FAILED(d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window, D3DCREATE_SOFTWARE_VERTEXPROCESSING,
                                 &params, &device))) {
        std::fprintf(stderr, "texture_levels: no Direct3D device\n");
        return 1;
    }
    IDirect3DTexture9* texture = nullptr;
    HRESULT result = D3DXCreateTextureFromFileA(device, argv[1], &texture);
    int code = 1;
    if (SUCCEEDED(result)) {
        code = printLevels(texture);
        texture->Release();
    } else {
        std::fprintf(stderr, "texture_levels: D3DXCreateTextureFromFileA gave 0x%08lx\n", (unsigned long)result);
    }
    device->Release();
    d3d->Release();
    DestroyWindow(window);
    return code;
}
