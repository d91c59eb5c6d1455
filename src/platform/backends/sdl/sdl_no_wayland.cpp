// Systems without Wayland (Windows, the browser): SDL never talks to a compositor.
#include "sdl_wayland.h"

bool OnWayland() {
  return false;
}

bool WaylandDisplayGone(SDL_Window *) {
  return false;
}
