#include "app/shell.h"

#include <QApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QScreen>
#include <QStandardPaths>
#include <QWindow>
#include <iostream>

#include "app/desktop_notice.h"
#include "app/device_controller.h"
#include "app/font_setup.h"
#include "app/local_instance_channel.h"
#include "app/screenshot_tour.h"
#include "app/tray.h"
#include "keys/pc_actions.h"
#include "macro/macro_library.h"
#include "options/language_setting.h"
#include "platform/linux/system_services.h"
#include "platform/linux/wayland_overlay_surface.h"
#include "options/acceleration_switch.h"
#include "options/autostart.h"
#include "options/language_setting.h"
#include "options/options_store.h"
#include "platform/linux/foreground_choice.h"
#include "platform/linux/x11_foreground_source.h"
#include "platform/linux/pointer_choice.h"
#include "platform/linux/xdg_paths.h"
#include "session/macro_recording.h"
#include "session/models/button_settings_model.h"
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
  std::unique_ptr<LocalInstanceChannel> channel;
  std::unique_ptr<SessionWorld> world;
  ui::AppSignals appSignals;
  std::unique_ptr<ui::SkinFonts> fonts;
  std::unique_ptr<MacroLibrary> macroLibrary;
  std::unique_ptr<ui::UiEnv> env;
  // The hotkey and record options both recordings share.
  std::unique_ptr<RecordingSettings> recordingSettings;
  std::unique_ptr<MacroRecording> recording;
  // The button window's: a recording hands its changes to one window only.
  std::unique_ptr<MacroRecording> buttonRecording;
  QTranslator qtTexts;
  std::unique_ptr<Tray> tray;
  // What the main window uses on the desktop; made before it, gone after it.
  std::unique_ptr<ForegroundSource> foreground;
  std::unique_ptr<PointerSettings> pointer;
  std::unique_ptr<AccelerationSwitch> acceleration;  // with pointer
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
  std::unique_ptr<HorizontalScroller> scroller;
  std::unique_ptr<DeviceController> controller;
  std::unique_ptr<ScreenshotTour> tour;
  int languageId = 1033;
  bool quitting = false;
};

namespace {

// Qt's own translations of its standard buttons, for the text entry's
// captions.
QString QtLocaleFor(int languageId) {
  switch (languageId) {
    case 1041: return QStringLiteral("ja");
    case 1028: return QStringLiteral("zh_TW");
    default: return {};
  }
}

}  // namespace

Shell::Shell(StartSwitches switches, QObject* parent)
    : QObject(parent), switches_(std::move(switches)), parts_(std::make_unique<ShellParts>()) {}

Shell::~Shell() {
  if (!parts_) return;
  if (parts_->controller) parts_->controller->Stop();
  // The desktop's acceleration is the user's, not only this program's.
  if (parts_->acceleration) parts_->acceleration->GiveBack();
  if (parts_->world) {
    try {
      parts_->world->SaveSimState();
    } catch (const WorldError& e) {
      std::cerr << "quorix-mouse: " << e.message << "\n";
    }
  }
}

int Shell::InitInstance() {
  ShellParts& p = *parts_;
  // Folders: the program's read-only data and the user's data folder.
  const XdgPaths paths(QUORIX_SOURCE_DATA_DIR);
  const std::string programFolder = paths.ProgramFolder();
  const std::string dataFolder = DataFolderIn(paths.DocumentsFolder());
  PrepareDataFolder(dataFolder);  // what cannot be made is simply missing later

  p.channel = std::make_unique<LocalInstanceChannel>(InstanceSocketName(QString::fromLatin1(kWaitEventName)));
  if (switches_.close) {
    p.channel->Send(InstanceSignal::kClose);
    return 0;
  }
  if (const std::string problem = StartSwitchesProblem(switches_); !problem.empty()) {
    std::cerr << "quorix-mouse: " << problem << "\n";
    return 2;
  }

  LanguageSelection language = SelectLanguage(switches_.classicArgs, dataFolder, programFolder);
  p.languageId = language.languageId;

  if (!p.channel->Claim()) {
    if (!switches_.hide) p.channel->Send(InstanceSignal::kWait);
    return 0;
  }
  p.channel->Receive([this](InstanceSignal signal) {
    if (signal == InstanceSignal::kClose) Quit();
    else Raise();
  });

  const UiFontFamilies families = SetUpUiFonts(p.languageId);
  p.fonts = std::make_unique<ui::SkinFonts>(families.family, families.family15);
  QApplication::setFont(p.fonts->Gdi13());
  if (const QString locale = QtLocaleFor(p.languageId); !locale.isEmpty()) {
    if (p.qtTexts.load(QStringLiteral("qtbase_") + locale, QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
      QCoreApplication::installTranslator(&p.qtTexts);
  }

  WorldOptions world;
  world.simulate = switches_.simulate;
  world.simOptions = switches_.simOptions;
  world.simState = switches_.simState;
  world.simulateInRealTime = true;  // the windows' timers run on the real clock
  world.applicationFolders = paths.ApplicationFolders();
  world.setIni = dataFolder + kSetIniName;
  world.texts = std::move(language.texts);
  try {
    p.world = std::make_unique<SessionWorld>(world);
  } catch (const WorldError& e) {
    std::cerr << "quorix-mouse: " << e.message << "\n";
    return 1;
  }
  Session& session = p.world->GetSession();
  session.ReloadOptions();  // a set.ini that cannot be read leaves the defaults
  p.macroLibrary =
      std::make_unique<MacroLibrary>(dataFolder + "Favorite", programFolder, MakeLibraryTexts(session.Texts()));
  p.macroLibrary->Scan();
  p.env = std::make_unique<ui::UiEnv>(ui::UiEnv{session, session.Texts(), *p.fonts, p.appSignals, p.macroLibrary.get()});
  // Global input for the macro recorder: made now, read only while recording.
  // Both start with the hotkey set.ini keeps.
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

  p.tray = std::make_unique<Tray>(session.Texts());
  QApplication::setQuitOnLastWindowClosed(!p.tray->Available());
  connect(p.tray.get(), &Tray::restoreRequested, this, &Shell::Raise);
  connect(p.tray.get(), &Tray::quitRequested, this, &Shell::QuitAsked);

  p.window = std::make_unique<ui::MainWindow>(*p.env);
  p.window->setWindowIcon(p.tray->Icon().icon());
  p.window->SetKeyboardLayout(LoadKeyboardLayoutFile(programFolder + "/keyboard.ini", MakeKeyTexts(session.Texts())));
  p.window->SetRecording(p.buttonRecording.get());
  const DesktopEnvironment desktop = DesktopEnvironment::FromProcess();
  if (QGuiApplication::platformName() != QLatin1String("offscreen")) {
    // The desktop's own channel where it has one; X11 windows (XWayland ones
    // included) otherwise.
    Result<std::unique_ptr<ForegroundSource>> foreground = OpenForegroundSource(desktop);
    if (foreground) p.foreground = std::move(foreground).value();
    p.window->SetForegroundSource(p.foreground.get(), foreground.detail());
  } else {
    p.window->SetForegroundSource(nullptr, kNeedsX11Text);
  }
  // On a Wayland desktop the compositor's own setting is the real one, also
  // for a program on XWayland, whose X pointer control reaches no device.
  if (QGuiApplication::platformName() != QLatin1String("offscreen")) {
    if (auto pointer = OpenPointerSettings(desktop)) p.pointer = std::move(pointer).value();
  }
  // The option as read at start-up takes effect at once, as the switch
  // shows it: checked (the default) switches the desktop's acceleration off.
  if (p.pointer) p.acceleration = std::make_unique<AccelerationSwitch>(*p.pointer);
  p.window->SetPointerControl(p.acceleration != nullptr);
  if (p.acceleration && session.CurrentOptions().disableAcceleration != 0) p.acceleration->Apply(true);
  // Starting with the session is offered where a desktop reads autostart
  // entries; the screenshot tour and tests keep the user's folder alone.
  if (QGuiApplication::platformName() != QLatin1String("offscreen")) {
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (!config.isEmpty())
      p.window->SetAutostartEntry(AutostartEntryPath(config.toStdString()),
                                  QCoreApplication::applicationFilePath().toStdString());
  }
  connect(p.window.get(), &ui::MainWindow::accelerationOptionChanged, this, [this](bool disable) {
    if (parts_->acceleration) parts_->acceleration->Apply(disable);
  });
  connect(p.window.get(), &ui::MainWindow::hideToTrayRequested, this, &Shell::OnHideToTray);
  // The macro editor lives hidden beside the main window and shows on demand.
  p.macroEdit = std::make_unique<ui::MacroEdit>(*p.env, p.recording.get());
  p.macroEdit->setWindowIcon(p.tray->Icon().icon());
  connect(p.window.get(), &ui::MainWindow::macroEditRequested, p.macroEdit.get(), &ui::MacroEdit::ShowEditor);
  connect(p.macroEdit.get(), &ui::MacroEdit::macrosChanged, p.window.get(), [this] { parts_->window->ShowLoaded(); });
  connect(p.window.get(), &ui::MainWindow::quitRequested, this, &Shell::QuitAsked);

  p.osd = std::make_unique<ui::OsdWindow>(*p.env, session.GetClock());
  connect(p.window.get(), &ui::MainWindow::osdRequested, p.osd.get(),
          [this](const VendorReport& report) { parts_->osd->OnStateReport(report.raw); });
  if (!ui::DesktopPlacesWindows()) {
    // The layer shell's overlay where the compositor has one (wlroots,
    // KWin); without it (GNOME) notifications stand in, which is no fault.
    if (Result<std::unique_ptr<WaylandOverlaySurface>> overlay = WaylandOverlaySurface::Open()) {
      p.overlay = std::move(overlay).value();
    }
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

  p.controller = std::make_unique<DeviceController>(session, p.appSignals);
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
  if (p.injector) {
    p.scroller = std::make_unique<HorizontalScroller>(*p.injector, session.GetClock());
    p.controller->SetScroller(p.scroller.get());
  }

  if (sim::SimHidHost* host = p.world->SimHost()) {
    p.virtualMouse = std::make_unique<ui::VirtualMouseWindow>(
        *p.env, [host](sim::SimPress press) { host->Mouse().Press(press); });
  }

  if (const std::optional<WindowPlace>& place = p.window->CurrentOptions().windowPlace) {
    QScreen* screen = QGuiApplication::screenAt(QPoint(place->x, place->y));
    if (screen == nullptr) screen = QGuiApplication::primaryScreen();
    if (screen != nullptr) p.window->RestorePlace(screen->availableGeometry());
  }
  if (!switches_.hide) p.window->show();
  // The screenshot tour shows the virtual mouse for its own picture only. A
  // window hidden again before the window manager has mapped it stays on
  // screen unpainted, so it is not shown here just to be hidden.
  if (p.virtualMouse && switches_.screenshotDir.empty()) {
    // Beside the main window where the screen has room, else in the
    // screen's corner; placed before it is shown, so the window manager
    // maps it there.
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
    } else if (const QScreen* screen = QGuiApplication::primaryScreen(); screen != nullptr && p.window->isVisible()) {
      const QRect room = screen->availableGeometry();
      QPoint at = p.window->frameGeometry().topRight() + QPoint(12, 0);
      if (at.x() + p.virtualMouse->width() > room.right()) at = room.bottomRight() - QPoint(p.virtualMouse->width() + 12, p.virtualMouse->height() + 12);
      p.virtualMouse->move(at);
    }
    p.virtualMouse->show();
  }
  p.controller->Start();

  if (!switches_.screenshotDir.empty()) {
    const QString folder =
        QDir(QString::fromStdString(switches_.screenshotDir)).filePath(QString::number(p.languageId));
    p.tour = std::make_unique<ScreenshotTour>(*p.env, folder, p.window.get(), p.osd.get(), p.virtualMouse.get());
    p.tour->SetMacroEditor(p.macroEdit.get());
    connect(p.controller.get(), &DeviceController::reloaded, p.tour.get(), &ScreenshotTour::Begin);
    connect(p.tour.get(), &ScreenshotTour::finished, this, &Shell::Quit);
  }
  return -1;
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
  QCoreApplication::quit();
}

}  // namespace quorix::app
