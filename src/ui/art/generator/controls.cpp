// Buttons, tabs, choices, sliders and fields: the small pieces every window
// is built from.
#include <algorithm>
#include <cmath>

#include <QImage>

#include "kit.h"
#include "pictures.h"

namespace quorix::art {

namespace {

QRectF Bounds(const QSizeF& s) { return QRectF(QPointF(0, 0), s); }

// A rectangle rounded at the top only (tabs sit on a line).
QPainterPath TopRounded(const QRectF& r, qreal radius) {
  QPainterPath path;
  path.moveTo(r.bottomLeft());
  path.lineTo(r.left(), r.top() + radius);
  path.quadTo(r.topLeft(), QPointF(r.left() + radius, r.top()));
  path.lineTo(r.right() - radius, r.top());
  path.quadTo(r.topRight(), QPointF(r.right(), r.top() + radius));
  path.lineTo(r.bottomRight());
  path.closeSubpath();
  return path;
}

}  // namespace

void DrawTab(QPainter& p, const QSizeF& s, Look look) {
  const QRectF r = Bounds(s).adjusted(1, 2, -1, 0);
  const QPainterPath shape = TopRounded(r, 8);
  p.setPen(Qt::NoPen);
  switch (look) {
    case Look::kNormal:
      p.setBrush(White(0.025));
      p.drawPath(shape);
      break;
    case Look::kHover:
      p.setBrush(Vertical(r, White(0.09), White(0.04)));
      p.drawPath(shape);
      p.fillRect(QRectF(r.left() + 18, r.bottom() - 2, r.width() - 36, 2), White(0.28));
      break;
    default: {
      p.setBrush(Vertical(r, colour::kRaisedTop, colour::kSurfaceHigh));
      p.drawPath(shape);
      p.setPen(QPen(White(0.14), 1));
      p.setBrush(Qt::NoBrush);
      p.drawPath(TopRounded(r.adjusted(0.5, 0.5, -0.5, 0), 7.5));
      // The accent: a bar along the foot with a little light above it.
      const QRectF bar(r.left() + 14, r.bottom() - 3, r.width() - 28, 3);
      // The haze: a flat ellipse of light rising from the bar.
      const QPointF foot(bar.center().x(), bar.bottom());
      QRadialGradient haze(foot, bar.width() / 2);
      haze.setColorAt(0, Alpha(colour::kAccent, 0.20));
      haze.setColorAt(1, Alpha(colour::kAccent, 0));
      QBrush hazeBrush(haze);
      hazeBrush.setTransform(QTransform().translate(foot.x(), foot.y()).scale(1, 0.22).translate(-foot.x(), -foot.y()));
      p.setPen(Qt::NoPen);
      p.setBrush(hazeBrush);
      p.drawPath(shape);
      p.setPen(Qt::NoPen);
      p.setBrush(colour::kAccent);
      p.drawRoundedRect(bar, 1.5, 1.5);
    }
  }
}

void DrawWindowButton(QPainter& p, const QSizeF& s, bool close, bool hover) {
  const QRectF r = Bounds(s).adjusted(2, 2, -2, -2);
  p.setPen(Qt::NoPen);
  if (hover) {
    p.setBrush(close ? colour::kDanger : White(0.12));
    p.drawEllipse(r);
  }
  QPen pen(hover ? QColor(Qt::white) : colour::kMuted, 1.6);
  pen.setCapStyle(Qt::RoundCap);
  p.setPen(pen);
  const QPointF c = r.center();
  const qreal a = r.width() * 0.19;
  if (close) {
    p.drawLine(c + QPointF(-a, -a), c + QPointF(a, a));
    p.drawLine(c + QPointF(-a, a), c + QPointF(a, -a));
  } else {
    p.drawLine(c + QPointF(-a * 1.1, 0), c + QPointF(a * 1.1, 0));
  }
}

void DrawButton(QPainter& p, const QSizeF& s, Look look) {
  const QRectF r = Bounds(s);
  switch (look) {
    case Look::kNormal:
      Plate(p, r, 6, colour::kRaisedTop, colour::kRaised, White(0.11));
      break;
    case Look::kDisabled:
      Plate(p, r, 6, colour::kSurfaceHigh, colour::kSurfaceHigh, White(0.05), 0);
      break;
    default: {
      Plate(p, r, 6, colour::kHoverTop, colour::kHover, White(0.30), 0.10);
      const QRectF line(r.left() + 22, r.bottom() - 2.5, r.width() - 44, 1.5);
      p.setPen(Qt::NoPen);
      p.setBrush(Alpha(colour::kAccent, 0.85));
      p.drawRoundedRect(line, 0.75, 0.75);
    }
  }
}

void DrawRadio(QPainter& p, const QSizeF& s, bool selected) {
  const QRectF r = Bounds(s).adjusted(0.75, 0.75, -0.75, -0.75);
  p.setBrush(colour::kSurfaceDeep);
  p.setPen(QPen(selected ? colour::kAccent : White(0.38), 1.3));
  p.drawEllipse(r);
  if (selected) {
    p.setPen(Qt::NoPen);
    p.setBrush(colour::kAccent);
    const QPointF c = r.center();
    p.drawEllipse(c, s.width() * 0.22, s.height() * 0.22);
  }
}

void DrawCheck(QPainter& p, const QSizeF& s, bool on) {
  const QRectF r = Bounds(s).adjusted(0.75, 0.75, -0.75, -0.75);
  p.setBrush(on ? colour::kAccent : colour::kSurfaceDeep);
  p.setPen(QPen(on ? colour::kAccent : White(0.38), 1.3));
  p.drawRoundedRect(r, 3, 3);
  if (on) {
    QPen pen(colour::kSurfaceDeep, 2.0);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    const qreal w = s.width();
    QPainterPath tick;
    tick.moveTo(w * 0.25, w * 0.52);
    tick.lineTo(w * 0.43, w * 0.70);
    tick.lineTo(w * 0.76, w * 0.32);
    p.drawPath(tick);
  }
}

void DrawSwitch(QPainter& p, const QSizeF& s, bool on) {
  const QRectF r = Bounds(s).adjusted(0.5, 0.5, -0.5, -0.5);
  const qreal radius = r.height() / 2;
  if (on) {
    p.setPen(Qt::NoPen);
    p.setBrush(Vertical(r, colour::kAccent, colour::kAccent.darker(112)));
  } else {
    p.setPen(QPen(White(0.22), 1));
    p.setBrush(colour::kSurfaceDeep);
  }
  p.drawRoundedRect(r, radius, radius);
  const qreal knob = radius - 2.5;
  const QPointF c(on ? r.right() - radius : r.left() + radius, r.center().y());
  p.setPen(Qt::NoPen);
  p.setBrush(Black(0.25));
  p.drawEllipse(c + QPointF(0, 0.8), knob, knob);
  p.setBrush(on ? QBrush(colour::kSurface) : QBrush(Vertical(QRectF(c.x(), c.y() - knob, 1, 2 * knob), colour::kGlyph,
                                                               colour::kMuted)));
  p.drawEllipse(c, knob, knob);
}

void DrawProgress(QPainter& p, const QSizeF& s, bool fill) {
  const QRectF r = Bounds(s);
  const qreal radius = r.height() / 2;
  if (!fill) {
    Well(p, r, radius);
    return;
  }
  QLinearGradient g(r.topLeft(), r.topRight());
  g.setColorAt(0, Alpha(colour::kAccent, 0.70));
  g.setColorAt(1, colour::kAccent);
  p.setPen(Qt::NoPen);
  p.setBrush(g);
  p.drawRoundedRect(r, radius, radius);
  p.fillRect(QRectF(r.left() + radius, r.top() + 1, r.width() - 2 * radius, 1), White(0.5));
}

void DrawSliderTrack(QPainter& p, const QSizeF& s) { Well(p, Bounds(s), s.height() / 2, 0.12); }

void DrawSliderThumb(QPainter& p, const QSizeF& s) {
  const QRectF r = Bounds(s);
  const QPointF c = r.center();
  const qreal radius = r.width() / 2 - 1.5;
  p.setPen(Qt::NoPen);
  p.setBrush(Black(0.35));
  p.drawEllipse(c + QPointF(0, 1), radius + 1, radius + 1);
  p.setBrush(Vertical(r, Qt::white, QColor(0xC6, 0xCE, 0xD8)));
  p.setPen(QPen(Black(0.30), 1));
  p.drawEllipse(c, radius, radius);
  p.setPen(Qt::NoPen);
  p.setBrush(colour::kRaised);
  p.drawEllipse(c, radius * 0.32, radius * 0.32);
}

void DrawSliderTick(QPainter& p, const QSizeF& s) {
  p.setPen(Qt::NoPen);
  p.setBrush(White(0.30));
  p.drawRoundedRect(Bounds(s), s.width() / 2, s.width() / 2);
}

void DrawProfileItem(QPainter& p, const QSizeF& s, Look look) {
  const QRectF r = Bounds(s);
  switch (look) {
    case Look::kNormal:
      Plate(p, r, 8, White(0.03), White(0.02), White(0.06), 0);
      break;
    case Look::kHover:
      Plate(p, r, 8, White(0.08), White(0.05), White(0.15), 0.05);
      break;
    default: {
      Plate(p, r, 8, colour::kRaisedTop, colour::kRaised, White(0.22), 0.10);
      p.setPen(Qt::NoPen);
      p.setBrush(colour::kAccent);
      p.drawRoundedRect(QRectF(r.left() + 1, r.top() + 9, 3, r.height() - 18), 1.5, 1.5);
    }
  }
}

void DrawField(QPainter& p, const QSizeF& s, bool withAppGlyph) {
  const QRectF r = Bounds(s);
  Well(p, r, 5);
  if (!withAppGlyph) return;
  // A small program window at the right: the field names an application.
  const QRectF w(r.right() - 22, r.center().y() - 5.5, 14, 11);
  p.setPen(QPen(colour::kMuted, 1.1));
  p.setBrush(Qt::NoBrush);
  p.drawRoundedRect(w.adjusted(0.5, 0.5, -0.5, -0.5), 2, 2);
  p.fillRect(QRectF(w.left() + 1, w.top() + 1, w.width() - 2, 2.5), colour::kMuted);
}

void DrawLevel(QPainter& p, const QSizeF& s, Look look) {
  const QRectF r = Bounds(s);
  const qreal radius = r.height() / 2;
  switch (look) {
    case Look::kNormal:
      Plate(p, r, radius, colour::kRaised, colour::kSurfaceHigh, White(0.09), 0.05);
      break;
    case Look::kHover:
      Plate(p, r, radius, colour::kHoverTop, colour::kHover, White(0.24), 0.08);
      break;
    default: {
      Plate(p, r, radius, colour::kRaisedTop, colour::kRaised, White(0), 0.08);
      p.setBrush(Qt::NoBrush);
      p.setPen(QPen(Alpha(colour::kAccent, 0.18), 4));
      p.drawRoundedRect(r.adjusted(2.5, 2.5, -2.5, -2.5), radius - 2.5, radius - 2.5);
      p.setPen(QPen(colour::kAccent, 1.5));
      p.drawRoundedRect(r.adjusted(0.75, 0.75, -0.75, -0.75), radius - 0.75, radius - 0.75);
    }
  }
}

void DrawListBox(QPainter& p, const QSizeF& s) { Well(p, Bounds(s), 6); }

void DrawPickPosition(QPainter& p, const QSizeF& s) {
  const QRectF r = Bounds(s).adjusted(1, 1, -1, -1);
  const QPointF c = r.center();
  Plate(p, r, r.width() / 2, colour::kRaisedTop, colour::kRaised, White(0.18), 0.08);
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(White(0.35), 1));
  p.drawEllipse(c, r.width() * 0.28, r.width() * 0.28);
  QPen cross(colour::kGlyph, 1.3);
  cross.setCapStyle(Qt::RoundCap);
  p.setPen(cross);
  const qreal in = r.width() * 0.12;
  const qreal out = r.width() * 0.40;
  for (const QPointF d : {QPointF(1, 0), QPointF(-1, 0), QPointF(0, 1), QPointF(0, -1)}) {
    p.drawLine(c + d * in, c + d * out);
  }
  p.setPen(Qt::NoPen);
  p.setBrush(colour::kAccent);
  p.drawEllipse(c, 2.2, 2.2);
}

void DrawVirtualButton(QPainter& p, const QSizeF& s, bool hover) {
  const QRectF r = Bounds(s);
  if (hover) {
    Plate(p, r, 8, colour::kHoverTop, colour::kHover, White(0.32), 0.12);
  } else {
    Plate(p, r, 8, colour::kRaisedTop, colour::kRaised, White(0.12), 0.08);
  }
  // Grip lines at the foot: something to press.
  p.setPen(QPen(hover ? White(0.45) : White(0.16), 1));
  for (int i = -1; i <= 1; ++i) {
    const qreal x = r.center().x() + i * 5;
    p.drawLine(QPointF(x, r.bottom() - 8), QPointF(x, r.bottom() - 5));
  }
}

void DrawColourWheel(QPainter& p, const QSizeF& s) {
  // Computed per device pixel: hue around the centre (red to the right,
  // then counter-clockwise through yellow and green), saturation growing
  // from white at the centre to full at the rim, full value. The rim is
  // antialiased by coverage.
  const qreal scale = p.device()->devicePixelRatioF() * p.worldTransform().m11();
  const int w = static_cast<int>(std::lround(s.width() * scale));
  const int h = static_cast<int>(std::lround(s.height() * scale));
  QImage wheel(w, h, QImage::Format_ARGB32);
  const double cx = w / 2.0;
  const double cy = h / 2.0;
  const double radius = std::min(w, h) / 2.0 - 0.5;
  for (int y = 0; y < h; ++y) {
    QRgb* line = reinterpret_cast<QRgb*>(wheel.scanLine(y));
    for (int x = 0; x < w; ++x) {
      const double dx = x + 0.5 - cx;
      const double dy = cy - (y + 0.5);
      const double d = std::hypot(dx, dy);
      const double coverage = std::clamp(radius - d + 0.5, 0.0, 1.0);
      if (coverage <= 0) {
        line[x] = 0;
        continue;
      }
      double hue = std::atan2(dy, dx) * 180.0 / M_PI;
      if (hue < 0) hue += 360.0;
      const double sat = std::min(d / radius, 1.0);
      const QColor c = QColor::fromHsvF(static_cast<float>(hue / 360.0), static_cast<float>(sat), 1.0f);
      line[x] = qRgba(c.red(), c.green(), c.blue(), static_cast<int>(std::lround(coverage * 255)));
    }
  }
  p.drawImage(QRectF(QPointF(0, 0), s), wheel);
}

void DrawColourMarker(QPainter& p, const QSizeF& s) {
  const QRectF r = Bounds(s);
  const QPointF c = r.center();
  const qreal radius = r.width() / 2;
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(Black(0.55), 1.2));
  p.drawEllipse(c, radius - 0.8, radius - 0.8);
  p.setPen(QPen(Qt::white, 2));
  p.drawEllipse(c, radius - 2.6, radius - 2.6);
  p.setPen(QPen(Black(0.45), 1));
  p.drawEllipse(c, radius - 4.3, radius - 4.3);
}

}  // namespace quorix::art
