#include "ui/windows/macro_edit.h"

#include <QCloseEvent>
#include <QDate>
#include <QFileDialog>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QWheelEvent>
#include <algorithm>
#include <chrono>

#include "session/failure_text.h"
#include "session/macro_recording.h"
#include "session/models/macro_list_model.h"
#include "session/session.h"
#include "ui/app_signals.h"
#include "ui/art/picture_ids.h"
#include "ui/gui_thread.h"
#include "ui/skin/due_timer.h"
#include "ui/skin/skin_fonts.h"
#include "ui/windows/data_folder.h"
#include "ui/windows/macro_edit_painter.h"
#include "ui/windows/option_dlg.h"
#include "ui/windows/str_dlg.h"

namespace quorix::ui {
namespace {

enum Code {
  kClose = 1,
  kName,
  kMode,
  kRecord,
  kInsertWait,
  kInsertKey,
  kInsertMove,
  kClear,
  kDeleteStep,
  kHotkey,
  kOptDelays,
  kOpt50,
  kOpt200,
  kOptTrack,
  kOptClicks,
  kSave,
  kSaveToList,
  kNewFolder,
  kSaveFile,
  kLoadFile,
  kDeleteRow,
};

constexpr int kInstructionRowHeight = 24;
constexpr int kListRowHeight = 36;
const QRectF kInstructions(20, 84, 390, 470);
const QRectF kList(730, 84, 250, 380);
const QRectF kIndicator(425, 486, 290, 34);
const QRectF kOptionCaption(425, 322, 290, 24);
const QRectF kHotkeyTip(430, 456, 285, 24);
// A recording prompt stays until the recording's state changes.
constexpr int kUntilChanged = 1 << 30;

QString Q(const std::string& s) { return QString::fromStdString(s); }

int64_t NowSeconds() {
  return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch()).count();
}

MacroEdit::Dialogs DefaultDialogs(UiEnv& env, QWidget* parent) {
  MacroEdit::Dialogs d;
  d.name = [&env, parent](const QString& title, const QString& text, int maxLength) -> std::optional<QString> {
    CStrDlg dlg(env, parent);
    dlg.setWindowTitle(title);
    const auto name = dlg.AskName(title, text);
    if (!name) return std::nullopt;
    return name->left(maxLength);
  };
  d.number = [&env, parent](const QString& title, int value, int limit) -> std::optional<int> {
    const auto number = CStrDlg(env, parent).AskNumber(title, value, limit);
    if (!number) return std::nullopt;
    return static_cast<int>(*number);
  };
  d.position = [&env, parent](const QString& title, const MovePosition& start) -> std::optional<MovePosition> {
    const auto point = CStrDlg(env, parent).AskPoint(title, {start.x, start.y, start.absolute});
    if (!point) return std::nullopt;
    return MovePosition{point->x, point->y, point->absolute};
  };
  d.folder = [&env, parent](const QString& title, const std::vector<MacroListItem>& folders) -> std::optional<int> {
    std::vector<FolderChoice> choices;
    for (const MacroListItem& f : folders) choices.push_back({Q(f.name), f.level, f.id});
    return CStrDlg(env, parent).AskFolder(title, std::move(choices));
  };
  d.file = [&env, parent](bool save, const QString& proposed) {
    const QString filter = Q(env.texts[Desktop::kMacroFile]) + QStringLiteral(" (*.mf)");
    if (save) {
      QString path = QFileDialog::getSaveFileName(parent, {}, InDataFolder(env, proposed), filter);
      if (!path.isEmpty() && !path.endsWith(QStringLiteral(".mf"), Qt::CaseInsensitive)) path += QStringLiteral(".mf");
      return path;
    }
    return QFileDialog::getOpenFileName(parent, {}, InDataFolder(env), filter);
  };
  return d;
}

}  // namespace

MacroEdit::MacroEdit(UiEnv& env, MacroRecording* recording, QWidget* parent)
    : SkinWindow(QSize(kWidth, kHeight), parent),
      env_(env),
      recording_(recording),
      model_(env.session.GetClock()),
      macroTexts_(MakeMacroTexts(env.texts)),
      dialogs_(DefaultDialogs(env, this)),
      instructionScroll_(env.session.GetClock()),
      listScroll_(env.session.GetClock()),
      instructionWheel_(env.session.GetClock()),
      listWheel_(env.session.GetClock()),
      fade_(env.session.GetClock()) {
  setWindowTitle(Q(env.texts[Msg::kMacroEditor]));
  timer_.setSingleShot(true);
  connect(&timer_, &QTimer::timeout, this, &MacroEdit::RunDueTimers);
  connect(&env.appSignals, &AppSignals::deviceGone, this, [this] {
    StopRecording();
    Rebuild();
  });
  connect(&env.appSignals, &AppSignals::closing, this, [this] { StopRecording(); });
  connect(&env.appSignals, &AppSignals::reloaded, this, &MacroEdit::Rebuild);
  if (recording_) {
    // The capture's thread: hand the change over to the window's.
    recording_->SetChangedCallback(
        [guard = QPointer<QObject>(this), this] { PostToGui(guard, [this] { OnRecordingChanged(); }); });
  }

  const auto& texts = env.texts;
  AddButton(kClose, QRectF(kWidth - 90, 8, 74, 26), Q(texts[EditorWord::kClose]));
  AddButton(kName, QRectF(20, 48, 230, 28), {});
  AddButton(kMode, QRectF(260, 48, 150, 28), {});
  const QString hotkeyLabel = texts.hotkeyStr.empty() ? QStringLiteral("Change recording hotkey") : Q(texts.hotkeyStr);
  const QString commands[] = {Q(texts[Label::kRecord]),
                              Q(texts[Msg::kInsertDelay]),
                              Q(texts[Msg::kInsertInput]),
                              Q(texts[Msg::kInsertMove]),
                              Q(texts[Label::kClear]),
                              Q(texts[Label::kDelete]),
                              hotkeyLabel};
  const int codes[] = {kRecord, kInsertWait, kInsertKey, kInsertMove, kClear, kDeleteStep, kHotkey};
  for (int i = 0; i < 7; ++i) AddButton(codes[i], QRectF(425, 84 + i * 33, 290, 28), commands[i]);
  AddCheck(kOptDelays, QRectF(430, 350, 280, 22), Q(texts[Label::kRecordIntervals]));
  SkinItem radio;
  radio.kind = kSkinItemRadio;
  radio.imageNormal = radio.imageHover = pic::kRadioNormal;
  radio.imagePressed = pic::kRadioSelected;
  radio.rect = QRectF(450, 376, 100, 22);
  radio.code = kOpt50;
  radio.label = Q(texts.recordMoveStr1);
  Items().push_back(radio);
  radio.rect = QRectF(560, 376, 100, 22);
  radio.code = kOpt200;
  radio.label = Q(texts.recordMoveStr2);
  Items().push_back(radio);
  AddCheck(kOptTrack, QRectF(430, 402, 280, 22), Q(texts[Label::kRecordTrack]));
  AddCheck(kOptClicks, QRectF(430, 428, 280, 22), Q(texts[Label::kRecordClicks]));
  const QString listCommands[] = {Q(texts[Label::kSave]),    Q(texts[Msg::kSaveToList]), Q(texts[Label::kNewFolder]),
                                  Q(texts[Tip::kSaveMacro]), Q(texts[Tip::kLoadMacro]),  Q(texts[Tip::kDeleteMacro])};
  const int listCodes[] = {kSave, kSaveToList, kNewFolder, kSaveFile, kLoadFile, kDeleteRow};
  for (int i = 0; i < 6; ++i)
    AddButton(listCodes[i], QRectF(730 + (i % 2) * 128, 476 + (i / 2) * 32, 122, 28), listCommands[i]);
  Rebuild();
  SyncItems();
}

MacroEdit::~MacroEdit() {
  if (recording_) {
    recording_->SetChangedCallback({});
    recording_->Stop();
  }
}

void MacroEdit::AddButton(int code, QRectF rect, const QString& label) {
  SkinItem item;
  item.rect = rect;
  item.code = code;
  item.label = label;
  Items().push_back(item);
}

void MacroEdit::AddCheck(int code, QRectF rect, const QString& label) {
  SkinItem item;
  item.kind = kSkinItemRadio;
  item.imageNormal = item.imageHover = pic::kCheckOff;
  item.imagePressed = pic::kCheckOn;
  item.rect = rect;
  item.code = code;
  item.label = label;
  Items().push_back(item);
}

void MacroEdit::ShowEditor() {
  Rebuild();
  show();
  raise();
  activateWindow();
}

void MacroEdit::Rebuild() {
  rows_ = MacroEditRows(*env_.session.State().image.Snapshot(), MakeKeyTexts(env_.texts), env_.macroLibrary,
                        env_.texts[Msg::kMacroListPc]);
  if (selectedRow_ >= static_cast<int>(rows_.size())) selectedRow_ = static_cast<int>(rows_.size()) - 1;
  RefreshFreeMemory();
  SyncItems();
}

void MacroEdit::RefreshFreeMemory() {
  freeMemory_ = MacroEditModel::FreeMemory(*env_.session.State().image.Snapshot());
  update();
}

bool MacroEdit::RecordingIndicatorShown() const { return recording_ && recording_->Reading(); }

QString MacroEdit::IndicatorText() const {
  if (!RecordingIndicatorShown()) return {};
  // Armed is not recording yet: nothing is taken until the hotkey is released.
  if (recording_->State() == RecorderState::kArmed) return Q(env_.texts[Desktop::kRecordArmed]);
  return Q(env_.texts[Msg::kRecording]);
}

void MacroEdit::SyncItems() {
  const bool running = recording_ && recording_->State() != RecorderState::kIdle;
  const RecordOptions options = recording_ ? recording_->Options() : RecordOptions{};
  const bool device = !env_.session.State().image.Snapshot()->devicePath.empty();
  for (SkinItem& item : Items()) {
    switch (item.code) {
      case kName:
        item.label = model_.Name().empty() ? Q(env_.texts[Msg::kClickToName]) : Q(model_.Name());
        break;
      case kMode:
        item.label = Q(ModeLabel(model_.Mode(), macroTexts_));
        break;
      case kRecord:
        item.label = Q(env_.texts[running ? Label::kStop : Label::kRecord]);
        item.disabled = !recording_;
        break;
      case kInsertKey:
      case kHotkey:
        item.disabled = !recording_ || running;
        break;
      case kDeleteStep:
        item.disabled = running;
        break;
      case kOptDelays:
        item.selected = options.recordDelays;
        break;
      case kOpt50:
        item.selected = options.intervalMs != 200;
        break;
      case kOpt200:
        item.selected = options.intervalMs == 200;
        break;
      case kOptTrack:
        item.selected = options.cursorTrack;
        break;
      case kOptClicks:
        item.selected = options.clickPositions;
        break;
      case kSave: {
        const auto save = model_.PlannedSave();
        item.disabled = save == MacroEditModel::SaveAction::kNothing ||
                        (save == MacroEditModel::SaveAction::kStoreSlot && !device) ||
                        (save == MacroEditModel::SaveAction::kAddToLibrary && !env_.macroLibrary);
        break;
      }
      case kSaveToList:
      case kNewFolder:
        item.disabled = !env_.macroLibrary;
        break;
      default:
        break;
    }
  }
  ItemsChanged();
}

void MacroEdit::Say(const QString& text, int durationMs) {
  status_ = text;
  if (text.isEmpty())
    fade_.Clear();
  else
    fade_.Show(durationMs);
  update();
  ArmTimer();
}

void MacroEdit::SetBusy(std::optional<double> fraction) {
  busy_ = fraction;
  SetInputBlocked(fraction.has_value());
  update();
}

void MacroEdit::ArmTimer() {
  std::optional<int64_t> due = model_.NextDueMs();
  for (const SmoothScroll* scroll : {&instructionScroll_, &listScroll_})
    if (auto step = scroll->NextDueMs()) due = due ? std::min(*due, *step) : *step;
  // A prompt shown until the recording changes needs no timer while it stays.
  if (auto step = fade_.NextDueMs(); step && *step - env_.session.GetClock().NowMs() < kUntilChanged / 2)
    due = due ? std::min(*due, *step) : *step;
  ArmForDue(timer_, due, env_.session.GetClock().NowMs());
}

void MacroEdit::RunDueTimers() {
  bool repaint = model_.Poll();
  repaint |= instructionScroll_.Poll();
  repaint |= listScroll_.Poll();
  repaint |= fade_.Poll();
  if (repaint) update();
  SyncItems();
  ArmTimer();
}

// ---- recording ----

void MacroEdit::Record() {
  if (!recording_) return;
  if (recording_->State() != RecorderState::kIdle) {
    StopRecording();
    return;
  }
  captureRunning_ = false;
  if (const Outcome started = recording_->Record(); !started) {
    Say(Q(started.detail));
    return;
  }
  OnRecordingChanged();
}

void MacroEdit::InsertCapture() {
  if (!recording_ || recording_->State() != RecorderState::kIdle) return;
  captureRunning_ = true;
  if (const Outcome started = recording_->Capture(); !started) {
    captureRunning_ = false;
    Say(Q(started.detail));
    return;
  }
  OnRecordingChanged();
}

void MacroEdit::SelectHotkey() {
  if (!recording_ || recording_->State() != RecorderState::kIdle) return;
  if (const Outcome started = recording_->SelectHotkey(); !started) {
    Say(Q(started.detail));
    return;
  }
  OnRecordingChanged();
}

void MacroEdit::StopRecording() {
  if (!recording_) return;
  recording_->Stop();
  OnRecordingChanged();
}

void MacroEdit::OnRecordingChanged() {
  if (!recording_) return;
  std::vector<MacroItem> items = recording_->TakeNewItems();
  if (!items.empty()) {
    if (captureRunning_)
      model_.Insert(std::move(items));
    else
      model_.Append(std::move(items));
  }
  // The recordings share the choice already; set.ini keeps it for next time.
  if (auto hotkey = recording_->TakeChosenHotkey()) emit env_.appSignals.recordHotkeyChosen(*hotkey);
  const RecorderState state = recording_->State();
  const QString hotkeyName = Q(recording_->HotkeyName());
  auto prompt = [&](Msg message) { return Q(env_.texts[message]).replace(QStringLiteral("%s"), hotkeyName); };
  if (recording_->SelectingHotkey()) {
    Say(env_.texts.hotkeyModifyStr.empty() ? QStringLiteral("Press keyboard to change") : Q(env_.texts.hotkeyModifyStr),
        kUntilChanged);
  } else if (state == RecorderState::kArmed) {
    Say(prompt(Msg::kPressToStart), kUntilChanged);
  } else if (state == RecorderState::kRecording) {
    Say(prompt(Msg::kPressToStop), kUntilChanged);
  } else if (state == RecorderState::kCapture) {
    Say(Q(env_.texts.recordKeyTipStr), kUntilChanged);
  } else {
    captureRunning_ = false;
    // The input source went away under a recording: say why it stopped;
    // else a recording that ends says so, apart from its arming.
    if (recording_->InputLost())
      Say(Q(recording_->UnavailableReason()));
    else if (shownState_ == RecorderState::kArmed || shownState_ == RecorderState::kRecording)
      Say(Q(env_.texts[Desktop::kRecordStopped]));
    else
      Say({});
  }
  shownState_ = recording_->SelectingHotkey() ? RecorderState::kIdle : state;
  SyncItems();
  update();
  ArmTimer();
}

// ---- the macro list ----

void MacroEdit::LoadRow(int row) {
  if (row < 0 || row >= static_cast<int>(rows_.size())) return;
  const MacroListItem item = rows_[static_cast<size_t>(row)];
  if (env_.macroLibrary && ToggleOpen(*env_.macroLibrary, item)) {
    selectedRow_ = row;
    Rebuild();
    return;
  }
  // The row is selected once its macro is in the editor: a cancelled
  // question leaves the selection with the edits it belongs to.
  auto select = [this, item] {
    selectedRow_ = MacroEditRowOf(rows_, item);
    update();
  };
  if (item.kind == MacroRowKind::kDeviceSlot) {
    if (item.start == 0) {  // the empty slot: a place to store into
      select();
      return;
    }
    LeaveEdits([this, item, select] {
      select();
      ReadBackSlot(item.slot);
    });
    return;
  }
  if (item.type < kModeOnce || item.type > kModeFire || item.path.empty()) {
    selectedRow_ = row;
    update();
    return;
  }
  OpenMacroFile(item.path, select);
}

void MacroEdit::ReadBackSlot(int slot) {
  SetBusy(0.0);
  MacroEditModel::ReadBack(env_.session, slot, OnGuiThread(this, [this](double f) { SetBusy(f); }))
      .Then(OnGuiThread(this, [this, slot](const MacroReadBack& back) {
        SetBusy(std::nullopt);
        model_.ReadBackFinished(back, slot);
        if (!back.outcome) Say(Q(FailureText(env_.texts, back.outcome.failure, FailedWhile::kReading)));
        SyncItems();
      }));
}

void MacroEdit::OpenMacroFile(const std::string& path, std::function<void()> loaded) {
  MacroFileRead read = ReadMacroFile(path);
  if (read.status == MacroFileStatus::kInvalidFormat) {
    RunOptionDlg(env_, this, windowTitle(), Q(env_.texts[Msg::kInvalidFormat]), Choices::kOk);
    return;
  }
  // A file that cannot be read is said, not passed over as if nothing was picked.
  if (!read.file) {
    RunOptionDlg(env_, this, windowTitle(),
                 Q(FileFailureText(env_.texts, Failure::kCannotReadFile, path, read.file.detail())), Choices::kOk);
    return;
  }
  LeaveEdits([this, path, file = std::move(read.file).value(), loaded = std::move(loaded)] {
    model_.Load(file.items, file.header.name, file.header.mode, {MacroEditModel::SourceKind::kFile, path, -1});
    if (loaded) loaded();
    SyncItems();
    update();
  });
}

void MacroEdit::LeaveEdits(std::function<void()> proceed) {
  if (!model_.Unsaved()) {
    proceed();
    return;
  }
  const QString name = model_.Name().empty() ? Q(env_.texts[Msg::kMacroName]) : Q(model_.Name());
  const QString message = Q(env_.texts[Msg::kSaveChanges]).replace(QStringLiteral("%s"), name);
  switch (RunOptionDlg(env_, this, Q(env_.texts[Label::kSave]), message, Choices::kYesNoCancel)) {
    case Answer::kYes:
      Save(std::move(proceed));
      return;
    case Answer::kNo:
      model_.Discard();
      SyncItems();
      update();
      proceed();
      return;
    case Answer::kOk:
    case Answer::kCancel:
    case Answer::kClosed:
      return;
  }
}

void MacroEdit::CloseEditor() {
  LeaveEdits([this] { hide(); });
}

bool MacroEdit::WriteFile(const std::string& path) {
  const Outcome written = model_.WriteFile(path, NowSeconds());
  if (written) return true;
  ReportWriteFailure(path, written.detail);
  return false;
}

void MacroEdit::ReportWriteFailure(const std::string& file, const std::string& reason) {
  QString message =
      Q(FailureText(env_.texts, Failure::kCannotWriteFile, FailedWhile::kReading)) + QLatin1Char('\n') + Q(file);
  if (!reason.empty()) message += QStringLiteral(": ") + Q(reason);
  RunOptionDlg(env_, this, windowTitle(), message, Choices::kOk);
}

void MacroEdit::DropOnRow(int row) {
  if (row < 0 || row >= static_cast<int>(rows_.size())) return;
  const MacroListItem target = rows_[static_cast<size_t>(row)];
  const auto plan = model_.PlanDrop(target, env_.texts[Msg::kMacroName]);
  if (!plan.store && !plan.rewriteFile) return;
  if (plan.askOverwrite) {
    QString message = Q(env_.texts[Msg::kOverwriteMacro]);
    message.replace(QStringLiteral("%s"), Q(target.name));
    if (RunOptionDlg(env_, this, Q(env_.texts[Label::kSave]), message, Choices::kOkCancel) != Answer::kOk) return;
  }
  if (plan.rewriteFile) {
    if (WriteFile(target.path)) {
      if (env_.macroLibrary) env_.macroLibrary->Scan();
      Rebuild();
      emit macrosChanged();
    }
    return;
  }
  const auto name = dialogs_.name(Q(env_.texts[Prompt::kMacroName]), Q(plan.proposedName), 15);
  if (!name) return;
  StoreToSlot(plan.slot, *name);
}

void MacroEdit::StoreToSlot(int slot, const QString& name, std::function<void()> stored) {
  SetBusy(0.0);
  const std::string storedName = name.toStdString();
  model_.PostStore(env_.session, slot, storedName, OnGuiThread(this, [this](double f) { SetBusy(f); }))
      .Then(OnGuiThread(this, [this, slot, storedName, stored](const Outcome& outcome) {
        SetBusy(std::nullopt);
        model_.StoreFinished(outcome, slot, storedName);
        Rebuild();
        if (!outcome) {
          RunOptionDlg(env_, this, windowTitle(), Q(FailureText(env_.texts, outcome.failure, FailedWhile::kWriting)),
                       Choices::kOk);
          return;
        }
        MacroListItem slotRow;
        slotRow.kind = MacroRowKind::kDeviceSlot;
        slotRow.slot = slot;
        if (const int row = MacroEditRowOf(rows_, slotRow); row >= 0) selectedRow_ = row;
        emit macrosChanged();
        if (stored) stored();
      }));
}

void MacroEdit::Save(std::function<void()> saved) {
  switch (model_.PlannedSave()) {
    case MacroEditModel::SaveAction::kNothing:
      return;
    case MacroEditModel::SaveAction::kStoreSlot:
      StoreToSlot(model_.From().slot, Q(model_.Name()), std::move(saved));
      return;
    case MacroEditModel::SaveAction::kRewriteFile:
      if (!WriteFile(model_.From().path)) return;
      if (env_.macroLibrary) env_.macroLibrary->Scan();
      Rebuild();
      emit macrosChanged();
      if (saved) saved();
      return;
    case MacroEditModel::SaveAction::kAddToLibrary:
      SaveToLibrary(std::move(saved));
      return;
  }
}

void MacroEdit::SaveToLibrary(std::function<void()> saved) {
  if (!env_.macroLibrary) return;
  const auto name = dialogs_.name(Q(env_.texts[Msg::kSaveToList]), Q(model_.Name()), 15);
  if (!name) return;
  std::vector<MacroListItem> folders;
  MacroListItem root;
  root.name = env_.texts[Msg::kRoot];
  root.id = 0;
  root.path = env_.macroLibrary->Root();
  folders.push_back(root);
  for (const MacroListItem& row : env_.macroLibrary->Files())
    if (row.kind == MacroRowKind::kFolder) {
      folders.push_back(row);
      folders.back().level += 1;
    }
  const auto folder = dialogs_.folder(Q(env_.texts[Msg::kSaveToList]), folders);
  if (!folder) return;
  const Result<std::string> added =
      env_.macroLibrary->Add(name->toStdString(), model_.Mode(), model_.Items(), *folder, NowSeconds());
  if (!added) {
    const auto where =
        std::find_if(folders.begin(), folders.end(), [&](const MacroListItem& f) { return f.id == *folder; });
    ReportWriteFailure(where == folders.end() ? root.path : where->path, added.detail());
    return;
  }
  const std::string& path = *added;
  // A new macro now lives in the library: Save rewrites that file from here on.
  if (model_.From().kind == MacroEditModel::SourceKind::kNone) {
    model_.SetName(name->toStdString());
    model_.SavedToFile(path);
  }
  Say(Q(env_.macroLibrary->AddStatusText(name->toStdString())));
  Rebuild();
  emit macrosChanged();
  if (saved) saved();
}

void MacroEdit::NewFolder() {
  if (!env_.macroLibrary) return;
  const auto name = dialogs_.name(Q(env_.texts[Prompt::kName]), {}, 40);
  if (!name || name->isEmpty()) return;
  env_.macroLibrary->NewFolder(name->toStdString());
  Rebuild();
}

void MacroEdit::SaveFile() {
  const std::string date = QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")).toStdString();
  const QString path = dialogs_.file(true, Q(ProposedMacroFileName(model_.Name(), date)));
  if (path.isEmpty()) return;
  WriteFile(path.toStdString());
  SyncItems();
}

void MacroEdit::LoadFile() {
  const QString path = dialogs_.file(false, {});
  if (path.isEmpty()) return;
  OpenMacroFile(path.toStdString());
}

void MacroEdit::DeleteListRow() {
  if (selectedRow_ < 0 || selectedRow_ >= static_cast<int>(rows_.size())) return;
  const MacroListItem row = rows_[static_cast<size_t>(selectedRow_)];
  const bool folder = row.kind == MacroRowKind::kFolder;
  const bool slot = row.kind == MacroRowKind::kDeviceSlot;
  if (slot && row.start == 0) return;  // the empty slot
  const bool file = env_.macroLibrary && IsLibraryFileRow(row, env_.macroLibrary->Root());
  if (!slot && !file) return;  // headers and captions are not deleted
  QString message = Q(env_.texts[folder ? Msg::kDeleteFolder : Msg::kDeleteMacro]);
  message.replace(QStringLiteral("%s"), Q(row.name));
  if (RunOptionDlg(env_, this, Q(env_.texts[Label::kDelete]), message, Choices::kOkCancel) != Answer::kOk) return;
  if (file) {
    env_.macroLibrary->Delete(row);
    Rebuild();
    emit macrosChanged();
    return;
  }
  SetBusy(0.0);
  env_.session.DeleteMacro(row.slot).Then(OnGuiThread(this, [this](const Outcome& outcome) {
    SetBusy(std::nullopt);
    if (!outcome) Say(Q(FailureText(env_.texts, outcome.failure, FailedWhile::kWriting)));
    Rebuild();
    emit macrosChanged();
  }));
}

// ---- input ----

void MacroEdit::OnItemActivated(int index) {
  const int code = Items()[static_cast<size_t>(index)].code;
  RecordOptions options = recording_ ? recording_->Options() : RecordOptions{};
  auto setOptions = [&] {
    if (!recording_) return;
    // The options hold for this run either way; say when they will not outlast it.
    if (const Outcome kept = recording_ ? recording_->SetOptions(options) : Outcome(); !kept)
      Say(Q(FailureText(env_.texts, kept.failure, FailedWhile::kWriting)) + QStringLiteral(": ") + Q(kept.detail));
  };
  switch (code) {
    case kClose:
      CloseEditor();
      break;
    case kName:
      if (auto name = dialogs_.name(Q(env_.texts[Prompt::kMacroName]), Q(model_.Name()), 15))
        model_.SetName(name->toStdString());
      break;
    case kMode:
      model_.CycleMode();
      break;
    case kRecord:
      Record();
      break;
    case kInsertWait:
      model_.InsertWait();
      break;
    case kInsertKey:
      InsertCapture();
      break;
    case kInsertMove:
      if (auto position = dialogs_.position(Q(env_.texts[Prompt::kEditMacro]), MovePosition{}))
        model_.InsertMove(*position);
      break;
    case kClear:
      model_.Clear();
      break;
    case kDeleteStep:
      model_.DeleteCurrent(recording_ && recording_->State() != RecorderState::kIdle);
      break;
    case kHotkey:
      SelectHotkey();
      break;
    case kOptDelays:
      options.recordDelays = !options.recordDelays;
      setOptions();
      break;
    case kOpt50:
    case kOpt200:
      options.intervalMs = code == kOpt50 ? 50 : 200;
      setOptions();
      break;
    case kOptTrack:
      options.cursorTrack = !options.cursorTrack;
      setOptions();
      break;
    case kOptClicks:
      options.clickPositions = !options.clickPositions;
      setOptions();
      break;
    case kSave:
      Save();
      break;
    case kSaveToList:
      SaveToLibrary();
      break;
    case kNewFolder:
      NewFolder();
      break;
    case kSaveFile:
      SaveFile();
      break;
    case kLoadFile:
      LoadFile();
      break;
    case kDeleteRow:
      DeleteListRow();
      break;
  }
  SyncItems();
  update();
  ArmTimer();
}

int MacroEdit::InstructionRowAt(QPointF point) const {
  if (!kInstructions.contains(point)) return -1;
  const int row =
      static_cast<int>((point.y() - kInstructions.top() + instructionScroll_.Offset()) / kInstructionRowHeight);
  return std::min(row, static_cast<int>(model_.Items().size()));
}

int MacroEdit::ListRowAt(QPointF point) const {
  if (!kList.contains(point)) return -1;
  const int row = static_cast<int>((point.y() - kList.top() + listScroll_.Offset()) / kListRowHeight);
  return row < static_cast<int>(rows_.size()) ? row : -1;
}

int MacroEdit::HoldControlAt(QPointF point, int row) const {
  if (row < 0 || row >= static_cast<int>(model_.Items().size()) || !WaitValue(model_.Items()[static_cast<size_t>(row)]))
    return 0;
  const QRectF rect(kInstructions.left(),
                    kInstructions.top() + row * kInstructionRowHeight - instructionScroll_.Offset(),
                    kInstructions.width(), kInstructionRowHeight);
  if (MacroEditPainter::MinusRect(rect).contains(point)) return -1;
  if (MacroEditPainter::PlusRect(rect).contains(point)) return 1;
  return 0;
}

void MacroEdit::keyPressEvent(QKeyEvent* event) {
  if (InputBlocked()) return;
  switch (event->key()) {
    case Qt::Key_Delete:
      model_.DeleteCurrent(recording_ && recording_->State() != RecorderState::kIdle);
      break;
    case Qt::Key_Up:
    case Qt::Key_Down: {
      model_.SetCurrent(model_.Current() + (event->key() == Qt::Key_Up ? -1 : 1));
      // The current row glides into view.
      const int top = model_.Current() * kInstructionRowHeight;
      const int height = static_cast<int>(kInstructions.height());
      const int max = std::max(0, (static_cast<int>(model_.Items().size()) + 1) * kInstructionRowHeight - height);
      if (top < instructionScroll_.Target())
        instructionScroll_.SetTarget(top, max);
      else if (top + kInstructionRowHeight > instructionScroll_.Target() + height)
        instructionScroll_.SetTarget(top + kInstructionRowHeight - height, max);
      ArmTimer();
      break;
    }
    case Qt::Key_Escape:
      CloseEditor();
      return;
    default:
      SkinWindow::keyPressEvent(event);
      return;
  }
  SyncItems();
  update();
}

void MacroEdit::mousePressEvent(QMouseEvent* event) {
  if (InputBlocked()) return;
  if (event->button() == Qt::LeftButton) {
    const QPointF at = event->position();
    const int row = InstructionRowAt(at);
    if (row >= 0) {
      const int control = HoldControlAt(at, row);
      if (control != 0) {
        model_.StartHold(row, control);
      } else {
        model_.SetCurrent(row);
        dragFrom_ = row;
        dragMoved_ = false;
        instructionScroll_.SetDragging(true);
      }
      SyncItems();
      update();
      ArmTimer();
      return;
    }
    const int listRow = ListRowAt(at);
    if (listRow >= 0) {
      LoadRow(listRow);
      return;
    }
  }
  SkinWindow::mousePressEvent(event);
}

void MacroEdit::mouseMoveEvent(QMouseEvent* event) {
  if (recording_) {
    const int hit = HitTest(Items(), event->position());
    recording_->SetPointerOverRecordControls(hit >= 0 && Items()[static_cast<size_t>(hit)].code == kRecord);
  }
  if (dragFrom_) {
    dragMoved_ = true;
    update();
    return;
  }
  SkinWindow::mouseMoveEvent(event);
}

void MacroEdit::mouseReleaseEvent(QMouseEvent* event) {
  if (model_.Holding()) {
    model_.StopHold();
    SyncItems();
    ArmTimer();
    return;
  }
  if (dragFrom_) {
    const int from = *dragFrom_;
    dragFrom_.reset();
    instructionScroll_.SetDragging(false);
    if (dragMoved_) {
      const QPointF at = event->position();
      const int to = InstructionRowAt(at);
      const int listRow = ListRowAt(at);
      if (to >= 0)
        model_.MoveRow(from, to);
      else if (listRow >= 0)
        DropOnRow(listRow);
    }
    SyncItems();
    update();
    return;
  }
  SkinWindow::mouseReleaseEvent(event);
}

void MacroEdit::mouseDoubleClickEvent(QMouseEvent* event) {
  if (InputBlocked() || event->button() != Qt::LeftButton) return;
  const int row = InstructionRowAt(event->position());
  if (row < 0 || row >= static_cast<int>(model_.Items().size()) || HoldControlAt(event->position(), row) != 0) return;
  const MacroItem item = model_.Items()[static_cast<size_t>(row)];
  if (auto wait = WaitValue(item)) {
    if (auto value = dialogs_.number(Q(env_.texts[Prompt::kEditMacro]), *wait, 65535)) model_.EditWait(row, *value);
  } else if (auto move = MoveValue(item)) {
    if (auto position = dialogs_.position(Q(env_.texts[Prompt::kEditMacro]), *move)) model_.EditMove(row, *position);
  }
  SyncItems();
  update();
  ArmTimer();
}

void MacroEdit::wheelEvent(QWheelEvent* event) {
  const QPointF at = event->position();
  // Each list keeps its own gesture: a movement over one is not owed by the other.
  const bool instructions = kInstructions.contains(at);
  if (!instructions && !kList.contains(at)) return;
  const int notches = (instructions ? instructionWheel_ : listWheel_).Add(event->angleDelta().y());
  if (notches == 0) return;
  if (instructions) {
    const int max = std::max(0, (static_cast<int>(model_.Items().size()) + 1) * kInstructionRowHeight -
                                    static_cast<int>(kInstructions.height()));
    instructionScroll_.SetTarget(instructionScroll_.Target() - notches * 3 * kInstructionRowHeight, max);
  } else {
    const int max = std::max(0, static_cast<int>(rows_.size()) * kListRowHeight - static_cast<int>(kList.height()));
    listScroll_.SetTarget(listScroll_.Target() - notches * kListRowHeight, max);
  }
  ArmTimer();
}

void MacroEdit::closeEvent(QCloseEvent* event) {
  // The window goes only once its edits are dealt with.
  event->ignore();
  CloseEditor();
}

void MacroEdit::hideEvent(QHideEvent* event) {
  // No input is read for a window that is not there.
  StopRecording();
  model_.StopHold();
  SkinWindow::hideEvent(event);
}

void MacroEdit::PaintSkin(QPainter& painter) {
  MacroEditPainter paint(Pictures(), env_.fonts);
  MacroEditView view;
  view.size = QSizeF(size());
  view.title = windowTitle();
  view.instructions = kInstructions;
  view.instructionRowHeight = kInstructionRowHeight;
  view.instructionOffset = instructionScroll_.Offset();
  const auto& items = model_.Items();
  for (int i = 0; i < static_cast<int>(items.size()); ++i) {
    view.instructionTexts.push_back(Q(MacroRowText(i, items[static_cast<size_t>(i)], macroTexts_)));
    view.newMarks.push_back(model_.IsNew(i));
    view.waitRows.push_back(WaitValue(items[static_cast<size_t>(i)]).has_value());
  }
  view.current = model_.Current();
  if (dragFrom_ && dragMoved_) view.dropTarget = InstructionRowAt(mapFromGlobal(QCursor::pos()));
  view.endText = Q(env_.texts.endStr);
  view.list = kList;
  view.listRowHeight = kListRowHeight;
  view.listOffset = listScroll_.Offset();
  view.rows = &rows_;
  view.selectedRow = selectedRow_;
  view.sizeFormat = Q(env_.texts[EditorWord::kSize]);
  view.sizeText = QString(view.sizeFormat).replace(QStringLiteral("%d"), QString::number(model_.Size()));
  view.newMark = Q(env_.texts[EditorWord::kNewMark]);
  view.freeText = Q(env_.texts[Msg::kFreeMemory]).replace(QStringLiteral("%d"), QString::number(freeMemory_));
  view.optionCaption = Q(env_.texts.recordOptionStr);
  view.optionCaptionRect = kOptionCaption;
  if (recording_) {
    const QString tip =
        env_.texts.hotkeyTipStr.empty() ? QStringLiteral("Recording hotkey:") : Q(env_.texts.hotkeyTipStr);
    view.hotkeyTip = tip + QLatin1Char(' ') + Q(recording_->HotkeyName());
    view.hotkeyTipRect = kHotkeyTip;
  }
  view.recording = RecordingIndicatorShown();
  view.armed = recording_ && recording_->State() == RecorderState::kArmed;
  view.recordingText = IndicatorText();
  view.indicator = kIndicator;
  view.status = StatusText();
  view.statusAlpha = fade_.Alpha();
  view.progress = busy_;
  paint.Paint(painter, view, Items(), Interaction());
}

}  // namespace quorix::ui
