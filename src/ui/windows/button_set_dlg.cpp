#include "ui/windows/button_set_dlg.h"

#include <QCloseEvent>
#include <QDate>
#include <QFileDialog>
#include <QKeyEvent>
#include <QPointer>

#include "session/macro_recording.h"
#include "session/session.h"
#include "ui/app_signals.h"
#include "ui/gui_thread.h"
#include "ui/windows/data_folder.h"
#include "ui/windows/macro_list.h"
#include "ui/windows/option_dlg.h"

namespace quorix::ui {
namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

CButtonSetDlg::CButtonSetDlg(UiEnv& env, const KeyboardLayout& keyboard, int profile, int button, QWidget* parent,
                             MacroRecording* recording)
    : SkinWindow(QSize(kButtonSetWidth, kButtonSetHeight), parent),
      env_(env),
      profile_(profile),
      button_(button),
      keyTexts_(MakeKeyTexts(env.texts)),
      painter_(Pictures()),
      recording_(recording) {
  const std::shared_ptr<const SettingsImage> image = env.session.State().image.Snapshot();
  ButtonSettingsModel::Setup setup;
  setup.keyTexts = &keyTexts_;
  setup.texts = &env.texts;
  setup.keyboard = keyboard;
  if (profile >= 0 && profile < kProfileCount && button >= 0 && button < kMaxButtons) {
    const ButtonRecord& r = image->profiles[static_cast<size_t>(profile)].buttons[static_cast<size_t>(button)];
    setup.record = ButtonFunction{r.type, r.p1, r.p2, r.p3};
  }
  setup.specialSlot = IsSpecialButtonSlot(button, image->protocolLevel);
  setup.dpiStep = DpiStepForModel(image->modelCode);
  setup.macroName = [macroSlots = image->macroSlots](int code) { return MacroNameAtCodeAddress(macroSlots, code); };
  const int importSlot = ImportSlotFor(*image, profile, button);
  setup.freeMacroSpace = importSlot < 0 ? 0 : FreeMacroSpace(image->macroSlots, MacroLayoutOf(*image), importSlot);
  model_ = std::make_unique<ButtonSettingsModel>(std::move(setup));

  const QString name = Q(env.texts[static_cast<OrderName>(button)]);
  title_ = Q(env.texts[Label::kButtonSettings]) +
           (name.isEmpty() ? QStringLiteral(" - %1").arg(button + 1) : QStringLiteral(" - ") + name);
  setWindowTitle(title_);
  setWindowModality(Qt::ApplicationModal);

  AddItem(ButtonSetRole::kClose, 0, button_layout::Close(), Q(env.texts[Label::kCancel]));
  const auto& choices = model_->Choices();
  for (int i = 0; i < static_cast<int>(choices.size()); ++i)
    AddItem(ButtonSetRole::kChoice, i, button_layout::Choice(i), Q(choices[static_cast<size_t>(i)].caption));
  const Label modes[] = {Label::kOnce, Label::kLoop, Label::kFirekey};
  for (int m = 0; m < 3; ++m)
    AddItem(ButtonSetRole::kMacroMode, m, button_layout::MacroMode(m), Q(env.texts[modes[m]]), kSkinItemRadio);
  AddItem(ButtonSetRole::kSelectMacro, 0, button_layout::SelectMacro(), Q(env.texts[Label::kSelect]));
  AddItem(ButtonSetRole::kImportMacro, 0, button_layout::ImportMacro(), Q(env.texts[Label::kImport]));
  AddItem(ButtonSetRole::kRecord, 0, button_layout::Record(), Q(env.texts[Label::kRecord]));
  AddItem(ButtonSetRole::kRecordIntervals, 0, button_layout::RecordIntervals(), Q(env.texts[Label::kRecordIntervals]));
  const auto& keys = model_->Keyboard().keys;
  for (int k = 0; k < static_cast<int>(keys.size()); ++k) {
    const KeyboardKey& key = keys[static_cast<size_t>(k)];
    AddItem(ButtonSetRole::kKey, k, QRectF(key.left, key.top, key.right - key.left, key.bottom - key.top),
            Q(key.legend));
  }
  AddItem(ButtonSetRole::kOk, 0, button_layout::Ok(), Q(env.texts[Label::kOk]));
  AddItem(ButtonSetRole::kCancel, 0, button_layout::Cancel(), Q(env.texts[Label::kCancel]));

  openFile_ = [this] {
    const QString filter = Q(env_.texts[Desktop::kMacroFile]) + QStringLiteral(" (*.mf)");
    return QFileDialog::getOpenFileName(this, Q(env_.texts[Label::kImport]), InDataFolder(env_), filter);
  };
  pickMacro_ = [this] { return PickFromMacroList(env_, this, MacroListMode::kPickMacro); };
  message_ = [this](const QString& message) { RunOptionDlg(env_, this, title_, message, Choices::kOk); };

  if (recording_) {
    // The capture's thread: hand the change over to the window's.
    recording_->SetChangedCallback(
        [guard = QPointer<QObject>(this), this] { PostToGui(guard, [this] { RecordingChanged(); }); });
  }
  connect(&env.appSignals, &AppSignals::deviceGone, this, &CButtonSetDlg::Cancel);
  connect(&env.appSignals, &AppSignals::closing, this, &CButtonSetDlg::Cancel);
  connect(&env.appSignals, &AppSignals::activeProfileChanged, this, &CButtonSetDlg::Cancel);
  Sync();
  ItemsChanged();
}

CButtonSetDlg::~CButtonSetDlg() {
  if (recording_) {
    recording_->SetChangedCallback({});
    if (recordingHere_) recording_->Stop();
  }
  if (loop_.isRunning()) loop_.exit();
}

void CButtonSetDlg::AddItem(ButtonSetRole role, int index, QRectF rect, QString label, int kind) {
  SkinItem item;
  item.rect = rect;
  item.code = ButtonSetCode(role, index);
  item.label = std::move(label);
  item.kind = kind;
  Items().push_back(std::move(item));
}

int CButtonSetDlg::ItemIndex(ButtonSetRole role, int index) const {
  const int code = ButtonSetCode(role, index);
  for (size_t i = 0; i < Items().size(); ++i)
    if (Items()[i].code == code) return static_cast<int>(i);
  return -1;
}

void CButtonSetDlg::Sync() {
  const ButtonSettingsModel& m = *model_;
  const int highlighted = m.Highlighted();
  const ButtonFunction& r = m.Record();
  const bool macroType = r.type >= kFnMacroOnce && r.type <= kFnMacroFire && r.p3 != kNoMacroMarker;
  const bool reading = recording_ && recordingHere_ && recording_->Reading();
  for (SkinItem& item : Items()) {
    const int index = ButtonSetIndexOf(item.code);
    switch (ButtonSetRoleOf(item.code)) {
      case ButtonSetRole::kChoice:
        item.disabled = m.Excluded(index);
        item.selected = index == highlighted;
        break;
      case ButtonSetRole::kKey:
        item.selected = m.Keyboard().keys[static_cast<size_t>(index)].selected;
        break;
      case ButtonSetRole::kMacroMode:
        item.selected = macroType && m.MacroMode() == kFnMacroOnce + index;
        break;
      case ButtonSetRole::kRecordIntervals:
        item.selected = recording_ ? recording_->Options().recordDelays : true;
        break;
      case ButtonSetRole::kRecord:
        item.label = Q(env_.texts[reading ? Label::kStop : Label::kRecord]);
        break;
      case ButtonSetRole::kOk:
        item.disabled = !m.CanOk();
        break;
      default:
        break;
    }
  }
  update();
}

QString CButtonSetDlg::MacroLine() const {
  if (recording_ && recordingHere_ && recording_->Reading()) {
    if (recording_->State() == RecorderState::kArmed) {
      const QString key = Q(recording_->HotkeyName());
      return Q(env_.texts[Msg::kPressToStart]).replace(QStringLiteral("%s"), key);
    }
    return Q(env_.texts[Msg::kRecording]);
  }
  const ButtonSettingsModel& m = *model_;
  if (!m.MacroChosen()) return {};
  QString line = Q(m.MacroName());
  if (m.Pending()) line += QStringLiteral("  (%1)").arg(m.Pending()->items.size());
  return line;
}

void CButtonSetDlg::PaintSkin(QPainter& painter) {
  const TextTables& t = env_.texts;
  std::vector<QString> captions = {Q(t[Msg::kMouseButton]),
                                   QString(),
                                   Q(t[Label::kDpiSettings]),
                                   Q(keyTexts_.profileWord),
                                   Q(t[FnName::kMultimedia]),
                                   QString(),
                                   Q(t[ClassName::kKeyboard]) + QStringLiteral(" / ") + Q(t[ClassName::kMacro])};
  ButtonSetScene scene{*model_,       Items(),
                       Interaction(), env_.fonts,
                       title_,        std::move(captions),
                       MacroLine(),   recording_ && recordingHere_ && recording_->Reading(),
                       status_,       InputBlocked() ? std::optional<double>(0.0) : std::nullopt};
  painter_.Paint(painter, scene);
}

void CButtonSetDlg::OnItemActivated(int index) {
  const SkinItem& item = Items()[static_cast<size_t>(index)];
  const int i = ButtonSetIndexOf(item.code);
  status_.clear();
  switch (ButtonSetRoleOf(item.code)) {
    case ButtonSetRole::kClose:
    case ButtonSetRole::kCancel:
      Cancel();
      return;
    case ButtonSetRole::kOk:
      Ok();
      return;
    case ButtonSetRole::kChoice:
      model_->Choose(i);
      break;
    case ButtonSetRole::kKey:
      model_->ClickKey(i);
      break;
    case ButtonSetRole::kMacroMode:
      model_->SetMacroMode(kFnMacroOnce + i);
      if (!model_->MacroChosen()) model_->Choose(kChoiceMacro);
      break;
    case ButtonSetRole::kSelectMacro:
      if (const std::optional<MacroListItem> row = pickMacro_()) TakeMacroRow(*row);
      break;
    case ButtonSetRole::kImportMacro:
      if (openFile_) {
        const QString path = openFile_();
        if (!path.isEmpty()) ImportMacroFile(path);
      }
      break;
    case ButtonSetRole::kRecord:
      ToggleRecording();
      break;
    case ButtonSetRole::kRecordIntervals:
      if (recording_) {  // shared with the editor's record options
        RecordOptions options = recording_->Options();
        options.recordDelays = !options.recordDelays;
        recording_->SetOptions(options);
      }
      break;
  }
  Sync();
}

void CButtonSetDlg::TakeMacroRow(const MacroListItem& row) {
  switch (ClassifyListRow(row)) {
    case ListRowKind::kDeviceMacro:
      model_->ChooseDeviceMacro(ListRowCodeAddress(row), row.name);
      break;
    case ListRowKind::kMacroFile:
      ImportMacroFile(Q(row.path));
      break;
    case ListRowKind::kFunction:
    case ListRowKind::kNothing:
      break;
  }
  Sync();
}

void CButtonSetDlg::ImportMacroFile(const QString& path) {
  if (const std::optional<Msg> message = model_->ImportMacroFile(path.toStdString())) message_(Q(env_.texts[*message]));
  Sync();
}

void CButtonSetDlg::ToggleRecording() {
  if (!recording_ || !recording_->Available()) {
    status_ = recording_ ? Q(recording_->UnavailableReason()) : QStringLiteral("coming");
    return;
  }
  if (recordingHere_ && recording_->Reading()) {
    recording_->Stop();
    return;  // RecordingChanged() takes the items
  }
  recordingHere_ = true;
  if (const Outcome started = recording_->Record(); !started) {
    recordingHere_ = false;
    status_ = Q(started.detail);
  }
}

void CButtonSetDlg::RecordingChanged() {
  if (!recording_ || !recordingHere_) return;
  if (!recording_->Reading()) {
    recordingHere_ = false;
    if (recording_->InputLost()) status_ = Q(recording_->UnavailableReason());
    std::vector<MacroItem> items = recording_->Items();
    if (!items.empty()) {
      const std::string name = "macro_" + QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")).toStdString();
      model_->ChooseRecordedMacro(name, std::move(items));
    }
  }
  Sync();
}

void CButtonSetDlg::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    Cancel();
    return;
  }
  SkinWindow::keyPressEvent(event);
}

void CButtonSetDlg::closeEvent(QCloseEvent* event) {
  if (result_ < 0) Finish(0);
  event->accept();
}

void CButtonSetDlg::Open() {
  // Centred over the window that opened it, placed before it is mapped.
  if (QWidget* over = parentWidget()) move(over->frameGeometry().center() - rect().center());
  show();
  raise();
  activateWindow();
}

std::optional<ButtonSettingsResult> CButtonSetDlg::Run() {
  Open();
  if (result_ < 0) loop_.exec();
  return accepted_;
}

void CButtonSetDlg::Ok() {
  if (result_ >= 0 || !model_->CanOk()) return;
  accepted_ = model_->Ok();
  Finish(1);
}

void CButtonSetDlg::Cancel() {
  if (result_ >= 0) return;
  Finish(0);
}

void CButtonSetDlg::Finish(int result) {
  result_ = result;
  if (recording_ && recordingHere_) {
    recordingHere_ = false;
    recording_->Stop();
  }
  hide();
  if (loop_.isRunning()) loop_.exit();
  emit finished(result);
}

}  // namespace quorix::ui
