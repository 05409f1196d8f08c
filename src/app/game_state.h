// game_state.h: the game's process-wide state. Everything the frame loop,
// the window procedure and the game code share lives here.
#pragma once

#include <windows.h>
#include <d3d9.h>

#include "app/frame_timer.h"
#include "app/mouse_buttons.h"
#include "boxes/box.h"
#include "boxes/box_list.h"
#include "game/player.h"
#include "math/camera.h"
#include "math/vec3.h"
#include "physics/collision_type.h"

// The game's window, once created.
extern HWND g_window;
// False while the game window is minimised or hidden: nobody sees a frame.
bool gameWindowOnScreen();
extern IDirect3DDevice9* g_device;
extern IDirect3DTexture9* g_crateTexture;
extern IDirect3DTexture9* g_groundTexture;
extern IDirect3DTexture9* g_brickTexture;
// The cursor is held at (right / 2, bottom / 2) of this rectangle.
extern RECT g_desktopRect;
extern float g_frameSeconds;
// Frames run since start-up (a recording's checks name them).
extern uint64_t g_frameCount;
// Seconds gathered since the last spawn attempt.
extern float g_spawnCooldown;

// Switched by the single-letter keys.
extern bool g_shadowsEnabled;
extern bool g_freeCameraMode;
extern CollisionType g_collisionType;
extern bool g_pointLightEnabled;
extern bool g_spotLightEnabled;

// The device's light indices of the two lights.
constexpr DWORD kPointLightIndex = 0;
constexpr DWORD kSpotLightIndex = 1;
extern D3DLIGHT9 g_pointLight;
extern D3DLIGHT9 g_spotLight; // follows the camera
extern D3DMATERIAL9 g_defaultMaterial;
extern D3DMATERIAL9 g_crateMaterial;
extern D3DMATERIAL9 g_shadowMaterial;
extern Player g_player;
// Where mouse look last found the cursor; the centre for a frame in which
// it did not look (a recording takes each frame's offset from it).
extern POINT g_cursorPos;
// A replay's recorded mouse look turns the view even while the window is
// minimised or hidden: the recorded game was seen.
extern bool g_mouseLookWhileUnseen;

extern FrameTimer g_timer;
extern MouseButtons g_mouse;
extern Camera g_camera;
// g_boxes is declared with BoxList.
extern Box g_aimer;  // the aiming marker, never listed
extern Box g_ground; // the ground slab, never listed
// The camera's target as the mouse-button actions last saw it.
extern Vec3 g_lastAimPoint;
