#include "app/shell.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QScreen>
#include <QStandardPaths>
#include <QThreadPool>
#include <QWindow>
#include <iostream>

#include "app/desktop_notice.h"
#include "app/device_controller.h"
#include "app/font_setup.h"
#include "app/local_instance_channel.h"
#include "app/tray.h"
#include "platform/linux/system_services.h"
#include "session/desktop_program.h"
#include "session/macro_recording.h"
#include "session/models/autostart_switch.h"
#include "session/session.h"
#include "session/world/session_world.h"
#include "ui/app_signals.h"
#include "ui/skin/skin_fonts.h"
#include "ui/ui_env.h"
#include "ui/windows/macro_edit.h"
#include "ui/windows/main_window.h"
#include "ui/windows/osd_window.h"
#include "ui/windows/virtual_mouse_window.h"

namespace quorix::app {

// Everything the running program owns, in the order it is made; torn down
// in reverse, the session last.
struct ShellParts {
  // The folders, the language, the macro library and the desktop's
  // acceleration: read at start-up, before the session is made.
  std::unique_ptr<DesktopProgram> program;
  std::unique_ptr<LocalInstanceChannel> channel;
  std::unique_ptr<SessionWorld> world;
  ui::AppSignals appSignals;
  std::unique_ptr<ui::SkinFonts> fonts;
  std::unique_ptr<ui::UiEnv> env;
  // The hotkey and record options both recordings share.
  std::unique_ptr<RecordingSettings> recordingSettings;
  std::unique_ptr<MacroRecording> recording;
  // The button window's: a recording hands its changes to one window only.
  std::unique_ptr<MacroRecording> buttonRecording;
  QTranslator qtTexts;
  std::unique_ptr<Tray> tray;
  // What the main window uses on the desktop; made before it, gone after it.
  DesktopServices desktop;
  std::unique_ptr<InputInjector> injector;
  std::unique_ptr<ui::MainWindow> window;
  std::unique_ptr<ui::MacroEdit> macroEdit;
  // Where the OSD shows on Wayland: the overlay, else the notice; both
  // outlive the OSD window.
  std::unique_ptr<OverlaySurface> overlay;
  std::unique_ptr<DesktopNotice> notice;
  std::unique_ptr<ui::OsdWindow> osd;
  std::unique_ptr<ui::VirtualMouseWindow> virtualMouse;
  bool virtualMouseFollows = false;  // a popup of the main window (Wayland)
  std::unique_ptr<DeviceController> controller;
  bool quitting = false;
};

namespace {

// Qt's own translations of its standard buttons, for the text entry's
// captions.
QString QtLocaleFor(int languageId) {
  switch (languageId) {
    case 1041:
      return QStringLiteral("ja");
    case 1028:
      return QStringLiteral("zh_TW");
    default:
      return {};
  }
}

}  // namespace

Shell::Shell(StartSwitches switches, QObject* parent)
    : QObject(parent), switches_(std::move(switches)), parts_(std::make_unique<ShellParts>()) {}

Shell::~Shell() {
  if (!parts_) return;
  if (parts_->controller) parts_->controller->Stop();
  // The desktop's acceleration is the user's, not only this program's.
  if (parts_->program) parts_->program->GiveBackAcceleration();
  if (parts_->world) {
    try {
      parts_->world->SaveSimState();
    } catch (const WorldError& e) {
      std::cerr << "quorix-mouse: " << e.message << "\n";
    }
  }
}

void SetUpApplication() {
  // Qt scales large pictures on its shared thread pool; those threads would
  // otherwise idle for half a minute after the first paint. An idle program
  // keeps no idle threads.
  QThreadPool::globalInstance()->setExpiryTimeout(2000);
  QApplication::setApplicationName(QStringLiteral("quorix-mouse"));
  QApplication::setApplicationDisplayName(QStringLiteral("QUORIX Gaming Mouse Software"));
}

ShellWindows Shell::Windows() const {
  const ShellParts& p = *parts_;
  return {p.env.get(), p.window.get(), p.macroEdit.get(), p.osd.get(), p.virtualMouse.get()};
}

int Shell::LanguageId() const { return parts_->program ? parts_->program->LanguageId() : 1033; }

int Shell::InitInstance() {
  if (const int status = ClaimInstance(); status >= 0) return status;
  SetUpTexts();
  if (const int status = OpenSession(); status >= 0) return status;
  MakeRecordings();
  MakeTray();
  MakeMainWindow();
  ConnectDesktopServices();
  MakeMacroEditor();
  MakeOsd();
  MakeController();
  MakeVirtualMouse();
  ShowWindows();
  parts_->controller->Start();
  return -1;
}

// Folders, switches, language and the single instance: a second start hands
// over to the first and ends here.
int Shell::ClaimInstance() {
  ShellParts& p = *parts_;
  // The program's read-only data and the user's data folder.
  p.program = std::make_unique<DesktopProgram>(*CreateSystemPaths(QUORIX_SOURCE_DATA_DIR));

  p.channel = std::make_unique<LocalInstanceChannel>(InstanceSocketName(QString::fromLatin1(kWaitEventName)));
  if (switches_.close) {
    p.channel->Send(InstanceSignal::kClose);
    return 0;
  }
  if (const std::string problem = StartSwitchesProblem(switches_); !problem.empty()) {
    std::cerr << "quorix-mouse: " << problem << "\n";
    return 2;
  }

  p.program->ChooseLanguage(switches_.classicArgs);

  if (!p.channel->Claim()) {
    if (!switches_.hide) p.channel->Send(InstanceSignal::kWait);
    return 0;
  }
  p.channel->Receive([this](InstanceSignal signal) {
    if (signal == InstanceSignal::kClose)
      Quit();
    else
      Raise();
  });
  return -1;
}

// The language's fonts, and Qt's own translations of its standard buttons.
void Shell::SetUpTexts() {
  ShellParts& p = *parts_;
  const UiFontFamilies families = SetUpUiFonts(*p.program);
  p.fonts = std::make_unique<ui::SkinFonts>(families.family, families.family15);
  QApplication::setFont(p.fonts->Gdi13());
  if (const QString locale = QtLocaleFor(p.program->LanguageId()); !locale.isEmpty()) {
    if (p.qtTexts.load(QStringLiteral("qtbase_") + locale, QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
      QCoreApplication::installTranslator(&p.qtTexts);
  }
}

// The session on the real or simulated mouse, its options, the macro library
// and what every window is given.
int Shell::OpenSession() {
  ShellParts& p = *parts_;
  WorldOptions world;
  world.simulate = switches_.simulate;
  world.simOptions = switches_.simOptions;
  world.simState = switches_.simState;
  world.simulateInRealTime = true;  // the windows' timers run on the real clock
  world.applicationFolders = p.program->ApplicationFolders();
  world.setIni = p.program->SetIni();
  world.texts = p.program->TakeTexts();
  try {
    p.world = std::make_unique<SessionWorld>(world);
  } catch (const WorldError& e) {
    std::cerr << "quorix-mouse: " << e.message << "\n";
    return 1;
  }
  Session& session = p.world->GetSession();
  session.ReloadOptions();  // a set.ini that cannot be read leaves the defaults
  MacroLibrary& macroLibrary = p.program->OpenMacroLibrary(session.Texts());
  p.env = std::make_unique<ui::UiEnv>(ui::UiEnv{session, session.Texts(), *p.fonts, p.appSignals, &macroLibrary});
  return -1;
}

// Global input for the macro recorder: made now, read only while recording.
// Both start with the hotkey set.ini keeps.
void Shell::MakeRecordings() {
  ShellParts& p = *parts_;
  Session& session = p.world->GetSession();
  // The record options outlast the run in the user's config folder; the
  // screenshot tour and tests (offscreen) keep that folder alone.
  std::string recordOptionsFile;
  if (QGuiApplication::platformName() != QLatin1String("offscreen")) {
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (!config.isEmpty()) recordOptionsFile = config.toStdString() + "/quorix-mouse/record-options.ini";
  }
  p.recordingSettings = std::make_unique<RecordingSettings>(session.CurrentOptions().recordHotkey, recordOptionsFile);
  // Each recording reads input of its own; without a capture it says why.
  const auto recording = [&] {
    Result<std::unique_ptr<InputCapture>> capture = CreateInputCapture();
    const std::string reason = capture.detail();
    return std::make_unique<MacroRecording>(capture ? std::move(capture).value() : nullptr, reason, session.GetClock(),
                                            p.recordingSettings.get());
  };
  p.recording = recording();
  p.buttonRecording = recording();
}

void Shell::MakeTray() {
  ShellParts& p = *parts_;
  p.tray = std::make_unique<Tray>(p.world->GetSession());
  QApplication::setQuitOnLastWindowClosed(!p.tray->Available());
  connect(p.tray.get(), &Tray::restoreRequested, this, &Shell::Raise);
  connect(p.tray.get(), &Tray::quitRequested, this, &Shell::QuitAsked);
}

void Shell::MakeMainWindow() {
  ShellParts& p = *parts_;
  Session& session = p.world->GetSession();
  p.window = std::make_unique<ui::MainWindow>(*p.env);
  p.window->setWindowIcon(p.tray->Icon().icon());
  p.window->SetKeyboardLayout(p.program->LoadKeyboard(session.Texts()));
  p.window->SetRecording(p.buttonRecording.get());
  connect(p.window.get(), &ui::MainWindow::hideToTrayRequested, this, &Shell::OnHideToTray);
  connect(p.window.get(), &ui::MainWindow::quitRequested, this, &Shell::QuitAsked);
}

// What the main window uses on the desktop: the foreground application, the
// pointer's acceleration, the autostart entry. The offscreen platform (the
// tests) has no desktop and keeps the user's folders alone.
void Shell::ConnectDesktopServices() {
  ShellParts& p = *parts_;
  const bool offscreen = QGuiApplication::platformName() == QLatin1String("offscreen");
  p.desktop = OpenDesktopServices(!offscreen);
  p.window->SetForegroundSource(p.desktop.foreground.get(), p.desktop.foregroundProblem);
  // The option as read at start-up takes effect at once, as the switch
  // shows it.
  p.program->ControlAcceleration(std::move(p.desktop.pointer),
                                 p.world->GetSession().CurrentOptions().disableAcceleration != 0);
  p.window->SetPointerControl(p.program->ControlsAcceleration());
  connect(p.window.get(), &ui::MainWindow::accelerationOptionChanged, this,
          [this](bool disable) { parts_->program->SwitchAcceleration(disable); });
  // Starting with the session is offered where a desktop reads autostart
  // entries.
  if (!offscreen) {
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (!config.isEmpty())
      p.window->SetAutostart(
          AutostartSwitch::InConfigFolder(config.toStdString(), QCoreApplication::applicationFilePath().toStdString()));
  }
}

// The macro editor lives hidden beside the main window and shows on demand.
void Shell::MakeMacroEditor() {
  ShellParts& p = *parts_;
  p.macroEdit = std::make_unique<ui::MacroEdit>(*p.env, p.recording.get());
  p.macroEdit->setWindowIcon(p.tray->Icon().icon());
  connect(p.window.get(), &ui::MainWindow::macroEditRequested, p.macroEdit.get(), &ui::MacroEdit::ShowEditor);
  connect(p.macroEdit.get(), &ui::MacroEdit::macrosChanged, p.window.get(), [this] { parts_->window->ShowLoaded(); });
}

// The on-screen display, and where it shows when it cannot place itself.
void Shell::MakeOsd() {
  ShellParts& p = *parts_;
  p.osd = std::make_unique<ui::OsdWindow>(*p.env, p.world->GetSession().GetClock());
  connect(p.window.get(), &ui::MainWindow::osdRequested, p.osd.get(),
          [this](const VendorReport& report) { parts_->osd->OnStateReport(report.raw); });
  if (!ui::DesktopPlacesWindows()) {
    // Without the compositor's overlay (GNOME) notifications stand in.
    p.overlay = OpenOverlaySurface();
    p.osd->SetOverlay(p.overlay.get());
  }
  const QString title = QStringLiteral("QUORIX Gaming Mouse Software");
  p.notice = std::make_unique<DesktopNotice>(title);
  connect(p.osd.get(), &ui::OsdWindow::shownElsewhere, p.notice.get(),
          [this, title](const QString& text) { parts_->notice->Show(title, text, 1600); });
  // Without a notification server the tray's balloon says it, if anything can.
  connect(p.notice.get(), &DesktopNotice::failed, p.tray.get(), [this](const QString& summary, const QString& body) {
    parts_->tray->Icon().showMessage(summary, body, QSystemTrayIcon::Information, 1600);
  });
}

// The device work, and the wheel's horizontal steps it hands to the desktop.
void Shell::MakeController() {
  ShellParts& p = *parts_;
  p.controller = std::make_unique<DeviceController>(p.world->GetSession(), p.appSignals);
  p.controller->SetMainWindow(p.window.get());
  p.controller->SetOsd(p.osd.get());
  connect(p.window.get(), &ui::MainWindow::reloadRequested, p.controller.get(), &DeviceController::Reload);
  // Every load ends in a reload: the lists built from the mouse's macro slots follow it.
  connect(p.controller.get(), &DeviceController::reloaded, &p.appSignals, &ui::AppSignals::reloaded);
  connect(p.controller.get(), &DeviceController::openRequested, this, &Shell::Raise);
  // XTest on an X display, else uinput (a Wayland session); never on the
  // offscreen platform, which has no pointer to move.
  if (QGuiApplication::platformName() != QLatin1String("offscreen")) {
    if (auto injector = CreateInputInjector(QGuiApplication::platformName() == QLatin1String("xcb")))
      p.injector = std::move(injector).value();
  }
  p.window->SetInputInjector(p.injector.get());
  p.controller->SetInputInjector(p.injector.get());
}

// The simulated mouse's buttons, pressed with the pointer.
void Shell::MakeVirtualMouse() {
  ShellParts& p = *parts_;
  if (sim::SimHidHost* host = p.world->SimHost()) {
    p.virtualMouse =
        std::make_unique<ui::VirtualMouseWindow>(*p.env, [host](sim::SimPress press) { host->Mouse().Press(press); });
  }
}

// The main window where it was last, unless started in the tray; the virtual
// mouse beside it.
void Shell::ShowWindows() {
  ShellParts& p = *parts_;
  if (const std::optional<WindowPlace>& place = p.window->CurrentOptions().windowPlace) {
    QScreen* screen = QGuiApplication::screenAt(QPoint(place->x, place->y));
    if (screen == nullptr) screen = QGuiApplication::primaryScreen();
    if (screen != nullptr) p.window->RestorePlace(screen->availableGeometry());
  }
  if (!switches_.hide) p.window->show();
  if (p.virtualMouse && showVirtualMouse_) {
    PlaceVirtualMouse();
    p.virtualMouse->show();
  }
}

// Beside the main window where the screen has room, else in the screen's
// corner; placed before it is shown, so the window manager maps it there.
void Shell::PlaceVirtualMouse() {
  ShellParts& p = *parts_;
  if (const QScreen* screen = QGuiApplication::primaryScreen();
      screen != nullptr && !ui::DesktopPlacesWindows() && p.window->isVisible()) {
    // A Wayland window cannot place itself, and sway centres a window of
    // fixed size, right over the main window. A popup of the main window
    // (a tool tip with it as transient parent: an xdg_popup without a
    // grab) is placed where its parent says, relative to it. Qt asks the
    // compositor for no sliding back onto the screen, and the main
    // window's own place is unknown here: beside its top right where a
    // centred main window leaves room, else inside its bottom-right
    // corner, on the screen either way. It hides and shows with the main
    // window (a popup cannot outlive its parent).
    const QSize main = p.window->size(), mouse = p.virtualMouse->size();
    const bool room = (screen->availableGeometry().width() - main.width()) / 2 >= mouse.width() + 12;
    const QPoint offset = room ? QPoint(main.width() + 12, 0)
                               : QPoint(main.width() - mouse.width() - 12, main.height() - mouse.height() - 12);
    p.virtualMouse->setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint);
    p.virtualMouse->winId();
    p.virtualMouse->windowHandle()->setTransientParent(p.window->windowHandle());
    p.virtualMouse->move(p.window->geometry().topLeft() + offset);
    p.virtualMouseFollows = true;
  } else if (const QScreen* primary = QGuiApplication::primaryScreen(); primary != nullptr && p.window->isVisible()) {
    const QRect room = primary->availableGeometry();
    QPoint at = p.window->frameGeometry().topRight() + QPoint(12, 0);
    if (at.x() + p.virtualMouse->width() > room.right())
      at = room.bottomRight() - QPoint(p.virtualMouse->width() + 12, p.virtualMouse->height() + 12);
    p.virtualMouse->move(at);
  }
}

void Shell::Raise() {
  ui::MainWindow* window = parts_->window.get();
  if (window == nullptr) return;
  // Shown again even from minimised or hidden to the tray.
  window->setWindowState((window->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
  window->showNormal();
  window->raise();
  window->activateWindow();
  if (parts_->virtualMouseFollows) parts_->virtualMouse->show();
}

void Shell::OnHideToTray() {
  if (!parts_->tray->Available()) {
    QuitAsked();  // no tray to come back from: no invisible process stays
    return;
  }
  if (parts_->virtualMouseFollows) parts_->virtualMouse->hide();
  parts_->window->hide();
}

void Shell::QuitAsked() {
  // The macro being edited is not lost on the way out: Cancel keeps the
  // program running.
  if (parts_->macroEdit)
    parts_->macroEdit->LeaveEdits([this] { Quit(); });
  else
    Quit();
}

void Shell::Quit() {
  ShellParts& p = *parts_;
  if (p.quitting) return;
  p.quitting = true;
  emit p.appSignals.closing();
  if (p.controller) p.controller->Stop();
  // The windows posted what they held back on closing(): it reaches the
  // mouse before the executor goes (which would cancel what is still queued).
  if (p.world) p.world->GetSession().FinishPostedWork();
  QCoreApplication::quit();
}

}  // namespace quorix::app
