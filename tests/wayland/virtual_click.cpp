// virtual_click X Y WIDTH HEIGHT: a left click at (X, Y) of a WIDTH x HEIGHT
// output, through a virtual pointer (zwlr_virtual_pointer_v1) on the default
// seat of $WAYLAND_DISPLAY. A headless compositor has no pointer of its own:
// the virtual one gives the seat its pointer, and clients a wl_pointer to
// receive the click with. Exits 0 once the compositor has taken the click.

#include <linux/input-event-codes.h>
#include <unistd.h>
#include <wayland-client.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"

namespace {

struct Globals {
  wl_seat* seat = nullptr;
  zwlr_virtual_pointer_manager_v1* manager = nullptr;
};

void OnGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t) {
  auto* g = static_cast<Globals*>(data);
  if (std::strcmp(interface, wl_seat_interface.name) == 0 && g->seat == nullptr)
    g->seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
  if (std::strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0)
    g->manager = static_cast<zwlr_virtual_pointer_manager_v1*>(
        wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1));
}
void OnGlobalRemove(void*, wl_registry*, uint32_t) {}
constexpr wl_registry_listener kListener = {OnGlobal, OnGlobalRemove};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: virtual_click X Y WIDTH HEIGHT\n");
    return 2;
  }
  const uint32_t x = std::atoi(argv[1]), y = std::atoi(argv[2]), width = std::atoi(argv[3]),
                 height = std::atoi(argv[4]);
  wl_display* display = wl_display_connect(nullptr);
  if (display == nullptr) {
    std::fprintf(stderr, "virtual_click: no Wayland display\n");
    return 1;
  }
  Globals g;
  wl_registry* registry = wl_display_get_registry(display);
  wl_registry_add_listener(registry, &kListener, &g);
  wl_display_roundtrip(display);
  if (g.seat == nullptr || g.manager == nullptr) {
    std::fprintf(stderr, "virtual_click: the compositor offers no seat or no virtual pointer\n");
    return 1;
  }
  zwlr_virtual_pointer_v1* pointer = zwlr_virtual_pointer_manager_v1_create_virtual_pointer(g.manager, g.seat);
  wl_display_roundtrip(display);
  usleep(500 * 1000);  // the clients hear of the seat's new pointer and bind it
  uint32_t time = 1;
  zwlr_virtual_pointer_v1_motion_absolute(pointer, time++, x, y, width, height);
  zwlr_virtual_pointer_v1_frame(pointer);
  wl_display_roundtrip(display);
  usleep(200 * 1000);
  zwlr_virtual_pointer_v1_button(pointer, time++, BTN_LEFT, WL_POINTER_BUTTON_STATE_PRESSED);
  zwlr_virtual_pointer_v1_frame(pointer);
  wl_display_roundtrip(display);
  usleep(100 * 1000);
  zwlr_virtual_pointer_v1_button(pointer, time++, BTN_LEFT, WL_POINTER_BUTTON_STATE_RELEASED);
  zwlr_virtual_pointer_v1_frame(pointer);
  const bool taken = wl_display_roundtrip(display) >= 0;
  usleep(300 * 1000);  // the release reaches the client before the pointer goes
  zwlr_virtual_pointer_v1_destroy(pointer);
  zwlr_virtual_pointer_manager_v1_destroy(g.manager);
  wl_seat_destroy(g.seat);
  wl_registry_destroy(registry);
  wl_display_roundtrip(display);
  wl_display_disconnect(display);
  return taken ? 0 : 1;
}
