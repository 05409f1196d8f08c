// test_controls.h: test-only controls over the platform. Never linked into
// the game. With them a test runs a real WinMain frame by frame on the
// headless device (or the real OpenGL one), scripts its input and clock,
// answers its message boxes, and reads back what it drew.
//
// This folder is the testing library's whole public include path: tests,
// tools and benchmarks reach the platform through its headers alone, which
// include nothing of the platform's own folders.
#pragma once

#include <windows.h>
#include <d3d9.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace testctl {

// ---- Modes ------------------------------------------------------------------------
// Headless: virtual windows and the recording device; no SDL, no GL, no display.
void useHeadless();
// The real platform on SDL's off-screen video driver (OpenGL through EGL, no
// display), with input coming only from these controls.
void useOffscreenOpenGL();

// ---- Windows ------------------------------------------------------------------------
// An 800x600 overlapped window whose procedure is DefWindowProcA, for tests
// and benchmarks that need a device but not the game. Null on failure.
HWND createTestWindow(const char* title = "test window");

// ---- Clock ------------------------------------------------------------------------
void useManualClock(DWORD startMs);
void advanceClock(DWORD ms);
DWORD clockNow();

// ---- Desktop and cursor ------------------------------------------------------------
void setDesktopSize(int width, int height);
POINT cursorPosition();
void setCursorPosition(int x, int y);
int setCursorPosCalls();

// What mouse look is told, handed to it directly as the platform's event
// pump would: relative motion, the window gaining or losing focus, a message
// box opening or closing.
void mouseLookMotion(int dx, int dy);
void mouseLookFocus(bool gained);
void mouseLookMessageBox(bool open);

// ---- Input --------------------------------------------------------------------------
// Keys and buttons arrive as input messages to the first live window, and
// update the key-state table when the program takes them, as on Windows.
// A key pressed while VK_MENU (Alt) is down comes as WM_SYSKEYDOWN.
// Each returns false, having queued nothing, while the message queue is
// full (a program that has not taken its messages; ProgramRunner::settle
// lets it).
bool keyDown(int virtualKey);
bool keyUp(int virtualKey);
// The same with the key message's extended-key and repeat flags given.
bool keyMessage(int virtualKey, bool down, bool extended, bool repeat);
bool typeChar(char c); // a WM_CHAR alone, as TranslateMessage would queue it
bool mouseButton(bool left, bool down);
bool middleMouseButton(bool down);
bool postMessage(UINT message, WPARAM wParam, LPARAM lParam);
// Any keyboard or mouse message, taken as input (it updates the key-state table).
bool postInputMessage(UINT message, WPARAM wParam, LPARAM lParam);
// TranslateMessage makes characters of key-downs, or not (for a replay that
// brings its own).
void translateKeys(bool on);
HWND gameWindow();
// Arguments joined into one command line for WinMain, as Windows would.
std::string joinCommandLine(const std::vector<std::string>& arguments);

// ---- Message boxes -----------------------------------------------------------------
struct ShownBox {
    std::string caption;
    std::string text;
    UINT type;
};
// Captures every message box; none is shown. `whileOpen`, when set, runs
// while each box is "open": messages it posts are then dispatched to their
// windows, as the box's own modal loop would.
void captureMessageBoxes(std::function<void(const ShownBox&)> whileOpen = nullptr);
const std::vector<ShownBox>& shownBoxes();
std::vector<std::string> shownTexts();

// ---- Files --------------------------------------------------------------------------
// Where the platform believes the running executable lies (as /proc/self/exe
// would say); nullptr returns to the real one.
void setExecutablePath(const char* path);
// Calls of the Win32 file function named `function` ("CreateFileA",
// "WriteFile", "FlushFileBuffers", "CloseHandle", "MoveFileExA",
// "ReplaceFileA") fail with `error` once `succeedFirst` more have
// succeeded; a failing WriteFile writes half its bytes first. Null turns it off.
void failFileFunction(const char* function, DWORD error, int succeedFirst = 0);

// ---- Device -------------------------------------------------------------------------
void refuseDirect3D(bool refuse);
void refuseDevice(bool refuse);
void reportNoHardwareTransform(bool none);
// `count` more buffer creations succeed, then every one fails; -1 turns it off.
void failBufferCreationAfter(int count);
DWORD deviceBehaviorFlags(IDirect3DDevice9* device);

D3DPRESENT_PARAMETERS devicePresentParameters(IDirect3DDevice9* device);
int liveDevices();
int liveBuffers();
int liveTextures();
// How many times a vertex buffer's contents have been written (unlocked) so far.
uint32_t bufferWrites(IDirect3DVertexBuffer9* buffer);
// ---- The draw log --------------------------------------------------------------------
// What the headless device was asked to draw: each call as the program
// made it, with the state bound at that moment.
struct DrawRecord {
    struct Call {
        D3DPRIMITIVETYPE type;
        bool indexed;
        UINT startVertex; // not indexed
        UINT primitiveCount;
        INT baseVertexIndex; // indexed
        UINT minVertexIndex;
        UINT numVertices;
        UINT startIndex;
    } call;
    D3DMATERIAL9 material;
    IDirect3DBaseTexture9* texture;
    IDirect3DVertexBuffer9* stream;
    UINT streamOffset;
    UINT streamStride;
    IDirect3DIndexBuffer9* indices;
    DWORD fvf;
    D3DMATRIX world;
    D3DMATRIX view;
    D3DMATRIX projection;
    uint32_t frame; // Present calls before this draw
};

struct DrawLog {
    bool recording = true; // off: draws are not kept (long runs, benchmarks)
    std::vector<DrawRecord> draws;
    uint32_t presents = 0;
    DWORD lastClearFlags = 0;
    D3DCOLOR lastClearColor = 0;
    float lastClearZ = 0.0f;
    // Where the last Present put the picture; all zero for the whole window.
    RECT lastPresentDestination = {0, 0, 0, 0};
};
DrawLog& drawLog();
// A texture of RGBA8 pixels, top row first, made as the texture loader
// makes one from a file with alpha (power-of-two sides, a full mip chain).
HRESULT createTexture(IDirect3DDevice9* device, int width, int height, const std::vector<uint8_t>& rgba,
                      IDirect3DTexture9** texture);
// The OpenGL renderer's switches, for comparing its ways of drawing; the
// game runs with the defaults. Read when a device is created.
struct RendererOptions {
    // Off: every draw is drawn on its own, the reference for the batched picture.
    bool batching = true;
    // Off: the vertex shader remaps depth to Direct3D's [0, 1] instead of glClipControl.
    bool clipControl = true;
    // Off: every draw copies its vertices, none is kept on the OpenGL side.
    bool residentBuffers = true;
};
void setRendererOptions(const RendererOptions& options);
// True when the device is an OpenGL one that uses glClipControl.
bool usesClipControl(IDirect3DDevice9* device);
// How many vertices the OpenGL renderer's pool of resident vertex buffers
// has room for now; 0 for a headless device. Tests see by it that the pool grew.
UINT residentPoolCapacity(IDirect3DDevice9* device);
// Puts every recorded draw into the back buffer and waits until OpenGL has
// finished with it. False for a headless device.
bool finishDevice(IDirect3DDevice9* device);
// The OpenGL back buffer as RGBA8, top row first; false for a headless device.
bool readBackBuffer(IDirect3DDevice9* device, std::vector<uint8_t>& rgba, int& width, int& height);
// Saves pixels as a PNG as they look on screen: opaque, whatever alpha the
// back buffer holds.
bool writePng(const std::string& path, const std::vector<uint8_t>& rgba, int width, int height);
// Reads an image file as RGBA8, top row first.
bool readImage(const std::string& path, std::vector<uint8_t>& rgba, int& width, int& height);

// ---- Host events -----------------------------------------------------------------------
// On SDL's off-screen driver (useOffscreenOpenGL): lets the host's input
// through, as in the game, and feeds it events as the host would report
// them, each followed by a run of the platform's event pump.
void useHostInput();
void hostMouseMotion(HWND window, int x, int y, int dx, int dy);
void hostFocus(HWND window, bool gained);
// A key pressed or released, by the host's name for it ("W", "Space",
// "Left Ctrl", "Up", "Escape"). False for a name the host does not know.
bool hostKey(HWND window, const char* keyName, bool down);
// Where the host's pointer is in its window.
POINT hostPointer();

// ---- Between tests ---------------------------------------------------------------------
// Puts the platform back as a fresh process has it: every control above off
// and every setting at its default, no window or window class, an empty
// queue, no key or button held, the cursor shown at (0, 0), no captured
// box, an empty draw log, the OpenGL renderer's default options, and the
// live-object counts at zero (what is still alive is forgotten, not freed:
// read the counts first). The host's video, once up, stays up. Every test
// binary's main calls it after each test.
void resetPlatform();

// ---- Running a program frame by frame ---------------------------------------------------
// Runs an entry routine (WinMain) on a second thread and hands control back
// and forth, so only one side runs at a time. The program runs until its
// message loop finds the queue empty, then waits; each frame() lets exactly
// one frame run, after every message already queued has been handled.
class ProgramRunner {
public:
    using Entry = int (*)(HINSTANCE, HINSTANCE, LPSTR, int);
    // The program gets `commandLine` as WinMain's command line.
    explicit ProgramRunner(Entry entry, std::string commandLine = "");
    ~ProgramRunner();
    ProgramRunner(const ProgramRunner&) = delete;
    ProgramRunner& operator=(const ProgramRunner&) = delete;

    // Starts the program and returns when it first waits for a frame (or has ended).
    void start();
    // Advances the manual clock by `ms`, then runs one frame. Returns false
    // once the program has ended.
    bool frame(DWORD ms);
    bool frames(int count, DWORD ms);
    // Handles whatever is queued without running a frame.
    void settle();
    // Runs `work` on the program's thread while it waits for a frame, and
    // returns when it is done. The program's OpenGL context is current only
    // there: read back pixels this way.
    void onProgramThread(const std::function<void()>& work);
    // Presses Escape and runs the program to its end.
    int quit();
    // Lets the program run freely to its end (it must be ending) and returns its exit code.
    int finish();
    bool ended() const;
    int exitCode() const;
    int framesRun() const;

    struct State;

private:
    State* state_;
};

} // namespace testctl
