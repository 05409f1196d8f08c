// host_sdl_x11.h: what the program must take care of itself on an X display.
//
// Another client may destroy the program's window (xdotool windowclose, a
// misbehaving window manager). Xlib's default answer to the errors that
// follow is to end the process; here they are taken as the window closing.
#pragma once

struct SDL_Window;
union SDL_Event;

// Once SDL's video is up: watches every window made from here on. Does
// nothing on other video drivers.
void sdlX11Watch();
// The X window behind `host`, made known to the watch; 0 when not on X11.
unsigned long sdlX11Window(SDL_Window* host);
// An SDL_SYSWMEVENT: notes a watched window that was destroyed.
void sdlX11OnEvent(const SDL_Event& e);
// A watched window found gone and not handed over yet, or 0; it stays
// until sdlX11LostHandled is called with it.
unsigned long sdlX11LostWindow();
void sdlX11LostHandled(unsigned long window);
