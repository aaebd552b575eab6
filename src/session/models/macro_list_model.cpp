#include "session/models/macro_list_model.h"

#include <algorithm>
#include <cmath>
#include <string_view>

namespace quorix {

std::vector<MacroListItem> MacroListRows(const FunctionList& list, const std::vector<MacroListItem>& files,
                                         bool functionListMode) {
  std::vector<MacroListItem> rows;
  const std::vector<MacroListItem> tree = LibraryTreeRows(files);
  if (functionListMode) {
    rows = list.rows;
    rows.insert(rows.end(), tree.begin(), tree.end());
    return rows;
  }
  for (const MacroListItem& row : list.deviceRows)
    if (row.kind == MacroRowKind::kDeviceSlot) rows.push_back(row);
  // The macros saved on the computer follow under the function list's own
  // caption: a button takes one into the mouse as an import does.
  const auto caption = std::find_if(list.rows.begin(), list.rows.end(),
                                    [](const MacroListItem& row) { return row.kind == MacroRowKind::kCaption; });
  if (!files.empty() && caption != list.rows.end()) {
    rows.push_back(*caption);
    rows.insert(rows.end(), tree.begin(), tree.end());
  }
  return rows;
}

namespace {

constexpr std::string_view kGroupKey = "@_INTERNAL_";

void AppendChildren(const std::vector<MacroListItem>& files, int parent, std::vector<MacroListItem>& out) {
  for (const MacroListItem& row : files) {
    if (row.parent != parent) continue;
    out.push_back(row);
    // Ids start at 1: a row without one has no children to follow it.
    if (row.kind == MacroRowKind::kFolder && row.expanded != 0 && row.id > 0 && row.id != parent)
      AppendChildren(files, row.id, out);
  }
}

}  // namespace

std::vector<MacroListItem> LibraryTreeRows(const std::vector<MacroListItem>& files) {
  std::vector<MacroListItem> out;
  AppendChildren(files, 0, out);
  return out;
}

bool ToggleOpen(MacroLibrary& library, const MacroListItem& row) {
  if (row.kind != MacroRowKind::kFolder || row.path.empty()) return false;
  if (row.path.rfind(kGroupKey, 0) == 0) {
    int group = 0;
    try {
      group = std::stoi(row.path.substr(kGroupKey.size()));
    } catch (...) {
      return false;
    }
    library.SetGroupOpen(group, !library.GroupOpen(group));
    return true;
  }
  library.SetFolderOpen(row.path, !library.FolderOpen(row.path));
  return true;
}

bool IsLibraryFileRow(const MacroListItem& row, const std::string& libraryRoot) {
  if (row.kind == MacroRowKind::kDeviceSlot || row.kind == MacroRowKind::kCaption || libraryRoot.empty()) return false;
  if (row.kind != MacroRowKind::kFolder && (row.type < 8 || row.type > 10)) return false;
  // Function-library entries carry a path too (their macro file beside the
  // program), and group headers a key: only what lies below the library's
  // root is the user's to delete.
  const std::string prefix = libraryRoot.back() == '/' ? libraryRoot : libraryRoot + "/";
  return row.path.size() > prefix.size() && row.path.compare(0, prefix.size(), prefix) == 0;
}

bool IsPickableRow(const MacroListItem& row) {
  return row.kind != MacroRowKind::kFolder && row.kind != MacroRowKind::kCaption;
}

int SmoothScrollStep(int distance, bool dragging) {
  const int factor = dragging ? 2 : 1;
  const int d = std::abs(distance);
  int step = 1;
  if (d > 32)
    step = d / 4 * factor;
  else if (d > 16)
    step = 8 * factor;
  else if (d >= 9)
    step = 4 * factor;
  else if (d >= 5)
    step = 2 * factor;
  step = std::min(step, d);
  return distance < 0 ? -step : step;
}

void SmoothScroll::SetTarget(int target, int max) {
  target_ = std::clamp(target, 0, std::max(0, max));
  offset_ = std::clamp(offset_, 0, std::max(0, max));
  if (offset_ == target_)
    nextStepMs_.reset();
  else if (!nextStepMs_)
    nextStepMs_ = clock_.NowMs() + kMacroListScrollStepMs;
}

bool SmoothScroll::Poll() {
  const int64_t now = clock_.NowMs();
  bool changed = false;
  while (nextStepMs_ && *nextStepMs_ <= now) {
    offset_ += SmoothScrollStep(target_ - offset_, dragging_);
    changed = true;
    if (offset_ == target_)
      nextStepMs_.reset();
    else
      *nextStepMs_ += kMacroListScrollStepMs;
  }
  return changed;
}

void MacroListModel::SetRows(std::vector<MacroListItem> rows) {
  rows_ = std::move(rows);
  if (selected_ >= static_cast<int>(rows_.size())) selected_ = static_cast<int>(rows_.size()) - 1;
  SetTarget(Target());
}

void MacroListModel::Select(int row) { selected_ = (row >= 0 && row < static_cast<int>(rows_.size())) ? row : -1; }

int MacroListModel::MaxOffset() const { return std::max(0, static_cast<int>(rows_.size()) - 1) * kMacroListRowHeight; }

bool MacroListModel::MoveSelection(int step) {
  if (rows_.empty()) return false;
  int next = selected_ < 0 ? 0 : selected_ + step;
  if (next < 0 || next >= static_cast<int>(rows_.size())) return false;
  if (next == selected_) return false;
  selected_ = next;
  ScrollIntoView();
  return true;
}

std::optional<MacroListItem> MacroListModel::DoubleClick(int row) const {
  if (row < 0 || row != selected_) return std::nullopt;
  return Pick();
}

std::optional<MacroListItem> MacroListModel::Pick() const {
  if (selected_ < 0 || selected_ >= static_cast<int>(rows_.size())) return std::nullopt;
  const MacroListItem& row = rows_[static_cast<size_t>(selected_)];
  if (!IsPickableRow(row)) return std::nullopt;
  return row;
}

std::optional<MacroListItem> MacroListModel::DeletableSelection(const std::string& libraryRoot) const {
  if (selected_ < 0 || selected_ >= static_cast<int>(rows_.size())) return std::nullopt;
  const MacroListItem& row = rows_[static_cast<size_t>(selected_)];
  if (!IsLibraryFileRow(row, libraryRoot)) return std::nullopt;
  return row;
}

void MacroListModel::RemoveSelected() {
  if (selected_ < 0 || selected_ >= static_cast<int>(rows_.size())) return;
  rows_.erase(rows_.begin() + selected_);
  if (selected_ >= static_cast<int>(rows_.size())) selected_ = static_cast<int>(rows_.size()) - 1;
  SetTarget(Target());
}

int WheelSteps::Add(int delta) {
  if (delta == 0) return 0;
  const int64_t now = clock_.NowMs();
  const int direction = delta > 0 ? 1 : -1;
  const bool newGesture = !lastMs_ || now - *lastMs_ > kWheelGestureGapMs || direction != direction_;
  lastMs_ = now;
  direction_ = direction;
  if (newGesture) pending_ = 0;
  pending_ += delta;
  int steps = pending_ / 120;
  pending_ -= steps * 120;
  if (newGesture && steps == 0) {
    steps = direction;
    pending_ -= direction * 120;
  }
  return steps;
}

void MacroListModel::Wheel(int notches) {
  if (notches == 0) return;
  const int64_t now = clock_.NowMs();
  if (lastNotchMs_ && now - *lastNotchMs_ <= kMacroListWheelChainMs)
    wheelFactor_ *= 1.4;
  else
    wheelFactor_ = 1.0;
  lastNotchMs_ = now;
  const int pixels = static_cast<int>(std::lround(kMacroListRowHeight * wheelFactor_)) * std::abs(notches);
  SetTarget(Target() + (notches > 0 ? -pixels : pixels));
}

bool MacroListModel::Pan(int dy, bool insideList) {
  if (!insideList || rows_.size() <= 1 || dy == 0) return false;
  SetTarget(Target() - dy);
  return true;
}

void MacroListModel::DragTo(int target, bool dragging) {
  scroll_.SetDragging(dragging);
  SetTarget(target);
}

void MacroListModel::ScrollIntoView() {
  const int top = selected_ * kMacroListRowHeight;
  if (top < Target())
    SetTarget(top);
  else if (top + kMacroListRowHeight > Target() + listHeight_)
    SetTarget(top + kMacroListRowHeight - listHeight_);
}

void MacroListModel::SetTarget(int target) { scroll_.SetTarget(target, MaxOffset()); }

std::optional<int64_t> MacroListModel::NextDueMs() const { return scroll_.NextDueMs(); }

bool MacroListModel::Poll() { return scroll_.Poll(); }

}  // namespace quorix
