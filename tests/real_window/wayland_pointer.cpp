// A pointer plugged into a headless wlroots compositor for the Wayland tests:
// without one the seat offers no pointer and clicks reach no window. It
// stays until the compositor ends; `swaymsg seat - cursor ...` moves and
// presses it. The compositor's virtual-pointer protocol is declared here,
// as it comes with no package.
#include <wayland-client.h>

#include <cstdio>
#include <cstring>

namespace {

const wl_interface *kNoTypes[2] = {nullptr, nullptr};

// zwlr_virtual_pointer_v1, requests in the protocol's order.
const wl_message kPointerRequests[] = {
    {"motion", "uff", kNoTypes},   {"motion_absolute", "uuuuu", kNoTypes},
    {"button", "uuu", kNoTypes},   {"axis", "uuf", kNoTypes},
    {"frame", "", kNoTypes},       {"axis_source", "u", kNoTypes},
    {"axis_stop", "uu", kNoTypes}, {"axis_discrete", "uufi", kNoTypes},
    {"destroy", "", kNoTypes},
};
const wl_interface kPointerInterface = {"zwlr_virtual_pointer_v1", 1, 9,
                                        kPointerRequests,          0, nullptr};

const wl_interface *kCreateTypes[2] = {&wl_seat_interface, &kPointerInterface};
const wl_message kManagerRequests[] = {
    {"create_virtual_pointer", "?on", kCreateTypes},
    {"destroy", "", kNoTypes},
};
const wl_interface kManagerInterface = {
    "zwlr_virtual_pointer_manager_v1", 1, 2, kManagerRequests, 0, nullptr};

struct TGlobals {
  wl_proxy *manager = nullptr;
  wl_seat *seat = nullptr;
};

void onGlobal(void *data, wl_registry *registry, uint32_t name, const char *interface, uint32_t) {
  auto *globals = static_cast<TGlobals *>(data);
  if (std::strcmp(interface, kManagerInterface.name) == 0)
    globals->manager =
        static_cast<wl_proxy *>(wl_registry_bind(registry, name, &kManagerInterface, 1));
  else if (std::strcmp(interface, wl_seat_interface.name) == 0 && globals->seat == nullptr)
    globals->seat = static_cast<wl_seat *>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
}

void onGlobalRemoved(void *, wl_registry *, uint32_t) {}

const wl_registry_listener kRegistryListener = {onGlobal, onGlobalRemoved};

} // namespace

int main() {
  wl_display *display = wl_display_connect(nullptr);
  if (display == nullptr) {
    std::fprintf(stderr, "wayland_pointer: no compositor\n");
    return 1;
  }
  TGlobals globals;
  wl_registry *registry = wl_display_get_registry(display);
  wl_registry_add_listener(registry, &kRegistryListener, &globals);
  wl_display_roundtrip(display);
  if (globals.manager == nullptr || globals.seat == nullptr) {
    std::fprintf(stderr, "wayland_pointer: the compositor has no virtual pointers\n");
    return 1;
  }
  wl_proxy *pointer =
      wl_proxy_marshal_constructor(globals.manager, 0, &kPointerInterface, globals.seat, nullptr);
  if (pointer == nullptr || wl_display_roundtrip(display) < 0) {
    std::fprintf(stderr, "wayland_pointer: no pointer made\n");
    return 1;
  }
  std::printf("pointer ready\n");
  std::fflush(stdout);
  while (wl_display_dispatch(display) >= 0) {
  }
  return 0;
}
