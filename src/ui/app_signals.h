#pragma once
// What the shell tells every open window. A window that edits device data
// connects to deviceGone() and closes as if cancelled; closing() is sent once
// when the program ends.

#include <QObject>

namespace quorix::ui {

class AppSignals : public QObject {
  Q_OBJECT
 public:
  using QObject::QObject;

 signals:
  // The current device went away (unplugged, or the program is closing).
  void deviceGone();
  // A load of the current device finished: lists built from the device's
  // macro slots are rebuilt.
  void reloaded();
  // The program is ending: every window closes without asking.
  void closing();
  // The mouse switched its active profile itself (its own button): a window
  // editing one profile's settings closes as if cancelled, so that nothing it
  // holds is written to a profile the user no longer sees.
  void activeProfileChanged();
  // The macro editor's hotkey choice: the main window stores it in set.ini as
  // both the recording hotkey and the key that names it.
  void recordHotkeyChosen(int usage);
};

}  // namespace quorix::ui
