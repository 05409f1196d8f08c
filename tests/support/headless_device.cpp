// headless_device.cpp: window and device set-up for tests.
#include "support/headless_device.h"

namespace {

const char kTestClass[] = "quadrill test window";

LRESULT CALLBACK testWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

HWND createTestWindow(const char* title)
{
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = testWindowProc;
    wc.lpszClassName = kTestClass;
    RegisterClassExA(&wc); // a second registration fails harmlessly
    return CreateWindowExA(0, kTestClass, title, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 800, 600,
                           nullptr, nullptr, nullptr, nullptr);
}

IDirect3DDevice9* createTestDevice(HWND window)
{
    IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
    if (!d3d)
        return nullptr;
    D3DPRESENT_PARAMETERS p = {};
    p.BackBufferWidth = 800;
    p.BackBufferHeight = 600;
    p.BackBufferFormat = D3DFMT_A8R8G8B8;
    p.BackBufferCount = 1;
    p.SwapEffect = D3DSWAPEFFECT_DISCARD;
    p.hDeviceWindow = window;
    p.Windowed = TRUE;
    p.EnableAutoDepthStencil = TRUE;
    p.AutoDepthStencilFormat = D3DFMT_D24S8;
    p.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
    IDirect3DDevice9* device = nullptr;
    d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window, D3DCREATE_HARDWARE_VERTEXPROCESSING, &p, &device);
    d3d->Release();
    return device;
}

HeadlessDevice::HeadlessDevice()
{
    testctl::useHeadless();
    window = createTestWindow();
    device = createTestDevice(window);
}

HeadlessDevice::~HeadlessDevice()
{
    if (device)
        device->Release();
    if (window)
        DestroyWindow(window);
}
