#pragma once
// The macro list: a modal window from which the button settings window picks
// one row (a device macro slot or a macro file of the library, or in
// function-list mode any function of the function list and the library's
// macro files). It can also delete a macro file of the library. What it does
// lives in MacroListModel; this class paints and forwards.
//
// Opening it to choose a macro:
//
//   if (auto row = PickFromMacroList(env, this, MacroListMode::kPickMacro))
//     ... row->type, row->op1, row->op2 (a device macro's code address),
//         row->path (a file), row->slot ...
//
// or, for a non-blocking window, construct it, connect picked() and show().

#include <QTimer>
#include <optional>

#include "session/models/macro_list_model.h"
#include "ui/skin/skin_window.h"
#include "ui/ui_env.h"

class QEventLoop;
class QMimeData;

namespace quorix::ui {

// What the list is opened for: picking a macro for a button, or the function
// list (every function, with "Hide"; rows are dragged onto buttons).
enum class MacroListMode { kPickMacro, kFunctionList };

class MacroList : public SkinWindow {
  Q_OBJECT

 public:
  // The rows come from env.macroLibrary and the session's published image;
  // without a library only the device's slots are listed.
  MacroList(UiEnv& env, MacroListMode mode, QWidget* parent = nullptr);
  ~MacroList() override;

  // Shows the window modally and waits: the picked row, or nothing (Cancel,
  // closed, no valid selection, the device went).
  std::optional<MacroListItem> Run();

  bool FunctionListMode() const { return functionListMode_; }
  const MacroListModel& Model() const { return model_; }
  // Rebuilds the rows from the library and the device (a reload, a delete).
  void Rebuild();
  // Selects row `row` as a click does (tests, screenshots).
  void SelectRow(int row);
  // Runs the scrolling steps that are due and arms the next one.
  void RunDueTimers();
  bool TimerArmed() const { return timer_.isActive(); }
  // Where the rows are shown, below the title.
  QRectF ListRect() const;

  // Carries a row dragged out of the function list (its data, owned by the
  // callee) to where the pointer drops it: a QDrag. Tests deliver it.
  using StartDragFn = std::function<void(QMimeData* data)>;
  void SetStartDrag(StartDragFn start) { startDrag_ = std::move(start); }

 signals:
  // OK with a valid selection, or a double-click on the selected row.
  void picked(const quorix::MacroListItem& row);
  // The window closed without a pick.
  void cancelled();
  // A file of the library was deleted: openers drop their own selection.
  void rowDeleted(const quorix::MacroListItem& row);

 protected:
  void PaintSkin(QPainter& painter) override;
  void OnItemActivated(int index) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void leaveEvent(QEvent* event) override;
  // Touch pans, handed to the model.
  bool event(QEvent* event) override;

 private:
  enum Button { kOk = 1, kCancel = 2, kDelete = 3, kHide = 4 };
  QRectF ThumbRect() const;
  int RowAt(QPointF point) const;
  void Finish(std::optional<MacroListItem> row);
  void DeleteSelected();
  void ArmTimer();

  UiEnv& env_;
  bool functionListMode_;
  MacroListModel model_;
  WheelSteps wheel_;
  QTimer timer_;
  StartDragFn startDrag_;
  QEventLoop* loop_ = nullptr;
  std::optional<MacroListItem> result_;
  bool finished_ = false;
  std::optional<double> thumbGrab_;  // where the thumb was grabbed, while dragged
  int hoverRow_ = -1;
  // Function-list mode: the row pressed and where, until a drag starts.
  std::optional<std::pair<int, QPointF>> dragFrom_;
};

// Opens a macro list over `parent` and waits for the user: the picked row,
// or nothing.
std::optional<MacroListItem> PickFromMacroList(UiEnv& env, QWidget* parent, MacroListMode mode);

}  // namespace quorix::ui

// Signals carry rows; QSignalSpy and queued connections need the type known.
Q_DECLARE_METATYPE(quorix::MacroListItem)
