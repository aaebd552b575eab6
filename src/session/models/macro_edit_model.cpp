#include "session/models/macro_edit_model.h"

#include <algorithm>
#include <cstdio>

#include "session/models/macro_list_model.h"
#include "session/session.h"
#include "settings/settings_image.h"

namespace quorix {

std::vector<MacroListItem> MacroEditRows(const SettingsImage& current, const KeyTexts& keyTexts,
                                         const MacroLibrary* library, const std::string& libraryCaption) {
  const FunctionListInputs inputs = FunctionListInputsFor(current, keyTexts);
  std::vector<MacroListItem> rows;
  if (library != nullptr) {
    rows = library->BuildFunctionList(inputs).deviceRows;
  } else if (inputs.device != nullptr) {
    rows = MacroLibrary("", "").BuildFunctionList(inputs).deviceRows;
  }
  if (library == nullptr) return rows;
  MacroListItem caption;
  caption.kind = MacroRowKind::kCaption;
  caption.name = libraryCaption;
  rows.push_back(caption);
  for (const MacroListItem& row : LibraryTreeRows(library->Files())) rows.push_back(row);
  return rows;
}

int MacroEditRowOf(const std::vector<MacroListItem>& rows, const MacroListItem& item) {
  for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
    const MacroListItem& row = rows[static_cast<size_t>(i)];
    const bool slot = item.kind == MacroRowKind::kDeviceSlot;
    if (slot ? row.kind == MacroRowKind::kDeviceSlot && row.slot == item.slot
             : row.kind != MacroRowKind::kDeviceSlot && row.path == item.path)
      return i;
  }
  return -1;
}

int WaitHoldDelta(int count) {
  if (count <= 90) return 1;
  if (count <= 100) return 11;
  return 101;
}

int WaitHoldPauseMs(int count) {
  if (count < 6) return 128;
  if (count <= 10) return 32;
  if (count <= 60) return 24;
  if (count <= 80) return 16;
  if (count <= 100) return 8;
  return 2;
}

std::optional<int> WaitValue(const MacroItem& item) {
  if (item.bytes[0] == 0x88) return item.bytes[1];
  if (item.bytes[0] == 0x89) return item.bytes[1] | (item.bytes[2] << 8);
  return std::nullopt;
}

std::optional<MovePosition> MoveValue(const MacroItem& item) {
  if (item.bytes[0] != 0x80 && item.bytes[0] != 0xC0) return std::nullopt;
  MovePosition position;
  position.x = static_cast<int16_t>(item.bytes[1] | (item.bytes[2] << 8));
  position.y = static_cast<int16_t>(item.bytes[3] | (item.bytes[4] << 8));
  position.absolute = item.bytes[0] == 0xC0;
  return position;
}

std::string MacroRowText(int index, const MacroItem& item, const MacroTexts& texts) {
  char number[16];
  std::snprintf(number, sizeof number, "%04d", index);
  return std::string(number) + "  " + InstructionText(item, texts);
}

void StatusFade::Show(int64_t durationMs) {
  durationMs_ = durationMs;
  phase_ = Phase::kIn;
  nextMs_ = clock_.NowMs() + kStepMs;
  alpha_ = std::min(255, alpha_ + kAlphaStep);
}

void StatusFade::Clear() {
  phase_ = Phase::kIdle;
  alpha_ = 0;
}

std::optional<int64_t> StatusFade::NextDueMs() const {
  if (phase_ == Phase::kIdle) return std::nullopt;
  return nextMs_;
}

bool StatusFade::Poll() {
  const int64_t now = clock_.NowMs();
  const int before = alpha_;
  while (phase_ != Phase::kIdle && nextMs_ <= now) {
    switch (phase_) {
      case Phase::kIn:
        alpha_ = std::min(255, alpha_ + kAlphaStep);
        if (alpha_ == 255) {
          phase_ = Phase::kHold;
          nextMs_ += durationMs_;
        } else {
          nextMs_ += kStepMs;
        }
        break;
      case Phase::kHold:
        phase_ = Phase::kOut;
        nextMs_ += kStepMs;
        break;
      case Phase::kOut:
        alpha_ = std::max(0, alpha_ - kAlphaStep);
        if (alpha_ == 0)
          phase_ = Phase::kIdle;
        else
          nextMs_ += kStepMs;
        break;
      case Phase::kIdle:
        break;
    }
  }
  return alpha_ != before;
}

int MacroEditModel::Size() const { return EditedMacroSize(items_); }

void MacroEditModel::Load(std::vector<MacroItem> items, std::string name, int mode, Source source) {
  StopHold();
  items_ = std::move(items);
  name_ = std::move(name);
  mode_ = NormaliseMode(mode);
  source_ = std::move(source);
  current_ = 0;
  modified_ = false;
}

void MacroEditModel::Discard() { Load({}, {}, kModeOnce, {}); }

MacroItem MacroEditModel::Stamp(MacroItem item) const {
  // Time 0 means "read, not made": a step made at tick 0 still counts as new.
  const auto tick = static_cast<uint32_t>(clock_.NowMs());
  item.time = tick == 0 ? 1 : tick;
  return item;
}

void MacroEditModel::Changed() { modified_ = true; }

void MacroEditModel::InsertAt(int at, std::vector<MacroItem> items) {
  if (items.empty()) return;
  at = std::clamp(at, 0, static_cast<int>(items_.size()));
  for (MacroItem& item : items) item = Stamp(item);
  items_.insert(items_.begin() + at, items.begin(), items.end());
  current_ = at + static_cast<int>(items.size());
  Changed();
}

void MacroEditModel::InsertWait() { InsertAt(current_, {WaitItem(1)}); }

void MacroEditModel::Insert(std::vector<MacroItem> items) { InsertAt(current_, std::move(items)); }

void MacroEditModel::InsertMove(const MovePosition& position) {
  const auto x = static_cast<int16_t>(position.x);
  const auto y = static_cast<int16_t>(position.y);
  InsertAt(current_, {position.absolute ? MoveToItem(x, y) : MoveItem(x, y)});
}

void MacroEditModel::Append(std::vector<MacroItem> items) {
  const int keep = current_;
  InsertAt(static_cast<int>(items_.size()), std::move(items));
  current_ = std::min(keep, static_cast<int>(items_.size()));
}

void MacroEditModel::CycleMode() {
  mode_ = mode_ == kModeOnce ? kModeLoop : mode_ == kModeLoop ? kModeFire : kModeOnce;
  Changed();
}

void MacroEditModel::Clear() {
  StopHold();
  items_.clear();
  current_ = 0;
  Changed();
}

void MacroEditModel::SetName(std::string name) {
  if (name == name_) return;
  name_ = std::move(name);
  Changed();
}

void MacroEditModel::SetCurrent(int row) { current_ = std::clamp(row, 0, static_cast<int>(items_.size())); }

bool MacroEditModel::DeleteCurrent(bool recording) {
  if (recording || current_ < 0 || current_ >= static_cast<int>(items_.size())) return false;
  StopHold();
  items_.erase(items_.begin() + current_);
  current_ = std::min(current_, std::max(0, static_cast<int>(items_.size()) - 1));
  Changed();
  return true;
}

bool MacroEditModel::MoveRow(int from, int to) {
  const int size = static_cast<int>(items_.size());
  if (from < 0 || from >= size || from == to) return false;
  to = std::clamp(to, 0, size - 1);
  if (from == to) return false;
  StopHold();
  MacroItem item = items_[static_cast<size_t>(from)];
  items_.erase(items_.begin() + from);
  items_.insert(items_.begin() + to, item);
  current_ = to;
  Changed();
  return true;
}

bool MacroEditModel::EditWait(int row, int value) {
  if (row < 0 || row >= static_cast<int>(items_.size()) || value < 0 || value > 65535) return false;
  MacroItem& item = items_[static_cast<size_t>(row)];
  if (!WaitValue(item)) return false;
  const uint32_t time = item.time;
  item = WaitItem(value);
  item.time = time;
  Changed();
  return true;
}

bool MacroEditModel::EditMove(int row, const MovePosition& position) {
  if (row < 0 || row >= static_cast<int>(items_.size())) return false;
  MacroItem& item = items_[static_cast<size_t>(row)];
  if (!MoveValue(item)) return false;
  const auto x = static_cast<int16_t>(position.x);
  const auto y = static_cast<int16_t>(position.y);
  item = Stamp(position.absolute ? MoveToItem(x, y) : MoveItem(x, y));
  Changed();
  return true;
}

bool MacroEditModel::StartHold(int row, int direction) {
  if (row < 0 || row >= static_cast<int>(items_.size()) || !WaitValue(items_[static_cast<size_t>(row)])) return false;
  hold_ = Hold{row, direction < 0 ? -1 : 1, 0, clock_.NowMs()};
  HoldStep();
  return true;
}

void MacroEditModel::StopHold() { hold_.reset(); }

void MacroEditModel::HoldStep() {
  Hold& hold = *hold_;
  MacroItem& item = items_[static_cast<size_t>(hold.row)];
  const int value = std::clamp(*WaitValue(item) + hold.direction * WaitHoldDelta(hold.count), 0, 65535);
  const uint32_t time = item.time;
  item = WaitItem(value);
  item.time = time;
  Changed();
  hold.count = std::min(hold.count + 1, kWaitHoldMaxCount);
  hold.nextMs += WaitHoldPauseMs(hold.count);
}

bool MacroEditModel::IsNew(int row) const {
  if (row < 0 || row >= static_cast<int>(items_.size())) return false;
  const uint32_t time = items_[static_cast<size_t>(row)].time;
  if (time == 0) return false;
  const uint32_t age = static_cast<uint32_t>(clock_.NowMs()) - time;
  return age < kNewStepMarkMs;
}

std::optional<int64_t> MacroEditModel::NextDueMs() const {
  std::optional<int64_t> due;
  if (hold_) due = hold_->nextMs;
  const int64_t now = clock_.NowMs();
  for (int row = 0; row < static_cast<int>(items_.size()); ++row) {
    if (!IsNew(row)) continue;
    const uint32_t age = static_cast<uint32_t>(now) - items_[static_cast<size_t>(row)].time;
    const int64_t expires = now + (kNewStepMarkMs - age);
    if (!due || expires < *due) due = expires;
  }
  return due;
}

bool MacroEditModel::Poll() {
  const int64_t now = clock_.NowMs();
  bool changed = false;
  while (hold_ && hold_->nextMs <= now) {
    HoldStep();
    changed = true;
  }
  // A mark that ran out needs a repaint; the marks themselves are computed.
  int newRows = 0;
  for (int row = 0; row < static_cast<int>(items_.size()); ++row) newRows += IsNew(row) ? 1 : 0;
  changed |= newRows != polledNewRows_;
  polledNewRows_ = newRows;
  return changed;
}

MacroEditModel::SaveAction MacroEditModel::PlannedSave() const {
  if (!modified_) return SaveAction::kNothing;
  switch (source_.kind) {
    case SourceKind::kSlot:
      return SaveAction::kStoreSlot;
    case SourceKind::kFile:
      return SaveAction::kRewriteFile;
    case SourceKind::kNone:
      return items_.empty() ? SaveAction::kNothing : SaveAction::kAddToLibrary;
  }
  return SaveAction::kNothing;
}

void MacroEditModel::SavedToFile(const std::string& path) {
  source_ = Source{SourceKind::kFile, path, -1};
  modified_ = false;
}

MacroEditModel::DropPlan MacroEditModel::PlanDrop(const MacroListItem& row, const std::string& nameWhenEmpty) const {
  DropPlan plan;
  if (row.kind == MacroRowKind::kDeviceSlot) {
    plan.store = true;
    plan.slot = row.slot;
    plan.askOverwrite = row.start != 0;
    plan.proposedName = name_.empty() ? nameWhenEmpty : name_;
  } else if (row.type >= kModeOnce && row.type <= kModeFire && !row.path.empty() &&
             row.path.rfind("@_INTERNAL_", 0) != 0) {
    plan.rewriteFile = true;
    plan.askOverwrite = true;
  }
  return plan;
}

Outcome MacroEditModel::WriteFile(const std::string& path, int64_t now) {
  Outcome written = WriteMacroFile(path, name_, mode_, items_, now);
  if (written) SavedToFile(path);
  return written;
}

Job<MacroReadBack> MacroEditModel::ReadBack(Session& session, int slot, ProgressFn progress) {
  return session.ReadMacro(slot, std::move(progress));
}

void MacroEditModel::ReadBackFinished(const MacroReadBack& back, int slot) {
  if (!back.outcome) return;
  Load(back.items, back.name, back.mode, {SourceKind::kSlot, "", slot});
}

Job<void> MacroEditModel::PostStore(Session& session, int slot, const std::string& name, ProgressFn progress) const {
  return session.StoreMacro(slot, NormaliseMode(mode_), name, items_, std::move(progress));
}

void MacroEditModel::StoreFinished(const Outcome& outcome, int slot, const std::string& name) {
  if (!outcome) return;
  source_ = Source{SourceKind::kSlot, "", slot};
  name_ = StoredMacroName(name);
  mode_ = NormaliseMode(mode_);
  modified_ = false;
}

int MacroEditModel::FreeMemory(const SettingsImage& image) {
  if (image.devicePath.empty()) return 0;
  return FreeMacroSpace(image.macroSlots, MacroLayoutOf(image));
}

}  // namespace quorix
