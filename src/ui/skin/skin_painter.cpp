#include "ui/skin/skin_painter.h"

#include <QFontMetricsF>

namespace quorix::ui {
namespace {

QSizeF LogicalSize(const QImage& picture) { return QSizeF(picture.size()) / picture.devicePixelRatio(); }

// The gap between a radio item's picture and its label.
constexpr qreal kRadioLabelGap = 6.0;

}  // namespace

int ItemPicture(const SkinItem& item, int index, const SkinInteraction& interaction) {
  if (item.hidden) return 0;
  if (item.disabled) return item.selected ? item.imagePressed : item.imageNormal;
  if (item.selected || interaction.PressIndex() == index) return item.imagePressed;
  if (interaction.HoverIndex() == index) return item.imageHover;
  return item.imageNormal;
}

void DrawItems(QPainter& painter, const std::vector<SkinItem>& items, const SkinInteraction& interaction,
               PictureCache& pictures, const QFont& font) {
  painter.save();
  painter.setRenderHint(QPainter::TextAntialiasing);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.setFont(font);
  for (int i = 0; i < static_cast<int>(items.size()); ++i) {
    const SkinItem& item = items[i];
    if (item.hidden) continue;
    const QImage& picture = pictures.Get(ItemPicture(item, i, interaction));
    const QSizeF size = picture.isNull() ? QSizeF(0, 0) : LogicalSize(picture);
    const bool radio = item.kind == kSkinItemRadio;
    // Buttons centre their picture on the rectangle; radio items put it at
    // the left, centred vertically, with the label after it.
    const QPointF at = radio ? QPointF(item.rect.left(), item.rect.center().y() - size.height() / 2)
                             : item.rect.center() - QPointF(size.width() / 2, size.height() / 2);
    painter.setOpacity(item.disabled ? 0.45 : 1.0);
    if (!picture.isNull()) painter.drawImage(at, picture);
    painter.setOpacity(1.0);
    if (!item.label.isEmpty()) {
      const bool lit = interaction.HoverIndex() == i || interaction.PressIndex() == i || item.selected;
      painter.setPen(item.disabled ? skin_colour::kTextDisabled : lit ? skin_colour::kTextHover : skin_colour::kText);
      if (radio) {
        const qreal left = at.x() + size.width() + kRadioLabelGap;
        // Labels run to the right as far as they need; no clipping.
        const QRectF text(left, item.rect.top(), 4096, item.rect.height());
        painter.drawText(text, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, item.label);
      } else {
        painter.drawText(item.rect, Qt::AlignCenter | Qt::TextSingleLine, item.label);
      }
    }
    if (interaction.FocusIndex() == i) {
      QRectF ring = item.rect.adjusted(-2, -2, 2, 2);
      if (radio && !item.label.isEmpty()) {
        const qreal labelWidth = QFontMetricsF(font).horizontalAdvance(item.label);
        ring.setRight(std::max(ring.right(), item.rect.left() + size.width() + kRadioLabelGap + labelWidth + 2));
      }
      painter.setPen(QPen(skin_colour::kFocusRing, 1.0, Qt::DotLine));
      painter.setBrush(Qt::NoBrush);
      painter.drawRoundedRect(ring, 3, 3);
    }
  }
  painter.restore();
}

}  // namespace quorix::ui
