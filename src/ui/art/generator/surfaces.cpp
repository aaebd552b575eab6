// Window surfaces, the product mark, the icon, the hand cursor and the
// on-screen display's pictures.
#include <algorithm>
#include <array>

#include <QFont>

#include "kit.h"
#include "pictures.h"

namespace quorix::art {

namespace {

QRectF Bounds(const QSizeF& s) { return QRectF(QPointF(0, 0), s); }

// The colours of the five profiles' badges.
const std::array<QColor, 5> kProfileColours{QColor(0xE5, 0x48, 0x4D), QColor(0x3D, 0xD6, 0x8C),
                                            QColor(0x3E, 0x8B, 0xFF), QColor(0xF5, 0xB8, 0x3D),
                                            QColor(0xA8, 0x75, 0xFF)};

// Text as a filled path, centred on `centre`: the shapes of the pictures
// must not depend on how a font happens to be hinted.
QPainterPath TextPath(const QString& text, const QFont& font, const QPointF& centre) {
  QPainterPath path;
  path.addText(0, 0, font, text);
  const QRectF box = path.boundingRect();
  return QTransform::fromTranslate(centre.x() - box.center().x(), centre.y() - box.center().y()).map(path);
}

QFont MarkFont(qreal pixels, qreal spacing = 0) {
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPixelSize(static_cast<int>(pixels));
  font.setBold(true);
  if (spacing != 0) font.setLetterSpacing(QFont::AbsoluteSpacing, spacing);
  return font;
}

// A window's surface: rounded, gradient body, engraved bands, hairline
// borders. `header` and `footer` are the heights of the two bands (0: none).
void Surface(QPainter& p, const QSizeF& s, qreal radius, qreal header, qreal footer) {
  const QRectF r = Bounds(s);
  QPainterPath shape;
  shape.addRoundedRect(r, radius, radius);
  p.save();
  p.setClipPath(shape);
  p.fillRect(r, Vertical(r, colour::kSurface, colour::kSurfaceLow));
  // A faint cool light from the upper left, the one touch of the brand.
  QRadialGradient sheen(QPointF(r.width() * 0.18, -r.height() * 0.15), r.width() * 0.7);
  sheen.setColorAt(0, Alpha(colour::kBrandB, 0.07));
  sheen.setColorAt(1, Alpha(colour::kBrandB, 0));
  p.fillRect(r, sheen);
  if (header > 0) {
    p.fillRect(QRectF(0, 0, r.width(), header), Vertical(QRectF(0, 0, 1, header), White(0.035), White(0.015)));
    p.fillRect(QRectF(0, header, r.width(), 1), Black(0.35));
    p.fillRect(QRectF(0, header + 1, r.width(), 1), White(0.05));
  }
  if (footer > 0) {
    const qreal top = r.height() - footer;
    p.fillRect(QRectF(0, top, r.width(), footer), Black(0.16));
    p.fillRect(QRectF(0, top, r.width(), 1), White(0.05));
  }
  p.restore();
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(Black(0.7), 1));
  p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), radius - 0.5, radius - 0.5);
  QLinearGradient rim(r.topLeft(), r.bottomLeft());
  rim.setColorAt(0, White(0.16));
  rim.setColorAt(0.3, White(0.08));
  rim.setColorAt(1, White(0.05));
  p.setPen(QPen(QBrush(rim), 1));
  p.drawRoundedRect(r.adjusted(1.5, 1.5, -1.5, -1.5), radius - 1.5, radius - 1.5);
}

}  // namespace

void DrawMainBackground(QPainter& p, const QSizeF& s) { Surface(p, s, 14, 58, 48); }

void DrawDialogBackground(QPainter& p, const QSizeF& s) { Surface(p, s, 12, 44, 0); }

void DrawLogo(QPainter& p, const QSizeF& s) {
  const qreal h = s.height();
  Mark(p, QRectF(1, 1, h - 2, h - 2), colour::kBrandA, colour::kBrandB);
  const QPainterPath word = TextPath(QStringLiteral("QUORIX"), MarkFont(h * 0.56, h * 0.1), QPointF(0, h / 2));
  const QRectF box = word.boundingRect();
  p.setPen(Qt::NoPen);
  p.setBrush(colour::kGlyph);
  p.drawPath(QTransform::fromTranslate(h + 9 - box.left(), 0).map(word));
}

void DrawAppIcon(QPainter& p, const QSizeF& s) {
  const QRectF r = Bounds(s).adjusted(s.width() * 0.03, s.width() * 0.03, -s.width() * 0.03, -s.width() * 0.03);
  const qreal radius = r.width() * 0.22;
  p.setPen(Qt::NoPen);
  p.setBrush(Vertical(r, QColor(0x24, 0x2D, 0x39), QColor(0x0E, 0x12, 0x17)));
  p.drawRoundedRect(r, radius, radius);
  QRadialGradient glow(r.center(), r.width() * 0.45);
  glow.setColorAt(0, Alpha(colour::kBrandA, 0.22));
  glow.setColorAt(1, Alpha(colour::kBrandA, 0));
  p.setBrush(glow);
  p.drawRoundedRect(r, radius, radius);
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(White(0.16), std::max(1.0, s.width() / 64.0)));
  p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
  const qreal m = r.width() * 0.62;
  Mark(p, QRectF(r.center().x() - m / 2, r.center().y() - m / 2, m, m), colour::kBrandA, colour::kBrandB);
}

void DrawHandCursor(QPainter& p, const QSizeF&) {
  // Drawn on a 32-pixel grid; the finger tip (13, 2) is the hot spot.
  QPainterPath hand;
  auto add = [&hand](const QRectF& r, qreal radius) {
    QPainterPath part;
    part.addRoundedRect(r, radius, radius);
    hand = hand.united(part);
  };
  add(QRectF(10.5, 2, 5, 17), 2.5);     // index finger
  add(QRectF(15.3, 10.5, 4.6, 10), 2.3);  // the folded fingers
  add(QRectF(19.7, 11.5, 4.6, 9), 2.3);
  add(QRectF(24.0, 13.5, 4.2, 7.5), 2.1);
  add(QRectF(10.5, 15, 17.7, 14.5), 5);  // palm
  QPainterPath thumb;
  thumb.addRoundedRect(QRectF(3.5, 16.5, 10, 5), 2.5, 2.5);
  hand = hand.united(QTransform().translate(10, 19).rotate(38).translate(-10, -19).map(thumb));
  p.setPen(QPen(QColor(0x10, 0x13, 0x18), 1.3));
  p.setBrush(Qt::white);
  p.drawPath(hand.simplified());
  p.setPen(QPen(QColor(0x10, 0x13, 0x18, 150), 1));
  p.drawLine(QPointF(15.4, 15.5), QPointF(15.4, 19.5));
  p.drawLine(QPointF(19.8, 15.5), QPointF(19.8, 19.5));
  p.drawLine(QPointF(24.1, 16.5), QPointF(24.1, 19.5));
}

void DrawOsdProfile(QPainter& p, const QSizeF& s, int profile) {
  const QColor accent = kProfileColours[static_cast<size_t>(profile)];
  const QRectF r = Bounds(s);
  Plate(p, r.adjusted(0.5, 0.5, -0.5, -0.5), 12, QColor(0x20, 0x27, 0x31), QColor(0x14, 0x19, 0x20), White(0.16),
        0.10);
  // Light stripes at the right end, in the profile's colour.
  p.save();
  QPainterPath clip;
  clip.addRoundedRect(r.adjusted(1, 1, -1, -1), 11, 11);
  p.setClipPath(clip);
  p.setPen(QPen(Alpha(accent, 0.12), 5));
  for (int i = 0; i < 4; ++i) {
    const qreal x = r.right() - 38 + i * 11;
    p.drawLine(QPointF(x, r.bottom() + 4), QPointF(x + 26, r.top() - 4));
  }
  p.restore();
  // The badge: a disc in the profile's colour with its number.
  const QPointF c(r.left() + r.height() / 2, r.center().y());
  const qreal radius = r.height() * 0.34;
  QRadialGradient halo(c, radius * 1.45);
  halo.setColorAt(0.6, Alpha(accent, 0.35));
  halo.setColorAt(1, Alpha(accent, 0));
  p.setPen(Qt::NoPen);
  p.setBrush(halo);
  p.drawEllipse(c, radius * 1.45, radius * 1.45);
  QRadialGradient disc(c - QPointF(radius * 0.4, radius * 0.5), radius * 1.6);
  disc.setColorAt(0, accent.lighter(135));
  disc.setColorAt(1, accent.darker(130));
  p.setBrush(disc);
  p.setPen(QPen(White(0.45), 1));
  p.drawEllipse(c, radius, radius);
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::white);
  p.drawPath(TextPath(QString::number(profile + 1), MarkFont(radius * 1.15), c));
  // Which of the five it is, without words: five pips, this one lit.
  for (int i = 0; i < 5; ++i) {
    const QRectF pip(r.height() + 2 + i * 16, r.center().y() - 3.5, 12, 7);
    p.setPen(i == profile ? Qt::NoPen : QPen(White(0.16), 1));
    p.setBrush(i == profile ? QBrush(accent) : QBrush(White(0.05)));
    p.drawRoundedRect(i == profile ? pip : pip.adjusted(0.5, 0.5, -0.5, -0.5), 3.5, 3.5);
  }
}

void DrawOsdDpiPanel(QPainter& p, const QSizeF& s) {
  const QRectF r = Bounds(s);
  Plate(p, r, 8, QColor(0x2A, 0x33, 0x3F), QColor(0x14, 0x19, 0x20), QColor(0x0A, 0x0D, 0x11), 0);
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(White(0.10), 1));
  p.drawRoundedRect(r.adjusted(1.5, 1.5, -1.5, -1.5), 6.5, 6.5);
  p.setPen(Qt::NoPen);
  // A short level meter at the foot in the brand's colours.
  const QRectF bar(r.left() + 9, r.bottom() - 8, r.width() - 18, 3);
  QLinearGradient g(bar.topLeft(), bar.topRight());
  g.setColorAt(0, colour::kBrandA);
  g.setColorAt(1, colour::kBrandB);
  p.setBrush(g);
  p.drawRoundedRect(bar, 1.5, 1.5);
}

}  // namespace quorix::art
