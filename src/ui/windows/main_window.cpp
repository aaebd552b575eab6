#include "ui/windows/main_window.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEvent>
#include <QFileDialog>
#include <QMouseEvent>
#include <QScreen>
#include <algorithm>
#include <memory>

#include "session/capabilities.h"
#include "session/failure_text.h"
#include "session/restore_file.h"
#include "session/session.h"
#include "ui/app_signals.h"
#include "ui/gui_thread.h"
#include "ui/skin/due_timer.h"
#include "ui/windows/button_set_dlg.h"
#include "ui/windows/color_dlg.h"
#include "ui/windows/data_folder.h"
#include "ui/windows/function_drag.h"
#include "ui/windows/lift_dialog.h"
#include "ui/windows/macro_list.h"
#include "ui/windows/option_dlg.h"
#include "ui/windows/str_dlg.h"

namespace quorix::ui {
namespace {

// How often the foreground window is looked at while a binding is on: short
// enough that the profile follows a switch of program at once.
constexpr int kForegroundCheckMs = 250;
QString Q(const std::string& s) { return QString::fromStdString(s); }

QString DesktopText(const UiEnv& env, Desktop name) { return Q(env.texts[name]); }

// The program chooser's filters: programs of this desktop have no
// extension, Windows games run through Wine or Proton keep theirs.
QString ProgramFilters(const UiEnv& env) {
  return QStringLiteral("%1 (*);;%2 (%3)")
      .arg(DesktopText(env, Desktop::kPrograms), DesktopText(env, Desktop::kApplication),
           QString::fromLatin1(kApplicationFilterPattern));
}

// The desktop services give their reason in English: a sentence of the
// text table is shown in the chosen language, a detail after it as it came.
QString ForegroundReasonText(const UiEnv& env, const std::string& reason) {
  for (const Desktop text : {Desktop::kNeedsX11, Desktop::kGnomeExtension}) {
    const std::string& english = EnglishTexts()[text];
    if (reason.rfind(english, 0) == 0) return DesktopText(env, text) + Q(reason.substr(english.size()));
  }
  return Q(reason);
}

QString BackupFilter(const UiEnv& env) { return DesktopText(env, Desktop::kBackupFile) + QStringLiteral(" (*.bf)"); }

}  // namespace

MainWindow::MainWindow(UiEnv& env, QWidget* parent)
    : SkinWindow(QSize(kMainWindowWidth, kMainWindowHeight), parent),
      env_(env),
      model_(env.session.GetClock(), env.session.State(),
             [this](std::string name, FieldWrite write) {
               // The toggles show what the mouse took once the write is done.
               env_.session.Write(std::move(write), std::move(name))
                   .Then(OnGuiThread(this, [this](const Outcome& outcome) {
                     model_.RefreshImage();
                     if (!outcome) Say(Q(FailureText(env_.texts, outcome.failure, FailedWhile::kWriting)));
                     SyncItems();
                   }));
             }),
      painter_(Pictures()),
      random_(static_cast<uint32_t>(env.session.GetClock().NowMs())),
      lighting_(env.session.GetClock(), random_),
      buttonText_(MainWindowButtonTexts(env.texts)),
      options_(env.session.CurrentOptions()),
      lift_(new LiftDialogs(env, this)) {
  setWindowTitle(QStringLiteral("QUORIX Gaming Mouse Software"));
  setAcceptDrops(true);  // functions dragged from the macro list onto the buttons
  timer_.setSingleShot(true);
  connect(&timer_, &QTimer::timeout, this, &MainWindow::RunDueTimers);
  foregroundTimer_.setInterval(kForegroundCheckMs);
  connect(&foregroundTimer_, &QTimer::timeout, this, &MainWindow::CheckForeground);
  lift_->SetSay([this](const QString& text) { Say(text); });
  // The one writer of set.ini: the recording hotkey chosen in the macro
  // editor is both the key and the name key there.
  connect(&env.appSignals, &AppSignals::recordHotkeyChosen, this,
          [this](int usage) { SaveOption([usage](Options& o) { o.recordHotkey = o.recordHotkeyName = usage; }); });
  connect(&env.appSignals, &AppSignals::closing, this, &MainWindow::KeepPlace);
  connect(&env.appSignals, &AppSignals::closing, this, [this] { model_.WriteHeldBack(); });

  // Array order is hit order: the small controls on a profile card come
  // before the card itself.
  AddItem(MainRole::kClose, 0, layout::Close(), -1, false, QStringLiteral("Close"));
  AddItem(MainRole::kMinimize, 0, layout::Minimize(), -1, false, QStringLiteral("Minimize"));
  for (int page = 0; page < kPageCount; ++page)
    AddItem(MainRole::kTab, page, layout::Tab(page), -1, false, Q(env.texts[kPageLabels[page]]));
  for (int p = 0; p < kProfileCount; ++p) {
    AddItem(MainRole::kProfileSwitch, p, layout::ProfileSwitch(p), -1, true);
    AddItem(MainRole::kAppField, p, layout::AppField(p), -1, true);
    AddItem(MainRole::kProfile, p, layout::ProfileCard(p), -1, true);
  }
  for (int l = 0; l < kDpiPairCount; ++l) {
    AddItem(MainRole::kLevel, l, layout::Level(l), kDpiPage, true, QStringLiteral("Lv.%1").arg(l + 1));
    AddItem(MainRole::kLevelSwitch, l, layout::LevelSwitch(l), kDpiPage, true,
            DesktopText(env, Desktop::kUseLevel).replace(QStringLiteral("%d"), QString::number(l + 1)));
  }
  AddItem(MainRole::kXyIndependent, 0, layout::XyIndependent(), kDpiPage, true, Q(env_.texts[Label::kXyIndependent]));
  for (int i = 0; i < kSliderCount; ++i) {
    model_.SetTrack(i, layout::Track(i));
    const Slider& s = model_.SliderAt(i);
    if (s.page == kNoPage) continue;
    const QString label =
        i == kReportRateSlider
            ? Q(env_.texts[Label::kReportRate])
            : QStringLiteral("Lv.%1 %2").arg(s.level + 1).arg(s.kind == SliderKind::kDpiX ? "X" : "Y");
    AddItem(MainRole::kSlider, i, layout::SliderArea(i), s.page, true, label);
  }
  AddItem(MainRole::kAngleSnapping, 0, layout::Option(0), kOtherPage, true, Q(env_.texts[Label::kAngleSnapping]));
  AddItem(MainRole::kOsd, 0, layout::Option(1), kOtherPage, false, Q(env_.texts[Label::kOsd]));
  AddItem(MainRole::kAcceleration, 0, layout::Option(2), kOtherPage, false, Q(env_.texts[Label::kNoAcceleration]));
  AddItem(MainRole::kAutostart, 0, layout::Option(3), kOtherPage, false, DesktopText(env, Desktop::kAutostart));
  AddItem(MainRole::kLiftAdjust, 0, layout::LiftAdjust(), kOtherPage, true, Q(env.texts[LiftWord::kTitle]));
  AddItem(MainRole::kBackup, 0, layout::Backup(), kOtherPage, true, Q(env_.texts[Label::kBackup]));
  AddItem(MainRole::kRestore, 0, layout::Restore(), kOtherPage, true, Q(env_.texts[Label::kRestore]));
  AddItem(MainRole::kReset, 0, layout::Reset(), kOtherPage, true, Q(env_.texts[Label::kReset]));
  for (int b = 0; b < kPictureButtons; ++b)
    AddItem(MainRole::kButton, b, layout::ButtonRow(b), kButtonPage, true, Q(env.texts[static_cast<OrderName>(b)]));
  AddItem(MainRole::kColorSetting, 0, layout::ColorSetting(), kButtonPage, true, Q(env_.texts[Label::kColorSetting]));
  AddItem(MainRole::kMacroEdit, 0, layout::MacroEdit(), kButtonPage, true, Q(env_.texts[Label::kMacroEdit]));
  AddItem(MainRole::kFunctionList, 0, layout::FunctionList(), kButtonPage, true, Q(env_.texts[Label::kFunctionList]));
  SyncItems();
  ItemsChanged();
}

void MainWindow::AddItem(MainRole role, int index, QRectF rect, int page, bool needsDevice, QString label) {
  SkinItem item;
  item.rect = rect;
  item.code = MainCode(role, index);
  item.label = std::move(label);
  item.kind = role == MainRole::kTab || role == MainRole::kProfile || role == MainRole::kLevel ? kSkinItemRadio
              : role == MainRole::kLevelSwitch                                                 ? kSkinItemSwitch
                                                                                               : 0;
  Items().push_back(item);
  itemRect_.push_back(rect);
  itemPage_.push_back(page);
  itemNeedsDevice_.push_back(needsDevice);
}

void MainWindow::SyncItems() {
  const MainWindowModel& m = model_;
  const DeviceCapabilities& caps = m.Caps();
  buttonTexts_.clear();
  for (const std::string& text : m.ButtonTexts(buttonText_)) buttonTexts_.push_back(Q(text));
  bool visibilityChanged = false;
  auto& items = Items();
  for (size_t i = 0; i < items.size(); ++i) {
    SkinItem& item = items[i];
    const MainRole role = RoleOf(item.code);
    const int index = IndexOf(item.code);
    bool hidden = itemPage_[i] != -1 && itemPage_[i] != m.Page();
    // What this mouse lacks is not shown at all.
    switch (role) {
      case MainRole::kLevel:
        hidden = hidden || index >= m.LevelsShown();
        break;
      case MainRole::kLevelSwitch:
        hidden = hidden || index >= m.LevelsShown() || !caps.levelSwitches;
        break;
      case MainRole::kSlider:
        hidden = hidden || !m.SliderVisible(index);
        break;
      case MainRole::kLiftAdjust:
        hidden = hidden || !caps.liftAdjustment;
        break;
      case MainRole::kColorSetting:
        hidden = hidden || !caps.lighting;
        break;
      case MainRole::kAutostart:
        hidden = hidden || !autostart_.Available();
        break;
      default:
        break;
    }
    // What is left closes up over what this mouse lacks.
    QRectF rect = itemRect_[i];
    if (!caps.reportRate &&
        (role == MainRole::kAngleSnapping || role == MainRole::kOsd || role == MainRole::kAcceleration ||
         role == MainRole::kLiftAdjust || role == MainRole::kAutostart))
      rect.translate(0, layout::Content().top() + 32 - layout::Option(0).top());
    if (!caps.lighting && role == MainRole::kMacroEdit)
      rect.moveLeft(layout::Content().center().x() - rect.width() / 2);
    if (rect != item.rect) visibilityChanged = true;
    item.rect = rect;
    if (hidden != item.hidden) visibilityChanged = true;
    item.hidden = hidden;
    // The primary-click holder keeps its left click: it is never opened.
    item.disabled = (itemNeedsDevice_[i] && !m.HasDevice()) ||
                    (role == MainRole::kButton && m.HasDevice() && index == m.PrimaryClickHolder());
    switch (role) {
      case MainRole::kTab:
        item.selected = index == m.Page();
        break;
      case MainRole::kProfile:
        item.selected = index == m.ActiveProfile();
        item.label = ProfileName(m, index);
        break;
      case MainRole::kLevel:
        item.selected = index == m.ActiveLevel();
        break;
      case MainRole::kLevelSwitch:
        item.selected = m.LevelOn(index);
        break;
      case MainRole::kProfileSwitch:
        // Named apart from its card, which carries the profile's own name.
        item.label = DesktopText(env_, Desktop::kUseProfile).replace(QStringLiteral("%s"), ProfileName(m, index));
        break;
      case MainRole::kAppField:
        item.label = Q(options_.apps[static_cast<size_t>(index)].appName);
        break;
      case MainRole::kButton:
        if (index < static_cast<int>(buttonTexts_.size()))
          item.label = Q(env_.texts[static_cast<OrderName>(index)]) + ": " + buttonTexts_[static_cast<size_t>(index)];
        break;
      default:
        break;
    }
  }
  if (visibilityChanged) ItemsChanged();
  update();
  SyncLighting();
}

void MainWindow::SyncLighting() {
  lighting_.Load(PictureLightingFrom(model_.Image(), model_.ActiveProfile(), model_.HasDevice(), buttonLayout_));
  // Only the button page shows the mouse picture.
  lighting_.SetShown(isVisible() && !isMinimized() && model_.Page() == kButtonPage);
  ArmTimer();
}

void MainWindow::KeepLighting(const ColorDlg& lighting) {
  // A mouse without lighting refuses the effect; the image keeps what it has.
  const std::optional<Outcome> opened = lighting.OpenJob().Result();
  if (!model_.HasDevice() || !model_.Caps().lighting || !opened || !*opened) return;
  const int effect = lighting.Model().CurrentEffect();
  const auto stored = lighting.Model().Stored();
  env_.session.State().image.Update([&](SettingsImage& image) {
    image.lightingMode = effect;
    for (size_t zone = 0; zone < stored.size(); ++zone) {
      const auto bytes = stored[zone].Bytes();
      std::copy(bytes.begin(), bytes.end(), image.lightingBlock.begin() + static_cast<std::ptrdiff_t>(4 * zone));
    }
  });
  model_.RefreshImage();
}

void MainWindow::showEvent(QShowEvent* event) {
  SkinWindow::showEvent(event);
  SyncLighting();
}

void MainWindow::hideEvent(QHideEvent* event) {
  SkinWindow::hideEvent(event);
  SyncLighting();
}

void MainWindow::changeEvent(QEvent* event) {
  SkinWindow::changeEvent(event);
  if (event->type() == QEvent::WindowStateChange) SyncLighting();
}

void MainWindow::PaintSkin(QPainter& painter) {
  MainWindowScene scene{model_, Items(), Interaction(), env_.texts, env_.fonts, buttonTexts_, options_, busy_, status_};
  scene.autostart = autostart_.On();
  scene.lights = lighting_.Lights();
  painter_.Paint(painter, scene);
}

void MainWindow::SetBusy(std::optional<double> fraction) {
  busy_ = fraction;
  if (fraction) {
    // A drag ends where it is; its debounce still writes.
    model_.EndDrag();
  }
  SetInputBlocked(fraction.has_value());
  update();
}

void MainWindow::ShowLoaded() {
  const std::string path = env_.session.State().CurrentDevice();
  model_.ShowLoaded(CapabilitiesAt(env_.session.Link(), path));
  buttonLayout_ = env_.session.ButtonLayoutAt(path);
  options_ = env_.session.CurrentOptions();
  status_.clear();
  SyncItems();
  ArmTimer();
  UpdateForegroundTimer();
  // A source that tells of changes told of a window that came to the front
  // while the mouse was loading only then, when nothing could switch yet.
  CheckForeground();
}

void MainWindow::ClearDevice() {
  model_.ClearDevice();
  buttonLayout_ = 0;
  SyncItems();
  ArmTimer();
}

void MainWindow::ApplyStateReport(const VendorReport& report) {
  lift_->OnStateReport(report);
  const int profile = model_.ActiveProfile();
  if (!model_.ApplyStateReport(report)) return;
  if (model_.ActiveProfile() != profile) emit env_.appSignals.activeProfileChanged();
  SyncItems();
  ArmTimer();
}

void MainWindow::SetPage(int page) {
  model_.SetPage(page);
  SyncItems();
}

void MainWindow::RestorePlace(const QRect& area) {
  if (!options_.windowPlace) return;
  const WindowPlace& place = *options_.windowPlace;
  // A window larger than the area keeps its top-left corner, with the title
  // and the close button, inside it.
  const int x = std::max(area.left(), std::min(place.x, area.right() + 1 - width()));
  const int y = std::max(area.top(), std::min(place.y, area.bottom() + 1 - height()));
  move(x, y);
  if (place.page >= 0 && place.page < kPageCount) SetPage(place.page);
}

void MainWindow::KeepPlace() {
  const WindowPlace place{pos().x(), pos().y(), model_.Page()};
  SaveOption([place](Options& o) { o.windowPlace = place; });
}

void MainWindow::RunDueTimers() {
  const auto modelDue = model_.NextDueMs();
  if (modelDue && *modelDue <= env_.session.GetClock().NowMs()) {
    model_.Poll();
    update();
  }
  // A lighting step repaints the mouse picture alone.
  if (lighting_.Poll()) update(layout::MousePicture().toAlignedRect());
  ArmTimer();
}

void MainWindow::ArmTimer() {
  std::optional<int64_t> due = model_.NextDueMs();
  if (const auto lit = lighting_.NextDueMs(); lit && (!due || *lit < *due)) due = lit;
  ArmForDue(timer_, due, env_.session.GetClock().NowMs());
}

void MainWindow::Say(const QString& status) {
  status_ = status;
  update();
}

void MainWindow::OnItemActivated(int index) {
  const SkinItem& item = Items()[static_cast<size_t>(index)];
  const int i = IndexOf(item.code);
  status_.clear();
  switch (RoleOf(item.code)) {
    case MainRole::kTab:
      SetPage(i);
      break;
    case MainRole::kClose:
      emit hideToTrayRequested();
      break;
    case MainRole::kMinimize:
      showMinimized();
      break;
    case MainRole::kProfile:
      model_.SelectProfile(i);
      break;
    case MainRole::kProfileSwitch:
      model_.ToggleProfile(i);
      break;
    case MainRole::kLevel:
      if (auto report = model_.SelectLevel(i); report && options_.osdEnabled) emit osdRequested(*report);
      break;
    case MainRole::kLevelSwitch:
      model_.ToggleLevel(i);
      break;
    case MainRole::kXyIndependent:
      model_.SetXyIndependent(!model_.XyIndependent());
      break;
    case MainRole::kAngleSnapping:
      model_.ToggleAngleSnapping();
      break;
    case MainRole::kOsd:
      SaveOption([](Options& o) { o.osdEnabled = o.osdEnabled ? 0 : 1; });
      break;
    case MainRole::kAcceleration:
      SaveOption([](Options& o) { o.disableAcceleration = o.disableAcceleration ? 0 : 1; });
      emit accelerationOptionChanged(options_.disableAcceleration != 0);
      if (!pointerControl_) Say(DesktopText(env_, Desktop::kNoPointerControl));
      break;
    case MainRole::kBackup:
      Backup();
      break;
    case MainRole::kRestore:
      Restore();
      break;
    case MainRole::kReset:
      Reset();
      break;
    case MainRole::kMacroEdit:
      emit macroEditRequested();
      break;
    case MainRole::kColorSetting: {
      ColorDlg lighting(env_, this);
      lighting.Run();
      KeepLighting(lighting);
      break;
    }
    case MainRole::kAppField:
      BindApp(i);
      break;
    case MainRole::kLiftAdjust:
      lift_->RunAuto();
      break;
    case MainRole::kAutostart: {
      if (const Outcome set = autostart_.Flip(); !set) Say(Q(set.detail));
      break;
    }
    case MainRole::kButton:
      OpenButtonSettings(i);
      break;
    case MainRole::kFunctionList:
      OpenFunctionList();
      break;
    case MainRole::kSlider:
      break;
  }
  SyncItems();
  ArmTimer();
}

bool MainWindow::ButtonTakesFunctions(int button) const {
  // Which buttons may take a function is the session's rule, the command
  // line's too; the window adds only that it must show the button.
  return model_.HasDevice() && !busy_ && button < kPictureButtons &&
         quorix::ButtonTakesFunctions(model_.Caps(), button, model_.PrimaryClickHolder());
}

CButtonSetDlg* MainWindow::ButtonDialog() const { return buttonDlg_.data(); }

void MainWindow::OpenButtonSettings(int button) {
  if (!ButtonTakesFunctions(button) || buttonDlg_) return;
  const int profile = model_.ActiveProfile();
  auto* dialog = new CButtonSetDlg(env_, keyboard_, profile, button, this, recording_);
  buttonDlg_ = dialog;
  emit buttonSettingsOpen(true);
  connect(dialog, &CButtonSetDlg::finished, this, [this, dialog, profile, button](int result) {
    std::optional<ButtonSettingsResult> accepted = dialog->Accepted();
    buttonDlg_ = nullptr;
    dialog->deleteLater();
    emit buttonSettingsOpen(false);
    if (result == 1 && accepted && model_.HasDevice() && model_.ActiveProfile() == profile)
      WriteButton(button, std::move(*accepted));
    SyncItems();
  });
  dialog->Open();
}

MacroList* MainWindow::FunctionList() const { return functionList_.data(); }

void MainWindow::OpenFunctionList() {
  if (!functionList_) {
    // Not modal: the user drags from it onto this window's buttons. Any of
    // its buttons, the device going and the program closing put it away.
    auto* list = new MacroList(env_, MacroListMode::kFunctionList, this);
    functionList_ = list;
    connect(list, &MacroList::picked, list, &QObject::deleteLater);
    connect(list, &MacroList::cancelled, list, &QObject::deleteLater);
    // Beside the window, or over the mouse picture where the screen ends
    // first: the button rows, where the functions go, stay in sight.
    QPoint at = frameGeometry().topRight() + QPoint(8, 0);
    const QScreen* screen = this->screen();
    if (screen != nullptr && at.x() + list->width() > screen->availableGeometry().right())
      at = frameGeometry().topLeft() + QPoint(8, 40);
    list->move(at);
  }
  functionList_->show();
  functionList_->raise();
  Say(Q(env_.texts[Msg::kQuickDrop]));  // "Quick Drop Function: Drag and Drop to Button Setting ..."
}

bool MainWindow::DropRow(int button, const MacroListItem& row) {
  if (!ButtonTakesFunctions(button)) return false;
  bool cut = false;
  std::optional<ButtonSettingsResult> result =
      DroppedRowResult(row, model_.Image(), model_.ActiveProfile(), button, cut);
  if (!result) return false;
  if (cut) Say(Q(env_.texts[Msg::kLackOfSpace]));  // "Lack of space !!": what fits is stored
  WriteButton(button, std::move(*result));
  return true;
}

int MainWindow::ButtonAt(QPointF point) const {
  // A button's row, or its numbered spot on the mouse picture.
  constexpr double kSpotRadius = 14;
  for (const SkinItem& item : Items()) {
    if (item.hidden || RoleOf(item.code) != MainRole::kButton) continue;
    const QPointF d = point - layout::ButtonSpot(IndexOf(item.code));
    if (item.rect.contains(point) || d.x() * d.x() + d.y() * d.y() <= kSpotRadius * kSpotRadius)
      return IndexOf(item.code);
  }
  return -1;
}

void MainWindow::WriteButton(int button, ButtonSettingsResult result) {
  const bool withMacro = result.macro.has_value();
  if (withMacro) SetBusy(0.0);
  env_.session.Write(ButtonSettingsWrite(model_.ActiveProfile(), button, std::move(result)), "button")
      .Then(OnGuiThread(this, [this, withMacro](const Outcome& outcome) {
        if (withMacro) SetBusy(std::nullopt);
        model_.RefreshImage();
        if (!outcome) Say(Q(FailureText(env_.texts, outcome.failure, FailedWhile::kWriting)));
        SyncItems();
      }));
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (FunctionFromMimeData(event->mimeData()))
    event->acceptProposedAction();
  else
    event->ignore();
}

void MainWindow::dragMoveEvent(QDragMoveEvent* event) {
  if (FunctionFromMimeData(event->mimeData()) && ButtonTakesFunctions(ButtonAt(event->position())))
    event->acceptProposedAction();
  else
    event->ignore();
}

void MainWindow::dropEvent(QDropEvent* event) {
  const std::optional<MacroListItem> row = FunctionFromMimeData(event->mimeData());
  if (row && DropRow(ButtonAt(event->position()), *row))
    event->acceptProposedAction();
  else
    event->ignore();
}

void MainWindow::OnItemArrow(int index, int step) {
  const SkinItem& item = Items()[static_cast<size_t>(index)];
  if (RoleOf(item.code) != MainRole::kSlider) return;
  if (model_.StepSlider(IndexOf(item.code), step)) {
    update();
    ArmTimer();
  }
}

void MainWindow::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    const int hit = HitTest(Items(), event->position());
    if (hit >= 0 && RoleOf(Items()[static_cast<size_t>(hit)].code) == MainRole::kSlider) {
      const int slider = IndexOf(Items()[static_cast<size_t>(hit)].code);
      if (model_.BeginDrag(slider)) {
        model_.SetSliderFromCursor(slider, event->position().x());
        update();
        ArmTimer();
      }
      return;
    }
    // A numbered spot on the mouse picture opens its button, as its row does.
    if (const int spot = ButtonAt(event->position()); hit < 0 && spot >= 0 && !InputBlocked()) {
      OpenButtonSettings(spot);
      return;
    }
  }
  SkinWindow::mousePressEvent(event);
}

void MainWindow::mouseMoveEvent(QMouseEvent* event) {
  if (model_.HoldIndex() >= 0) {
    if (model_.SetSliderFromCursor(model_.HoldIndex(), event->position().x())) {
      update();
      ArmTimer();
    }
    return;
  }
  SkinWindow::mouseMoveEvent(event);
}

void MainWindow::mouseReleaseEvent(QMouseEvent* event) {
  if (model_.HoldIndex() >= 0 && event->button() == Qt::LeftButton) {
    model_.EndDrag();
    update();
    return;
  }
  SkinWindow::mouseReleaseEvent(event);
}

void MainWindow::SaveOption(const std::function<void(Options&)>& change) {
  change(options_);
  UpdateForegroundTimer();  // a reset or restore may bind or unbind programs
  if (const Outcome saved = env_.session.SaveOptions(options_); !saved) Say(Q(saved.detail));
}

ProgressFn MainWindow::GuiProgress() {
  return OnGuiThread(this, [this](double fraction) {
    if (busy_) SetBusy(fraction);
  });
}

QString MainWindow::ChooseBackupFile(bool save) {
  const QString folder = InDataFolder(env_);
  if (chooseBackup_) return chooseBackup_(save, folder);
  return save ? QFileDialog::getSaveFileName(this, Q(env_.texts[Label::kBackup]), folder, BackupFilter(env_))
              : QFileDialog::getOpenFileName(this, Q(env_.texts[Label::kRestore]), folder, BackupFilter(env_));
}

void MainWindow::Backup() {
  QString file = ChooseBackupFile(true);
  if (file.isEmpty()) return;
  if (!file.endsWith(QStringLiteral(".bf"), Qt::CaseInsensitive)) file += QStringLiteral(".bf");
  SetBusy(0.0);
  // The file's reason comes back in the job's outcome.
  env_.session.Backup(file.toStdString(), options_.apps, GuiProgress())
      .Then(OnGuiThread(this, [this, file](const Outcome& outcome) {
        SetBusy(std::nullopt);
        if (outcome.failure == Failure::kCannotWriteFile)
          Say(Q(FileFailureText(env_.texts, outcome.failure, file.toStdString(), outcome.detail)));
        else if (!outcome)
          Say(Q(FailureText(env_.texts, outcome.failure, FailedWhile::kReading)));
      }));
}

void MainWindow::Restore() {
  const QString file = ChooseBackupFile(false);
  if (file.isEmpty()) return;
  // Nothing reaches the mouse from a file that is not whole.
  Result<std::vector<uint8_t>> read = ReadRestoreFile(file.toStdString());
  if (!read) {
    Say(Q(read.failure() == Failure::kCannotReadFile
              ? FileFailureText(env_.texts, read.failure(), file.toStdString(), read.detail())
              : FailureText(env_.texts, read.failure(), FailedWhile::kReading)));
    return;
  }
  std::vector<uint8_t> bytes = std::move(read).value();
  if (RunOptionDlg(env_, this, Q(env_.texts[Label::kRestore]), Q(env_.texts[Msg::kOverwriteQuestion])) != Answer::kOk)
    return;
  SetBusy(0.0);
  env_.session.Restore(std::move(bytes), env_.session.SetIni(), RestoreProgress{{}, GuiProgress()})
      .Then(OnGuiThread(this, [this](const RestoreResult& result) { AfterRewrite(result.outcome); }));
}

void MainWindow::Reset() {
  if (RunOptionDlg(env_, this, Q(env_.texts[Label::kReset]), Q(env_.texts[Msg::kResetQuestion])) != Answer::kOk) return;
  // The user said yes already: the reset's own question answers yes, and
  // resets the applications of the profiles.
  auto apps = std::make_shared<ProfileApps>(options_.apps);
  ResetOptions options;
  options.askUser = [] { return true; };
  options.apps = apps.get();
  options.profileWord = kProfileWord;
  options.progress = GuiProgress();
  SetBusy(0.0);
  env_.session.Reset(std::move(options)).Then(OnGuiThread(this, [this, apps](const Outcome& outcome) {
    if (outcome) SaveOption([&](Options& o) { o.apps = *apps; });
    AfterRewrite(outcome);
  }));
}

void MainWindow::AfterRewrite(const Outcome& outcome) {
  SetBusy(std::nullopt);
  env_.session.ReloadOptions();
  ShowLoaded();
  if (!outcome) Say(Q(FailureText(env_.texts, outcome.failure, FailedWhile::kWriting)));
  emit reloadRequested();
}

void MainWindow::SetAutostart(AutostartSwitch autostart) {
  autostart_ = std::move(autostart);
  SyncItems();
  update();
}

void MainWindow::SetInputInjector(InputInjector* injector) { lift_->SetInjector(injector); }

MainWindow::~MainWindow() {
  if (foregroundSource_ != nullptr && foregroundEvents_) foregroundSource_->NotifyChanges({});
}

void MainWindow::SetForegroundSource(ForegroundSource* source, const std::string& reason) {
  // The source calls back on its own thread: each change hops to the GUI
  // thread as a queued call, which Qt drops once this window is gone.
  if (foregroundSource_ != nullptr && foregroundEvents_) foregroundSource_->NotifyChanges({});
  foregroundSource_ = source;
  foregroundEvents_ = source != nullptr && source->NotifyChanges([this] {
    QMetaObject::invokeMethod(this, &MainWindow::CheckForeground, Qt::QueuedConnection);
  });
  switcher_ = source != nullptr ? std::make_unique<AppSwitcher>(*source) : nullptr;
  foregroundReason_ = source != nullptr ? source->Limitation() : reason;
  UpdateForegroundTimer();
}

void MainWindow::UpdateForegroundTimer() {
  const bool bound = std::any_of(options_.apps.begin(), options_.apps.end(),
                                 [](const ProfileApp& app) { return app.appEnabled != 0 && !app.appPath.empty(); });
  if (switcher_ && bound && !foregroundEvents_) {
    if (!foregroundTimer_.isActive()) foregroundTimer_.start();
  } else {
    foregroundTimer_.stop();
  }
}

void MainWindow::CheckForeground() {
  if (!switcher_ || !model_.HasDevice()) return;
  std::array<bool, 5> profileOff{};
  const SettingsImage& image = model_.Image();
  for (size_t p = 0; p < profileOff.size() && p < image.profiles.size(); ++p) profileOff[p] = image.profiles[p].flag;
  int active = model_.ActiveProfile();
  switcher_->CheckForegroundApplication(options_.apps, profileOff, active, [this](int profile) {
    model_.SelectProfile(profile);
    SyncItems();
    update();
    ArmTimer();
  });
}

void MainWindow::BindApp(int profile) {
  BindApplicationHooks hooks;
  hooks.chooseFile = [this]() -> std::optional<std::string> {
    if (chooseFile_) return chooseFile_();
    const QString path = QFileDialog::getOpenFileName(this, QString(), QString(), ProgramFilters(env_));
    if (path.isEmpty()) return std::nullopt;
    return path.toStdString();
  };
  hooks.enterName = [this](const std::string& prompt, const std::string& proposed) -> std::optional<std::string> {
    const auto name = CStrDlg(env_, this).AskName(Q(prompt), Q(proposed));
    if (!name) return std::nullopt;
    return name->toStdString();
  };
  const std::string prompt = env_.texts[Prompt::kName];
  const Result<BindResult> bound = env_.session.BindApplication(env_.session.SetIni(), profile, hooks, prompt);
  env_.session.ReloadOptions();
  options_ = env_.session.CurrentOptions();
  if (!bound)
    Say(Q(bound.detail()));
  else if (!foregroundReason_.empty())
    Say(ForegroundReasonText(env_, foregroundReason_));  // why the binding may not take effect
  else if (!switcher_)
    Say(DesktopText(env_, Desktop::kNoSwitching));
  UpdateForegroundTimer();
}

}  // namespace quorix::ui
