#pragma once
// Draws the macro list: a dark surface, the rows (name, kind, size, the
// selection and the pointer's row), the scroll bar and the buttons.

#include <QPainter>
#include <QRectF>
#include <vector>

#include "session/models/macro_list_model.h"
#include "ui/skin/picture.h"
#include "ui/skin/skin_item.h"

namespace quorix::ui {

class SkinFonts;

struct MacroListView {
  QSizeF size;
  QRectF list;   // where the rows are shown
  QRectF thumb;  // the scroll thumb (empty when everything fits)
  QRectF track;
  const std::vector<MacroListItem>* rows = nullptr;
  int offset = 0;
  int selected = -1;
  int hover = -1;
  QString title;
  QString sizeFormat = QStringLiteral("%d bytes");  // a row's size, "%d" for the number
};

class MacroListPainter {
 public:
  MacroListPainter(PictureCache& pictures, const SkinFonts& fonts) : pictures_(pictures), fonts_(fonts) {}
  void Paint(QPainter& painter, const MacroListView& view, const std::vector<SkinItem>& items,
             const SkinInteraction& interaction);

 private:
  PictureCache& pictures_;
  const SkinFonts& fonts_;
};

// Shared by the macro windows: the dark surface with its title band, and the
// buttons' plates (the labels are drawn by DrawItems). What a window shows
// starts below the band.
inline constexpr int kMacroTitleBand = 40;
void PaintMacroSurface(QPainter& painter, QSizeF size, const QString& title, const QFont& font);
void PaintButtonPlates(QPainter& painter, const std::vector<SkinItem>& items, const SkinInteraction& interaction);

}  // namespace quorix::ui
