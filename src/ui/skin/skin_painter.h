#pragma once
// Draws a window's skin items in their current look: hidden items are
// skipped; a pressed or selected item shows imagePressed, a hovered one
// imageHover, the rest imageNormal; disabled items are dimmed. Buttons carry
// their label centred on the picture, radio items beside it. The item with
// the keyboard focus gets a thin ring.

#include <vector>

#include <QColor>
#include <QFont>
#include <QPainter>

#include "ui/skin/picture.h"
#include "ui/skin/skin_item.h"

namespace quorix::ui {

// The colours the skin draws text and focus marks in, matching the artwork.
namespace skin_colour {
inline const QColor kText{0xE4, 0xE9, 0xF0};
inline const QColor kTextHover{0xFF, 0xFF, 0xFF};
inline const QColor kTextDisabled{0x6A, 0x73, 0x80};
inline const QColor kFocusRing{0xFF, 0xFF, 0xFF, 0xB0};
}  // namespace skin_colour

// The picture an item shows now (0 for hidden items).
int ItemPicture(const SkinItem& item, int index, const SkinInteraction& interaction);

void DrawItems(QPainter& painter, const std::vector<SkinItem>& items, const SkinInteraction& interaction,
               PictureCache& pictures, const QFont& font);

}  // namespace quorix::ui
