#include "ui/windows/dialog_painter.h"

#include <QLinearGradient>
#include <QPainterPath>

#include "ui/art/picture_ids.h"
#include "ui/skin/skin_painter.h"

namespace quorix::ui {

void PaintDialogSurface(QPainter& p, QSize size, PictureCache& pictures) {
  const QImage& surface = pictures.Get(pic::kDialogBackground);
  const QRectF all(0.5, 0.5, size.width() - 1.0, size.height() - 1.0);
  if (!surface.isNull()) {
    // Corners as drawn, edges and middle stretched: the dialogs are of
    // several heights, the picture of one.
    const qreal ratio = surface.devicePixelRatio();
    const QSizeF from = QSizeF(surface.size()) / ratio;
    // The top slice holds the whole title band, so it keeps its height.
    constexpr qreal c = 20;
    constexpr qreal top = 50;
    const qreal xs[] = {0, c, from.width() - c, from.width()};
    const qreal ys[] = {0, top, from.height() - c, from.height()};
    const qreal xd[] = {0, c, size.width() - c, static_cast<qreal>(size.width())};
    const qreal yd[] = {0, top, size.height() - c, static_cast<qreal>(size.height())};
    for (int row = 0; row < 3; ++row) {
      for (int column = 0; column < 3; ++column) {
        const QRectF target(QPointF(xd[column], yd[row]), QPointF(xd[column + 1], yd[row + 1]));
        const QRectF source(QPointF(xs[column] * ratio, ys[row] * ratio),
                            QPointF(xs[column + 1] * ratio, ys[row + 1] * ratio));
        p.drawImage(target, surface, source);
      }
    }
    return;
  }
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient shade(0, 0, 0, size.height());
  shade.setColorAt(0, QColor(0x2A, 0x2F, 0x38));
  shade.setColorAt(1, QColor(0x16, 0x19, 0x1F));
  QPainterPath path;
  path.addRoundedRect(all, 10, 10);
  p.fillPath(path, shade);
  p.setPen(QPen(QColor(0x4A, 0x52, 0x60), 1));
  p.drawPath(path);
  p.restore();
}

void PaintButtonPlates(QPainter& p, const std::vector<SkinItem>& items, const SkinInteraction& interaction,
                       PictureCache& pictures) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  for (int i = 0; i < static_cast<int>(items.size()); ++i) {
    const SkinItem& item = items[i];
    if (item.hidden) continue;
    const int id = ItemPicture(item, i, interaction);
    if (id != 0 && !pictures.Get(id).isNull()) continue;
    const bool lit = interaction.HoverIndex() == i || interaction.PressIndex() == i || item.selected;
    if (item.kind == kSkinItemRadio) {
      // A round mark left of the item, filled when chosen.
      const QRectF mark(item.rect.left() - 20, item.rect.center().y() - 7, 14, 14);
      p.setPen(QPen(lit ? QColor(0x7A, 0xB8, 0xFF) : QColor(0x7A, 0x84, 0x94), 1.5));
      p.setBrush(Qt::NoBrush);
      p.drawEllipse(mark);
      if (item.selected) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x7A, 0xB8, 0xFF));
        p.drawEllipse(mark.adjusted(3.5, 3.5, -3.5, -3.5));
      }
      continue;
    }
    p.setPen(QPen(lit ? QColor(0x7A, 0xB8, 0xFF) : QColor(0x55, 0x5E, 0x6C), 1));
    p.setBrush(lit ? QColor(0x3A, 0x44, 0x54) : QColor(0x2C, 0x32, 0x3C));
    p.drawRoundedRect(item.rect.adjusted(0.5, 0.5, -0.5, -0.5), 6, 6);
  }
  p.restore();
}

}  // namespace quorix::ui
