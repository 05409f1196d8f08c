// test_controls.cpp: modes, clock, input, message boxes and device controls.
#include "test_controls.h"

#include <SDL.h>
#include <SDL_image.h>

#include <errno.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

#include "common/test_seams.h"
#include "d3d9/device.h"
#include "d3d9/gl/renderer.h"
#include "d3d9/resources.h"
#include "d3dx9/d3dx_texture.h"
#include "win32/command_line.h"
#include "win32/cursor.h"
#include "win32/host.h"
#include "win32/host_sdl_events.h"
#include "win32/host_sdl_video.h"
#include "win32/host_sdl_windows.h"
#include "win32/keyboard.h"
#include "win32/message_queue.h"
#include "win32/window.h"

#include "draw_log.h"

namespace testctl {

namespace {

const char kTestWindowClass[] = "quadrill test window";
constexpr int kTestWindowWidth = 800;
constexpr int kTestWindowHeight = 600;

std::vector<ShownBox> g_shown;
std::function<void(const ShownBox&)> g_whileOpen;
// The modifiers as the keys posted so far leave them, for the messages
// the next keys make (the key-state table follows only what is taken).
bool g_altPosted = false;
bool g_controlPosted = false;

bool isExtendedKey(int vk)
{
    return vk == VK_LEFT || vk == VK_RIGHT || vk == VK_UP || vk == VK_DOWN || vk == VK_INSERT ||
           vk == VK_DELETE || vk == VK_HOME || vk == VK_END || vk == VK_PRIOR || vk == VK_NEXT;
}

bool postInput(UINT message, WPARAM wParam, LPARAM lParam)
{
    return queuePost(windowFirstLive(), message, wParam, lParam, true);
}

int captureBox(void*, HWND, const char* text, const char* caption, UINT type)
{
    g_shown.push_back(ShownBox{caption ? caption : "", text ? text : "", type});
    if (g_whileOpen) {
        g_whileOpen(g_shown.back());
        MSG msg;
        while (queueTakeForModalLoop(&msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    return IDOK;
}

// The encoder writes into memory: SDL_image does not report a failed write
// to a file, and a picture must not be lost without a word.
size_t SDLCALL appendBytes(SDL_RWops* ops, const void* data, size_t size, size_t count)
{
    auto* bytes = static_cast<std::vector<uint8_t>*>(ops->hidden.unknown.data1);
    const uint8_t* from = static_cast<const uint8_t*>(data);
    bytes->insert(bytes->end(), from, from + size * count);
    return count;
}

int SDLCALL closeBytes(SDL_RWops* ops)
{
    SDL_FreeRW(ops);
    return 0;
}

bool encodePng(std::vector<uint8_t>& rgba, int width, int height, std::vector<uint8_t>& png)
{
    SDL_Surface* surface =
        SDL_CreateRGBSurfaceWithFormatFrom(rgba.data(), width, height, 32, width * 4, SDL_PIXELFORMAT_RGBA32);
    SDL_RWops* out = SDL_AllocRW();
    bool ok = surface && out;
    if (ok) {
        out->write = appendBytes;
        out->close = closeBytes;
        out->hidden.unknown.data1 = &png;
        ok = IMG_SavePNG_RW(surface, out, 1) == 0;
        out = nullptr; // closed by the encoder
    }
    if (out)
        SDL_FreeRW(out);
    SDL_FreeSurface(surface);
    return ok && !png.empty();
}

// Writes `bytes` to `path`; false with errno set on any failure, and then no
// half-written regular file is left behind.
bool writeFile(const std::string& path, const std::vector<uint8_t>& bytes)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size() && std::fflush(file) == 0;
    int error = errno;
    ok = std::fclose(file) == 0 && ok;
    if (ok)
        return true;
    if (error == 0)
        error = errno;
    struct stat info = {};
    if (stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode))
        unlink(path.c_str());
    errno = error != 0 ? error : EIO;
    return false;
}

} // namespace

// ---- Modes ------------------------------------------------------------------------
void useHeadless()
{
    testSeams().host = &kHeadlessHost;
    testSeams().scriptedInput = true;
    recordHeadlessDraws();
}

void useOffscreenOpenGL()
{
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    testSeams().host = nullptr;
    testSeams().scriptedInput = true;
}

// ---- Windows ------------------------------------------------------------------------
HWND createTestWindow(const char* title)
{
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = kTestWindowClass;
    RegisterClassExA(&wc); // a second registration fails harmlessly
#if defined(__SANITIZE_ADDRESS__)
    // Mesa's EGL keeps a little of an off-screen window's surface after the
    // window is destroyed, and a test binary run whole closes many.
    __lsan::ScopedDisabler driverLeaks;
#endif
    return CreateWindowExA(0, kTestWindowClass, title, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                           kTestWindowWidth, kTestWindowHeight, nullptr, nullptr, nullptr, nullptr);
}

// ---- Clock ------------------------------------------------------------------------
void useManualClock(DWORD startMs)
{
    testSeams().manualClock = true;
    testSeams().clockMs = startMs;
}

void advanceClock(DWORD ms) { testSeams().clockMs += ms; }
DWORD clockNow() { return testSeams().clockMs; }

// ---- Desktop and cursor ------------------------------------------------------------
void setDesktopSize(int width, int height) { testSeams().headlessDesktop = RECT{0, 0, width, height}; }

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
namespace {

// Scripted keys carry no scan code.
bool postKey(int vk, bool down, bool extended, bool repeat)
{
    WORD flags = extended ? KF_EXTENDED : 0;
    if (!down || repeat)
        flags = WORD(flags | KF_REPEAT);
    if (!down)
        flags = WORD(flags | KF_UP);
    const bool alt = vk == VK_MENU ? down : g_altPosted;
    const UINT message = keyMessageFor(vk, down, alt, g_controlPosted, flags);
    if (!postInput(message, WPARAM(vk), keyMessageLParam(0, flags)))
        return false;
    if (vk == VK_MENU)
        g_altPosted = down;
    if (vk == VK_CONTROL)
        g_controlPosted = down;
    return true;
}

} // namespace

bool keyDown(int vk) { return postKey(vk, true, isExtendedKey(vk), false); }
bool keyUp(int vk) { return postKey(vk, false, isExtendedKey(vk), false); }
bool keyMessage(int vk, bool down, bool extended, bool repeat) { return postKey(vk, down, extended, repeat); }

bool typeChar(char c) { return queuePost(windowFirstLive(), WM_CHAR, WPARAM((unsigned char)c), 1, false); }

bool mouseButton(bool left, bool down)
{
    UINT message = left ? (down ? WM_LBUTTONDOWN : WM_LBUTTONUP) : (down ? WM_RBUTTONDOWN : WM_RBUTTONUP);
    return postInput(message, 0, 0);
}

bool middleMouseButton(bool down) { return postInput(down ? WM_MBUTTONDOWN : WM_MBUTTONUP, 0, 0); }

bool postMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    return queuePost(windowFirstLive(), message, wParam, lParam, false);
}

bool postInputMessage(UINT message, WPARAM wParam, LPARAM lParam) { return postInput(message, wParam, lParam); }

void translateKeys(bool on) { testSeams().translateKeys = on; }

HWND gameWindow() { return windowFirstLive(); }

std::string joinCommandLine(const std::vector<std::string>& arguments)
{
    std::vector<const char*> pointers;
    for (const std::string& a : arguments)
        pointers.push_back(a.c_str());
    return ::joinCommandLine(int(pointers.size()), pointers.data());
}

// ---- Message boxes -----------------------------------------------------------------
void captureMessageBoxes(std::function<void(const ShownBox&)> whileOpen)
{
    g_whileOpen = std::move(whileOpen);
    testSeams().messageBox = captureBox;
}

const std::vector<ShownBox>& shownBoxes() { return g_shown; }

std::vector<std::string> shownTexts()
{
    std::vector<std::string> texts;
    for (const ShownBox& b : g_shown)
        texts.push_back(b.text);
    return texts;
}

// ---- Files --------------------------------------------------------------------------
void setExecutablePath(const char* path)
{
    static std::string stored;
    stored = path ? path : "";
    testSeams().executablePath = path ? stored.c_str() : nullptr;
}

// ---- Device -------------------------------------------------------------------------
void refuseDirect3D(bool refuse) { testSeams().refuseDirect3D = refuse; }
void refuseDevice(bool refuse) { testSeams().refuseDevice = refuse; }
void reportNoHardwareTransform(bool none) { testSeams().noHardwareTransform = none; }
void failBufferCreationAfter(int count) { testSeams().failBufferCreationAfter = count; }
void failFileFunction(const char* function, DWORD error, int succeedFirst)
{
    testSeams().fileFaultFunction = function;
    testSeams().fileFaultError = error;
    testSeams().fileFaultSucceedFirst = succeedFirst;
}
DWORD deviceBehaviorFlags(IDirect3DDevice9* device) { return device ? asImpl(device).behaviorFlags : 0; }
D3DPRESENT_PARAMETERS devicePresentParameters(IDirect3DDevice9* device)
{
    return device ? asImpl(device).params : D3DPRESENT_PARAMETERS();
}
int liveDevices() { return liveObjectCounts().devices; }
int liveBuffers() { return liveObjectCounts().buffers; }
int liveTextures() { return liveObjectCounts().textures; }
uint32_t bufferWrites(IDirect3DVertexBuffer9* buffer) { return buffer ? asImpl(buffer)->data.version : 0; }
HRESULT createTexture(IDirect3DDevice9* device, int width, int height, const std::vector<uint8_t>& rgba,
                      IDirect3DTexture9** texture)
{
    if (!device || width < 1 || height < 1 || rgba.size() != size_t(width) * size_t(height) * 4)
        return D3DERR_INVALIDCALL;
    DecodedImage image;
    image.width = width;
    image.height = height;
    image.hasAlpha = true;
    image.rgba = rgba;
    return createTextureFromImage(device, image, texture);
}

void setRendererOptions(const RendererOptions& options)
{
    ::RendererOptions& o = testSeams().renderer;
    o.batching = options.batching;
    o.clipControl = options.clipControl;
    o.residentBuffers = options.residentBuffers;
}

bool usesClipControl(IDirect3DDevice9* device) { return glUsesClipControl(device); }
UINT residentPoolCapacity(IDirect3DDevice9* device) { return glResidentPoolCapacity(device); }
bool finishDevice(IDirect3DDevice9* device) { return glFinishDevice(device); }

bool readBackBuffer(IDirect3DDevice9* device, std::vector<uint8_t>& rgba, int& width, int& height)
{
    return glReadBackBuffer(device, rgba, width, height);
}

bool writePng(const std::string& path, const std::vector<uint8_t>& rgba, int width, int height)
{
    if (rgba.size() != size_t(width) * size_t(height) * 4) {
        errno = EINVAL;
        return false;
    }
    std::vector<uint8_t> opaque = rgba;
    for (size_t i = 3; i < opaque.size(); i += 4)
        opaque[i] = 0xFF;
    std::vector<uint8_t> png;
    if (!encodePng(opaque, width, height, png)) {
        errno = ENOMEM;
        return false;
    }
    return writeFile(path, png);
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

// ---- Between tests ---------------------------------------------------------------------
void resetPlatform()
{
    testSeams() = TestSeams();
    g_shown.clear();
    g_whileOpen = nullptr;
    g_altPosted = false;
    g_controlPosted = false;
    if (SDL_WasInit(SDL_INIT_VIDEO))
        SDL_SetModState(KMOD_NONE);
    // What the host says about closing windows and releasing the pointer
    // is dropped with the rest of its events.
    windowResetAll();
    cursorReset();
    sdlDropPendingEvents();
    queueReset();
    keyboardReset();
    sdlVideoForgetFailure();
    resetDrawLog();
    liveObjectCounts() = LiveObjectCounts();
}

// ---- Host events -----------------------------------------------------------------------
namespace {

Uint32 hostWindowId(HWND window)
{
    if (windowMaker(window) != &kSdlHost)
        return 0;
    SDL_Window* shown = sdlWindowOf(windowHost(window));
    return shown ? SDL_GetWindowID(shown) : 0;
}

void deliver(SDL_Event& e)
{
    SDL_PushEvent(&e);
    sdlPumpEvents();
}

} // namespace

void useHostInput() { testSeams().scriptedInput = false; }

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

bool hostKey(HWND window, const char* keyName, bool down)
{
    const SDL_Keycode key = SDL_GetKeyFromName(keyName);
    if (key == SDLK_UNKNOWN)
        return false;
    SDL_Event e = {};
    e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    e.key.windowID = hostWindowId(window);
    e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.key.keysym.sym = key;
    e.key.keysym.scancode = SDL_GetScancodeFromKey(key);
    // A modifier's own event carries the modifiers as it leaves them, as SDL's do.
    const SDL_Keymod own = key == SDLK_LALT ? KMOD_LALT : key == SDLK_RALT ? KMOD_RALT
                         : key == SDLK_LCTRL ? KMOD_LCTRL : key == SDLK_RCTRL ? KMOD_RCTRL : KMOD_NONE;
    const int mods = down ? (SDL_GetModState() | own) : (SDL_GetModState() & ~own);
    SDL_SetModState(SDL_Keymod(mods));
    e.key.keysym.mod = Uint16(mods);
    deliver(e);
    return true;
}

POINT hostPointer()
{
    int x = 0, y = 0;
    SDL_GetMouseState(&x, &y);
    return POINT{x, y};
}

} // namespace testctl
