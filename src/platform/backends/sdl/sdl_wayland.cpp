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

// SDL 2.26 asks libxkbcommon about a Wayland keyboard before the compositor
// has said what it types: the modifiers of a keyboard whose layout has not
// come (a virtual keyboard, an on-screen keyboard or a key sender, that has
// not typed yet) go to a state that does not exist, and the keys it holds
// as it first enters the window are looked up in layout "none" (all bits
// set), which libxkbcommon 1.5 wraps to one past the key's last layout;
// either read ends the game with a segmentation fault. Such questions get
// an empty answer here (no symbols, no change, no keys), which is all SDL
// needs of a keyboard it knows nothing of yet; every other one goes to
// libxkbcommon unchanged. Defined in the program, these are found before
// the library's own.
namespace {

constexpr std::uint32_t kNoLayout = 0xFFFFFFFFu;

template <typename TFunction> TFunction libraryOwn(const char *name) {
  return reinterpret_cast<TFunction>(dlsym(RTLD_NEXT, name));
}

} // namespace

extern "C" __attribute__((visibility("default"))) int
xkb_keymap_key_get_syms_by_level(struct xkb_keymap *keymap, std::uint32_t key, std::uint32_t layout,
                                 std::uint32_t level, const std::uint32_t **symbols) {
  using TLookUp = int (*)(struct xkb_keymap *, std::uint32_t, std::uint32_t, std::uint32_t,
                          const std::uint32_t **);
  static const auto lookUp = libraryOwn<TLookUp>("xkb_keymap_key_get_syms_by_level");
  if (keymap == nullptr || layout == kNoLayout || lookUp == nullptr) {
    *symbols = nullptr;
    return 0;
  }
  return lookUp(keymap, key, layout, level, symbols);
}

extern "C" __attribute__((visibility("default"))) int
xkb_state_update_mask(struct xkb_state *state, std::uint32_t depressedModifiers,
                      std::uint32_t latchedModifiers, std::uint32_t lockedModifiers,
                      std::uint32_t depressedLayout, std::uint32_t latchedLayout,
                      std::uint32_t lockedLayout) {
  using TUpdate = int (*)(struct xkb_state *, std::uint32_t, std::uint32_t, std::uint32_t,
                          std::uint32_t, std::uint32_t, std::uint32_t);
  static const auto update = libraryOwn<TUpdate>("xkb_state_update_mask");
  if (state == nullptr || update == nullptr)
    return 0;
  return update(state, depressedModifiers, latchedModifiers, lockedModifiers, depressedLayout,
                latchedLayout, lockedLayout);
}

extern "C" __attribute__((visibility("default"))) void
xkb_keymap_key_for_each(struct xkb_keymap *keymap,
                        void (*visit)(struct xkb_keymap *, std::uint32_t, void *), void *data) {
  using TForEach =
      void (*)(struct xkb_keymap *, void (*)(struct xkb_keymap *, std::uint32_t, void *), void *);
  static const auto forEach = libraryOwn<TForEach>("xkb_keymap_key_for_each");
  if (keymap != nullptr && forEach != nullptr)
    forEach(keymap, visit, data);
}
