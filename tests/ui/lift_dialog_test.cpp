// The lift adjustment's dialogs on a simulated mouse: the automatic run's
// status follows the mouse's state reports and its answer stores or restores;
// the manual test applies the typed value, counts down and nudges the pointer.
#include "ui/windows/lift_dialog.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLineEdit>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <memory>

#include "platform/input_injector.h"
#include "session/device_event_pump.h"
#include "session/session.h"
#include "sim/sim_hid_host.h"
#include "support/fake_clock.h"
#include "support/sim_session.h"
#include "ui/app_signals.h"
#include "ui/skin/skin_fonts.h"
#include "ui/ui_env.h"
#include "ui/windows/str_dlg.h"

#include "accessible_item.h"
#include "process_events.h"

namespace quorix::ui {
namespace {

using Bytes = std::vector<uint8_t>;

using quorix::test::PressAccessible;
using quorix::test::ProcessEventsUntil;

// Runs `steps` from inside the dialog's own event loop once it is shown.
void WhenShown(CStrDlg& dialog, std::function<void()> steps) {
  auto* poll = new QTimer(&dialog);
  poll->setInterval(2);
  QObject::connect(poll, &QTimer::timeout, &dialog, [poll, &dialog, steps = std::move(steps)] {
    if (!dialog.isVisible()) return;
    poll->stop();
    poll->deleteLater();
    steps();
  });
  poll->start();
}

struct RecordingInjector final : InputInjector {
  void ScrollHorizontal(int) override {}
  void MovePointerBy(int dx, int dy) override { moves.emplace_back(dx, dy); }
  std::vector<std::pair<int, int>> moves;
};

struct LiftWorld : test::SimSession {
  explicit LiftWorld(sim::SimOptions options = {}) : SimSession(options) {
    env = std::make_unique<UiEnv>(UiEnv{*session, session->Texts(), fonts, broadcasts});
    owner = std::make_unique<QWidget>();
    lift = new LiftDialogs(*env, owner.get());
    EXPECT_TRUE(session->ResolveDevice().Wait());
    EXPECT_TRUE(session->Load().Wait());
    host->SetVirtualWaits(true);
  }
  // Heads of the lift value requests (0x1A 0x13) the mouse got.
  std::vector<Bytes> LiftWrites() const {
    std::vector<Bytes> heads;
    for (const sim::SimRequest& r : host->Mouse().Requests())
      if (r.bytes.size() > 4 && r.bytes[1] == 0x1A && r.bytes[2] == 0x13)
        heads.emplace_back(r.bytes.begin() + 1, r.bytes.begin() + 5);
    return heads;
  }

  SkinFonts fonts{QStringLiteral("DejaVu Sans"), QStringLiteral("DejaVu Sans")};
  AppSignals broadcasts;
  std::unique_ptr<UiEnv> env;
  std::unique_ptr<QWidget> owner;
  LiftDialogs* lift = nullptr;
};

TEST(LiftDialog, AutomaticRunFollowsTheStateReportsThenStoresOrRestores) {
  struct Case {
    const char* name;
    bool confirm;
    int liveAfter;
    int storedAfter;
  };
  const std::vector<Case> cases = {
      {"OK stores the measured value", true, 5120, 5120},
      {"Cancel after success brings the old value back, unstored", false, 1234, 1234},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    LiftWorld w;
    ASSERT_TRUE(w.session->StoreLift(1234).Wait());
    DeviceEventPump pump(w.session->Link(), *w.clock, [&](const DeviceEvent& e) {
      if (e.kind == DeviceEventKind::kStateReport) w.lift->OnStateReport(e.report);
    });
    pump.Start();
    pump.SetCurrentDevice(w.session->CurrentDevicePath());
    CStrDlg& dialog = w.lift->Dialog();
    std::vector<QString> shown;
    WhenShown(dialog, [&] {
      shown.push_back(dialog.Status());
      // flags of byte 6: in progress (also when failed is set too), then done
      for (uint8_t flags : {uint8_t{0x60}, uint8_t{0x00}}) {
        w.host->Mouse().EmitStateReport(flags);
        pump.RunOnce(0);
        shown.push_back(dialog.Status());
      }
      if (c.confirm)
        dialog.Accept();
      else
        dialog.Cancel();
    });
    w.lift->RunAuto();
    ASSERT_TRUE(ProcessEventsUntil([&] { return !w.lift->Running(); }));
    // Before the mouse's first report the dialog already says it measures.
    EXPECT_EQ(shown, (std::vector<QString>{QStringLiteral("In progress..."), QStringLiteral("In progress..."),
                                           QStringLiteral("Adjust Success !!")}));
    EXPECT_EQ(dialog.Shown(), CStrDlg::Kind::kLiftAuto);
    EXPECT_EQ(w.host->Mouse().LiveLift(), c.liveAfter);
    EXPECT_EQ(w.host->Mouse().MemoryAt(18) | (w.host->Mouse().MemoryAt(19) << 8), c.storedAfter);
    EXPECT_FALSE(w.host->Mouse().LiftAdjusting());
    // A report after the run no longer reaches the dialog.
    w.host->Mouse().EmitStateReport(0x20);
    pump.RunOnce(0);
    EXPECT_EQ(dialog.Status(), shown.back());
  }
}

// "Press OK within 5 seconds, or the change is cancelled": the countdown
// runs out by itself into the old value; OK in time stores the tested one.
TEST(LiftDialog, ManualTestOnModel12SendsTheValueWith0x12CountsDownAndNudges) {
  sim::SimOptions options;
  options.modelCode = 12;
  struct Case {
    const char* name;
    bool injector;
    bool statusSaysNoNudge;
    int64_t waitMs;  // from "Test", on the virtual clock
    bool pressOk;    // after the wait, if the dialog is still open
    bool storesTestedValue;
  };
  const std::vector<Case> cases = {
      {"with XTest, the time runs out", true, false, 5000, false, false},
      {"without any, OK just in time", false, true, 4999, true, true},
  };
  std::vector<int> heights;  // of the dialog, case by case
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    LiftWorld w(options);
    RecordingInjector injector;
    w.lift->SetInjector(c.injector ? &injector : nullptr);
    CStrDlg& dialog = w.lift->Dialog();
    QString captionAtStart;
    QString status;
    std::vector<Bytes> sentByTest;
    WhenShown(dialog, [&] {
      status = dialog.Status();
      heights.push_back(dialog.height());
      for (QLineEdit* field : dialog.findChildren<QLineEdit*>())
        if (field->isVisible()) field->setText(QStringLiteral("5"));
      const int64_t tested = w.clock->NowMs();
      dialog.Test();
      captionAtStart = dialog.TestButtonCaption();
      ProcessEventsUntil([&] { return !w.LiftWrites().empty() && (!c.injector || !injector.moves.empty()); });
      sentByTest = w.LiftWrites();
      // The simulated mouse's answers take virtual time too.
      EXPECT_LT(w.clock->NowMs(), tested + 1000);
      w.clock->Advance(std::max<int64_t>(0, tested + c.waitMs - w.clock->NowMs()));
      dialog.RunDueTimers();
      if (dialog.Running() && c.pressOk) {
        EXPECT_TRUE(PressAccessible(dialog, dialog.OkCaption()));
      }
      if (dialog.Running()) {
        ADD_FAILURE() << "the dialog stayed open";
        dialog.Cancel();
      }
    });
    const auto storedLift = [&] { return w.host->Mouse().MemoryAt(18) | (w.host->Mouse().MemoryAt(19) << 8); };
    const int before = storedLift();
    w.lift->RunManual();
    ASSERT_TRUE(ProcessEventsUntil([&] { return !w.lift->Running(); }));
    EXPECT_EQ(dialog.Shown(), CStrDlg::Kind::kLiftTest);
    EXPECT_EQ(sentByTest, (std::vector<Bytes>{{0x1A, 0x13, 0x05, 0x12}}));
    EXPECT_EQ(captionAtStart, QStringLiteral("Test (5)"));
    EXPECT_EQ(dialog.TestButtonCaption(), QStringLiteral("Test"));
    EXPECT_FALSE(dialog.TimerArmed());
    EXPECT_EQ(status.contains(QStringLiteral("yourself")), c.statusSaysNoNudge);
    EXPECT_EQ(status.contains(QStringLiteral("write access to /dev/uinput")), c.statusSaysNoNudge);
    EXPECT_EQ(injector.moves,
              (c.injector ? std::vector<std::pair<int, int>>{{-120, 0}} : std::vector<std::pair<int, int>>{}));
    const int expected = c.storesTestedValue ? 0x1205 : before;
    EXPECT_EQ(w.host->Mouse().LiveLift(), expected);
    EXPECT_EQ(storedLift(), expected);
  }
  // The status without the nudge wraps to more than two lines: the dialog makes room.
  ASSERT_EQ(heights.size(), 2u);
  EXPECT_GT(heights[1], heights[0]);
}

}  // namespace
}  // namespace quorix::ui
