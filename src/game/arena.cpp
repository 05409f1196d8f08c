// arena.cpp: the boxes of the starting arena, the player and the camera's start.
//
// The ground is a 40 by 40 slab whose top lies at y = -5; four walls 40
// high stand on its edges around the square from -18 to 18 on x and z; five
// crates stand in a row; the player cube starts in the middle above the
// ground and falls onto it.
#include "game/arena.h"

#include "app/game_state.h"

namespace {

constexpr float kWallTextureScale = 7.8125f;
constexpr float kGroundTextureScale = 40.0f / 3.0f;
constexpr float kWalkSpeed = 5.0f;
constexpr float kJumpSpeed = 7.5f;
constexpr int kCrateColumns = int(kStartingCrateCount);
constexpr int kCrateRows = 1;
// The player cube starts here, in the air above the middle of the arena.
constexpr Vec3 kPlayerCubeStart(0.0f, 0.0f, 0.0f);
constexpr float kPlayerCubeSize = 2.0f;

struct WallPlacement {
    float px, py, pz;
    float sx, sy, sz;
};

const WallPlacement kWalls[] = {
    {-20.0f, -5.0f, -20.0f, 40.0f, 40.0f, 2.0f},
    {-20.0f, -5.0f, 18.0f, 40.0f, 40.0f, 2.0f},
    {-20.0f, -5.0f, -18.0f, 2.0f, 40.0f, 36.0f},
    {18.0f, -5.0f, -18.0f, 2.0f, 40.0f, 36.0f},
};
static_assert(sizeof kWalls / sizeof kWalls[0] == kWallCount, "the box list's layout counts these walls");

bool fail(const char* message)
{
    MessageBoxA(nullptr, message, "error!", MB_OK);
    return false;
}

} // namespace

bool buildArena()
{
    if (!addBox(g_device, kPlayerCubeStart.x, kPlayerCubeStart.y, kPlayerCubeStart.z, kPlayerCubeSize,
                kPlayerCubeSize, kPlayerCubeSize))
        return fail("Failed to create first Player Cube");
    g_player.cube = &g_boxes.last();
    g_player.camera = &g_camera;
    g_player.walkSpeed = kWalkSpeed;
    g_player.jumpSpeed = kJumpSpeed;

    if (!g_aimer.create(g_device, 0.0f, 0.0f, 0.0f, 0.05f, 0.05f, 0.05f))
        return fail("Failed to create Aimer");
    if (!g_ground.create(g_device, -20.0f, -10.0f, -20.0f, 40.0f, 5.0f, 40.0f))
        return fail("Failed to create Ground");
    g_ground.textureScale = kGroundTextureScale;
    g_ground.rebuildMesh();

    // A wall that could not be added is skipped and set-up goes on; the
    // later boxes then sit one index lower (box_list.h).
    for (const WallPlacement& w : kWalls) {
        if (!addBox(g_device, w.px, w.py, w.pz, w.sx, w.sy, w.sz))
            continue;
        g_boxes.last().textureScale = kWallTextureScale;
        g_boxes.last().rebuildMesh();
    }

    // Worked out in double precision, then rounded to float: -13.2f and so on.
    for (int i = 0; i < kCrateColumns; ++i)
        for (int j = 0; j < kCrateRows; ++j)
            addBox(g_device, float(2 * i - 13.2), float(2 * j - 5.0), 5.0f, 2.0f, 2.0f, 2.0f);

    placeCameraAtStart();
    return true;
}

// Like the reset key, it writes the position directly: the mesh follows at
// the next physics step.
void returnPlayerCubeToStart()
{
    if (g_boxes.isEmpty())
        return;
    Box& cube = g_boxes.at(kPlayerCubeIndex);
    cube.position = kPlayerCubeStart;
    cube.velocity = Vec3(0.0f, 0.0f, 0.0f);
}

void placeCameraAtStart()
{
    g_camera.eye = makeVec3(0.0f, 0.0f, -5.0f);
    g_camera.target = makeVec3(0.0f, 0.0f, 1.0f);
    g_camera.up = makeVec3(0.0f, 1.0f, 0.0f);
}
