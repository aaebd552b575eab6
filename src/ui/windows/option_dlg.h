#pragma once
// The question box: a title, a message and up to three buttons, skinned and
// modal. It ends with the number (1..3) of the button used, or without one
// (Escape, the window closed, the device gone, the program closing).

#include <QEventLoop>
#include <QString>
#include <QStringList>

#include "ui/skin/skin_window.h"

namespace quorix::ui {

struct UiEnv;

class OptionDlg : public SkinWindow {
  Q_OBJECT
 public:
  // `captions`: one to three button captions, left to right.
  OptionDlg(UiEnv& env, QWidget* parent, QString title, QString message, QStringList captions);

  // Shows the box and waits. The button's number when one was used, else 0.
  int Run();
  // -1 before the box ended; then the button's number, or 0.
  int Result() const { return result_; }
  // Ends the box without a button, as the window's Close does.
  void Cancel() { Finish(0); }

 protected:
  void PaintSkin(QPainter& painter) override;
  void OnItemActivated(int index) override;
  bool Dismiss() override;

 private:
  void Finish(int result);

  UiEnv& env_;
  QString title_;
  QString message_;
  int result_ = -1;
  QEventLoop loop_;
};

// The box with the texts' "OK" and "Cancel" (and `third` when buttons is 3).
// The result as Run() gives it.
int RunOptionDlg(UiEnv& env, QWidget* parent, const QString& title, const QString& message, int buttons = 2,
                 const QString& third = {});

}  // namespace quorix::ui
