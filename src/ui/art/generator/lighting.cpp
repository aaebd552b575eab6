// The lighting window's mouse, seen from its right rear at an angle, and the
// lights of its six zones. Each light is centred on the window's marker for
// its zone (lighting_geometry.h).
#include <cmath>

#include "kit.h"
#include "pictures.h"
#include "ui/art/lighting_geometry.h"

namespace quorix::art {

namespace {

using ui::art::kZoneMarkers;
using ui::art::MarkerCentreInPicture;

QPointF Centre(int zone) {
  for (const auto& marker : kZoneMarkers) {
    if (marker.zone == zone) {
      const auto c = MarkerCentreInPicture(marker);
      return QPointF(c.x, c.y);
    }
  }
  return {};
}

// A smooth closed curve through the midpoints of a polygon's edges, the
// corners acting as control points.
QPainterPath Smooth(const QPolygonF& corners) {
  const int n = corners.size();
  auto mid = [&](int i) { return (corners[i % n] + corners[(i + 1) % n]) / 2; };
  QPainterPath path(mid(n - 1));
  for (int i = 0; i < n; ++i) path.quadTo(corners[i], mid(i));
  path.closeSubpath();
  return path;
}

QPainterPath Body() {
  return Smooth({{28, 302}, {150, 304}, {262, 288}, {344, 268}, {424, 232}, {462, 160}, {462, 92}, {420, 42},
                 {330, 4},  {228, 14},  {118, 70},  {38, 160},  {8, 252}});
}

// The light guide along the near flank, through the markers of zones 1..5.
QPainterPath NearStrip() {
  QPainterPath path(Centre(1) - QPointF(26, -2));
  path.lineTo(Centre(1));
  for (int zone = 2; zone <= 5; ++zone) path.lineTo(Centre(zone));
  path.lineTo(Centre(5) + QPointF(14, -26));
  return path;
}

// Zone `zone`'s stretch of its strip: a short piece along the strip's
// direction there.
QPainterPath LightPiece(int zone) {
  QPointF along;
  if (zone == 6) {
    along = QPointF(1, 0.25);
  } else {
    const QPointF before = zone == 1 ? Centre(1) - QPointF(26, -2) : Centre(zone - 1);
    const QPointF after = zone == 5 ? Centre(5) + QPointF(14, -26) : Centre(zone + 1);
    along = after - before;
  }
  const qreal length = std::hypot(along.x(), along.y());
  along /= length > 0 ? length : 1;
  const QPointF c = Centre(zone);
  QPainterPath piece(c - along * 22);
  piece.lineTo(c + along * 22);
  return piece;
}

}  // namespace

void DrawLightingMouse(QPainter& p, const QSizeF&) {
  const QPainterPath body = Body();
  // Its shadow on the desk, below and to the right.
  p.save();
  p.setPen(Qt::NoPen);
  for (int i = 6; i >= 1; --i) {
    p.setBrush(Black(0.06));
    p.drawPath(QTransform::fromTranslate(2 + i, 4 + i).map(body));
  }
  p.restore();
  // The shell: lighter on the top, darker towards the near flank.
  QLinearGradient shade(QPointF(230, 20), QPointF(300, 300));
  shade.setColorAt(0, QColor(0x36, 0x41, 0x4F));
  shade.setColorAt(0.6, QColor(0x24, 0x2B, 0x35));
  shade.setColorAt(1, QColor(0x16, 0x1B, 0x22));
  p.setPen(Qt::NoPen);
  p.setBrush(shade);
  p.drawPath(body);
  p.save();
  p.setClipPath(body);
  // The near flank: a darker band under the shoulder line.
  QPainterPath flank(QPointF(0, 250));
  flank.cubicTo(150, 248, 330, 226, 470, 110);
  flank.lineTo(470, 360);
  flank.lineTo(0, 360);
  flank.closeSubpath();
  p.fillPath(flank, Alpha(QColor(0x10, 0x14, 0x1A), 0.75));
  p.strokePath(QPainterPath(flank), QPen(White(0.10), 1.2));
  // The main buttons in front, split down the middle, and their seam.
  QPainterPath seam(QPointF(300, 20));
  seam.cubicTo(330, 90, 350, 160, 388, 228);
  p.strokePath(seam, QPen(Black(0.7), 1.6));
  QPainterPath split(QPointF(355, 40));
  split.cubicTo(400, 70, 430, 100, 452, 150);
  p.strokePath(split, QPen(Black(0.7), 1.4));
  // The palm's soft highlight.
  QRadialGradient palm(QPointF(200, 110), 150);
  palm.setColorAt(0, White(0.08));
  palm.setColorAt(1, White(0));
  p.fillRect(QRectF(0, 0, 470, 360), palm);
  p.restore();
  // The wheel between the buttons.
  p.save();
  p.translate(404, 92);
  p.rotate(38);
  const QRectF wheel(-9, -24, 18, 48);
  p.setPen(QPen(Black(0.8), 1));
  p.setBrush(Vertical(wheel, QColor(0x44, 0x50, 0x5F), QColor(0x1E, 0x24, 0x2C)));
  p.drawRoundedRect(wheel, 7, 7);
  p.setPen(QPen(Black(0.5), 1));
  for (qreal y = wheel.top() + 6; y < wheel.bottom() - 4; y += 4) p.drawLine(QPointF(-6, y), QPointF(6, y));
  p.restore();
  // The unlit light guides.
  p.strokePath(NearStrip(), QPen(QColor(0x0A, 0x0D, 0x11), 7, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.strokePath(NearStrip(), QPen(White(0.12), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.strokePath(LightPiece(6), QPen(QColor(0x0A, 0x0D, 0x11), 7, Qt::SolidLine, Qt::RoundCap));
  p.strokePath(LightPiece(6), QPen(White(0.12), 2, Qt::SolidLine, Qt::RoundCap));
  // The rim.
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(Black(0.85), 1.6));
  p.drawPath(body);
  p.setPen(QPen(White(0.14), 1.2));
  p.drawPath(QTransform().translate(235, 150).scale(0.985, 0.98).translate(-235, -150).map(body));
}

void DrawLightingZone(QPainter& p, const QSizeF&, int zone) { Glow(p, LightPiece(zone), Qt::white, 6.0); }

}  // namespace quorix::art
