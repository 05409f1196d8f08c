// scene_setup.cpp: the game's set-up, then rendering's.
#include "app/scene_setup.h"

#include "game/arena.h"
#include "render/render_setup.h"

bool setupScene()
{
    if (!buildArena())
        return false;
    // The view and the spot light start from the camera the arena placed.
    setUpRendering();
    return true;
}
