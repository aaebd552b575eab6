#pragma once
// What the question box, the text entry and the virtual mouse share: their
// surface (the dialog picture, or a plain rounded panel in the skin's
// colours while a build has no pictures), and the plates under buttons and
// the marks left of radio items that have no picture of their own.

#include <QPainter>
#include <QSize>
#include <QString>
#include <vector>

#include "ui/skin/picture.h"
#include "ui/skin/skin_item.h"

namespace quorix::ui {

inline const QColor kDialogTitle{0xFF, 0xFF, 0xFF};
inline const QColor kDialogText{0xE4, 0xE9, 0xF0};

void PaintDialogSurface(QPainter& painter, QSize size, PictureCache& pictures);
void PaintButtonPlates(QPainter& painter, const std::vector<SkinItem>& items, const SkinInteraction& interaction,
                       PictureCache& pictures);

}  // namespace quorix::ui
