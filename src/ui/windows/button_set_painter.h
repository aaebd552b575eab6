#pragma once
// Where the button settings window's parts lie on its 965 x 642 surface, and
// how they are drawn: the offered functions in their sections, the macro
// controls, the on-screen keyboard (at the positions keyboard.ini gives), the
// text of the function being chosen, and OK and Cancel.

#include <QPainter>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "session/models/button_settings_model.h"
#include "ui/skin/picture.h"
#include "ui/skin/skin_fonts.h"
#include "ui/skin/skin_item.h"

namespace quorix::ui {

inline constexpr int kButtonSetWidth = 965;
inline constexpr int kButtonSetHeight = 642;

// What each item of the window stands for: role in the high bits, index low.
enum class ButtonSetRole : int {
  kClose = 1,
  kChoice,
  kKey,
  kMacroMode,  // index 0..2: once, loop, while held
  kSelectMacro,
  kImportMacro,
  kRecord,
  kRecordIntervals,
  kOk,
  kCancel,
};
constexpr int ButtonSetCode(ButtonSetRole role, int index = 0) { return static_cast<int>(role) << 12 | index; }
constexpr ButtonSetRole ButtonSetRoleOf(int code) { return static_cast<ButtonSetRole>(code >> 12); }
constexpr int ButtonSetIndexOf(int code) { return code & 0xFFF; }

namespace button_layout {
QRectF Close();
// The offered function `choice` (0..36) and the caption of its row.
QRectF Choice(int choice);
QRectF RowCaption(int row);
int RowOf(int choice);
inline constexpr int kRows = 7;
QRectF MacroMode(int mode);  // 0..2
QRectF SelectMacro();
QRectF ImportMacro();
QRectF Record();
QRectF RecordIntervals();
QRectF MacroLine();     // the chosen macro's name, the recording indicator
QRectF KeyboardPanel();
QRectF FunctionText();  // the function being chosen
QRectF Ok();
QRectF Cancel();
// Where a key's legend goes inside the key.
QRectF KeyLegendBox(const QRectF& key);
}  // namespace button_layout

// How a key's legend is set on its key: in the first font of its ladder in
// which it fits, on the lines its line breaks give (or, when one line is too
// wide, broken at a space or after a slash), and squeezed sideways when even
// the smallest font is too wide, so that no legend is ever cut off.
struct KeyLegend {
  QFont font;
  QStringList lines;
  qreal squeeze = 1;  // horizontal scale; 1: none
};
KeyLegend FitKeyLegend(const QString& legend, const QRectF& box, const SkinFonts& fonts, bool smallFont);

struct ButtonSetScene {
  const ButtonSettingsModel& model;
  const std::vector<SkinItem>& items;
  const SkinInteraction& interaction;
  const SkinFonts& fonts;
  QString title;                         // "Button settings" and the button's name
  std::vector<QString> rowCaptions;      // button_layout::kRows
  QString macroLine;                     // the macro chosen, or what the recording does
  bool recordingIndicator = false;       // input is being read
  QString status;                        // a short note ("Lack of space !!")
  std::optional<double> busy;
};

class ButtonSetPainter {
 public:
  explicit ButtonSetPainter(PictureCache& pictures) : pictures_(pictures) {}
  void Paint(QPainter& painter, const ButtonSetScene& scene);

 private:
  void PaintSurface(QPainter& painter, const ButtonSetScene& scene);
  void PaintItem(QPainter& painter, const ButtonSetScene& scene, int index);
  PictureCache& pictures_;
};

}  // namespace quorix::ui
