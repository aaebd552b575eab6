#pragma once
// The text entry: a name, a number, a pair of coordinates (relative or
// absolute), a folder from a list, a yes/no question, the automatic lift
// adjustment's status or the manual lift test. Skinned and modal; each kind
// has its own entry point that shows the one painted dialog, waits and
// returns what was entered (nothing when cancelled). The typing rules of each
// field are the session's (str_entry_rules.h); the window only forwards keys.
// Lives on the GUI thread; a device going or the program closing ends it as
// cancelled.

#include <QEventLoop>
#include <QString>
#include <QTimer>
#include <functional>
#include <optional>
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
  int value = 0;  // what AskFolder returns for it
};

// The coordinates entry's values.
struct PointEntry {
  int x = 0;
  int y = 0;
  bool absolute = false;  // else relative to where the pointer is
};

// How the automatic lift adjustment's dialog ended.
enum class LiftAutoEnd { kConfirmed, kCancelled, kManual };

class CStrDlg : public SkinWindow {
  Q_OBJECT
 public:
  enum class Kind { kName, kNumber, kPoint, kFolder, kYesNo, kLiftAuto, kLiftTest };

  // What one showing of the dialog holds. The entry points fill it; the
  // screenshot tour lays one out to show without waiting (LayOut).
  struct Look {
    Kind kind = Kind::kName;
    QString prompt{};
    QString text{};                       // the entry field's text at the start
    long long limit = 0xFFFF;             // kNumber, kLiftTest: the largest value typed
    PointEntry point{};                   // kPoint
    std::vector<FolderChoice> folders{};  // kFolder
    // The lift kinds: the wrapped instruction under the prompt and the status
    // line under it (the adjustment's state, or why the test cannot nudge).
    QString instruction{};
    QString status{};
    QString manualCaption{};  // kLiftAuto: a third button ending it as kManual ("" none)
    QString testCaption{};    // kLiftTest: the button that runs the test
  };

  explicit CStrDlg(UiEnv& env, QWidget* parent = nullptr);

  // ---- the entry points: each shows the dialog and waits ----
  // The name typed, from `proposed`.
  std::optional<QString> AskName(const QString& prompt, const QString& proposed);
  // The number typed (0..limit), from `value`.
  std::optional<long long> AskNumber(const QString& prompt, long long value, long long limit = 0xFFFF);
  std::optional<PointEntry> AskPoint(const QString& prompt, const PointEntry& start);
  // The chosen folder's value; a single folder is chosen without a list.
  std::optional<int> AskFolder(const QString& prompt, std::vector<FolderChoice> folders);
  // True for "Yes".
  bool AskYesNo(const QString& prompt);
  // The automatic lift adjustment: the prompt, instruction, status and
  // manual caption of `look` (its kind is set here). SetStatus updates it.
  LiftAutoEnd RunLiftAuto(Look look);
  // The manual lift test from `stored`: "Test" calls onTest with the value
  // entered and counts down; the value confirmed with OK, or nothing.
  std::optional<long long> RunLiftTest(Look look, long long stored, std::function<void(long long entered)> onTest);

  // Lays `look` out without showing or waiting (screenshots show it then).
  void LayOut(Look look);
  // The kind shown last.
  Kind Shown() const { return look_.kind; }
  // Ends it as cancelled (the device went, the program closes).
  void Cancel() { Finish(false); }
  // Ends it with OK, as the OK button does.
  void Accept() { Finish(true); }
  // While an entry point waits for its answer (the window may still show).
  bool Running() const { return !done_; }

  // The captions of the two buttons as shown (tests, screenshots).
  QString OkCaption() const;
  QString CancelCaption() const;
  // The test button's caption as shown: "Test (n)" while counting down.
  QString TestButtonCaption() const;
  // The lift kinds' status line as shown.
  const QString& Status() const { return look_.status; }
  // A new status line (the lift kinds), repainted at once.
  void SetStatus(const QString& line);
  // kLiftTest: presses "Test" (the button's own action; tests).
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

  // What the fields held when it ended with OK.
  struct Entered {
    QString text;
    PointEntry point;
    std::optional<int> folder;
  };

  // Shows `look` and waits; the fields' values when it ended with OK.
  std::optional<Entered> Run(Look look);
  void Layout();
  int StatusHeight() const;  // of a lift dialog's status, two lines at least
  void Finish(bool ok);
  void TakePosition(QPoint global);
  int IndexOf(int code) const;
  bool LiftKind() const { return look_.kind == Kind::kLiftAuto || look_.kind == Kind::kLiftTest; }
  bool NumberKind() const { return look_.kind == Kind::kNumber || look_.kind == Kind::kLiftTest; }
  void ArmTimer();

  UiEnv& env_;
  QLineEdit* entry_;
  QLineEdit* xField_;
  QLineEdit* yField_;
  QListWidget* list_;
  QEventLoop loop_;
  Look look_;
  std::optional<Entered> entered_;
  bool manualChosen_ = false;
  std::function<void(long long entered)> onTest_;
  bool done_ = true;
  bool picking_ = false;
  LiftTestCountdown countdown_;
  QTimer timer_;
};

}  // namespace quorix::ui
