#include "ui/windows/lift_dialog.h"

#include <QMetaObject>
#include <condition_variable>
#include <mutex>
#include <optional>

#include "platform/input_injector.h"
#include "session/failure_text.h"
#include "session/models/str_entry_rules.h"
#include "session/session.h"
#include "ui/gui_thread.h"
#include "ui/ui_env.h"
#include "ui/windows/str_dlg.h"

namespace quorix::ui {

// The user's answer to the automatic adjustment, handed from the GUI thread
// to the worker that waits for it. Set once; a destroyed dialog owner answers
// "cancel" so the worker never waits for a window that is gone.
struct LiftDialogs::Answer {
  void Set(bool confirmed) {
    {
      std::lock_guard<std::mutex> lock(mutex);
      if (value) return;
      value = confirmed;
    }
    ready.notify_all();
  }
  bool Wait() {
    std::unique_lock<std::mutex> lock(mutex);
    ready.wait(lock, [this] { return value.has_value(); });
    return *value;
  }
  std::mutex mutex;
  std::condition_variable ready;
  std::optional<bool> value;
};

LiftDialogs::LiftDialogs(UiEnv& env, QWidget* owner)
    : QObject(owner),
      env_(env),
      owner_(owner),
      dialog_(new CStrDlg(env, owner)),
      adjustment_(std::make_shared<LiftAdjustment>(env.texts)) {}

LiftDialogs::~LiftDialogs() {
  if (pending_) pending_->Set(false);
}

namespace {
QString LiftText(const UiEnv& env, LiftWord word) { return QString::fromStdString(env.texts[word]); }
// Without XTest or a writable /dev/uinput (the package opens it to nobody):
// the user moves the mouse, and learns what would let the program do it.
QString NoNudgeText(const UiEnv& env) {
  return QString::fromStdString(env.texts[Desktop::kNoNudge] + "\n" + env.texts[Desktop::kNudgeNeedsUinput]);
}
}  // namespace

void LiftDialogs::RunAuto() {
  if (running_) return;
  running_ = true;
  manualNext_ = false;
  auto answer = std::make_shared<Answer>();
  pending_ = answer;
  const QPointer<LiftDialogs> self(this);
  // The run holds the executor while the dialog is open: nothing else may
  // talk to the mouse between the measurement's start and its end. State
  // reports come through the event pump, which does not need the executor.
  env_.session
      .OnDevice("lift adjustment",
                [self, answer, adjustment = adjustment_](JobContext&, DeviceLink& link, const std::string& path) {
                  return RunLiftAdjustment(link, path, *adjustment,
                                           [self, answer](LiftAdjustment&) {
                                             const bool posted = QMetaObject::invokeMethod(
                                                 self.data(),
                                                 [self, answer] { answer->Set(self ? self->AskAuto() : false); },
                                                 Qt::QueuedConnection);
                                             if (!posted) answer->Set(false);
                                             return answer->Wait();
                                           })
                      .outcome;
                })
      .Then(OnGuiThread(this, [this](const Outcome& outcome) {
        const bool manual = manualNext_ && outcome;
        if (!outcome && say_)
          say_(QString::fromStdString(FailureText(env_.texts, outcome.failure, FailedWhile::kWriting)));
        End();
        if (manual) RunManual();
      }));
}

bool LiftDialogs::AskAuto() {
  // The mouse measures from the start; its first state report may take a
  // while, and an empty line would look like nothing happens.
  const std::string status = adjustment_->StatusText();
  const LiftAutoEnd end = dialog_->RunLiftAuto(
      {.prompt = QString::fromStdString(adjustment_->Title()),
       .instruction = QString::fromStdString(adjustment_->Instruction()),
       .status = QString::fromStdString(status.empty() ? env_.texts[LiftWord::kInProgress] : status),
       .manualCaption = LiftText(env_, LiftWord::kManual)});
  manualNext_ = end == LiftAutoEnd::kManual;
  return end == LiftAutoEnd::kConfirmed;
}

void LiftDialogs::OnStateReport(const VendorReport& report) {
  if (report.kind != VendorReportKind::kState || !adjustment_->Adjusting()) return;
  if (adjustment_->OnLiftState(report.flags) && dialog_->Shown() == CStrDlg::Kind::kLiftAuto)
    dialog_->SetStatus(QString::fromStdString(adjustment_->StatusText()));
}

void LiftDialogs::RunManual() {
  if (running_) return;
  running_ = true;
  env_.session.ReadStoredLift().Then(OnGuiThread(this, [this](const LiftValueResult& stored) {
    if (!stored.outcome) {
      if (say_) say_(QString::fromStdString(FailureText(env_.texts, stored.outcome.failure, FailedWhile::kReading)));
      End();
      return;
    }
    ShowManual(stored.value);
  }));
}

void LiftDialogs::ShowManual(int stored) {
  const CStrDlg::Look look{.prompt = LiftText(env_, LiftWord::kManualTitle),
                           .limit = 0xFFFF,
                           .instruction = LiftText(env_, LiftWord::kManualHint),
                           .status = injector_ != nullptr ? QString() : NoNudgeText(env_),
                           .testCaption = LiftText(env_, LiftWord::kTest)};
  bool tested = false;
  const auto confirmed = dialog_->RunLiftTest(look, stored, [this, &tested](long long entered) {
    tested = true;
    env_.session.TestLift(static_cast<int>(entered)).Then(OnGuiThread(this, [this](const LiftValueResult& applied) {
      if (!applied.outcome) {
        dialog_->SetStatus(
            QString::fromStdString(FailureText(env_.texts, applied.outcome.failure, FailedWhile::kWriting)));
        return;
      }
      // The sensor reports motion at once, so the new height shows without
      // the user moving first.
      if (injector_ != nullptr) injector_->MovePointerBy(kLiftNudgePixels, 0);
    }));
  });
  const auto done = OnGuiThread(this, [this](const Outcome& outcome) {
    if (!outcome && say_) say_(QString::fromStdString(FailureText(env_.texts, outcome.failure, FailedWhile::kWriting)));
    End();
  });
  if (confirmed) {
    const int entered = static_cast<int>(*confirmed);
    env_.session.StoreTestedLift(entered).Then(done);
  } else if (tested) {
    env_.session.StoreLift(stored).Then(done);  // the value before the test comes back
  } else {
    End();
  }
}

void LiftDialogs::End() {
  running_ = false;
  pending_.reset();
  emit finished();
}

}  // namespace quorix::ui
