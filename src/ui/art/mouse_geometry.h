#pragma once
// Where things are on the mouse picture (pic::kMouseTop) and its light-zone
// overlays, in the picture's own pixels. The artwork generator draws the
// buttons at these points and windows centre the button spots on them, so
// the two cannot drift apart.

namespace quorix::ui::art {

struct MousePoint {
  int x;
  int y;
};

inline constexpr int kMouseWidth = 300;
inline constexpr int kMouseHeight = 440;

// The centres of the mouse's buttons.
inline constexpr MousePoint kMouseLeftButton{104, 104};
inline constexpr MousePoint kMouseRightButton{196, 104};
inline constexpr MousePoint kMouseWheel{150, 88};
inline constexpr MousePoint kMouseWheelTiltLeft{131, 88};
inline constexpr MousePoint kMouseWheelTiltRight{169, 88};
inline constexpr MousePoint kMouseDpiButton{150, 140};
inline constexpr MousePoint kMouseSideFront{47, 214};
inline constexpr MousePoint kMouseSideBack{47, 254};
inline constexpr MousePoint kMouseProfileButton{150, 176};

// The light zones, 0..12, by what they light: the palm emblem (0); the left
// side strip from rear to front (1..3) and the right side strip from front
// to rear (4..6); the wheel (7); the DPI button (8); the front edges of the
// left and right buttons (9, 10); the rear edge (11); the glow under the
// whole mouse (12).

}  // namespace quorix::ui::art
