#pragma once
// The lift adjustment's two dialogs on the text-entry window: the automatic
// adjustment (mode 7), whose status follows the mouse's state reports, and
// the manual test (mode 8), which applies a typed value for five seconds and
// gives the old one back unless OK confirms it in time. The
// device work runs on the session's executor; the dialogs only show it.

#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>

namespace quorix {
class InputInjector;
class LiftAdjustment;
struct VendorReport;
}  // namespace quorix

namespace quorix::ui {

struct UiEnv;
class CStrDlg;

// The pointer nudge of the manual test (without it the dialog says so).
inline constexpr int kLiftNudgePixels = -120;

class LiftDialogs : public QObject {
  Q_OBJECT
 public:
  LiftDialogs(UiEnv& env, QWidget* owner);
  ~LiftDialogs() override;

  // Where the manual test's nudge goes; nullptr: the test runs without it
  // and the dialog says so.
  void SetInjector(InputInjector* injector) { injector_ = injector; }
  // Failures (no device, no lift adjustment on this mouse) are said here.
  void SetSay(std::function<void(const QString&)> say) { say_ = std::move(say); }

  // The automatic adjustment; its dialog offers the manual test as a third
  // button, which cancels the run (restoring the old value) first.
  void RunAuto();
  // The manual test, starting from the value stored in the mouse.
  void RunManual();
  // A checked state report of the current device; only a running automatic
  // adjustment looks at it.
  void OnStateReport(const VendorReport& report);
  bool Running() const { return running_; }
  CStrDlg& Dialog() { return *dialog_; }

 signals:
  // A run and its device work ended (tests wait for it).
  void finished();

 private:
  struct Answer;
  bool AskAuto();
  void ShowManual(int stored);
  void End();

  UiEnv& env_;
  QPointer<QWidget> owner_;
  CStrDlg* dialog_;
  std::shared_ptr<LiftAdjustment> adjustment_;
  std::shared_ptr<Answer> pending_;  // the worker waits on it while the dialog is open
  InputInjector* injector_ = nullptr;
  std::function<void(const QString&)> say_;
  bool running_ = false;
  bool manualNext_ = false;  // the automatic run ended with the manual button
};

}  // namespace quorix::ui
