#include "screenshot_tour.h"

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWindow>
#include <algorithm>
#include <cstdlib>
#include <iostream>

#include "app/shell.h"
#include "macro/macro_library.h"
#include "session/session.h"
#include "texts/text_tables.h"
#include "ui/ui_env.h"
#include "ui/windows/button_set_dlg.h"
#include "ui/windows/color_dlg.h"
#include "ui/windows/color_pick_dlg.h"
#include "ui/windows/macro_edit.h"
#include "ui/windows/macro_list.h"
#include "ui/windows/main_window.h"
#include "ui/windows/option_dlg.h"
#include "ui/windows/osd_window.h"
#include "ui/windows/str_dlg.h"
#include "ui/windows/virtual_mouse_window.h"

namespace quorix::tour {
namespace {

QString Text(const std::string& text) { return QString::fromStdString(text); }

// A state report as the mouse sends it after its profile and level buttons:
// profile 2, level 3, with the scroll-to-change mark.
std::vector<uint8_t> ShowcaseReport() {
  std::vector<uint8_t> report(16, 0);
  report[0] = 1;
  report[1] = 0x0C;
  report[2] = 2;
  report[3] = 32;
  report[4] = 24;
  report[5] = 2;
  report[6] = 0x80;
  return report;
}

}  // namespace

ScreenshotTour::ScreenshotTour(QString folder, const app::ShellWindows& windows)
    : env_(*windows.env),
      folder_(std::move(folder)),
      mainWindow_(windows.main),
      osd_(windows.osd),
      virtualMouse_(windows.virtualMouse) {
  timer_.setSingleShot(true);
  connect(&timer_, &QTimer::timeout, this, &ScreenshotTour::Poll);
  ui::MainWindow* window = mainWindow_;
  for (QObject* watched : std::initializer_list<QObject*>{mainWindow_, osd_, virtualMouse_})
    if (watched != nullptr) watched->installEventFilter(this);
  const auto mainShot = [this] { return std::vector<QWidget*>{mainWindow_}; };
  const auto osdShot = [this] { return std::vector<QWidget*>{osd_}; };
  // The main window's pages show the mouse as loaded, with no progress over
  // them and nothing written under way.
  const auto loaded = [this, window] {
    const SettingsState& state = env_.session.State();
    return window->Model().HasDevice() && !window->IsBusy() && !state.loading && !state.busyWriting;
  };
  for (int page = 0; page < 3; ++page) {
    shots_.push_back({QStringLiteral("main-page%1").arg(page),
                      [this, window, page] {
                        HideDialogs();
                        window->SetPage(page);
                        window->show();
                        window->raise();
                      },
                      mainShot, loaded, 300});
  }
  // The button window over button 2 with the keyboard in use: Ctrl + Shift + A.
  shots_.push_back({QStringLiteral("button-settings"),
                    [window] {
                      window->SetPage(0);
                      window->OpenButtonSettings(1);
                      ui::CButtonSetDlg* dialog = window->ButtonDialog();
                      if (dialog == nullptr) return;
                      dialog->ActivateItem(dialog->ItemIndex(ui::ButtonSetRole::kChoice, kChoiceKeyboard));
                      const auto& keys = dialog->Model().Keyboard().keys;
                      for (int usage : {0xE0, 0xE1, 0x04})
                        for (size_t k = 0; k < keys.size(); ++k)
                          if (keys[k].hwcode == usage && keys[k].chwcode == 0) {
                            dialog->ActivateItem(dialog->ItemIndex(ui::ButtonSetRole::kKey, static_cast<int>(k)));
                            break;
                          }
                    },
                    [window] { return std::vector<QWidget*>{window->ButtonDialog()}; },
                    [window] { return window->ButtonDialog() != nullptr && window->ButtonDialog()->isVisible(); }});
  shots_.push_back({QStringLiteral("osd-full"),
                    [this] {
                      HideDialogs();
                      osd_->OnStateReport(ShowcaseReport());
                    },
                    osdShot, [this] { return osd_->isVisible() && osd_->State().Alpha() >= 255; }});
  // Half way through the fade; its paints go on meanwhile, so no settle.
  // A fade that ended before its picture could be taken is shown again.
  shots_.push_back({QStringLiteral("osd-fading"), [] {}, osdShot,
                    [this] {
                      const OsdState& state = osd_->State();
                      if (state.ShowCounter() == 0 && state.Alpha() == 0) osd_->OnStateReport(ShowcaseReport());
                      return osd_->isVisible() && state.ShowCounter() == 0 && state.Alpha() > 0 && state.Alpha() <= 140;
                    },
                    0});
  shots_.push_back({QStringLiteral("question"),
                    [this] {
                      question_ = std::make_unique<ui::OptionDlg>(env_, mainWindow_, Text(env_.texts[Label::kReset]),
                                                                  Text(env_.texts[Msg::kResetQuestion]),
                                                                  ui::ButtonsFor(env_, ui::Choices::kOkCancel));
                      question_->move(mainWindow_->frameGeometry().center() - question_->rect().center());
                      question_->show();
                    },
                    [this] { return std::vector<QWidget*>{question_.get()}; }});
  // Named by the entry modes the screenshots have always carried.
  using Kind = ui::CStrDlg::Kind;
  const std::vector<std::pair<int, std::function<ui::CStrDlg::Look()>>> looks = {
      {0,
       [this] {
         return ui::CStrDlg::Look{.kind = Kind::kName,
                                  .prompt = Text(env_.texts[Prompt::kProfileName]),
                                  .text = QStringLiteral("Profile 1")};
       }},
      {1,
       [this] {
         return ui::CStrDlg::Look{
             .kind = Kind::kNumber, .prompt = Text(env_.texts.clickDelayStr), .text = QStringLiteral("120")};
       }},
      {3,
       [this] {
         return ui::CStrDlg::Look{
             .kind = Kind::kPoint, .prompt = Text(env_.texts[Msg::kInsertMove]), .point = {640, -40, false}};
       }},
      {4,
       [this] {
         return ui::CStrDlg::Look{
             .kind = Kind::kNumber, .prompt = Text(env_.texts[Msg::kLiftAdjust]), .text = QStringLiteral("5")};
       }},
      {5,
       [this] {
         return ui::CStrDlg::Look{.kind = Kind::kFolder,
                                  .prompt = Text(env_.texts[Msg::kMacroList]),
                                  .folders = {{Text(env_.texts[Msg::kRoot]), 0, 0},
                                              {QStringLiteral("Games"), 1, 1},
                                              {QStringLiteral("Shooter"), 2, 2},
                                              {QStringLiteral("Office"), 1, 3}}};
       }},
      {10,
       [this] {
         return ui::CStrDlg::Look{
             .kind = Kind::kYesNo,
             .prompt = Text(env_.texts[Msg::kSaveChanges]).replace(QStringLiteral("%s"), QStringLiteral("Macro 1"))};
       }},
  };
  for (const auto& [number, look] : looks) {
    shots_.push_back({QStringLiteral("entry-mode%1").arg(number),
                      [this, look] {
                        HideDialogs();
                        entry_ = std::make_unique<ui::CStrDlg>(env_, mainWindow_);
                        entry_->LayOut(look());
                        entry_->move(mainWindow_->frameGeometry().center() - entry_->rect().center());
                        entry_->show();
                      },
                      [this] { return std::vector<QWidget*>{entry_.get()}; }});
  }
  // The lighting window in "Customize" with its markers, then "Wave" in two
  // frames of its animation, and the colour picker over it.
  const auto lightingShot = [this] { return std::vector<QWidget*>{lighting_.get()}; };
  const auto lightingShown = [this] { return lighting_ != nullptr && lighting_->isVisible(); };
  // The effect's animation moves on between the two "Wave" frames.
  auto since = std::make_shared<QElapsedTimer>();
  shots_.push_back({QStringLiteral("lighting-customize"),
                    [this] {
                      HideDialogs();
                      lighting_ = std::make_unique<ui::ColorDlg>(env_, mainWindow_);
                      lighting_->move(mainWindow_->frameGeometry().center() - lighting_->rect().center());
                      lighting_->show();
                    },
                    lightingShot, lightingShown});
  shots_.push_back({QStringLiteral("lighting-wave-1"),
                    [this, since] {
                      lighting_->ActivateItem(ui::ColorDlg::kFirstEffect + 1);
                      since->start();
                    },
                    lightingShot, [since] { return since->elapsed() >= 700; }});
  shots_.push_back({QStringLiteral("lighting-wave-2"), [since] { since->start(); }, lightingShot,
                    [since] { return since->elapsed() >= 280; }});
  shots_.push_back({QStringLiteral("lighting-picker"),
                    [this] {
                      lighting_->ActivateItem(ui::ColorDlg::kFirstEffect);
                      picker_ =
                          std::make_unique<ui::ColorPickDlg>(env_, lighting_.get(), lighting_->Model().SetAllLights());
                      picker_->move(mainWindow_->frameGeometry().center() - picker_->rect().center());
                      picker_->show();
                      picker_->raise();
                    },
                    [this] { return std::vector<QWidget*>{picker_.get()}; },
                    [this] { return picker_ != nullptr && picker_->isVisible(); }});
  // The main window's mouse picture in "Wave", in two frames of its
  // animation: the mouse and the image switched as the lighting window does.
  auto waveSince = std::make_shared<QElapsedTimer>();
  shots_.push_back({QStringLiteral("main-lighting-wave-1"),
                    [this, window, waveSince] {
                      HideDialogs();
                      env_.session.ChooseLightEffect(1);
                      env_.session.State().image.Update([](SettingsImage& image) { image.lightingMode = 1; });
                      window->ShowLoaded();
                      window->SetPage(0);
                      window->show();
                      window->raise();
                      waveSince->start();
                    },
                    mainShot, [loaded, waveSince] { return loaded() && waveSince->elapsed() >= 700; }});
  shots_.push_back({QStringLiteral("main-lighting-wave-2"), [waveSince] { waveSince->start(); }, mainShot,
                    [waveSince] { return waveSince->elapsed() >= 390; }});
  // The lift adjustment: the automatic run in each state the mouse reports
  // (before its first report it shows "In progress..." too), then the
  // manual test before and during its countdown.
  const auto lift = [this](LiftWord word) { return Text(env_.texts[word]); };
  const std::vector<std::pair<QString, QString>> liftStates = {
      {QStringLiteral("lift-auto-progress"), lift(LiftWord::kInProgress)},
      {QStringLiteral("lift-auto-fail"), lift(LiftWord::kFail)},
      {QStringLiteral("lift-auto-success"), lift(LiftWord::kSuccess)},
  };
  for (const auto& [name, status] : liftStates) {
    shots_.push_back({name,
                      [this, lift, status] {
                        HideDialogs();
                        entry_ = std::make_unique<ui::CStrDlg>(env_, mainWindow_);
                        entry_->LayOut({.kind = ui::CStrDlg::Kind::kLiftAuto,
                                        .prompt = lift(LiftWord::kAutoTitle),
                                        .instruction = lift(LiftWord::kMoveMouse),
                                        .status = status,
                                        .manualCaption = lift(LiftWord::kManual)});
                        entry_->move(mainWindow_->frameGeometry().center() - entry_->rect().center());
                        entry_->show();
                      },
                      [this] { return std::vector<QWidget*>{entry_.get()}; }});
  }
  for (const bool counting : {false, true}) {
    shots_.push_back({counting ? QStringLiteral("lift-manual-countdown") : QStringLiteral("lift-manual"),
                      [this, lift, counting] {
                        HideDialogs();
                        entry_ = std::make_unique<ui::CStrDlg>(env_, mainWindow_);
                        entry_->LayOut({.kind = ui::CStrDlg::Kind::kLiftTest,
                                        .prompt = lift(LiftWord::kManualTitle),
                                        .text = QStringLiteral("4828"),
                                        .instruction = lift(LiftWord::kManualHint),
                                        .testCaption = lift(LiftWord::kTest)});
                        entry_->move(mainWindow_->frameGeometry().center() - entry_->rect().center());
                        entry_->show();
                        if (counting) entry_->Test();
                      },
                      [this] { return std::vector<QWidget*>{entry_.get()}; }});
  }
  if (virtualMouse_ != nullptr) {
    shots_.push_back({QStringLiteral("virtual-mouse"),
                      [this] {
                        HideDialogs();
                        virtualMouse_->move(mainWindow_->frameGeometry().topLeft() + QPoint(40, 120));
                        virtualMouse_->show();
                        virtualMouse_->raise();
                      },
                      [this] {
                        return std::vector<QWidget*>{mainWindow_, virtualMouse_};
                      },
                      loaded});
    // The simulated mouse's own report after its buttons: the display and
    // the main window follow it.
    auto profileBefore = std::make_shared<int>(-1);
    shots_.push_back({QStringLiteral("virtual-mouse-pressed"),
                      [this, window, profileBefore] {
                        *profileBefore = window->Model().ActiveProfile();
                        virtualMouse_->Press(sim::SimPress::kProfileNext);
                        virtualMouse_->Press(sim::SimPress::kDpiUp);
                      },
                      [this] {
                        return std::vector<QWidget*>{mainWindow_, virtualMouse_, osd_};
                      },
                      [this, window, loaded, profileBefore] {
                        return loaded() && window->Model().ActiveProfile() != *profileBefore && osd_->isVisible() &&
                               osd_->State().Alpha() >= 255;
                      }});
  }
  if (windows.macroEdit != nullptr) AddMacroShots(windows.macroEdit);
}

ScreenshotTour::~ScreenshotTour() = default;

void ScreenshotTour::Begin() {
  // The pictures show a loaded mouse: a load that found none (the simulated
  // mouse answering slowly on a busy machine) is followed by the next one.
  if (begun_ || env_.session.CurrentDevicePath().empty()) return;
  begun_ = true;
  QDir().mkpath(folder_);
  next_ = 0;
  Next();
}

void ScreenshotTour::AddMacroShots(ui::MacroEdit* editor) {
  macroEdit_ = editor;
  // The macro windows are shown over the main window alone.
  auto alone = [this] {
    HideDialogs();
    if (virtualMouse_ != nullptr) virtualMouse_->hide();
    if (osd_ != nullptr) osd_->hide();
  };
  auto showList = [this, alone](ui::MacroListMode mode, int row) {
    alone();
    Session& session = env_.session;
    // A mouse without macros shows only its empty slot: give it two.
    const auto image = session.State().image.Snapshot();
    if (!image->devicePath.empty() && !image->macroSlots[0].InUse() && !image->macroSlots[1].InUse()) {
      session.StoreMacro(0, kModeOnce, "Reload", {KeyItem(true, 0x15), WaitItem(40), KeyItem(false, 0x15)}).Wait();
      session.StoreMacro(1, kModeLoop, "Burst", {ButtonItem(true, 1), WaitItem(90), ButtonItem(false, 1)}).Wait();
    }
    if (env_.macroLibrary) env_.macroLibrary->SetGroupOpen(kGroupMouse, true);
    macroList_ = std::make_unique<ui::MacroList>(env_, mode, mainWindow_);
    macroList_->SelectRow(row);
    macroList_->move(mainWindow_->frameGeometry().center() - macroList_->rect().center());
    macroList_->show();
    macroList_->raise();
  };
  const auto listShot = [this] { return std::vector<QWidget*>{macroList_.get()}; };
  // The display of an earlier shot shows itself again while its state runs
  // (hiding the window alone does not end it): these shots wait until it
  // has gone by itself.
  const auto osdGone = [this] { return osd_ == nullptr || (!osd_->isVisible() && !osd_->State().Visible()); };
  const auto listShown = [this, osdGone] { return macroList_ != nullptr && macroList_->isVisible() && osdGone(); };
  shots_.push_back(
      {QStringLiteral("macro-list"), [showList] { showList(ui::MacroListMode::kPickMacro, 1); }, listShot, listShown});
  shots_.push_back({QStringLiteral("macro-list-functions"),
                    [showList] { showList(ui::MacroListMode::kFunctionList, 3); }, listShot, listShown});
  shots_.push_back({QStringLiteral("macro-edit-recording"),
                    [this, alone] {
                      alone();
                      macroEdit_->Model().Load(
                          {KeyItem(true, 0x15), WaitItem(40), KeyItem(false, 0x15), MoveItem(12, -4),
                           ButtonItem(true, 1), WaitItem(300), ButtonItem(false, 1)},
                          "Reload", kModeOnce, {});
                      macroEdit_->ShowEditor();
                      macroEdit_->move(mainWindow_->frameGeometry().topLeft() + QPoint(12, 17));
                      macroEdit_->raise();
                      macroEdit_->Record();
                    },
                    [this] { return std::vector<QWidget*>{macroEdit_}; },
                    [this, osdGone] { return macroEdit_->isVisible() && osdGone(); }});
}

void ScreenshotTour::HideDialogs() {
  picker_.reset();  // before the lighting window, its parent
  lighting_.reset();
  question_.reset();
  entry_.reset();
  if (ui::CButtonSetDlg* dialog = mainWindow_->ButtonDialog()) dialog->Cancel();
  macroList_.reset();
  if (macroEdit_ != nullptr) {
    macroEdit_->StopRecording();
    macroEdit_->hide();
  }
}

void ScreenshotTour::Next() {
  if (next_ >= shots_.size()) {
    HideDialogs();
    emit finished();
    return;
  }
  shots_[next_].show();
  // Dialogs are made by the show step: their paints are counted from now.
  for (QWidget* window : shots_[next_].windows())
    if (window != nullptr) window->installEventFilter(this);
  step_ = Step::kWaiting;
  shotTime_.start();
  timer_.start(0);
}

bool ScreenshotTour::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Paint) ++paints_[watched];
  return QObject::eventFilter(watched, event);
}

bool ScreenshotTour::Exposed(const std::vector<QWidget*>& windows) const {
  return std::all_of(windows.begin(), windows.end(), [](QWidget* window) {
    return window != nullptr && window->isVisible() && window->windowHandle() != nullptr &&
           window->windowHandle()->isExposed();
  });
}

bool ScreenshotTour::PaintedSince(const std::vector<QWidget*>& windows) const {
  return std::all_of(windows.begin(), windows.end(),
                     [this](QWidget* window) { return paints_.value(window) > paintsAt_.value(window); });
}

void ScreenshotTour::Poll() {
  // Far beyond any machine's slowness: the picture is taken as it is, and
  // the run says so rather than hanging.
  constexpr qint64 kGiveUpMs = 30000;
  constexpr int kPollMs = 10;
  const Shot& shot = shots_[next_];
  const std::vector<QWidget*> windows = shot.windows();
  const bool ready = shot.ready() && Exposed(windows);
  if (shotTime_.elapsed() > kGiveUpMs) {
    std::cerr << "quorix-mouse: " << shot.name.toStdString() << " taken before it was ready\n";
    Take();
    return;
  }
  switch (step_) {
    case Step::kWaiting:
      if (!ready) break;
      // One paint of each window after the condition held: that paint shows
      // what the condition is about.
      paintsAt_.clear();
      for (QWidget* window : windows) {
        paintsAt_[window] = paints_.value(window);
        window->update();
      }
      step_ = Step::kPainting;
      break;
    case Step::kPainting:
      if (!ready) {
        step_ = Step::kWaiting;
        break;
      }
      if (!PaintedSince(windows)) break;
      step_ = Step::kSettling;
      timer_.start(shot.settleMs);
      return;
    case Step::kSettling:
      if (!ready) {
        step_ = Step::kWaiting;
        break;
      }
      if (OnScreen(windows)) {
        Take();
        return;
      }
      break;
  }
  timer_.start(kPollMs);
}

bool ScreenshotTour::OnScreen(const std::vector<QWidget*>& windows) const {
  QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return true;
  for (QWidget* window : windows) {
    // The display's panel is translucent and fades: its look on screen
    // depends on what lies below.
    if (window == osd_) continue;
    const QRect area(window->mapToGlobal(QPoint(0, 0)), window->size());
    // What other windows of ours cover is not this window's to show.
    QRegion covered;
    for (QWidget* other : QApplication::topLevelWidgets())
      if (other != window && other->isVisible()) covered += QRect(other->mapToGlobal(QPoint(0, 0)), other->size());
    const QImage own = window->grab().toImage().convertToFormat(QImage::Format_ARGB32);
    const QImage shown = screen->grabWindow(0, area.x(), area.y(), area.width(), area.height())
                             .toImage()
                             .convertToFormat(QImage::Format_ARGB32);
    if (own.size() != shown.size()) return false;
    int compared = 0, differing = 0;
    for (int y = 0; y < own.height(); y += 2) {
      for (int x = 0; x < own.width(); x += 2) {
        const QRgb mine = own.pixel(x, y);
        if (qAlpha(mine) != 255 || covered.contains(area.topLeft() + QPoint(x, y))) continue;
        ++compared;
        const QRgb seen = shown.pixel(x, y);
        if (std::abs(qRed(mine) - qRed(seen)) + std::abs(qGreen(mine) - qGreen(seen)) +
                std::abs(qBlue(mine) - qBlue(seen)) >
            6)
          ++differing;
      }
    }
    // A stale frame differs in far more than a caret's blink.
    if (differing * 100 > compared) return false;
  }
  return true;
}

void ScreenshotTour::Take() {
  QScreen* screen = QGuiApplication::primaryScreen();
  const QString file = QDir(folder_).filePath(shots_[next_].name + QStringLiteral(".png"));
  if (screen == nullptr || !screen->grabWindow(0).save(file))
    std::cerr << "quorix-mouse: cannot save " << file.toStdString() << "\n";
  ++next_;
  Next();
}

}  // namespace quorix::tour
