// game_state.cpp: the definitions of the game state. The class-type globals
// are defined in this one file so they are constructed in this order, and
// destroyed in the reverse order after WinMain returns.
#include "app/game_state.h"

HWND g_window = nullptr;
IDirect3DDevice9* g_device = nullptr;
IDirect3DTexture9* g_crateTexture = nullptr;
IDirect3DTexture9* g_groundTexture = nullptr;
IDirect3DTexture9* g_brickTexture = nullptr;
RECT g_desktopRect = {0, 0, 0, 0};
float g_frameSeconds = 0.0f;
uint64_t g_frameCount = 0;
float g_spawnCooldown = 0.0f;

bool g_shadowsEnabled = false;
bool g_freeCameraMode = false;
CollisionType g_collisionType = CollisionType(0);
bool g_pointLightEnabled = false;
bool g_spotLightEnabled = false;

D3DLIGHT9 g_pointLight = {};
D3DLIGHT9 g_spotLight = {};
D3DMATERIAL9 g_defaultMaterial = {};
D3DMATERIAL9 g_crateMaterial = {};
D3DMATERIAL9 g_shadowMaterial = {};
Player g_player = {nullptr, nullptr, 0.0f, 0.0f};
POINT g_cursorPos = {0, 0};
bool g_mouseLookWhileUnseen = false;

FrameTimer g_timer;
MouseButtons g_mouse;
Camera g_camera;
BoxList g_boxes;
Box g_aimer;
Box g_ground;
Vec3 g_lastAimPoint(0.0f, 0.0f, 0.0f);

bool gameWindowOnScreen() { return IsWindowVisible(g_window) && !IsIconic(g_window); }
