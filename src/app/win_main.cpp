// win_main.cpp: the entry routine: start-up, the message loop, shutdown.
#include <windows.h>
#include <d3dx9.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/device_creation.h"
#include "app/frame.h"
#include "app/fullscreen.h"
#include "app/game_state.h"
#include "app/pause.h"
#include "app/scene_setup.h"
#include "app/settings.h"
#include "app/shutdown.h"
#include "app/window_procedure.h"
#include "app/window_title.h"
#include "replay/recorder.h"
#include "replay/replayer.h"
#include "save/arena_capture.h"
#include "save/arena_file.h"
#include "text/printable.h"

namespace {

const char kWindowClassName[] = "Quadrill by Harnwick";
constexpr int kWindowWidth = 800;
constexpr int kWindowHeight = 600;
// While nobody can see the game, each frame first waits this long for a
// message: frames go on, physics with them, at a small cost.
constexpr DWORD kUnseenFrameWaitMs = 10;
// A start-up that cannot build the scene is a failure, and says so.
constexpr int kStartUpFailedExitCode = 1;
// As command-line programs do for a wrong option.
constexpr int kBadCommandLineExitCode = 2;

void registerWindowClass(HINSTANCE instance)
{
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = windowProcedure;
    wc.cbClsExtra = 0;
    wc.cbWndExtra = 0;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(nullptr, IDI_WINLOGO);
    wc.hIconSm = wc.hIcon;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszMenuName = nullptr;
    wc.lpszClassName = kWindowClassName;
    RegisterClassExA(&wc);
}

void loadTexture(const char* path, IDirect3DTexture9** texture, const char* failureText)
{
    if (D3DXCreateTextureFromFileA(g_device, path, texture) != 0)
        MessageBoxA(nullptr, failureText, "Error", MB_OK);
}

bool startUp(HINSTANCE instance, int showCommand)
{
    registerWindowClass(instance);
    HWND window = CreateWindowExA(0, kWindowClassName, kWindowTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                  CW_USEDEFAULT, kWindowWidth, kWindowHeight, nullptr, nullptr, instance, nullptr);
    g_window = window;
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    if (g_settings.fullscreen)
        setFullscreen(window, true);

    const UINT interval = g_settings.vsync ? D3DPRESENT_INTERVAL_ONE : D3DPRESENT_INTERVAL_IMMEDIATE;
    if (!createDevice(&g_device, window, kBackBufferWidth, kBackBufferHeight, interval))
        MessageBoxA(nullptr, "ERROR!", "ERROR!", MB_OK);

    GetWindowRect(GetDesktopWindow(), &g_desktopRect);
    SetCursorPos(g_desktopRect.right / 2, g_desktopRect.bottom / 2);
    ShowCursor(FALSE);

    g_shadowsEnabled = true;
    g_freeCameraMode = false;
    g_collisionType = CollisionType::Stop;
    g_pointLightEnabled = true;
    g_spotLightEnabled = true;

    // Without a device no texture can load: "ERROR!" has said so already.
    if (g_device) {
        loadTexture("textures/crate.jpg", &g_crateTexture, "Failed to load crate texture");
        loadTexture("textures/ground.jpg", &g_groundTexture, "Failed to load ground texture");
        loadTexture("textures/brick.jpg", &g_brickTexture, "Failed to load brick texture");
    }

    if (!setupScene())
        return false;

    g_spawnCooldown = 0.0f;
    g_frameCount = 0;
    g_timer.restart();
    return true;
}

// Handles one message per turn; runs a frame only when none is waiting.
// Paused, it sleeps until a message comes instead.
WPARAM runMessageLoop()
{
    MSG msg = {};
    for (;;) {
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT)
                return msg.wParam;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        } else if (isReplaying()) {
            replayStep();
        } else if (g_pause.paused) {
            WaitMessage();
        } else {
            if (!gameWindowOnScreen())
                MsgWaitForMultipleObjects(0, nullptr, FALSE, kUnseenFrameWaitMs, QS_ALLINPUT);
            runFrame();
        }
    }
}

// A program of the Windows subsystem has no console of its own: it writes
// to the one it was started from, if there is one.
void useParentConsole()
{
    if (AttachConsole(ATTACH_PARENT_PROCESS)) {
        std::freopen("CONOUT$", "w", stdout);
        std::freopen("CONOUT$", "w", stderr);
    }
}

// The settings file, then the command line over it. A bad line of the file
// is reported and keeps its default; the game starts all the same.
void readSettings(const Options& options)
{
    const std::string path = settingsFilePath();
    std::vector<std::string> warnings;
    g_settings = Settings();
    readSettingsFile(path, g_settings, warnings);
    options.applyTo(g_settings);
    if (warnings.empty())
        return;
    useParentConsole();
    for (const std::string& warning : warnings)
        std::fprintf(stderr, "quadrill: %s: %s\n", path.c_str(), warning.c_str());
}

// Reads the files the options name (the recording's is made anew, once
// the others have been found good). False with the error.
bool readNamedFiles(const Options& options, ArenaState& loaded, std::string& error)
{
    std::string reason;
    if (!options.loadPath.empty() && !readArenaFile(options.loadPath, loaded, reason)) {
        error = "cannot load " + printable(options.loadPath) + ": " + reason;
        return false;
    }
    if (!options.replayPath.empty() && !openReplay(options.replayPath, reason)) {
        error = "cannot replay " + printable(options.replayPath) + ": " + reason;
        return false;
    }
    if (!options.recordPath.empty() && !openRecording(options.recordPath, reason)) {
        error = "cannot record to " + printable(options.recordPath) + ": " + reason;
        return false;
    }
    return true;
}

// Reads the command line and the files it names. False when the game is
// not to start: --help or --version was asked for, or an option or its
// file is wrong (`exitCode` says which).
bool readCommandLine(const char* commandLine, Options& options, ArenaState& loaded, int& exitCode)
{
    std::string error;
    bool parsed = parseOptions(splitCommandLine(commandLine), options, error);
    if (parsed && !options.help && !options.version) {
        if (readNamedFiles(options, loaded, error))
            return true;
        parsed = false;
    }
    useParentConsole();
    if (!parsed) {
        std::fprintf(stderr, "quadrill: %s\n", error.c_str());
        exitCode = kBadCommandLineExitCode;
    } else {
        std::fputs(options.help ? optionsHelp().c_str() : versionText().c_str(), stdout);
        exitCode = 0;
    }
    return false;
}

// The arena of --load takes the place of the one start-up built.
bool startFromLoadedArena(const ArenaState& loaded)
{
    if (!applyArena(loaded)) {
        const std::string text = std::string("The saved arena could not be loaded: ") + kBoxesNotMade + ".";
        MessageBoxA(nullptr, text.c_str(), "Error", MB_OK);
        return false;
    }
    g_timer.restart();
    return true;
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showCommand)
{
    Options options;
    ArenaState loaded;
    int notStartedExitCode = 0;
    if (!readCommandLine(commandLine, options, loaded, notStartedExitCode))
        return notStartedExitCode;
    readSettings(options);
    if (!startUp(instance, showCommand))
        return kStartUpFailedExitCode;
    if (!options.loadPath.empty() && !startFromLoadedArena(loaded)) {
        releaseGame();
        return kStartUpFailedExitCode;
    }
    startRecording();
    startReplay(g_window);
    WPARAM exitCode = runMessageLoop();
    shutdown();
    UnregisterClassA(kWindowClassName, instance);
    return int(exitCode);
}
