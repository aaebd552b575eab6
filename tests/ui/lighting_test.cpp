// The lighting window and the colour picker offscreen on the simulated mouse,
// in virtual time: the drag's throttled previews, Cancel and OK as the mouse
// sees them, and the markers and animation timer of the lighting window.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QMouseEvent>
#include <QTest>
#include <memory>
#include <optional>

#include "session/session.h"
#include "sim/sim_hid_host.h"
#include "support/fake_clock.h"
#include "support/sim_session.h"
#include "ui/app_signals.h"
#include "ui/skin/skin_fonts.h"
#include "ui/ui_env.h"
#include "ui/windows/color_dlg.h"
#include "ui/windows/color_pick_dlg.h"

namespace quorix::ui {
namespace {

struct LightingWorld : test::SimSession {
  explicit LightingWorld(sim::SimOptions options = {}) : SimSession(options) {
    env = std::make_unique<UiEnv>(UiEnv{*session, session->Texts(), fonts, broadcasts});
  }
  // Loads the mouse; memory set up before is what the session reads.
  void Load() {
    EXPECT_TRUE(session->ResolveDevice().Wait());
    EXPECT_TRUE(session->Load().Wait());
  }
  // The lighting window, opened and with its read done.
  std::unique_ptr<ColorDlg> Open() {
    auto dlg = std::make_unique<ColorDlg>(*env);
    dlg->OpenJob().Wait();
    QCoreApplication::processEvents();
    dlg->show();
    return dlg;
  }
  // Every job posted so far has run.
  void Drain() {
    session->Post("drain", [](JobContext&, DeviceLink&, SettingsState&) { return Outcome{}; }).Wait();
    QCoreApplication::processEvents();
  }
  void Mouse(QWidget& window, QEvent::Type type, QPointF at) {
    const bool held = type != QEvent::MouseButtonRelease;
    QMouseEvent event(type, at, window.mapToGlobal(at), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                      held ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&window, &event);
  }
  void SetRecord(int zone, LedZoneRecord r) {
    const auto bytes = r.Bytes();
    for (int i = 0; i < 4; ++i) host->Mouse().Memory()[static_cast<size_t>(ZoneRecordAddress(zone) + i)] = bytes[i];
  }
  LedZoneRecord Shown(int zone) {
    const auto p = host->Mouse().LightingPreview(zone);
    return {p[1], p[2], p[3], p[4]};
  }
  int PreviewSends() {
    int sends = 0;
    for (const auto& request : host->Mouse().Requests()) sends += request.bytes.size() > 1 && request.bytes[1] == 0x13;
    return sends;
  }

  SkinFonts fonts{QStringLiteral("DejaVu Sans"), QStringLiteral("DejaVu Sans")};
  AppSignals broadcasts;
  std::unique_ptr<UiEnv> env;
};

TEST(Lighting, DraggingAcrossTheColourFieldForOneSecondSendsAboutTenPreviewsNeverTwoWithin100Ms) {
  LightingWorld w;
  w.Load();
  auto dlg = w.Open();
  std::vector<int64_t> sendTimes;
  int pickers = 0;
  dlg->SetPickerRunner([&](ColorPickDlg& picker) {
    ++pickers;
    picker.show();
    const QRect field = lighting_layout::ColourField();
    w.host->Mouse().ResetCounters();
    int seen = 0;
    auto note = [&](int64_t at) {
      w.Drain();
      for (const int sends = w.PreviewSends(); seen < sends; ++seen) sendTimes.push_back(at);
    };
    const int64_t start = w.clock->NowMs();
    w.Mouse(picker, QEvent::MouseButtonPress, QPointF(field.left() + 20, field.center().y()));
    note(start);
    // A move every 10 ms, across the field and back.
    for (int step = 1; step <= 100; ++step) {
      w.clock->Advance(10);
      const int64_t now = w.clock->NowMs();
      const double x = field.left() + 20 + (step % 50) * 3.2;
      w.Mouse(picker, QEvent::MouseMove, QPointF(x, field.center().y() + (step / 50) * 30));
      picker.RunDueTimers();
      note(now);
    }
    w.Mouse(picker, QEvent::MouseButtonRelease, QPointF(field.left() + 20, field.center().y()));
    picker.ActivateItem(ColorPickDlg::kOk);
    return picker.Result().value_or(Answer::kClosed);
  });
  dlg->ActivateItem(ColorDlg::kFirstMarker);  // zone 1
  ASSERT_EQ(pickers, 1);
  EXPECT_GE(sendTimes.size(), 9u);
  EXPECT_LE(sendTimes.size(), 12u);
  for (size_t i = 1; i < sendTimes.size(); ++i) EXPECT_GE(sendTimes[i] - sendTimes[i - 1], 100) << i;
}

TEST(Lighting, CancelShowsEveryZoneItsStoredBytesAndOkOnLayout22WritesZones0To8) {
  sim::SimOptions options;
  options.buttonLayout = 22;
  LightingWorld w(options);
  for (int zone = 0; zone < kZoneCount; ++zone) {
    w.SetRecord(zone, {static_cast<uint8_t>(0xC0 | zone), static_cast<uint8_t>(zone * 9), 0x11, 0x22});
  }
  w.Load();
  auto dlg = w.Open();
  struct Case {
    int item;  // how the picker ends
    bool confirmed;
  };
  for (const Case c : {Case{ColorPickDlg::kCancel, false}, Case{ColorPickDlg::kOk, true}}) {
    const LightingConfig before = w.session->ReadLighting().Wait();
    dlg->SetPickerRunner([&](ColorPickDlg& picker) {
      // Red from the swatches, shown on the mouse at once.
      const QPointF red = lighting_layout::Swatch(5, 0).center();
      w.Mouse(picker, QEvent::MouseButtonPress, red);
      w.Mouse(picker, QEvent::MouseButtonRelease, red);
      // The keyboard: the green slider, one step up.
      for (int i = 0; i < 10 && picker.Interaction().FocusIndex() != ColorPickDlg::kFirstSlider + 1; ++i) {
        QTest::keyClick(&picker, Qt::Key_Tab);
      }
      QTest::keyClick(&picker, Qt::Key_Right);
      w.Drain();
      EXPECT_EQ(w.Shown(8), (LedZoneRecord{0xFF, 0xFF, 1, 0}));
      picker.ActivateItem(c.item);
      picker.ClosingJob()->Wait();
      return picker.Result().value_or(Answer::kClosed);
    });
    dlg->ActivateItem(ColorDlg::kSetAllLights);
    const LightingConfig after = w.session->ReadLighting().Wait();
    for (int zone = 0; zone < kZoneCount; ++zone) {
      const bool selected = zone <= 8;
      const LedZoneRecord want = c.confirmed && selected ? LedZoneRecord{0xFF, 0xFF, 1, 0} : before.zones[zone];
      EXPECT_EQ(after.zones[zone], want) << "zone " << zone << (c.confirmed ? " after OK" : " after Cancel");
      if (!c.confirmed && selected) {
        EXPECT_EQ(w.Shown(zone), before.zones[zone]) << "zone " << zone;
      }
    }
  }
}

TEST(Lighting, MarkersOnlyInCustomizeAnimationOnlyWhileShownDeviceGoneCancelsCloseWritesNothing) {
  LightingWorld w;
  w.host->Mouse().Memory()[kLightEffectAddress] = 2;
  w.Load();
  auto dlg = w.Open();
  EXPECT_EQ(dlg->Model().CurrentEffect(), 2);
  int pickers = 0;
  std::optional<Job<void>> closing;
  dlg->SetPickerRunner([&](ColorPickDlg& picker) {
    ++pickers;
    emit w.broadcasts.deviceGone();
    closing = picker.ClosingJob();
    return picker.Result().value_or(Answer::kClosed);
  });
  dlg->ActivateItem(ColorDlg::kFirstMarker);
  EXPECT_EQ(pickers, 0) << "no markers outside Customize";
  dlg->ActivateItem(ColorDlg::kFirstEffect);  // Customize
  w.Drain();
  EXPECT_EQ(w.host->Mouse().LightingMode(), 0);
  dlg->ActivateItem(ColorDlg::kFirstMarker);
  EXPECT_EQ(pickers, 1);
  ASSERT_TRUE(closing.has_value()) << "the device going away cancels the picker";

  EXPECT_TRUE(dlg->TimerArmed());
  const int level = dlg->Model().Snapshot().breathingLevel;
  w.clock->Advance(kPreviewFrameMs);
  dlg->RunDueTimers();
  EXPECT_NE(dlg->Model().Snapshot().breathingLevel, level) << "the picture moves while shown";
  dlg->hide();
  EXPECT_FALSE(dlg->TimerArmed()) << "a hidden window wakes never";

  w.Drain();
  const size_t requests = w.host->Mouse().Requests().size();
  dlg->ActivateItem(ColorDlg::kClose);
  w.Drain();
  EXPECT_EQ(w.host->Mouse().Requests().size(), requests) << "closing writes nothing";
}

}  // namespace
}  // namespace quorix::ui
