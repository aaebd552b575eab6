// The mouse seen from above, the spots that mark its buttons, and the
// light-zone overlays that lie exactly over it. All share one outline.
#include <algorithm>

#include <QPainterPathStroker>

#include "kit.h"
#include "pictures.h"
#include "ui/art/mouse_geometry.h"

namespace quorix::art {

namespace {

using ui::art::MousePoint;

QPointF At(MousePoint point) { return QPointF(point.x, point.y); }

// The shell's outline, clockwise from the middle of the front edge: the
// right side first, then the rear, then the left side with its thumb waist.
QPainterPath Outline() {
  QPainterPath path(QPointF(150, 22));
  path.cubicTo(200, 22, 228, 40, 236, 80);
  path.cubicTo(244, 130, 252, 200, 254, 280);
  path.cubicTo(256, 350, 238, 412, 150, 420);
  path.cubicTo(62, 412, 44, 350, 46, 282);
  path.cubicTo(47, 246, 57, 226, 55, 192);
  path.cubicTo(54, 140, 56, 110, 64, 80);
  path.cubicTo(72, 40, 100, 22, 150, 22);
  path.closeSubpath();
  return path;
}

// The part of the outline between two fractions of its length.
QPainterPath OutlineSpan(qreal from, qreal to) {
  const QPainterPath outline = Outline();
  QPainterPath span(outline.pointAtPercent(from));
  constexpr int kSteps = 40;
  for (int i = 1; i <= kSteps; ++i) span.lineTo(outline.pointAtPercent(from + (to - from) * i / kSteps));
  return span;
}

// The raised spine between the two main buttons that carries the wheel,
// the DPI button and the profile button.
const QRectF kSpine(131, 50, 38, 150);
const QRectF kWheel(141, 62, 18, 52);

QRectF Around(MousePoint centre, qreal w, qreal h) { return QRectF(centre.x - w / 2, centre.y - h / 2, w, h); }

// Where the main buttons end: a curve across the shell, lowest in the middle.
QPainterPath ButtonEdge() {
  QPainterPath path(QPointF(50, 166));
  path.quadTo(150, 214, 250, 166);
  return path;
}

void SideButton(QPainter& p, MousePoint centre) {
  const QRectF r = Around(centre, 22, 36);
  p.setPen(QPen(Black(0.85), 1.2));
  p.setBrush(Vertical(r, QColor(0x44, 0x50, 0x5F), QColor(0x2A, 0x32, 0x3D)));
  p.drawRoundedRect(r, 7, 7);
  p.setPen(QPen(White(0.22), 1.2, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(r.left() + 3.5, r.top() + 7), QPointF(r.left() + 3.5, r.bottom() - 7));
}

}  // namespace

void DrawMouseTop(QPainter& p, const QSizeF&) {
  const QPainterPath body = Outline();
  // Its shadow on the desk.
  p.setPen(Qt::NoPen);
  for (int i = 6; i >= 1; --i) {
    p.setBrush(Black(0.07));
    p.drawPath(QTransform::fromTranslate(0, 6).map(
        QPainterPathStroker(QPen(Qt::black, i * 3.0)).createStroke(body).united(body)));
  }
  SideButton(p, ui::art::kMouseSideFront);
  SideButton(p, ui::art::kMouseSideBack);

  // The shell: a cool dark gradient, lighter where the palm rests.
  p.setBrush(Vertical(body.boundingRect(), QColor(0x2B, 0x34, 0x40), QColor(0x1A, 0x20, 0x28)));
  p.drawPath(body);
  p.save();
  p.setClipPath(body);
  QRadialGradient palm(QPointF(150, 300), 130);
  palm.setColorAt(0, White(0.06));
  palm.setColorAt(1, White(0));
  p.fillRect(body.boundingRect(), palm);
  // Grip panels along both flanks: darker, with fine diagonal ribs. They are
  // what is left of the shell's rear half around a narrower copy of it.
  const QPainterPath inner = QTransform().translate(150, 250).scale(0.84, 0.93).translate(-150, -250).map(body);
  QPainterPath rearHalf;  // with slanted ends
  rearHalf.addPolygon(QPolygonF({QPointF(0, 180), QPointF(150, 228), QPointF(300, 180), QPointF(300, 405),
                                 QPointF(150, 362), QPointF(0, 405)}));
  rearHalf.closeSubpath();
  const QPainterPath grips = body.subtracted(inner).intersected(rearHalf);
  p.fillPath(grips, QColor(0x14, 0x19, 0x1F));
  p.save();
  p.setClipPath(grips);
  p.setPen(QPen(White(0.05), 1));
  for (int i = -60; i < 110; ++i) p.drawLine(QPointF(i * 4, 170), QPointF(i * 4 + 260, 430));
  p.restore();
  p.save();
  p.setClipPath(rearHalf);
  p.strokePath(inner, QPen(Black(0.35), 1));
  p.restore();
  // The rear: a soft raised ridge down the middle and three vent slots.
  QRadialGradient ridge(QPointF(150, 300), 110);
  ridge.setColorAt(0, White(0.035));
  ridge.setColorAt(1, White(0));
  QBrush ridgeBrush(ridge);
  ridgeBrush.setTransform(QTransform().translate(150, 300).scale(0.22, 1).translate(-150, -300));
  p.fillRect(QRectF(100, 180, 100, 240), ridgeBrush);
  p.setPen(QPen(Black(0.6), 2.2, Qt::SolidLine, Qt::RoundCap));
  for (int i = 0; i < 3; ++i) {
    const qreal y = 372 + i * 9;
    p.drawLine(QPointF(138 + i * 3, y), QPointF(150, y + 5));
    p.drawLine(QPointF(150, y + 5), QPointF(162 - i * 3, y));
  }
  // The main buttons: a slightly different finish in front of their edge.
  QPainterPath front(QPointF(0, 0));
  front.lineTo(300, 0);
  front.lineTo(300, 166);
  front.quadTo(150, 214, 0, 166);
  front.closeSubpath();
  p.fillPath(front, Vertical(QRectF(0, 20, 1, 180), QColor(0x33, 0x3D, 0x4A), QColor(0x25, 0x2D, 0x37)));
  // Seams, each a dark groove with a light lip below it.
  auto groove = [&p](const QPainterPath& path) {
    p.strokePath(QTransform::fromTranslate(0, 1).map(path), QPen(White(0.10), 1));
    p.strokePath(path, QPen(Black(0.75), 1.4));
  };
  groove(ButtonEdge());
  QPainterPath split(QPointF(150, 20));
  split.lineTo(150, kSpine.top());
  groove(split);
  // A small V cut into the front edge between the buttons.
  QPainterPath notch(QPointF(141, 20));
  notch.lineTo(150, 31);
  notch.lineTo(159, 20);
  notch.closeSubpath();
  p.fillPath(notch, QColor(0x12, 0x16, 0x1C));
  p.restore();

  // The spine and what it carries.
  p.setPen(QPen(Black(0.7), 1.2));
  p.setBrush(Vertical(kSpine, QColor(0x15, 0x1A, 0x20), QColor(0x1C, 0x22, 0x2A)));
  p.drawRoundedRect(kSpine, 17, 17);
  p.setPen(QPen(Black(0.8), 1));
  p.setBrush(Vertical(kWheel, QColor(0x3A, 0x44, 0x51), QColor(0x1E, 0x24, 0x2C)));
  p.drawRoundedRect(kWheel, 7, 7);
  p.setPen(QPen(Black(0.55), 1));
  for (qreal y = kWheel.top() + 6; y < kWheel.bottom() - 4; y += 4) {
    p.drawLine(QPointF(kWheel.left() + 3, y), QPointF(kWheel.right() - 3, y));
  }
  p.setPen(QPen(White(0.22), 1));
  p.drawLine(QPointF(kWheel.left() + 4, kWheel.top() + 2.5), QPointF(kWheel.right() - 4, kWheel.top() + 2.5));
  const QRectF dpi = Around(ui::art::kMouseDpiButton, 18, 24);
  p.setPen(QPen(Black(0.8), 1));
  p.setBrush(Vertical(dpi, QColor(0x36, 0x40, 0x4D), QColor(0x24, 0x2B, 0x34)));
  p.drawRoundedRect(dpi, 6, 6);
  p.setPen(Qt::NoPen);
  p.setBrush(Black(0.6));
  p.drawRoundedRect(Around(ui::art::kMouseDpiButton, 4, 12), 2, 2);
  const QRectF profile = Around(ui::art::kMouseProfileButton, 20, 16);
  p.setPen(QPen(Black(0.8), 1));
  p.setBrush(Vertical(profile, QColor(0x33, 0x3C, 0x48), QColor(0x22, 0x29, 0x32)));
  p.drawRoundedRect(profile, 5, 5);
  p.setPen(QPen(White(0.25), 1));
  p.setBrush(Qt::NoBrush);
  p.drawEllipse(At(ui::art::kMouseProfileButton), 3, 3);

  // The emblem on the palm, unlit.
  Mark(p, QRectF(137, 317, 26, 26), QColor(0x4A, 0x55, 0x63), QColor(0x3A, 0x44, 0x50));

  // The rim: dark outside, a thin light edge inside.
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(Black(0.85), 1.6));
  p.drawPath(body);
  p.save();
  p.setClipPath(body);
  QLinearGradient rim(0, 20, 0, 420);
  rim.setColorAt(0, White(0.22));
  rim.setColorAt(1, White(0.06));
  p.setPen(QPen(QBrush(rim), 2.5));
  p.drawPath(body);
  p.restore();
}

void DrawButtonSpot(QPainter& p, const QSizeF& s, bool hover, bool locked) {
  const QPointF c(s.width() / 2, s.height() / 2);
  p.setPen(Qt::NoPen);
  if (hover) {
    QRadialGradient halo(c, s.width() / 2);
    halo.setColorAt(0.5, Alpha(colour::kAccent, 0.35));
    halo.setColorAt(1, Alpha(colour::kAccent, 0));
    p.setBrush(halo);
    p.drawEllipse(c, s.width() / 2, s.height() / 2);
  }
  const qreal r = hover ? 6.5 : 5.5;
  p.setBrush(Alpha(colour::kSurfaceDeep, 0.9));
  p.setPen(QPen(locked ? White(0.30) : hover ? colour::kAccent : White(0.75), hover ? 2 : 1.5));
  p.drawEllipse(c, r, r);
  p.setPen(Qt::NoPen);
  if (locked) {
    // A padlock: shackle and body.
    p.setBrush(White(0.55));
    p.drawRoundedRect(QRectF(c.x() - 2.75, c.y() - 0.5, 5.5, 4), 1, 1);
    p.setPen(QPen(White(0.55), 1.1));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(c.x() - 1.8, c.y() - 3.6, 3.6, 4.4), 0, 180 * 16);
  } else {
    p.setBrush(hover ? colour::kAccent : White(0.85));
    p.drawEllipse(c, hover ? 2.4 : 1.8, hover ? 2.4 : 1.8);
  }
}

void DrawFunctionLabel(QPainter& p, const QSizeF& s) {
  const QRectF r(QPointF(0, 0), s);
  Plate(p, r, 6, Alpha(colour::kRaised, 0.92), Alpha(colour::kSurfaceHigh, 0.92), White(0.13), 0.06);
}

void DrawLightZone(QPainter& p, const QSizeF&, int zone) {
  const QColor light = Qt::white;
  // Spans of the outline (fractions of its length, clockwise from the
  // front middle) for the zones that light an edge.
  struct Span {
    int zone;
    qreal from, to;
  };
  constexpr Span kSpans[] = {{10, 0.03, 0.10}, {4, 0.14, 0.21}, {5, 0.23, 0.30}, {6, 0.32, 0.39},
                             {11, 0.45, 0.55}, {1, 0.61, 0.68}, {2, 0.70, 0.77}, {3, 0.79, 0.86},
                             {9, 0.90, 0.97}};
  for (const Span& span : kSpans) {
    if (span.zone == zone) Glow(p, OutlineSpan(span.from, span.to), light, 4.5);
  }
  switch (zone) {
    case 0: {
      QPainterPath disc;
      disc.addEllipse(QPointF(150, 330), 14, 14);
      Glow(p, disc, light, 3, 0.5);
      Mark(p, QRectF(137, 317, 26, 26), light, light);
      break;
    }
    case 7: {
      QPainterPath wheel;
      wheel.addRoundedRect(kWheel.adjusted(1, 1, -1, -1), 6, 6);
      Glow(p, wheel, light, 3, 0.7);
      p.setPen(Qt::NoPen);
      p.setBrush(Alpha(light, 0.55));
      p.drawPath(wheel);
      break;
    }
    case 8: {
      QPainterPath slit;
      slit.moveTo(150, ui::art::kMouseDpiButton.y - 4);
      slit.lineTo(150, ui::art::kMouseDpiButton.y + 4);
      Glow(p, slit, light, 4);
      break;
    }
    case 12: {
      // Light spilling on the desk all round, outside the shell only.
      const QPainterPath body = Outline();
      QPainterPath outside;
      outside.addRect(QRectF(0, 0, ui::art::kMouseWidth, ui::art::kMouseHeight));
      p.save();
      p.setClipPath(outside.subtracted(body));
      p.setBrush(Qt::NoBrush);
      for (int i = 10; i >= 1; --i) {
        p.setPen(QPen(Alpha(light, 0.045), i * 4.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPath(body);
      }
      p.restore();
      break;
    }
    default:
      break;
  }
}

}  // namespace quorix::art
