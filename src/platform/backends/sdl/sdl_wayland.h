// What only a Wayland session asks of the real window, asked of SDL at run time.
#pragma once

#include <SDL.h>

// SDL talks to a Wayland compositor (not to X, nor to XWayland).
bool OnWayland();

// The window's connection to the compositor is broken: the compositor ended
// or dropped this client. False on other systems and while it stands.
bool WaylandDisplayGone(SDL_Window *window);
