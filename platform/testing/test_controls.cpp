// test_controls.cpp: modes, clock, input, message boxes and device controls.
#include "test_controls.h"

#include <SDL.h>
#include <SDL_image.h>

#include <cstdlib>

#include "common/hooks.h"
#include "d3d9/device.h"
#include "d3d9/renderer_gl.h"
#include "d3d9/resources.h"
#include "win32/cursor.h"
#include "win32/host_events.h"
#include "win32/keyboard.h"
#include "win32/message_queue.h"
#include "win32/window.h"

namespace testctl {

namespace {

const char kTestWindowClass[] = "quadrill test window";
constexpr int kTestWindowWidth = 800;
constexpr int kTestWindowHeight = 600;

std::vector<ShownBox> g_boxes;
std::function<void(const ShownBox&)> g_whileOpen;

bool isExtendedKey(int vk)
{
    return vk == VK_LEFT || vk == VK_RIGHT || vk == VK_UP || vk == VK_DOWN || vk == VK_INSERT ||
           vk == VK_DELETE || vk == VK_HOME || vk == VK_END || vk == VK_PRIOR || vk == VK_NEXT;
}

void postInput(UINT message, WPARAM wParam, LPARAM lParam)
{
    queuePost(windowFirstLive(), message, wParam, lParam, true);
}

int captureBox(void*, HWND, const char* text, const char* caption, UINT type)
{
    g_boxes.push_back(ShownBox{caption ? caption : "", text ? text : "", type});
    if (g_whileOpen) {
        g_whileOpen(g_boxes.back());
        MSG msg;
        while (queueTakeForModalLoop(&msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    return IDOK;
}

} // namespace

// ---- Modes ------------------------------------------------------------------------
void useHeadless()
{
    platformHooks().headless = true;
    platformHooks().scriptedInput = true;
}

void useOffscreenOpenGL()
{
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    platformHooks().headless = false;
    platformHooks().scriptedInput = true;
}

// ---- Windows ------------------------------------------------------------------------
HWND createTestWindow(const char* title)
{
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = kTestWindowClass;
    RegisterClassExA(&wc); // a second registration fails harmlessly
    return CreateWindowExA(0, kTestWindowClass, title, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                           kTestWindowWidth, kTestWindowHeight, nullptr, nullptr, nullptr, nullptr);
}

// ---- Clock ------------------------------------------------------------------------
void useManualClock(DWORD startMs)
{
    platformHooks().manualClock = true;
    platformHooks().clockMs = startMs;
}

void advanceClock(DWORD ms) { platformHooks().clockMs += ms; }
DWORD clockNow() { return platformHooks().clockMs; }

// ---- Desktop and cursor ------------------------------------------------------------
void setDesktopSize(int width, int height) { platformHooks().headlessDesktop = RECT{0, 0, width, height}; }

POINT cursorPosition()
{
    POINT p = {0, 0};
    GetCursorPos(&p);
    return p;
}

void setCursorPosition(int x, int y) { cursorSetPosition(POINT{x, y}); }
int setCursorPosCalls() { return cursorSetPosCount(); }
void mouseLookMotion(int dx, int dy)
{
    CursorMotion m;
    m.dx = dx;
    m.dy = dy;
    cursorOnMotion(m);
}
void mouseLookFocus(bool gained) { cursorOnFocus(gained); }
void mouseLookMessageBox(bool open) { cursorOnMessageBox(open); }

// ---- Input --------------------------------------------------------------------------
// Scripted keys carry no scan code.
void keyDown(int vk)
{
    WORD flags = isExtendedKey(vk) ? KF_EXTENDED : 0;
    postInput(WM_KEYDOWN, WPARAM(vk), keyMessageLParam(0, flags));
}

void keyUp(int vk)
{
    WORD flags = WORD((isExtendedKey(vk) ? KF_EXTENDED : 0) | KF_REPEAT | KF_UP);
    postInput(WM_KEYUP, WPARAM(vk), keyMessageLParam(0, flags));
}

void typeChar(char c) { queuePost(windowFirstLive(), WM_CHAR, WPARAM((unsigned char)c), 1, false); }

void mouseButton(bool left, bool down)
{
    UINT message = left ? (down ? WM_LBUTTONDOWN : WM_LBUTTONUP) : (down ? WM_RBUTTONDOWN : WM_RBUTTONUP);
    postInput(message, 0, 0);
}

void postMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    queuePost(windowFirstLive(), message, wParam, lParam, false);
}

HWND gameWindow() { return windowFirstLive(); }

// ---- Message boxes -----------------------------------------------------------------
void captureMessageBoxes(std::function<void(const ShownBox&)> whileOpen)
{
    g_whileOpen = std::move(whileOpen);
    platformHooks().messageBox = captureBox;
}

const std::vector<ShownBox>& shownBoxes() { return g_boxes; }

std::vector<std::string> shownTexts()
{
    std::vector<std::string> texts;
    for (const ShownBox& b : g_boxes)
        texts.push_back(b.text);
    return texts;
}

// ---- Files --------------------------------------------------------------------------
void setExecutablePath(const char* path)
{
    static std::string stored;
    stored = path ? path : "";
    platformHooks().executablePath = path ? stored.c_str() : nullptr;
}

// ---- Device -------------------------------------------------------------------------
void refuseDirect3D(bool refuse) { platformHooks().refuseDirect3D = refuse; }
void refuseDevice(bool refuse) { platformHooks().refuseDevice = refuse; }
void reportNoHardwareTransform(bool none) { platformHooks().noHardwareTransform = none; }
void failBufferCreationAfter(int count) { platformHooks().failBufferCreationAfter = count; }
DWORD deviceBehaviorFlags(IDirect3DDevice9* device) { return device ? asImpl(device).behaviorFlags : 0; }
int liveDevices() { return liveObjectCounts().devices; }
int liveBuffers() { return liveObjectCounts().buffers; }
int liveTextures() { return liveObjectCounts().textures; }
uint32_t bufferWrites(IDirect3DVertexBuffer9* buffer) { return buffer ? asImpl(buffer)->data.version : 0; }
HeadlessLog& drawLog() { return headlessLog(); }

bool readBackBuffer(IDirect3DDevice9* device, std::vector<uint8_t>& rgba, int& width, int& height)
{
    return glReadBackBuffer(device, rgba, width, height);
}

bool writePng(const std::string& path, const std::vector<uint8_t>& rgba, int width, int height)
{
    if (rgba.size() != size_t(width) * size_t(height) * 4)
        return false;
    std::vector<uint8_t> opaque = rgba;
    for (size_t i = 3; i < opaque.size(); i += 4)
        opaque[i] = 0xFF;
    SDL_Surface* surface =
        SDL_CreateRGBSurfaceWithFormatFrom(opaque.data(), width, height, 32, width * 4, SDL_PIXELFORMAT_RGBA32);
    if (!surface)
        return false;
    bool ok = IMG_SavePNG(surface, path.c_str()) == 0;
    SDL_FreeSurface(surface);
    return ok;
}

bool readImage(const std::string& path, std::vector<uint8_t>& rgba, int& width, int& height)
{
    SDL_Surface* loaded = IMG_Load(path.c_str());
    if (!loaded)
        return false;
    SDL_Surface* converted = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGBA32, 0);
    SDL_FreeSurface(loaded);
    if (!converted)
        return false;
    width = converted->w;
    height = converted->h;
    size_t rowBytes = size_t(width) * 4;
    rgba.resize(rowBytes * size_t(height));
    for (int y = 0; y < height; ++y)
        memcpy(&rgba[size_t(y) * rowBytes], static_cast<uint8_t*>(converted->pixels) + size_t(y) * size_t(converted->pitch),
               rowBytes);
    SDL_FreeSurface(converted);
    return true;
}

// ---- Host events -----------------------------------------------------------------------
namespace {

Uint32 hostWindowId(HWND window)
{
    SDL_Window* host = windowRetainHost(window);
    Uint32 id = host ? SDL_GetWindowID(host) : 0;
    windowReleaseHost(window);
    return id;
}

void deliver(SDL_Event& e)
{
    SDL_PushEvent(&e);
    hostPumpEvents();
}

} // namespace

void useHostInput() { platformHooks().scriptedInput = false; }

void hostMouseMotion(HWND window, int x, int y, int dx, int dy)
{
    SDL_Event e = {};
    e.type = SDL_MOUSEMOTION;
    e.motion.windowID = hostWindowId(window);
    e.motion.x = x;
    e.motion.y = y;
    e.motion.xrel = dx;
    e.motion.yrel = dy;
    deliver(e);
}

void hostFocus(HWND window, bool gained)
{
    SDL_Event e = {};
    e.type = SDL_WINDOWEVENT;
    e.window.windowID = hostWindowId(window);
    e.window.event = Uint8(gained ? SDL_WINDOWEVENT_FOCUS_GAINED : SDL_WINDOWEVENT_FOCUS_LOST);
    deliver(e);
}

POINT hostPointer()
{
    int x = 0, y = 0;
    SDL_GetMouseState(&x, &y);
    return POINT{x, y};
}

} // namespace testctl
