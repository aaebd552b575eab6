#pragma once
// Draws the macro editor: the instruction rows with their numbers, the "new"
// marks and the + and - controls of wait rows, the macro list, the size and
// free-memory lines, the recording indicator, the status line and the
// progress bar of a device operation.

#include <QPainter>
#include <QRectF>
#include <QStringList>
#include <optional>
#include <vector>

#include "session/models/macro_list_model.h"
#include "ui/skin/picture.h"
#include "ui/skin/skin_item.h"

namespace quorix::ui {

class SkinFonts;

struct MacroEditView {
  QSizeF size;
  QString title;
  QRectF instructions;
  int instructionRowHeight = 24;
  int instructionOffset = 0;
  QStringList instructionTexts;
  std::vector<bool> newMarks;
  std::vector<bool> waitRows;
  int current = -1;
  int dropTarget = -1;
  QString endText;
  QRectF list;
  int listRowHeight = 36;
  int listOffset = 0;
  const std::vector<MacroListItem>* rows = nullptr;
  int selectedRow = -1;
  QString sizeText;
  QString sizeFormat;  // a list row's size, "%d" for the number
  QString newMark;
  QString freeText;
  QString hotkeyTip;  // the tip with the recording hotkey's name
  QRectF hotkeyTipRect;
  QString optionCaption;
  QRectF optionCaptionRect;
  bool recording = false;
  bool armed = false;  // waiting for the hotkey: a ring, not the filled dot
  QString recordingText;
  QRectF indicator;
  QString status;
  int statusAlpha = 255;
  std::optional<double> progress;
};

class MacroEditPainter {
 public:
  MacroEditPainter(PictureCache& pictures, const SkinFonts& fonts) : pictures_(pictures), fonts_(fonts) {}
  void Paint(QPainter& painter, const MacroEditView& view, const std::vector<SkinItem>& items,
             const SkinInteraction& interaction);

  // The + and - controls of a wait row at `row` (window pixels).
  static QRectF MinusRect(const QRectF& row) { return QRectF(row.right() - 52, row.top() + 3, 22, row.height() - 6); }
  static QRectF PlusRect(const QRectF& row) { return QRectF(row.right() - 26, row.top() + 3, 22, row.height() - 6); }

 private:
  PictureCache& pictures_;
  const SkinFonts& fonts_;
};

}  // namespace quorix::ui
