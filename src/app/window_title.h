// window_title.h: the game window's title, and its title while paused.
#pragma once

constexpr char kWindowTitle[] = "Quadrill by Harnwick";
constexpr char kPausedWindowTitle[] = "Quadrill by Harnwick (paused)";
