#pragma once
// The overlay on a Wayland compositor that offers the layer shell
// (zwlr_layer_shell_v1: wlroots compositors, KWin): a layer surface on the
// overlay layer, anchored at the top-left, with no keyboard interactivity and
// an empty input region, so that clicks fall through to the window below.
//
// It has a wl_display connection of its own beside the toolkit's, read only
// inside Show and Hide (each ends in a roundtrip): nothing wakes the program
// while the picture stands or is hidden. The compositor sends a layer surface
// no pings, so an unread connection is never judged unresponsive.

#include <memory>
#include <string>

#include "base/result.h"
#include "platform/overlay_surface.h"

namespace quorix {

class WaylandOverlaySurface final : public OverlaySurface {
 public:
  // Connects to $WAYLAND_DISPLAY. Where there is no Wayland display or it
  // offers no layer shell, kUnavailable and the reason.
  static Result<std::unique_ptr<WaylandOverlaySurface>> Open();
  ~WaylandOverlaySurface() override;
  WaylandOverlaySurface(const WaylandOverlaySurface&) = delete;
  WaylandOverlaySurface& operator=(const WaylandOverlaySurface&) = delete;

  bool Show(std::span<const uint32_t> pixels, int width, int height, int x, int y) override;
  void Hide() override;

  struct Globals;  // the compositor's objects, bound once
  struct Layer;    // the surface while it shows

 private:
  explicit WaylandOverlaySurface(std::unique_ptr<Globals> globals);
  bool MapLayer(int width, int height, int x, int y);

  std::unique_ptr<Globals> globals_;
  std::unique_ptr<Layer> layer_;
};

}  // namespace quorix
