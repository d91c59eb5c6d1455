// Wayland's own cases for the real window: which driver SDL runs, whether the
// compositor is still there, and a guard around a key look-up SDL gets wrong.
#include "sdl_wayland.h"

#include <SDL_syswm.h>
#include <dlfcn.h>

#include <cstdint>
#include <cstring>

bool OnWayland() {
  const char *driver = SDL_GetCurrentVideoDriver();
  return driver != nullptr && std::strcmp(driver, "wayland") == 0;
}

bool WaylandDisplayGone(SDL_Window *window) {
  if (window == nullptr || !OnWayland())
    return false;
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (SDL_GetWindowWMInfo(window, &info) == SDL_FALSE || info.subsystem != SDL_SYSWM_WAYLAND ||
      info.info.wl.display == nullptr)
    return false;
  // SDL loads the Wayland client library itself; its error call is asked
  // for by name, like Xlib's handler setter.
  using TGetError = int (*)(struct wl_display *);
  static const auto getError =
      reinterpret_cast<TGetError>(dlsym(RTLD_DEFAULT, "wl_display_get_error"));
  return getError != nullptr && getError(info.info.wl.display) != 0;
}

// SDL 2.26 looks up the keys held when a virtual keyboard (an on-screen
// keyboard, a key sender) first enters the window in layout "none" (all
// bits set), before the compositor has named the layout; libxkbcommon 1.5
// wraps that to one past the key's last layout and reads past its table,
// and the game ends with a segmentation fault. Here that layout has no
// symbols, which is all SDL needs to know of such keys; every other look-up
// goes to libxkbcommon unchanged. Defined in the program, this one is found
// before the library's.
extern "C" __attribute__((visibility("default"))) int
xkb_keymap_key_get_syms_by_level(struct xkb_keymap *keymap, std::uint32_t key, std::uint32_t layout,
                                 std::uint32_t level, const std::uint32_t **symbols) {
  using TLookUp = int (*)(struct xkb_keymap *, std::uint32_t, std::uint32_t, std::uint32_t,
                          const std::uint32_t **);
  static const auto lookUp =
      reinterpret_cast<TLookUp>(dlsym(RTLD_NEXT, "xkb_keymap_key_get_syms_by_level"));
  if (layout == 0xFFFFFFFFu || lookUp == nullptr) {
    *symbols = nullptr;
    return 0;
  }
  return lookUp(keymap, key, layout, level, symbols);
}
