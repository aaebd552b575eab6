#include "platform/linux/wayland_overlay_surface.h"

#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

#include <cstring>
#include <utility>

#include "wlr-layer-shell-unstable-v1-client-protocol.h"

namespace quorix {
namespace {

// What the compositor is told the surface is for (sway's and KWin's rules can
// match it).
constexpr const char* kNamespace = "quorix-osd";
// Larger than any screen: beyond it a size is a caller's fault, not a picture.
constexpr int kMaxSide = 16384;

}  // namespace

struct WaylandOverlaySurface::Globals {
  wl_display* display = nullptr;
  wl_registry* registry = nullptr;
  wl_compositor* compositor = nullptr;
  wl_shm* shm = nullptr;
  zwlr_layer_shell_v1* layerShell = nullptr;

  Globals() = default;
  Globals(const Globals&) = delete;
  Globals& operator=(const Globals&) = delete;
  ~Globals() {
    if (layerShell != nullptr) zwlr_layer_shell_v1_destroy(layerShell);
    if (shm != nullptr) wl_shm_destroy(shm);
    if (compositor != nullptr) wl_compositor_destroy(compositor);
    if (registry != nullptr) wl_registry_destroy(registry);
    if (display != nullptr) wl_display_disconnect(display);
  }
  bool Broken() const { return wl_display_get_error(display) != 0; }
};

struct WaylandOverlaySurface::Layer {
  wl_surface* surface = nullptr;
  zwlr_layer_surface_v1* layerSurface = nullptr;
  wl_buffer* buffer = nullptr;  // the picture shown; the surface holds it
  uint32_t configureSerial = 0;
  bool configured = false;
  bool ackDue = false;  // a configure not yet acknowledged
  bool closed = false;  // the compositor took it away (its output went)
  int width = 0, height = 0, x = 0, y = 0;

  Layer() = default;
  Layer(const Layer&) = delete;
  Layer& operator=(const Layer&) = delete;
  ~Layer() {
    if (layerSurface != nullptr) zwlr_layer_surface_v1_destroy(layerSurface);
    if (surface != nullptr) wl_surface_destroy(surface);
    if (buffer != nullptr) wl_buffer_destroy(buffer);
  }
};

namespace {

using Globals = WaylandOverlaySurface::Globals;
using Layer = WaylandOverlaySurface::Layer;

void OnGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t version) {
  auto* g = static_cast<Globals*>(data);
  const auto is = [interface](const wl_interface& wanted) { return std::strcmp(interface, wanted.name) == 0; };
  if (is(wl_compositor_interface) && g->compositor == nullptr) {
    g->compositor = static_cast<wl_compositor*>(wl_registry_bind(registry, name, &wl_compositor_interface, 1));
  } else if (is(wl_shm_interface) && g->shm == nullptr) {
    g->shm = static_cast<wl_shm*>(wl_registry_bind(registry, name, &wl_shm_interface, 1));
  } else if (is(zwlr_layer_shell_v1_interface) && g->layerShell == nullptr) {
    // Version 1 has every request the overlay makes.
    g->layerShell =
        static_cast<zwlr_layer_shell_v1*>(wl_registry_bind(registry, name, &zwlr_layer_shell_v1_interface, 1));
  }
  (void)version;
}

void OnGlobalRemove(void*, wl_registry*, uint32_t) {}

constexpr wl_registry_listener kRegistryListener = {OnGlobal, OnGlobalRemove};

void OnConfigure(void* data, zwlr_layer_surface_v1*, uint32_t serial, uint32_t, uint32_t) {
  auto* layer = static_cast<Layer*>(data);
  layer->configureSerial = serial;
  layer->configured = true;
  layer->ackDue = true;
}

void OnClosed(void* data, zwlr_layer_surface_v1*) { static_cast<Layer*>(data)->closed = true; }

constexpr zwlr_layer_surface_v1_listener kLayerListener = {OnConfigure, OnClosed};

// A shared-memory buffer holding the picture; nullptr when no memory could
// be had.
wl_buffer* MakeBuffer(wl_shm* shm, std::span<const uint32_t> pixels, int width, int height) {
  const size_t bytes = static_cast<size_t>(width) * static_cast<size_t>(height) * 4;
  const int fd = memfd_create("quorix-overlay", MFD_CLOEXEC);
  if (fd < 0) return nullptr;
  wl_buffer* buffer = nullptr;
  if (ftruncate(fd, static_cast<off_t>(bytes)) == 0) {
    void* memory = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (memory != MAP_FAILED) {
      std::memcpy(memory, pixels.data(), bytes);
      munmap(memory, bytes);
      wl_shm_pool* pool = wl_shm_create_pool(shm, fd, static_cast<int32_t>(bytes));
      buffer = wl_shm_pool_create_buffer(pool, 0, width, height, width * 4, WL_SHM_FORMAT_ARGB8888);
      wl_shm_pool_destroy(pool);  // the buffer keeps the memory
    }
  }
  close(fd);
  return buffer;
}

}  // namespace

Result<std::unique_ptr<WaylandOverlaySurface>> WaylandOverlaySurface::Open() {
  auto fail = [](const char* why) { return Outcome(Failure::kUnavailable, why); };
  auto globals = std::make_unique<Globals>();
  globals->display = wl_display_connect(nullptr);
  if (globals->display == nullptr) return fail("no Wayland display to connect to");
  globals->registry = wl_display_get_registry(globals->display);
  wl_registry_add_listener(globals->registry, &kRegistryListener, globals.get());
  if (wl_display_roundtrip(globals->display) < 0) return fail("the Wayland display did not answer");
  if (globals->compositor == nullptr || globals->shm == nullptr)
    return fail("the Wayland display offers no wl_compositor or no wl_shm");
  if (globals->layerShell == nullptr) return fail("the compositor offers no layer shell (zwlr_layer_shell_v1)");
  return std::unique_ptr<WaylandOverlaySurface>(new WaylandOverlaySurface(std::move(globals)));
}

WaylandOverlaySurface::WaylandOverlaySurface(std::unique_ptr<Globals> globals) : globals_(std::move(globals)) {}

WaylandOverlaySurface::~WaylandOverlaySurface() {
  layer_.reset();
  wl_display_flush(globals_->display);
}

bool WaylandOverlaySurface::MapLayer(int width, int height, int x, int y) {
  layer_ = std::make_unique<Layer>();
  Layer& l = *layer_;
  l.width = width, l.height = height, l.x = x, l.y = y;
  l.surface = wl_compositor_create_surface(globals_->compositor);
  // An empty input region: the pointer and its clicks go to what lies below.
  wl_region* nothing = wl_compositor_create_region(globals_->compositor);
  wl_surface_set_input_region(l.surface, nothing);
  wl_region_destroy(nothing);
  l.layerSurface = zwlr_layer_shell_v1_get_layer_surface(globals_->layerShell, l.surface, nullptr,
                                                         ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY, kNamespace);
  zwlr_layer_surface_v1_add_listener(l.layerSurface, &kLayerListener, &l);
  zwlr_layer_surface_v1_set_size(l.layerSurface, width, height);
  zwlr_layer_surface_v1_set_anchor(l.layerSurface,
                                   ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP | ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT);
  zwlr_layer_surface_v1_set_margin(l.layerSurface, y, 0, 0, x);
  // At the screen's very corner, over panels too, as on X11; it pushes no
  // window aside.
  zwlr_layer_surface_v1_set_exclusive_zone(l.layerSurface, -1);
  zwlr_layer_surface_v1_set_keyboard_interactivity(l.layerSurface, ZWLR_LAYER_SURFACE_V1_KEYBOARD_INTERACTIVITY_NONE);
  wl_surface_commit(l.surface);
  while (!l.configured && !l.closed) {
    if (wl_display_roundtrip(globals_->display) < 0) return false;
  }
  return !l.closed;
}

bool WaylandOverlaySurface::Show(std::span<const uint32_t> pixels, int width, int height, int x, int y) {
  if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide ||
      pixels.size() < static_cast<size_t>(width) * static_cast<size_t>(height) || globals_->Broken())
    return false;
  if (layer_ &&
      (layer_->closed || layer_->width != width || layer_->height != height || layer_->x != x || layer_->y != y))
    layer_.reset();
  if (!layer_ && !MapLayer(width, height, x, y)) {
    layer_.reset();
    return false;
  }
  wl_buffer* buffer = MakeBuffer(globals_->shm, pixels, width, height);
  if (buffer == nullptr) return false;
  Layer& l = *layer_;
  if (l.ackDue) {
    zwlr_layer_surface_v1_ack_configure(l.layerSurface, l.configureSerial);
    l.ackDue = false;
  }
  wl_surface_attach(l.surface, buffer, 0, 0);
  wl_surface_damage(l.surface, 0, 0, width, height);
  wl_surface_commit(l.surface);
  // The picture before is let go once the compositor has taken this one.
  wl_buffer* before = std::exchange(l.buffer, buffer);
  const bool answered = wl_display_roundtrip(globals_->display) >= 0;
  if (before != nullptr) wl_buffer_destroy(before);
  return answered && !l.closed;
}

void WaylandOverlaySurface::Hide() {
  if (!layer_) return;
  layer_.reset();
  wl_display_roundtrip(globals_->display);
}

}  // namespace quorix
