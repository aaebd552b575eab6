#pragma once
// The macro list window without a screen: which rows it shows, the selection,
// the wheel with its acceleration, the smooth scrolling towards a target
// offset, what a double-click does and which rows may be deleted as files.
// Times are the injected clock's milliseconds; the window arms one
// single-shot timer for NextDueMs() and calls Poll() when it fires.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "macro/macro_library.h"
#include "platform/clock.h"

namespace quorix {

inline constexpr int kMacroListRowHeight = 40;
inline constexpr int kMacroListWidth = 476;
inline constexpr int kMacroListHeight = 565;
// The function-list mode is this much wider (room for the "Hide" button).
inline constexpr int kMacroListFunctionExtra = 41;
inline constexpr int kMacroListScrollStepMs = 10;
inline constexpr int kMacroListWheelChainMs = 60;

// The rows a macro list shows: the device's slot rows kept for picking (used
// slots in name order, then the first empty one) followed by the library's
// folders and files under the "Macro list (PC)" caption, or, in
// function-list mode, the whole function list followed by the library's
// folders and files.
std::vector<MacroListItem> MacroListRows(const FunctionList& list, const std::vector<MacroListItem>& files,
                                         bool functionListMode);

// The library's rows as the lists show them: each folder followed by its own
// rows (in the library's name order), and those only while it is open.
std::vector<MacroListItem> LibraryTreeRows(const std::vector<MacroListItem>& files);
// A click on a group header or a library folder opens it when closed and
// closes it when open; the caller rebuilds its rows. False (nothing changes)
// for every other row.
bool ToggleOpen(MacroLibrary& library, const MacroListItem& row);

// A row the file system may be asked to delete: a macro file or a folder
// below the library's root. Device slots, group headers, captions and the
// function libraries' entries never are.
bool IsLibraryFileRow(const MacroListItem& row, const std::string& libraryRoot);
// A row that stands for something a button can run (not a header or caption).
bool IsPickableRow(const MacroListItem& row);

// One scrolling step towards the target: the distance left decides the step
// (a quarter of it when far, then 8, 4, 2, 1 pixels), doubled while the
// scroll thumb is dragged.
int SmoothScrollStep(int distance, bool dragging);

// An offset gliding towards its target one step every 10 ms on the clock
// (the macro lists of both windows).
class SmoothScroll {
 public:
  explicit SmoothScroll(Clock& clock) : clock_(clock) {}
  int Offset() const { return offset_; }
  int Target() const { return target_; }
  // Clamped to 0..max; starts the steps when the offset is elsewhere.
  void SetTarget(int target, int max);
  void SetDragging(bool dragging) { dragging_ = dragging; }
  std::optional<int64_t> NextDueMs() const { return nextStepMs_; }
  // Runs the steps that are due. True when the offset changed.
  bool Poll();

 private:
  Clock& clock_;
  int offset_ = 0;
  int target_ = 0;
  bool dragging_ = false;
  std::optional<int64_t> nextStepMs_;
};

// Turns wheel deltas (120 per notch; touchpads and fine wheels send less)
// into whole steps: the deltas add up and every 120 is a step. A gesture
// still steps at once in its direction, so a movement under 120 is never
// lost; that step is then owed by the gesture's next 120. A gesture ends
// when the direction turns or kWheelGestureGapMs pass without a delta.
inline constexpr int kWheelGestureGapMs = 250;

class WheelSteps {
 public:
  explicit WheelSteps(Clock& clock) : clock_(clock) {}
  // The steps `delta` makes now (positive: forward, towards the top).
  int Add(int delta);

 private:
  Clock& clock_;
  int pending_ = 0;  // delta not yet stepped; negative to its direction when a step was taken in advance
  int direction_ = 0;
  std::optional<int64_t> lastMs_;
};

class MacroListModel {
 public:
  // listHeight: the pixels the rows are shown in (scrolling into view).
  MacroListModel(Clock& clock, int listHeight) : clock_(clock), listHeight_(listHeight), scroll_(clock) {}

  void SetRows(std::vector<MacroListItem> rows);
  const std::vector<MacroListItem>& Rows() const { return rows_; }
  int Selected() const { return selected_; }
  // -1 for none; out-of-range values also clear it.
  void Select(int row);

  // Up (-1) and Down (+1): the first and last rows stay where they are. The
  // selection is scrolled into view. True when it moved.
  bool MoveSelection(int step);
  // The row a double-click on `row` picks: the selected row, when it is not
  // a folder, group header or caption.
  std::optional<MacroListItem> DoubleClick(int row) const;
  // OK: the selected row, or nothing with no valid selection.
  std::optional<MacroListItem> Pick() const;

  // The selected row when the file system may delete it.
  std::optional<MacroListItem> DeletableSelection(const std::string& libraryRoot) const;
  // Takes the selected row out of the list and keeps the selection on the
  // row that followed it (the new last row at the end).
  void RemoveSelected();

  // Wheel notches now (positive: towards the top). Each notch is 40
  // pixels, times a factor that grows by 1.4 for every notch that follows
  // the previous one within 60 ms.
  void Wheel(int notches);
  double WheelFactor() const { return wheelFactor_; }
  // A touch pan by `dy` pixels (positive: the finger moved down, towards the
  // top of the list) scrolls by that distance, when the list has more than
  // one row and the gesture lies inside the list area. True when it scrolled.
  bool Pan(int dy, bool insideList);
  // The scroll thumb dragged to `target` pixels (clamped); Poll() moves twice
  // as fast while dragging.
  void DragTo(int target, bool dragging);
  void SetDragging(bool dragging) { scroll_.SetDragging(dragging); }

  int Offset() const { return scroll_.Offset(); }
  int Target() const { return scroll_.Target(); }
  int MaxOffset() const;
  // The clock time of the next scrolling step, or nothing when the offset is
  // at its target.
  std::optional<int64_t> NextDueMs() const;
  // Runs the steps that are due. True when the offset changed.
  bool Poll();

 private:
  void ScrollIntoView();
  void SetTarget(int target);

  Clock& clock_;
  int listHeight_;
  std::vector<MacroListItem> rows_;
  int selected_ = -1;
  SmoothScroll scroll_;
  double wheelFactor_ = 1.0;
  std::optional<int64_t> lastNotchMs_;
};

}  // namespace quorix
