// host_sdl_video.h: brings up SDL's video subsystem once, on first need.
#pragma once

// True when SDL video is up (the SDL host asks). The first call tries to
// start it; with no display it fails once and stays failed.
bool sdlVideoReady();
// After a failure, lets the next call try again; video that is up stays up
// (the test controls, between tests).
void sdlVideoForgetFailure();
