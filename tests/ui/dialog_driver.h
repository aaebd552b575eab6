#pragma once
// Drives the next modal skin dialog (the question box, the text entry, or the
// macro list picking a macro) as the user does: once it is shown and waiting,
// a press on a button named by what it says, the Escape key, the window's
// close, or keys typed to the focused widget. Nothing calls a dialog's own
// result setter.
//
// Actions armed together take the dialogs in turn, first armed first:
//
//   auto overwrite = PressWhenShown("OK");           // "Overwrite macro ...?"
//   auto name = TypeWhenShown("Jump", {Qt::Key_Return});  // then the name
//   ... the step that asks ...
//   EXPECT_TRUE(overwrite->Fired());
//
// An action whose handle is dropped before its dialog came is disarmed.

#include <QString>
#include <QWidget>
#include <memory>
#include <vector>

namespace quorix::test {

enum class Leave { kEscape, kCloseButton };

class DialogAction {
 public:
  virtual ~DialogAction() = default;
  // Whether it found its dialog and did what it was armed for, ending it.
  // False when the named button was not there, or when the dialog was still
  // waiting afterwards (the driver then closes it, so no test hangs).
  bool Fired() const { return fired_; }
  // What the dialog said, as a screen reader reads it: its title, a line
  // break and its message (the question, or the text entry's prompt).
  QString Said() const { return said_; }

 protected:
  bool fired_ = false;
  QString said_;
};

// Presses the item of skin window `window` whose accessible name is `name`,
// with the mouse on its place. False when no shown item has that name.
bool PressItem(QWidget& window, const QString& name);

// When the next modal skin dialog is shown, press its item whose accessible
// name is `name` (e.g. "OK", "Cancel", "Yes", "No"), the way a click on it
// would. Returns a handle whose Fired() says whether it ran.
[[nodiscard]] std::shared_ptr<DialogAction> PressWhenShown(const QString& name);
// ... leave it by the Escape key, or by its window's close (QCloseEvent / the
// skin's close button).
[[nodiscard]] std::shared_ptr<DialogAction> LeaveWhenShown(Leave how);
// ... type `text` into its focused field, then send `keys` (Qt::Key_Return,
// Key_Escape, Key_Tab, Key_Space...) as key events to the focused widget.
[[nodiscard]] std::shared_ptr<DialogAction> TypeWhenShown(const QString& text, std::vector<int> keys);

}  // namespace quorix::test
