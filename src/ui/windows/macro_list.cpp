#include "ui/windows/macro_list.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDrag>
#include <QEventLoop>
#include <QGestureEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "session/session.h"
#include "ui/app_signals.h"
#include "ui/skin/due_timer.h"
#include "ui/skin/skin_fonts.h"
#include "ui/windows/function_drag.h"
#include "ui/windows/macro_list_painter.h"
#include "ui/windows/option_dlg.h"

namespace quorix::ui {
namespace {

constexpr int kScrollBarWidth = 8;
constexpr int kButtonTop = kMacroListHeight - 46;

QString Q(const std::string& s) { return QString::fromStdString(s); }

int WindowWidth(bool functionListMode) { return kMacroListWidth + (functionListMode ? kMacroListFunctionExtra : 0); }

// The list area: below the title band to (width - scroll bar - 16, height - 62).
QRectF ListArea(bool functionListMode) {
  const int width = WindowWidth(functionListMode);
  return QRectF(QPointF(10, kMacroTitleBand), QPointF(width - kScrollBarWidth - 16, kMacroListHeight - 62));
}

}  // namespace

MacroList::MacroList(UiEnv& env, MacroListMode mode, QWidget* parent)
    : SkinWindow(QSize(WindowWidth(mode == MacroListMode::kFunctionList), kMacroListHeight), parent),
      env_(env),
      functionListMode_(mode == MacroListMode::kFunctionList),
      model_(env.session.GetClock(), static_cast<int>(ListArea(functionListMode_).height())),
      wheel_(env.session.GetClock()),
      startDrag_([this](QMimeData* mime) {
        auto* drag = new QDrag(this);
        drag->setMimeData(mime);
        drag->exec(Qt::CopyAction);
      }) {
  setWindowTitle(Q(env.texts[functionListMode_ ? Msg::kFunctionList : Msg::kMacroList]));
  timer_.setSingleShot(true);
  connect(&timer_, &QTimer::timeout, this, &MacroList::RunDueTimers);
  grabGesture(Qt::PanGesture);
  connect(&env.appSignals, &AppSignals::deviceGone, this, [this] { Finish(std::nullopt); });
  connect(&env.appSignals, &AppSignals::closing, this, [this] { Finish(std::nullopt); });
  connect(&env.appSignals, &AppSignals::reloaded, this, &MacroList::Rebuild);

  const int width = WindowWidth(functionListMode_);
  auto add = [this](int code, QRectF rect, const std::string& label) {
    SkinItem item;
    item.rect = rect;
    item.code = code;
    item.label = Q(label);
    Items().push_back(item);
  };
  add(kOk, QRectF(10, kButtonTop, 100, 32), env.texts[Label::kOk]);
  add(kCancel, QRectF(116, kButtonTop, 100, 32), env.texts[Label::kCancel]);
  add(kDelete, QRectF(222, kButtonTop, 100, 32), env.texts[Label::kDelete]);
  if (functionListMode_) add(kHide, QRectF(width - 110, kButtonTop, 100, 32), env.texts[Label::kHide]);
  Rebuild();
}

MacroList::~MacroList() = default;

void MacroList::Rebuild() {
  FunctionList list;
  const KeyTexts keyTexts = MakeKeyTexts(env_.texts);
  const auto image = env_.session.State().image.Snapshot();
  const FunctionListInputs inputs = FunctionListInputsFor(*image, keyTexts);
  std::vector<MacroListItem> files;
  if (env_.macroLibrary) {
    list = env_.macroLibrary->BuildFunctionList(inputs);
    files = env_.macroLibrary->Files();
  } else if (inputs.device) {
    // Without a library the device's slots are still there to pick from.
    MacroLibrary none("", "");
    list = none.BuildFunctionList(inputs);
  }
  model_.SetRows(MacroListRows(list, files, functionListMode_));
  for (SkinItem& item : Items())
    if (item.code == kDelete)
      item.disabled = !env_.macroLibrary || !model_.DeletableSelection(env_.macroLibrary->Root());
  ItemsChanged();
  ArmTimer();
}

std::optional<MacroListItem> MacroList::Run() {
  QEventLoop loop;
  loop_ = &loop;
  finished_ = false;
  result_.reset();
  setWindowModality(Qt::ApplicationModal);
  show();
  raise();
  activateWindow();
  if (!finished_) loop.exec();
  loop_ = nullptr;
  return result_;
}

void MacroList::Finish(std::optional<MacroListItem> row) {
  if (finished_) return;
  finished_ = true;
  result_ = std::move(row);
  timer_.stop();
  hide();
  if (result_)
    emit picked(*result_);
  else
    emit cancelled();
  if (loop_) loop_->quit();
}

void MacroList::SelectRow(int row) {
  model_.Select(row);
  for (SkinItem& item : Items())
    if (item.code == kDelete)
      item.disabled = !env_.macroLibrary || !model_.DeletableSelection(env_.macroLibrary->Root());
  update();
}

void MacroList::DeleteSelected() {
  if (!env_.macroLibrary) return;
  // Only files and folders of the library reach the file system; device
  // slots, group headers and captions are not deleted from here.
  const auto row = model_.DeletableSelection(env_.macroLibrary->Root());
  if (!row) return;
  const bool folder = row->kind == MacroRowKind::kFolder;
  QString message = Q(env_.texts[folder ? Msg::kDeleteFolder : Msg::kDeleteMacro]);
  message.replace(QStringLiteral("%s"), Q(row->name));
  if (RunOptionDlg(env_, this, windowTitle(), message) != Answer::kOk) return;
  const auto result = env_.macroLibrary->Delete(*row);
  if (result != MacroLibrary::DeleteResult::kDeleted) return;
  model_.RemoveSelected();
  const int keep = model_.Selected();
  Rebuild();
  SelectRow(std::min(keep, static_cast<int>(model_.Rows().size()) - 1));
  emit rowDeleted(*row);
}

void MacroList::OnItemActivated(int index) {
  switch (Items()[static_cast<size_t>(index)].code) {
    case kOk:
      Finish(model_.Pick());
      break;
    case kCancel:
    case kHide:
      Finish(std::nullopt);
      break;
    case kDelete:
      DeleteSelected();
      break;
  }
}

QRectF MacroList::ListRect() const { return ListArea(functionListMode_); }

QRectF MacroList::ThumbRect() const {
  const QRectF list = ListRect();
  const int content = static_cast<int>(model_.Rows().size()) * kMacroListRowHeight;
  if (content <= list.height()) return {};
  const qreal trackHeight = list.height();
  const qreal height = std::max<qreal>(24, trackHeight * list.height() / content);
  const qreal max = std::max(1, model_.MaxOffset());
  const qreal top = list.top() + (trackHeight - height) * std::min<qreal>(1, model_.Offset() / max);
  return QRectF(list.right() + 8, top, kScrollBarWidth, height);
}

int MacroList::RowAt(QPointF point) const {
  const QRectF list = ListRect();
  if (!list.contains(point)) return -1;
  const int row = static_cast<int>((point.y() - list.top() + model_.Offset()) / kMacroListRowHeight);
  return row < static_cast<int>(model_.Rows().size()) ? row : -1;
}

void MacroList::PaintSkin(QPainter& painter) {
  MacroListPainter paint(Pictures(), env_.fonts);
  MacroListView view;
  view.size = QSizeF(size());
  view.title = windowTitle();
  view.list = ListRect();
  view.thumb = ThumbRect();
  view.track = QRectF(view.list.right() + 8, view.list.top(), kScrollBarWidth, view.list.height());
  view.rows = &model_.Rows();
  view.offset = model_.Offset();
  view.selected = model_.Selected();
  view.hover = hoverRow_;
  view.sizeFormat = Q(env_.texts[EditorWord::kSize]);
  paint.Paint(painter, view, Items(), Interaction());
}

void MacroList::keyPressEvent(QKeyEvent* event) {
  if (InputBlocked()) return;
  switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
      if (model_.MoveSelection(event->key() == Qt::Key_Up ? -1 : 1)) SelectRow(model_.Selected());
      ArmTimer();
      return;
    case Qt::Key_Delete:
      if (!functionListMode_) DeleteSelected();
      return;
    case Qt::Key_Escape:
      Finish(std::nullopt);
      return;
    default:
      SkinWindow::keyPressEvent(event);
  }
}

void MacroList::mousePressEvent(QMouseEvent* event) {
  if (InputBlocked()) return;
  if (event->button() == Qt::LeftButton) {
    const QRectF thumb = ThumbRect();
    if (!thumb.isEmpty() && thumb.adjusted(-4, 0, 4, 0).contains(event->position())) {
      thumbGrab_ = event->position().y() - thumb.top();
      model_.SetDragging(true);
      return;
    }
    const int row = RowAt(event->position());
    if (row >= 0) {
      if (functionListMode_) dragFrom_ = std::make_pair(row, event->position());
      SelectRow(row);
      if (env_.macroLibrary && ToggleOpen(*env_.macroLibrary, model_.Rows()[static_cast<size_t>(row)])) Rebuild();
      return;
    }
  }
  SkinWindow::mousePressEvent(event);
}

void MacroList::mouseMoveEvent(QMouseEvent* event) {
  if (thumbGrab_) {
    const QRectF list = ListRect();
    const QRectF thumb = ThumbRect();
    const qreal travel = std::max<qreal>(1, list.height() - thumb.height());
    const qreal top = event->position().y() - *thumbGrab_ - list.top();
    model_.DragTo(static_cast<int>(top / travel * model_.MaxOffset()), true);
    ArmTimer();
    return;
  }
  // A function dragged out of the list onto a button of the mouse picture.
  if (dragFrom_ && (event->buttons() & Qt::LeftButton) &&
      (event->position() - dragFrom_->second).manhattanLength() >= QApplication::startDragDistance()) {
    const int row = dragFrom_->first;
    dragFrom_.reset();
    if (row < static_cast<int>(model_.Rows().size()))
      startDrag_(FunctionMimeData(model_.Rows()[static_cast<size_t>(row)]).release());
    return;
  }
  SkinWindow::mouseMoveEvent(event);
  const int hover = RowAt(event->position());
  if (hover != hoverRow_) {
    hoverRow_ = hover;
    update();
  }
}

void MacroList::leaveEvent(QEvent* event) {
  hoverRow_ = -1;
  update();
  SkinWindow::leaveEvent(event);
}

void MacroList::mouseReleaseEvent(QMouseEvent* event) {
  dragFrom_.reset();
  if (thumbGrab_) {
    thumbGrab_.reset();
    model_.SetDragging(false);
    return;
  }
  SkinWindow::mouseReleaseEvent(event);
}

void MacroList::mouseDoubleClickEvent(QMouseEvent* event) {
  if (InputBlocked() || event->button() != Qt::LeftButton) return;
  if (auto row = model_.DoubleClick(RowAt(event->position()))) Finish(std::move(row));
}

void MacroList::wheelEvent(QWheelEvent* event) {
  if (InputBlocked()) return;
  const int notches = wheel_.Add(event->angleDelta().y());
  if (notches == 0) return;
  model_.Wheel(notches);
  ArmTimer();
}

bool MacroList::event(QEvent* event) {
  if (event->type() != QEvent::Gesture) return SkinWindow::event(event);
  auto* gestures = static_cast<QGestureEvent*>(event);
  if (auto* pan = static_cast<QPanGesture*>(gestures->gesture(Qt::PanGesture))) {
    const bool inside = ListRect().contains(mapFromGlobal(pan->hotSpot()));
    if (!InputBlocked() && model_.Pan(static_cast<int>(std::lround(pan->delta().y())), inside)) ArmTimer();
    gestures->accept(pan);
  }
  return true;
}

void MacroList::closeEvent(QCloseEvent* event) {
  Finish(std::nullopt);
  SkinWindow::closeEvent(event);
}

void MacroList::RunDueTimers() {
  if (model_.Poll()) update();
  ArmTimer();
}

void MacroList::ArmTimer() { ArmForDue(timer_, model_.NextDueMs(), env_.session.GetClock().NowMs()); }

std::optional<MacroListItem> PickFromMacroList(UiEnv& env, QWidget* parent, MacroListMode mode) {
  MacroList list(env, mode, parent);
  return list.Run();
}

}  // namespace quorix::ui
