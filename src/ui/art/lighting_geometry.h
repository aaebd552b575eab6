#pragma once
// The lighting window's mouse picture (pic::kLightingMouse) and its light
// zones. The markers are triangles in window pixels; the picture lies at
// kLightingMouseOrigin, and the artwork generator centres each zone's light
// on its marker, so marker and light cannot drift apart.

#include <array>

#include "ui/art/mouse_geometry.h"

namespace quorix::ui::art {

inline constexpr MousePoint kLightingMouseOrigin{220, 80};
inline constexpr int kLightingMouseWidth = 470;
inline constexpr int kLightingMouseHeight = 360;

struct ZoneMarker {
  int zone;
  std::array<MousePoint, 3> points;  // window pixels
  int picture;                       // the zone's light picture
};

// Zones 1..5 run along the near flank from the rear to the front; zone 6
// lies on the far flank.
inline constexpr std::array<ZoneMarker, 6> kZoneMarkers{{
    {1, {{{366, 335}, {350, 351}, {374, 356}}}, 542},
    {2, {{{466, 321}, {462, 343}, {484, 333}}}, 544},
    {3, {{{528, 305}, {520, 323}, {541, 322}}}, 545},
    {4, {{{593, 280}, {598, 301}, {617, 286}}}, 546},
    {5, {{{637, 239}, {645, 258}, {658, 238}}}, 547},
    {6, {{{537, 112}, {538, 92}, {559, 106}}}, 543},
}};

// A marker's centre in the picture's own pixels.
struct MarkerCentre {
  double x;
  double y;
};
constexpr MarkerCentre MarkerCentreInPicture(const ZoneMarker& marker) {
  double x = 0, y = 0;
  for (const MousePoint& p : marker.points) {
    x += p.x;
    y += p.y;
  }
  return {x / 3 - kLightingMouseOrigin.x, y / 3 - kLightingMouseOrigin.y};
}

}  // namespace quorix::ui::art
