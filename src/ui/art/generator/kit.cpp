#include "kit.h"

#include <cmath>

#include <QPainterPathStroker>

namespace quorix::art {

QColor Alpha(const QColor& colour, qreal alpha) {
  QColor c = colour;
  c.setAlphaF(static_cast<float>(alpha));
  return c;
}

QLinearGradient Vertical(const QRectF& rect, const QColor& top, const QColor& bottom) {
  QLinearGradient g(rect.topLeft(), rect.bottomLeft());
  g.setColorAt(0, top);
  g.setColorAt(1, bottom);
  return g;
}

void Plate(QPainter& p, const QRectF& rect, qreal radius, const QColor& top, const QColor& bottom,
           const QColor& border, qreal highlight) {
  p.save();
  p.setPen(Qt::NoPen);
  p.setBrush(Vertical(rect, top, bottom));
  p.drawRoundedRect(rect, radius, radius);
  if (highlight > 0) {
    // A light line just under the top edge, fading towards the sides.
    const QRectF line(rect.left() + radius * 0.6, rect.top() + 1, rect.width() - radius * 1.2, 1);
    QLinearGradient g(line.topLeft(), line.topRight());
    g.setColorAt(0, White(0));
    g.setColorAt(0.5, White(highlight));
    g.setColorAt(1, White(0));
    p.fillRect(line, g);
  }
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(border, 1));
  p.drawRoundedRect(rect.adjusted(0.5, 0.5, -0.5, -0.5), radius - 0.5, radius - 0.5);
  p.restore();
}

void Well(QPainter& p, const QRectF& rect, qreal radius, qreal borderAlpha) {
  p.save();
  p.setPen(Qt::NoPen);
  p.setBrush(Vertical(rect, colour::kSurfaceDeep.darker(115), colour::kSurfaceDeep));
  p.drawRoundedRect(rect, radius, radius);
  QLinearGradient edge(rect.topLeft(), rect.bottomLeft());
  edge.setColorAt(0, Black(0.55));
  edge.setColorAt(0.5, White(borderAlpha * 0.6));
  edge.setColorAt(1, White(borderAlpha * 1.4));
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QBrush(edge), 1));
  p.drawRoundedRect(rect.adjusted(0.5, 0.5, -0.5, -0.5), radius - 0.5, radius - 0.5);
  p.restore();
}

void Glow(QPainter& p, const QPainterPath& path, const QColor& colour, qreal width, qreal strength) {
  p.save();
  p.setBrush(Qt::NoBrush);
  constexpr int kLayers = 6;
  for (int i = kLayers; i >= 1; --i) {
    const qreal t = static_cast<qreal>(i) / kLayers;
    QPen pen(Alpha(colour, std::min(1.0, strength * 0.12 * (1.2 - t))), width * (0.35 + 2.4 * t));
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    p.setPen(pen);
    p.drawPath(path);
  }
  QPen core(Alpha(colour, std::min(1.0, strength)), width * 0.45);
  core.setCapStyle(Qt::RoundCap);
  p.setPen(core);
  p.drawPath(path);
  p.restore();
}

void Shadow(QPainter& p, const QRectF& rect, qreal radius, qreal spread, qreal alpha) {
  p.save();
  p.setPen(Qt::NoPen);
  constexpr int kSteps = 8;
  for (int i = kSteps; i >= 1; --i) {
    const qreal grow = spread * i / kSteps;
    p.setBrush(Black(alpha / kSteps));
    p.drawRoundedRect(rect.adjusted(-grow, -grow * 0.5, grow, grow * 1.2), radius + grow, radius + grow);
  }
  p.restore();
}

namespace {

QPainterPath Hexagon(const QPointF& c, qreal r) {
  QPainterPath path;
  for (int i = 0; i < 6; ++i) {
    const qreal a = (60.0 * i - 90.0) * M_PI / 180.0;
    const QPointF pt(c.x() + r * std::cos(a), c.y() + r * std::sin(a));
    i == 0 ? path.moveTo(pt) : path.lineTo(pt);
  }
  path.closeSubpath();
  return path;
}

}  // namespace

void Mark(QPainter& p, const QRectF& rect, const QColor& a, const QColor& b) {
  p.save();
  const QPointF c = rect.center();
  const qreal r = rect.width() / 2;
  QPainterPath ring = Hexagon(c, r).subtracted(Hexagon(c, r * 0.64));
  // The notch: a slanted cut through the lower right edge, the mark's tail.
  QPainterPath notch;
  notch.addRect(QRectF(-r * 0.11, 0, r * 0.22, r * 1.2));
  notch = QTransform().translate(c.x(), c.y()).rotate(-38).map(notch);
  ring = ring.subtracted(notch);
  QLinearGradient g(rect.topLeft(), rect.bottomRight());
  g.setColorAt(0, a);
  g.setColorAt(1, b);
  p.setPen(Qt::NoPen);
  p.setBrush(g);
  p.drawPath(ring);
  // The tail itself, a short bar leaving the ring through the notch.
  QPainterPath tail;
  tail.addRoundedRect(QRectF(-r * 0.075, r * 0.50, r * 0.15, r * 0.62), r * 0.07, r * 0.07);
  p.drawPath(QTransform().translate(c.x(), c.y()).rotate(-38).map(tail));
  p.setBrush(Alpha(b.lighter(130), 0.95));
  p.drawPath(Hexagon(c, r * 0.26));
  p.restore();
}

}  // namespace quorix::art
