#pragma once
// The text entry: a name (mode 0), a number (1 and 4), a pair of coordinates
// with absolute or relative (3), a folder from a list (5), the automatic lift
// adjustment's status (7), the manual lift test (8) or a yes/no question (10). Skinned and modal; the caller sets the fields of its mode,
// runs it and reads them back when it ended with OK. The typing rules of each
// field are the session's (str_entry_rules.h); the window only forwards keys.

#include <QEventLoop>
#include <QString>
#include <QTimer>
#include <functional>
#include <vector>

#include "session/models/str_entry_rules.h"

#include "ui/skin/skin_window.h"

class QLineEdit;
class QListWidget;

namespace quorix::ui {

struct UiEnv;

struct FolderChoice {
  QString name;
  int depth = 0;  // shown as one "." per level
  int value = 0;  // what selectedValue gets
};

class CStrDlg : public SkinWindow {
  Q_OBJECT
 public:
  explicit CStrDlg(UiEnv& env, QWidget* parent = nullptr);

  // ---- set by the caller before Run(), read after it ended with OK ----
  int mode = 0;
  QString prompt;
  QString text;           // the entry text
  long long limit = 0xFFFF;  // number modes: the largest value typed
  int x = 0, y = 0;       // mode 3
  int check = 0;          // mode 3: 1 when "Absolute" is chosen
  std::vector<FolderChoice> folders;  // mode 5
  int selectedValue = -1;             // mode 5: the chosen folder's value
  long long number = 0;               // the entry text read as a number
  // Modes 7 and 8: the wrapped instruction under the prompt and the status
  // line under it (the adjustment's state, or why the test cannot nudge).
  QString instruction;
  QString status;
  // Mode 7: the caption of a third button that ends the dialog as cancelled
  // with manualChosen set (empty: no such button).
  QString manualCaption;
  bool manualChosen = false;
  // Mode 8: "Test" runs onTest with the entered value and counts down.
  QString testCaption;
  std::function<void(long long entered)> onTest;

  // Shows the entry and waits; true when it ended with OK.
  bool Run();
  // Lays the window out for its mode (Run does it; screenshots show it so).
  void Layout();
  // Ends it as cancelled (the device went, the program closes).
  void Cancel() { Finish(false); }
  // Ends it with OK, as the OK button does.
  void Accept() { Finish(true); }
  // Between Run() and the end of its answer (the window may still show).
  bool Running() const { return !done_; }

  // The captions of the two buttons as shown (tests, screenshots).
  QString OkCaption() const;
  QString CancelCaption() const;
  // The test button's caption as shown: "Test (n)" while counting down.
  QString TestButtonCaption() const;
  // A new status line (modes 7 and 8), repainted at once.
  void SetStatus(const QString& line);
  // Mode 8: presses "Test" (the button's own action; tests).
  void Test();
  // Takes the countdown's due ticks; the single-shot timer calls it.
  void RunDueTimers();
  bool TimerArmed() const { return timer_.isActive(); }

 protected:
  void PaintSkin(QPainter& painter) override;
  void OnItemActivated(int index) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  bool Dismiss() override;
  int DefaultItem() const override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  enum ItemCode { kOk = 0, kCancel = 1, kTest = 3, kRelative = 10, kAbsolute = 11, kPick = 12, kManual = 13 };

  void Finish(bool ok);
  void TakePosition(QPoint global);
  int IndexOf(int code) const;
  bool LiftMode() const { return mode == kStrModeLiftAuto || mode == kStrModeLiftTest; }
  void ArmTimer();

  UiEnv& env_;
  QLineEdit* entry_;
  QLineEdit* xField_;
  QLineEdit* yField_;
  QListWidget* list_;
  QEventLoop loop_;
  bool done_ = true;
  bool ok_ = false;
  bool picking_ = false;
  LiftTestCountdown countdown_;
  QTimer timer_;
};

}  // namespace quorix::ui
