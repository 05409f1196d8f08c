// headless_device.cpp: window and device set-up for tests.
#include "support/headless_device.h"

#include "app/device_creation.h"

IDirect3DDevice9* createTestDevice(HWND window)
{
    IDirect3DDevice9* device = nullptr;
    return createDevice(&device, window, 800, 600) ? device : nullptr;
}

HeadlessDevice::HeadlessDevice()
{
    testctl::useHeadless();
    window = testctl::createTestWindow();
    device = createTestDevice(window);
}

HeadlessDevice::~HeadlessDevice()
{
    if (device)
        device->Release();
    if (window)
        DestroyWindow(window);
}
