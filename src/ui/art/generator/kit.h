#pragma once
// The artwork's palette and the few drawing moves every picture is made of.
// The look: a near-black blue-grey surface, flat with gentle vertical
// gradients, rounded corners and thin light borders. Parts that carry the
// accent are drawn white or light grey, so that a window can tint them to
// the profile's colour (TintPicture with the colour's channels as factors).

#include <QColor>
#include <QPainter>
#include <QPainterPath>
#include <QRectF>

namespace quorix::art {

namespace colour {
inline const QColor kSurfaceDeep{0x0C, 0x0F, 0x14};  // wells, tracks, fields
inline const QColor kSurfaceLow{0x11, 0x15, 0x1B};   // the window's lower part
inline const QColor kSurface{0x16, 0x1B, 0x22};      // the window's body
inline const QColor kSurfaceHigh{0x1D, 0x24, 0x2D};  // bands and plates
inline const QColor kRaised{0x28, 0x31, 0x3C};       // buttons
inline const QColor kRaisedTop{0x31, 0x3B, 0x48};
inline const QColor kHover{0x36, 0x42, 0x51};
inline const QColor kHoverTop{0x42, 0x50, 0x61};
inline const QColor kMuted{0x8A, 0x95, 0xA5};  // glyphs at rest
inline const QColor kGlyph{0xD8, 0xDF, 0xE8};  // glyphs lit
inline const QColor kAccent{0xF4, 0xF7, 0xFA};  // tintable accent
inline const QColor kBrandA{0x3B, 0xD6, 0xC6};  // the product mark
inline const QColor kBrandB{0x4C, 0x7D, 0xF0};
inline const QColor kDanger{0xE5, 0x48, 0x4D};
}  // namespace colour

// A colour with alpha given as a fraction.
QColor Alpha(const QColor& colour, qreal alpha);
inline QColor White(qreal alpha) { return Alpha(Qt::white, alpha); }
inline QColor Black(qreal alpha) { return Alpha(Qt::black, alpha); }

QLinearGradient Vertical(const QRectF& rect, const QColor& top, const QColor& bottom);

// A rounded plate: vertical gradient, a hairline border inside its edge and
// a faint highlight along the top.
void Plate(QPainter& p, const QRectF& rect, qreal radius, const QColor& top, const QColor& bottom,
           const QColor& border, qreal highlight = 0.06);

// A sunken well: dark fill, darker top edge, light bottom edge.
void Well(QPainter& p, const QRectF& rect, qreal radius, qreal borderAlpha = 0.10);

// A soft glow along a path: several strokes, wide and faint to narrow and
// strong.
void Glow(QPainter& p, const QPainterPath& path, const QColor& colour, qreal width, qreal strength = 1.0);

// A soft round shadow under a rectangle.
void Shadow(QPainter& p, const QRectF& rect, qreal radius, qreal spread, qreal alpha);

// The product mark: a hexagonal ring with a notch and a core, inside
// `rect` (square).
void Mark(QPainter& p, const QRectF& rect, const QColor& a, const QColor& b);

}  // namespace quorix::art
