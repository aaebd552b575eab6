#include "app/screenshot_tour.h"

#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <iostream>

#include "ui/windows/main_window.h"
#include "texts/text_tables.h"
#include "ui/ui_env.h"
#include "ui/windows/option_dlg.h"
#include "ui/windows/osd_window.h"
#include "ui/windows/str_dlg.h"
#include "ui/windows/virtual_mouse_window.h"

namespace quorix::app {
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

ScreenshotTour::ScreenshotTour(ui::UiEnv& env, QString folder, QWidget* mainWindow, ui::OsdWindow* osd,
                               ui::VirtualMouseWindow* virtualMouse)
    : env_(env), folder_(std::move(folder)), mainWindow_(mainWindow), osd_(osd), virtualMouse_(virtualMouse) {
  timer_.setSingleShot(true);
  connect(&timer_, &QTimer::timeout, this, &ScreenshotTour::Take);
  auto* window = static_cast<ui::MainWindow*>(mainWindow_);
  for (int page = 0; page < 3; ++page) {
    shots_.push_back({QStringLiteral("main-page%1").arg(page), [this, window, page] {
                        HideDialogs();
                        if (virtualMouse_ != nullptr) virtualMouse_->hide();
                        window->SetPage(page);
                        window->show();
                        window->raise();
                      },
                      700});
  }
  shots_.push_back({QStringLiteral("osd-full"), [this] { osd_->OnStateReport(ShowcaseReport()); }, 600});
  // Half way through the fade.
  shots_.push_back({QStringLiteral("osd-fading"), [] {}, 0, [this] {
                      const OsdState& state = osd_->State();
                      return state.ShowCounter() == 0 && state.Alpha() <= 140;
                    }});
  shots_.push_back({QStringLiteral("question"), [this] {
                      question_ = std::make_unique<ui::OptionDlg>(
                          env_, mainWindow_, Text(env_.texts.buttonStr.at(3)), Text(env_.texts.msgStr.at(11)),
                          QStringList{Text(env_.texts.buttonStr.at(7)), Text(env_.texts.buttonStr.at(8))});
                      question_->move(mainWindow_->frameGeometry().center() - question_->rect().center());
                      question_->show();
                    },
                    600});
  struct EntryLook {
    int mode;
    std::function<void(ui::CStrDlg&)> fill;
  };
  const std::vector<EntryLook> looks = {
      {0, [this](ui::CStrDlg& d) { d.prompt = Text(env_.texts.capInputStr.at(1)); d.text = QStringLiteral("Profile 1"); }},
      {1, [this](ui::CStrDlg& d) { d.prompt = Text(env_.texts.clickDelayStr); d.text = QStringLiteral("120"); }},
      {3, [this](ui::CStrDlg& d) { d.prompt = Text(env_.texts.msgStr.at(4)); d.x = 640; d.y = -40; }},
      {4, [this](ui::CStrDlg& d) { d.prompt = Text(env_.texts.msgStr.at(38)); d.text = QStringLiteral("5"); }},
      {5, [this](ui::CStrDlg& d) {
         d.prompt = Text(env_.texts.msgStr.at(1));
         d.folders = {{Text(env_.texts.msgStr.at(28)), 0, 0}, {QStringLiteral("Games"), 1, 1},
                      {QStringLiteral("Shooter"), 2, 2}, {QStringLiteral("Office"), 1, 3}};
       }},
      {10, [this](ui::CStrDlg& d) { d.prompt = Text(env_.texts.msgStr.at(22)).replace(QStringLiteral("%s"), QStringLiteral("Macro 1")); }},
  };
  for (const EntryLook& look : looks) {
    shots_.push_back({QStringLiteral("entry-mode%1").arg(look.mode), [this, look] {
                        HideDialogs();
                        entry_ = std::make_unique<ui::CStrDlg>(env_, mainWindow_);
                        entry_->mode = look.mode;
                        look.fill(*entry_);
                        entry_->Layout();
                        entry_->move(mainWindow_->frameGeometry().center() - entry_->rect().center());
                        entry_->show();
                      },
                      600});
  }
  // The lift adjustment: the automatic run before the mouse reports, in
  // each state it reports, then the manual test before and during its
  // countdown.
  const auto lift = [this](size_t index) { return Text(env_.texts.adjustLiftStr.at(index)); };
  const std::vector<std::pair<QString, QString>> liftStates = {
      {QStringLiteral("lift-auto-waiting"), QString()},
      {QStringLiteral("lift-auto-progress"), lift(10)},
      {QStringLiteral("lift-auto-fail"), lift(11)},
      {QStringLiteral("lift-auto-success"), lift(12)},
  };
  for (const auto& [name, status] : liftStates) {
    shots_.push_back({name, [this, lift, status] {
                        HideDialogs();
                        entry_ = std::make_unique<ui::CStrDlg>(env_, mainWindow_);
                        entry_->mode = kStrModeLiftAuto;
                        entry_->prompt = lift(4);
                        entry_->instruction = lift(5);
                        entry_->status = status;
                        entry_->manualCaption = lift(2);
                        entry_->Layout();
                        entry_->move(mainWindow_->frameGeometry().center() - entry_->rect().center());
                        entry_->show();
                      },
                      600});
  }
  for (const bool counting : {false, true}) {
    shots_.push_back({counting ? QStringLiteral("lift-manual-countdown") : QStringLiteral("lift-manual"),
                      [this, lift, counting] {
                        HideDialogs();
                        entry_ = std::make_unique<ui::CStrDlg>(env_, mainWindow_);
                        entry_->mode = kStrModeLiftTest;
                        entry_->prompt = lift(6);
                        entry_->instruction = lift(7);
                        entry_->testCaption = lift(3);
                        entry_->text = QStringLiteral("4828");
                        entry_->Layout();
                        entry_->move(mainWindow_->frameGeometry().center() - entry_->rect().center());
                        entry_->show();
                        if (counting) entry_->Test();
                      },
                      600});
  }
  if (virtualMouse_ != nullptr) {
    shots_.push_back({QStringLiteral("virtual-mouse"), [this] {
                        HideDialogs();
                        virtualMouse_->move(mainWindow_->frameGeometry().topLeft() + QPoint(40, 120));
                        virtualMouse_->show();
                        virtualMouse_->raise();
                      },
                      600});
    // The simulated mouse's own report after its buttons: the display and
    // the main window follow it.
    shots_.push_back({QStringLiteral("virtual-mouse-pressed"), [this] {
                        virtualMouse_->Press(sim::SimPress::kProfileNext);
                        virtualMouse_->Press(sim::SimPress::kDpiUp);
                      },
                      700});
  }
}

ScreenshotTour::~ScreenshotTour() = default;

void ScreenshotTour::Begin() {
  QDir().mkpath(folder_);
  next_ = 0;
  Next();
}

void ScreenshotTour::HideDialogs() {
  question_.reset();
  entry_.reset();
}

void ScreenshotTour::Next() {
  if (next_ >= shots_.size()) {
    HideDialogs();
    emit finished();
    return;
  }
  shots_[next_].show();
  timer_.start(shots_[next_].waitMs);
}

void ScreenshotTour::Take() {
  if (const auto& ready = shots_[next_].ready; ready && !ready()) {
    timer_.start(5);
    return;
  }
  QScreen* screen = QGuiApplication::primaryScreen();
  const QString file = QDir(folder_).filePath(shots_[next_].name + QStringLiteral(".png"));
  if (screen == nullptr || !screen->grabWindow(0).save(file)) std::cerr << "quorix-mouse: cannot save " << file.toStdString() << "\n";
  ++next_;
  Next();
}

}  // namespace quorix::app
