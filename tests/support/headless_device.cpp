// headless_device.cpp: window and device set-up for tests.
#include "support/headless_device.h"

#include "app/device_creation.h"

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
    IDirect3DDevice9* device = nullptr;
    return createDevice(&device, window, 800, 600) ? device : nullptr;
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
