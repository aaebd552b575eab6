// The main window offscreen on a simulated mouse: slider drags and their
// debounced writes in virtual time, the version line, and the mouse's state
// reports as the event pump delivers them.
#include "ui/windows/main_window.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QMouseEvent>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <filesystem>
#include <memory>

#include "lighting/light_effect.h"
#include "platform/linux/gnome_foreground_source.h"
#include "platform/linux/x11_foreground_source.h"
#include "session/device_event_pump.h"
#include "session/session.h"
#include "sim/sim_hid_host.h"
#include "support/fake_clock.h"
#include "support/sim_session.h"
#include "support/temp_dir.h"
#include "texts/text_tables.h"
#include "ui/app_signals.h"
#include "ui/art/mouse_geometry.h"
#include "ui/skin/skin_fonts.h"
#include "ui/windows/color_dlg.h"

#include "accessible_item.h"
#include "dialog_driver.h"
#include "process_events.h"

namespace quorix::ui {
namespace {

using quorix::test::ProcessEventsUntil;

// A main window on a session over the simulated mouse, in virtual time.
struct WindowWorld : test::SimSession {
  explicit WindowWorld(sim::SimOptions options = {}, std::string setIni = {}) : SimSession(options, std::move(setIni)) {
    env = std::make_unique<UiEnv>(UiEnv{*session, session->Texts(), fonts, broadcasts});
    window = std::make_unique<MainWindow>(*env);
    window->show();
  }
  ~WindowWorld() { window.reset(); }
  void Load() {
    ASSERT_TRUE(session->ResolveDevice().Wait());
    ASSERT_TRUE(session->Load().Wait());
    window->ShowLoaded();
  }
  void Mouse(QEvent::Type type, QPointF at) {
    const bool held = type != QEvent::MouseButtonRelease;
    QMouseEvent event(type, at, window->mapToGlobal(at), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                      held ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window.get(), &event);
  }
  // Virtual time passes; the window's timers run as they come due.
  void Advance(int64_t ms) {
    clock->Advance(ms);
    window->RunDueTimers();
  }
  size_t MouseRequests() { return host->Mouse().Requests().size(); }

  SkinFonts fonts{QStringLiteral("DejaVu Sans"), QStringLiteral("DejaVu Sans")};
  AppSignals broadcasts;
  std::unique_ptr<UiEnv> env;
  std::unique_ptr<MainWindow> window;
};

TEST(MainWindow, DraggingLevel2XMovesYAndWritesOnce200MsAfterTheDragStops) {
  WindowWorld w;
  w.Load();
  w.window->SetPage(kDpiPage);
  const int x = DpiSliderIndex(2, true), y = DpiSliderIndex(2, false);
  const SliderTrack track = layout::Track(x);
  const double row = track.top + track.height / 2;
  w.host->Mouse().ResetCounters();
  const uint64_t version = w.session->State().image.Version();
  w.Mouse(QEvent::MouseButtonPress, {track.left + 10, row});
  for (double dx : {60.0, 140.0, 220.0}) {
    w.Advance(50);
    w.Mouse(QEvent::MouseMove, {track.left + dx, row});
  }
  w.Mouse(QEvent::MouseButtonRelease, {track.left + 220, row});
  const MainWindowModel& m = w.window->Model();
  const int value = m.SliderAt(x).value;
  EXPECT_EQ(m.SliderAt(y).value, value);
  EXPECT_TRUE(w.window->TimerArmed());
  w.Advance(199);
  QCoreApplication::processEvents();
  EXPECT_EQ(w.MouseRequests(), 0u) << "nothing is written while the drag settles";
  w.Advance(1);
  ASSERT_TRUE(ProcessEventsUntil([&] { return w.session->State().image.Version() > version; }));
  EXPECT_EQ(w.session->State().image.Version(), version + 1) << "one write";
  EXPECT_EQ(w.host->Mouse().MemoryAt(3 + 2 * 2), value);
  EXPECT_EQ(w.host->Mouse().MemoryAt(4 + 2 * 2), value);
  const size_t requests = w.MouseRequests();
  for (int i = 0; i < 20; ++i) w.Advance(100);
  QCoreApplication::processEvents();
  EXPECT_EQ(w.MouseRequests(), requests);
  EXPECT_FALSE(w.window->TimerArmed()) << "an idle window arms no timer";
}

TEST(MainWindow, ReportRateRightEndShows1000HzAndStoresCode0) {
  WindowWorld w;
  w.Load();
  w.window->SetPage(kOtherPage);
  const SliderTrack track = layout::Track(kReportRateSlider);
  const QPointF end(track.left + track.width, track.top + track.height / 2);
  w.Mouse(QEvent::MouseButtonPress, end);
  w.Mouse(QEvent::MouseButtonRelease, end);
  EXPECT_EQ(SliderText(w.window->Model().SliderAt(kReportRateSlider)), "1000Hz");
  w.Advance(1000);
  ASSERT_TRUE(ProcessEventsUntil([&] { return w.session->State().image.Snapshot()->reportRateCode == 0; }));
  EXPECT_EQ(w.host->Mouse().MemoryAt(14) >> 4 & 7, 0);
}

TEST(MainWindow, VersionLineWithAndWithoutDevice) {
  sim::SimOptions options;
  options.variantA = 12;
  WindowWorld w(options);
  EXPECT_EQ(w.window->Model().VersionLine(w.session->Texts()), "Software version:1.1");
  w.Load();
  EXPECT_EQ(w.window->Model().VersionLine(w.session->Texts()), "Software version:1.1 , Firmware version:2");
  w.window->ClearDevice();
  EXPECT_EQ(w.window->Model().VersionLine(w.session->Texts()), "Software version:1.1");
}

TEST(MainWindow, StateReportsThroughThePumpAndABadChecksumIsIgnored) {
  WindowWorld w;
  w.Load();
  w.host->SetVirtualWaits(true);
  DeviceEventPump pump(w.session->Link(), *w.clock, [&](const DeviceEvent& e) {
    if (e.kind == DeviceEventKind::kStateReport) w.window->ApplyStateReport(e.report);
  });
  pump.Start();
  pump.SetCurrentDevice(w.session->CurrentDevicePath());
  struct Case {
    const char* name;
    int level;
    bool validChecksum;
    int shownLevel;
  };
  const std::vector<Case> cases = {
      {"level 6 selects level 4", 6, true, 4},
      {"a bad XOR is dropped", 2, false, 4},
      {"level 1", 1, true, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    sim::StateReportFields fields = w.host->Mouse().CurrentState();
    fields.level = c.level;
    fields.x = fields.y = 30;
    fields.validChecksum = c.validChecksum;
    w.host->Mouse().EmitStateReport(fields);
    pump.RunOnce(0);
    EXPECT_EQ(w.window->Model().ActiveLevel(), c.shownLevel);
  }
  EXPECT_EQ(w.window->Model().SliderAt(DpiSliderIndex(1, false)).value, 30);
}

TEST(MainWindow, BusyBlocksInputAndAPageTabClickSwitchesPages) {
  WindowWorld w;
  w.Load();
  const QPointF dpiTab = layout::Tab(kDpiPage).center();
  w.window->SetBusy(0.5);
  w.Mouse(QEvent::MouseButtonPress, dpiTab);
  w.Mouse(QEvent::MouseButtonRelease, dpiTab);
  EXPECT_EQ(w.window->Model().Page(), kButtonPage);
  w.window->SetBusy(std::nullopt);
  w.Mouse(QEvent::MouseMove, dpiTab);
  w.Mouse(QEvent::MouseButtonPress, dpiTab);
  w.Mouse(QEvent::MouseButtonRelease, dpiTab);
  EXPECT_EQ(w.window->Model().Page(), kDpiPage);
}

TEST(MainWindow, ALevelPickedInTheWindowIsSentAloneAndShowsTheOsd) {
  WindowWorld w;
  w.Load();
  w.window->SetPage(kDpiPage);
  std::vector<int> osdLevels;
  QObject::connect(w.window.get(), &MainWindow::osdRequested,
                   [&](const VendorReport& report) { osdLevels.push_back(report.level); });
  const QPointF lv3 = layout::Level(2).center();
  w.Mouse(QEvent::MouseMove, lv3);
  w.Mouse(QEvent::MouseButtonPress, lv3);
  w.Mouse(QEvent::MouseButtonRelease, lv3);
  EXPECT_EQ(osdLevels, std::vector<int>{2});
  ASSERT_TRUE(ProcessEventsUntil([&] { return w.host->Mouse().DpiSelection() == 2; }));
}

// What the level switches show, as a screen reader reads them: "1" on.
std::string LevelSwitches(MainWindow& window) {
  std::string shown;
  for (int level = 1; level <= 4; ++level) {
    QAccessibleInterface* item = test::AccessibleItem(window, QStringLiteral("Use Lv.%1").arg(level));
    shown += item == nullptr ? '?' : item->state().checked ? '1' : '0';
  }
  return shown;
}

// The switches show the levels the mouse's DPI button cycles through: every
// level on a new mouse, and what the user switched once the window and the
// session are built anew on the same mouse.
TEST(MainWindow, LevelSwitchesShowWhatTheMouseCyclesThroughAcrossARestart) {
  sim::SimMouse::Persistent mouse;
  {
    WindowWorld w;
    w.Load();
    w.window->SetPage(kDpiPage);
    EXPECT_EQ(LevelSwitches(*w.window), "1111");
    ASSERT_TRUE(test::PressAccessible(*w.window, QStringLiteral("Use Lv.2")));
    ASSERT_TRUE(ProcessEventsUntil([&] { return LevelSwitches(*w.window) == "1011"; }));
    EXPECT_EQ(w.host->Mouse().DpiSelection() >> 3, 0b1101);
    mouse = w.host->Mouse().Save();
  }
  WindowWorld w;
  w.host->Mouse().Restore(mouse);
  w.Load();
  w.window->SetPage(kDpiPage);
  EXPECT_EQ(LevelSwitches(*w.window), "1011");
}

// A profile picked just before the program closes is still the one the mouse
// starts with: closing writes what the stored-selection timer held back.
TEST(MainWindow, AProfilePickedJustBeforeClosingIsStored) {
  WindowWorld w;
  w.Load();
  ASSERT_TRUE(test::PressAccessible(*w.window, QStringLiteral("Profile 3")));
  ASSERT_TRUE(ProcessEventsUntil([&] { return w.host->Mouse().ActiveProfile() == 2; }));
  ASSERT_EQ(w.host->Mouse().MemoryAt(1), 0) << "stored before closing: no proof";
  emit w.broadcasts.closing();
  w.session->FinishPostedWork();
  EXPECT_EQ(w.host->Mouse().MemoryAt(1), 2);
}

TEST(MainWindow, TheLastLevelOnCannotBeSwitchedOff) {
  WindowWorld w;
  w.host->Mouse().SetDpiSelection(0b0100 << 3 | 2);
  w.Load();
  w.window->SetPage(kDpiPage);
  ASSERT_EQ(LevelSwitches(*w.window), "0010");
  const std::vector<uint8_t> memory = w.host->Mouse().Memory();
  ASSERT_TRUE(test::PressAccessible(*w.window, QStringLiteral("Use Lv.3")));
  ASSERT_TRUE(ProcessEventsUntil([&] { return !w.window->StatusText().isEmpty(); }));
  EXPECT_EQ(w.window->StatusText(), QStringLiteral("at least one DPI level must stay on"));
  EXPECT_EQ(w.host->Mouse().DpiSelection(), 0b0100 << 3 | 2);
  EXPECT_EQ(w.host->Mouse().Memory(), memory);
  EXPECT_EQ(LevelSwitches(*w.window), "0010");
}

TEST(MainWindow, TabReachesASliderByItsNameAndArrowsStepIt) {
  WindowWorld w;
  w.Load();
  w.window->SetPage(kDpiPage);
  // What a screen reader hears: the label of the item that has the focus.
  const auto focused = [&] {
    const int index = w.window->Interaction().FocusIndex();
    return index < 0 ? QString() : w.window->Items()[index].label;
  };
  for (int i = 0; i < 80 && focused() != "Lv.2 Y"; ++i) QTest::keyClick(w.window.get(), Qt::Key_Tab);
  ASSERT_EQ(focused(), "Lv.2 Y");
  const int x = DpiSliderIndex(1, true), y = DpiSliderIndex(1, false);
  const int before = w.window->Model().SliderAt(y).value;
  QTest::keyClick(w.window.get(), Qt::Key_Left);
  EXPECT_EQ(w.window->Model().SliderAt(y).value, before - 1);
  EXPECT_EQ(w.window->Model().SliderAt(x).value, before - 1) << "X follows while X-Y independent is off";
  EXPECT_TRUE(w.window->TimerArmed());
}

// The confirmation itself (each button, Escape, the close) is covered with
// the program's other confirmations; this is what follows OK.
TEST(MainWindow, ResetOnOkRunsWithInputBlockedAndReloads) {
  WindowWorld w;
  w.Load();
  w.host->Mouse().Memory()[3] = 33;  // pair 0's x, 20 after a reset
  bool reloaded = false;
  QObject::connect(w.window.get(), &MainWindow::reloadRequested, [&] { reloaded = true; });
  w.window->SetPage(kOtherPage);
  const auto ok = test::PressWhenShown(QStringLiteral("OK"));
  ASSERT_TRUE(test::PressItem(*w.window, QStringLiteral("Reset")));
  ASSERT_TRUE(ok->Fired());
  EXPECT_TRUE(w.window->InputBlocked());
  ASSERT_TRUE(ProcessEventsUntil([&] { return reloaded; }));
  EXPECT_FALSE(w.window->InputBlocked());
  EXPECT_EQ(w.host->Mouse().MemoryAt(3), 20);
  EXPECT_EQ(w.window->Model().SliderAt(DpiSliderIndex(0, true)).value, 20);
}

TEST(MainWindow, TheSessionSwitchWritesAndRemovesTheAutostartEntry) {
  WindowWorld w;
  w.Load();
  w.window->SetPage(kOtherPage);
  test::TempDir dir;
  const std::string entry = dir.Path("config/autostart/quorix-mouse.desktop");
  w.window->SetAutostart(AutostartSwitch::InConfigFolder(dir.Path("config"), "/usr/bin/quorix-mouse"));
  for (const bool on : {true, false}) {
    SCOPED_TRACE(on ? "first click" : "second click");
    w.Mouse(QEvent::MouseButtonPress, layout::Option(3).center());
    w.Mouse(QEvent::MouseButtonRelease, layout::Option(3).center());
    EXPECT_EQ(std::filesystem::exists(entry), on);
  }
  EXPECT_FALSE(w.window->ForegroundTimerRunning()) << "nothing bound: the foreground check sleeps";
}

TEST(MainWindow, WithoutAForegroundSourceTheApplicationFieldSaysWhy) {
  // The desktop services' sentence is the one the text tables translate.
  const std::string needsX11 = EnglishTexts()[Desktop::kNeedsX11];
  ASSERT_EQ(needsX11, kNeedsX11Text);
  ASSERT_EQ(EnglishTexts()[Desktop::kGnomeExtension], kGnomeExtensionText);
  const std::pair<std::string, std::string> cases[] = {
      {kGnomeExtensionText, kGnomeExtensionText},
      {"native Wayland windows are not seen", "native Wayland windows are not seen"},
      {needsX11 + " No X display is available.", needsX11 + " No X display is available."},
      {"", "Switching profiles by application is not available here."},
  };
  for (const auto& [reason, shown] : cases) {
    WindowWorld w;
    w.Load();
    w.window->SetForegroundSource(nullptr, reason);
    int asked = 0;
    w.window->SetChooseFile([&] {
      ++asked;
      return std::optional<std::string>();
    });
    w.Mouse(QEvent::MouseButtonPress, layout::AppField(1).center());
    w.Mouse(QEvent::MouseButtonRelease, layout::AppField(1).center());
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(w.window->StatusText(), QString::fromStdString(shown));
  }
}
namespace lighting_preview {

std::vector<ZoneLight> Lights(const WindowWorld& w) { return w.window->Lighting().Lights(); }

}  // namespace lighting_preview

TEST(MainWindow, MousePictureShowsTheLightingAndAnimatesOnlyWhileItsPageIsSeen) {
  using namespace lighting_preview;
  WindowWorld w;
  // Every lit zone (0..8 on this layout) steady in its own colour: nothing moves.
  for (int zone = 0; zone <= 8; ++zone) {
    const size_t at = static_cast<size_t>(ZoneRecordAddress(zone));
    w.host->Mouse().Memory()[at] = 0xC0;
    w.host->Mouse().Memory()[at + 1] = static_cast<uint8_t>(20 * zone);
  }
  w.Load();
  const auto still = Lights(w);
  ASSERT_EQ(still.size(), 9u);
  EXPECT_EQ(still[3], (ZoneLight{3, 60, 0, 0}));
  EXPECT_FALSE(w.window->TimerArmed()) << "a static effect wakes nothing";

  // The user picks "Wave" in the lighting window and closes it.
  bool picked = false;
  QTimer::singleShot(0, w.window.get(), [&] {
    auto* lighting = w.window->findChild<ColorDlg*>();
    ASSERT_NE(lighting, nullptr);
    lighting->OpenJob().Wait();
    picked = test::PressAccessible(*lighting, QStringLiteral("Wave"));
    lighting->ActivateItem(ColorDlg::kClose);
  });
  ASSERT_TRUE(test::PressAccessible(*w.window, QStringLiteral("Color Setting")));
  ASSERT_TRUE(picked);
  ASSERT_TRUE(ProcessEventsUntil([&] { return w.host->Mouse().LightingMode() == 1; }));
  EXPECT_EQ(w.session->State().image.Snapshot()->lightingMode, 1);
  EXPECT_TRUE(w.window->TimerArmed()) << "the wave moves on the picture";
  const auto wave = Lights(w);
  EXPECT_NE(wave, still);
  w.Advance(kPictureFrameMs);
  EXPECT_NE(Lights(w), wave);

  struct Step {
    const char* press;  // an accessible name, or null: hide the window
    bool armed;
  };
  const Step steps[] = {{"DPI settings", false}, {"Button settings", true}, {"Other", false}, {nullptr, false}};
  for (const Step& s : steps) {
    if (s.press)
      ASSERT_TRUE(test::PressAccessible(*w.window, QString::fromLatin1(s.press)));
    else
      w.window->hide();
    EXPECT_EQ(w.window->TimerArmed(), s.armed) << (s.press ? s.press : "hidden");
    const auto before = Lights(w);
    w.Advance(10 * kPictureFrameMs);
    EXPECT_EQ(Lights(w) != before, s.armed) << (s.press ? s.press : "hidden");
  }
}

TEST(MainWindowPainter, LitZonesShowTheirColourOnThePicture) {
  WindowWorld w;
  PictureCache pictures;
  MainWindowPainter painter(pictures);
  // The palm emblem's light (zone 0) at (150, 330) of the picture, in window pixels.
  const QRectF picture = layout::MousePicture();
  const QPoint emblem(static_cast<int>(picture.x() + 150 * picture.width() / art::kMouseWidth),
                      static_cast<int>(picture.y() + 330 * picture.height() / art::kMouseHeight));
  auto paint = [&](std::vector<ZoneLight> lights) {
    QImage image(kMainWindowWidth, kMainWindowHeight, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::black);
    QPainter p(&image);
    MainWindowScene scene{w.window->Model(),
                          w.window->Items(),
                          w.window->Interaction(),
                          w.session->Texts(),
                          w.fonts,
                          {},
                          {},
                          std::nullopt,
                          {}};
    scene.lights = std::move(lights);
    painter.Paint(p, scene);
    return image.pixelColor(emblem);
  };
  const QColor dark = paint({});
  const QColor green = paint({{0, 0, 255, 0}});
  EXPECT_GT(green.green() - dark.green(), 60);
  EXPECT_LE(green.red() - dark.red(), 10);
  EXPECT_EQ(paint({{0, 0, 255, 0, 0}}), dark) << "a zone at brightness 0 adds nothing";
  const QColor dim = paint({{0, 0, 255, 0, 128}});
  EXPECT_LT(dim.green(), green.green() - 30) << "brightness dims the light";
  EXPECT_GT(dim.green(), dark.green() + 20);
}

// Outside an X11 session the switch is still kept in set.ini, but the
// window says that the desktop does not follow it.
TEST(MainWindow, AccelerationSwitchSaysWhereItHasNoEffect) {
  for (const bool reachable : {true, false}) {
    SCOPED_TRACE(reachable ? "X11" : "elsewhere");
    WindowWorld w;
    w.Load();
    w.window->SetPointerControl(reachable);
    w.window->SetPage(kOtherPage);
    std::vector<bool> applied;
    QObject::connect(w.window.get(), &MainWindow::accelerationOptionChanged,
                     [&](bool disable) { applied.push_back(disable); });
    const bool before = w.window->CurrentOptions().disableAcceleration != 0;
    w.Mouse(QEvent::MouseButtonPress, layout::Option(2).center());
    w.Mouse(QEvent::MouseButtonRelease, layout::Option(2).center());
    EXPECT_EQ(applied, std::vector<bool>{!before});
    EXPECT_EQ(w.window->StatusText().contains(QStringLiteral("no effect")), !reachable)
        << w.window->StatusText().toStdString();
  }
}

// Backup and Restore start their file dialogs in the data folder, beside
// set.ini; a backup that cannot be written names the file and the reason.
TEST(MainWindow, BackupStartsInTheDataFolderAndSaysWhyItFailed) {
  struct Case {
    const char* name;
    std::string file;    // under the data folder
    const char* reason;  // "" when the backup is written
  };
  const std::vector<Case> cases = {
      {"a file in the data folder", "mouse.bf", ""},
      {"a folder that is not there", "gone/mouse.bf", "no such file or directory"},
      {"a name a folder already has", "taken.bf", "is a directory"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::TempDir data;
    std::filesystem::create_directory(data.Path("taken.bf"));
    WindowWorld w({}, data.Path("set.ini"));
    w.Load();
    w.window->SetPage(kOtherPage);
    std::vector<std::pair<bool, QString>> asked;
    const QString file = QString::fromStdString(data.Path(c.file));
    w.window->SetChooseBackupFile([&](bool save, const QString& folder) {
      asked.emplace_back(save, folder);
      return save ? file : QString();
    });
    const std::vector<std::string>& labels = w.session->Texts().buttonStr;
    EXPECT_TRUE(test::PressAccessible(*w.window, QString::fromStdString(labels.at(4))));
    ASSERT_TRUE(ProcessEventsUntil([&] { return !w.window->IsBusy(); }));
    const QString status = w.window->StatusText();
    EXPECT_TRUE(test::PressAccessible(*w.window, QString::fromStdString(labels.at(5))));
    const QString folder = QString::fromStdString(data.Root().string());
    EXPECT_EQ(asked, (std::vector<std::pair<bool, QString>>{{true, folder}, {false, folder}}));
    if (*c.reason == 0) {
      EXPECT_TRUE(std::filesystem::is_regular_file(data.Path(c.file)));
      EXPECT_EQ(status, QString());
    } else {
      EXPECT_TRUE(status.startsWith(QStringLiteral("cannot write the file: ") + file)) << status.toStdString();
      EXPECT_TRUE(status.contains(QString::fromLatin1(c.reason))) << status.toStdString();
    }
  }
}

// The window opens where the user left it and on that page, and never out
// of reach when the screen is smaller now or the place was off it.
TEST(MainWindow, PlaceAndPageSurviveARestartOnScreen) {
  test::TempDir data;
  WindowWorld w({}, data.Path("set.ini"));
  w.window->move(300, 200);
  w.window->SetPage(kOtherPage);
  emit w.broadcasts.closing();
  const QSize size = w.window->size();
  struct Case {
    const char* name;
    QRect area;
    QPoint at;
  };
  const std::vector<Case> cases = {
      {"the same screen", {0, 0, 1920, 1080}, {300, 200}},
      {"a smaller screen now", {0, 0, 1280, 720}, {1280 - size.width(), 720 - size.height()}},
      {"a screen to the right of the place", {1920, 0, 1280, 1024}, {1920, 200}},
      {"a screen smaller than the window", {0, 0, 640, 480}, {0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MainWindow again(*w.env);
    EXPECT_EQ(again.Model().Page(), kButtonPage);
    again.RestorePlace(c.area);
    EXPECT_EQ(again.pos(), c.at);
    EXPECT_EQ(again.Model().Page(), kOtherPage);
  }
}

}  // namespace
}  // namespace quorix::ui
