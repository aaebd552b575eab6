#include "ui/windows/str_dlg.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <algorithm>

#include "session/models/str_entry_rules.h"
#include "session/session.h"
#include "ui/app_signals.h"
#include "ui/art/picture_ids.h"
#include "ui/skin/due_timer.h"
#include "ui/skin/skin_fonts.h"
#include "ui/skin/skin_painter.h"
#include "ui/ui_env.h"
#include "ui/windows/dialog_painter.h"
#include "ui/windows/option_dlg.h"

namespace quorix::ui {
namespace {

constexpr int kWidth = 440;
constexpr int kLiftWidth = 540;  // room for three buttons
constexpr int kMargin = 22;
constexpr int kButtonWidth = 160;  // the wide button picture
constexpr int kButtonHeight = 32;
constexpr int kFieldHeight = 30;
constexpr int kFontPrompt = 8;
constexpr int kFontText = 5;
constexpr int kFontButton = 6;

const char* kFieldStyle =
    "QLineEdit, QListWidget { background: #10141A; color: #E4E9F0; border: 1px solid #4A5260;"
    " border-radius: 4px; padding: 2px 6px; selection-background-color: #3D6FB0; }"
    "QLineEdit:focus, QListWidget:focus { border-color: #7AB8FF; }";

}  // namespace

CStrDlg::CStrDlg(UiEnv& env, QWidget* parent)
    : SkinWindow(QSize(kWidth, 200), parent),
      env_(env),
      entry_(new QLineEdit(this)),
      xField_(new QLineEdit(this)),
      yField_(new QLineEdit(this)),
      list_(new QListWidget(this)) {
  setWindowModality(Qt::ApplicationModal);
  for (QWidget* field : {static_cast<QWidget*>(entry_), static_cast<QWidget*>(xField_), static_cast<QWidget*>(yField_),
                         static_cast<QWidget*>(list_)}) {
    field->setStyleSheet(kFieldStyle);
    field->setFont(env_.fonts.Gdi13());
    field->installEventFilter(this);
    field->hide();
  }
  xField_->setAccessibleName(QStringLiteral("X"));
  yField_->setAccessibleName(QStringLiteral("Y"));
  connect(&env_.appSignals, &AppSignals::deviceGone, this, &CStrDlg::Cancel);
  connect(&env_.appSignals, &AppSignals::closing, this, &CStrDlg::Cancel);
  timer_.setSingleShot(true);
  connect(&timer_, &QTimer::timeout, this, &CStrDlg::RunDueTimers);
}

std::optional<QString> CStrDlg::AskName(const QString& prompt, const QString& proposed) {
  const auto entered = Run({.kind = Kind::kName, .prompt = prompt, .text = proposed});
  if (!entered) return std::nullopt;
  return entered->text;
}

std::optional<long long> CStrDlg::AskNumber(const QString& prompt, long long value, long long limit) {
  const auto entered = Run({.kind = Kind::kNumber, .prompt = prompt, .text = QString::number(value), .limit = limit});
  if (!entered) return std::nullopt;
  // The typing rules keep the field within 0..limit; a value pasted past them is no answer.
  const long long number = DecimalValue(entered->text.toStdString());
  if (number < 0 || number > limit) return std::nullopt;
  return number;
}

std::optional<PointEntry> CStrDlg::AskPoint(const QString& prompt, const PointEntry& start) {
  const auto entered = Run({.kind = Kind::kPoint, .prompt = prompt, .point = start});
  if (!entered) return std::nullopt;
  return entered->point;
}

std::optional<int> CStrDlg::AskFolder(const QString& prompt, std::vector<FolderChoice> folders) {
  const auto entered = Run({.kind = Kind::kFolder, .prompt = prompt, .folders = std::move(folders)});
  if (!entered) return std::nullopt;
  return entered->folder;
}

bool CStrDlg::AskYesNo(const QString& prompt) { return Run({.kind = Kind::kYesNo, .prompt = prompt}).has_value(); }

LiftAutoEnd CStrDlg::RunLiftAuto(Look look) {
  look.kind = Kind::kLiftAuto;
  if (Run(std::move(look))) return LiftAutoEnd::kConfirmed;
  return manualChosen_ ? LiftAutoEnd::kManual : LiftAutoEnd::kCancelled;
}

std::optional<long long> CStrDlg::RunLiftTest(Look look, long long stored,
                                              std::function<void(long long entered)> onTest) {
  look.kind = Kind::kLiftTest;
  look.text = QString::number(stored);
  onTest_ = std::move(onTest);
  const auto entered = Run(std::move(look));
  onTest_ = nullptr;
  if (!entered) return std::nullopt;
  return DecimalValue(entered->text.toStdString());
}

void CStrDlg::LayOut(Look look) {
  look_ = std::move(look);
  Layout();
}

QString CStrDlg::TestButtonCaption() const {
  return QString::fromStdString(countdown_.Caption(look_.testCaption.toStdString()));
}

// Room for two lines, and for more where the status as laid out wraps to
// more (a test without the pointer nudge says why over three).
int CStrDlg::StatusHeight() const {
  constexpr int kTwoLines = 44;
  constexpr int kFlags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;
  const QRect wrapped = QFontMetrics(env_.fonts.At(kFontText))
                            .boundingRect(QRect(0, 0, kLiftWidth - 2 * kMargin, 1000), kFlags, look_.status);
  return std::max(kTwoLines, wrapped.height());
}

void CStrDlg::SetStatus(const QString& line) {
  look_.status = line;
  update();
}

void CStrDlg::ArmTimer() { ArmForDue(timer_, countdown_.NextDueMs(), env_.session.GetClock().NowMs()); }

void CStrDlg::RunDueTimers() {
  if (countdown_.Poll(env_.session.GetClock().NowMs())) {
    if (const int test = IndexOf(kTest); test >= 0) Items()[test].label = TestButtonCaption();
    update();
    // The instruction promises that a test not confirmed in time is
    // cancelled: the caller then gives the mouse its old value back.
    if (look_.kind == Kind::kLiftTest && !countdown_.Running()) {
      Cancel();
      return;
    }
  }
  ArmTimer();
}

void CStrDlg::Test() {
  if (look_.kind != Kind::kLiftTest || !isVisible()) return;
  countdown_.Start(env_.session.GetClock().NowMs());
  if (const int test = IndexOf(kTest); test >= 0) Items()[test].label = TestButtonCaption();
  update();
  ArmTimer();
  if (onTest_) onTest_(DecimalValue(entry_->text().toStdString()));
}

QString CStrDlg::OkCaption() const {
  return look_.kind == Kind::kYesNo ? SystemCaption("&Yes", "(&Y)") : SystemCaption("OK", "(&O)");
}

QString CStrDlg::CancelCaption() const {
  return look_.kind == Kind::kYesNo ? SystemCaption("&No", "(&N)") : SystemCaption("Cancel", "(&C)");
}

int CStrDlg::IndexOf(int code) const {
  for (int i = 0; i < static_cast<int>(Items().size()); ++i)
    if (Items()[i].code == code) return i;
  return -1;
}

void CStrDlg::Layout() {
  const bool coordinates = look_.kind == Kind::kPoint;
  const bool oneField = look_.kind == Kind::kName || NumberKind();
  const bool showList = look_.kind == Kind::kFolder && look_.folders.size() > 1;
  const int width = LiftKind() ? kLiftWidth : kWidth;
  int height = 150;  // the prompt and the buttons
  if (oneField) height += 44;
  if (coordinates) height += 132;
  if (showList) height += 150;
  if (LiftKind()) height += 68 + StatusHeight();  // the instruction and the status
  setFixedSize(width, height);

  Items().clear();
  countdown_.Stop();
  timer_.stop();
  manualChosen_ = false;
  const int fieldTop = 62;
  entry_->setVisible(oneField);
  entry_->setGeometry(kMargin, fieldTop, width - 2 * kMargin, kFieldHeight);
  entry_->setText(look_.text);
  entry_->setAccessibleName(look_.prompt);
  setAccessibleDescription(look_.prompt);
  xField_->setVisible(coordinates);
  yField_->setVisible(coordinates);
  xField_->setGeometry(kMargin + 24, fieldTop, 120, kFieldHeight);
  yField_->setGeometry(kMargin + 24, fieldTop + 40, 120, kFieldHeight);
  xField_->setText(QString::number(look_.point.x));
  yField_->setText(QString::number(look_.point.y));
  list_->setVisible(showList);
  list_->clear();
  if (showList) {
    list_->setGeometry(kMargin, fieldTop, kWidth - 2 * kMargin, 170);
    for (const FolderChoice& folder : look_.folders) {
      auto* item = new QListWidgetItem(QString(folder.depth, QLatin1Char('.')) + QLatin1Char(' ') + folder.name);
      item->setData(Qt::UserRole, folder.value);
      list_->addItem(item);
    }
    list_->setCurrentRow(0);
  }
  if (coordinates) {
    const QString relative = QString::fromStdString(env_.texts[Msg::kRelative]);
    const QString absolute = QString::fromStdString(env_.texts[Msg::kAbsolute]);
    int top = fieldTop + 2;
    for (const auto& [code, label] : {std::pair{kRelative, relative}, std::pair{kAbsolute, absolute}}) {
      SkinItem radio;
      radio.kind = kSkinItemRadio;
      radio.rect = QRectF(kMargin + 190, top, 200, 26);
      radio.imageNormal = radio.imageHover = pic::kRadioNormal;
      radio.imagePressed = pic::kRadioSelected;
      radio.label = label;
      radio.code = code;
      radio.selected = (code == kAbsolute) == look_.point.absolute;
      Items().push_back(radio);
      top += 40;
    }
    // The target picture with its label beside it, as a radio item is drawn.
    SkinItem pick;
    pick.kind = kSkinItemRadio;
    pick.rect = QRectF(kMargin, fieldTop + 80, kWidth - 2 * kMargin, 48);
    pick.imageNormal = pick.imageHover = pick.imagePressed = pic::kPickPosition;
    // "&&" is how the texts write a plain "&".
    pick.label =
        QString::fromStdString(env_.texts[Label::kHoldForPosition]).replace(QStringLiteral("&&"), QStringLiteral("&"));
    pick.code = kPick;
    Items().push_back(pick);
  }
  const int buttonsTop = height - kMargin - kButtonHeight;
  std::vector<std::pair<int, QString>> buttons = {{kOk, OkCaption()}, {kCancel, CancelCaption()}};
  if (look_.kind == Kind::kLiftTest) buttons.emplace_back(kTest, TestButtonCaption());
  if (look_.kind == Kind::kLiftAuto && !look_.manualCaption.isEmpty())
    buttons.emplace_back(kManual, look_.manualCaption);
  const int count = static_cast<int>(buttons.size());
  const int row = count * kButtonWidth + (count - 1) * 14;
  for (int i = 0; i < count; ++i) {
    SkinItem button;
    button.rect = QRectF((width - row) / 2 + i * (kButtonWidth + 14), buttonsTop, kButtonWidth, kButtonHeight);
    button.imageNormal = pic::kWideButtonNormal;
    button.imageHover = button.imagePressed = pic::kWideButtonHover;
    button.label = buttons[static_cast<size_t>(i)].second;
    button.code = buttons[static_cast<size_t>(i)].first;
    Items().push_back(button);
  }
  ItemsChanged();
}

std::optional<CStrDlg::Entered> CStrDlg::Run(Look look) {
  look_ = std::move(look);
  Layout();
  done_ = false;
  entered_.reset();
  ShowOverOwner();
  for (QWidget* field : {static_cast<QWidget*>(entry_), static_cast<QWidget*>(xField_), static_cast<QWidget*>(list_)}) {
    if (field->isVisible()) {
      FocusField(field);
      break;
    }
  }
  if (!done_) loop_.exec();
  hide();
  return std::move(entered_);
}

void CStrDlg::Finish(bool ok) {
  if (done_) return;
  done_ = true;
  countdown_.Stop();
  timer_.stop();
  if (picking_) {
    releaseMouse();
    picking_ = false;
  }
  if (ok) {
    Entered entered;
    entered.text = entry_->text();
    entered.point.x = static_cast<int>(DecimalValue(xField_->text().toStdString()));
    entered.point.y = static_cast<int>(DecimalValue(yField_->text().toStdString()));
    if (const int absolute = IndexOf(kAbsolute); absolute >= 0) entered.point.absolute = Items()[absolute].selected;
    if (QListWidgetItem* item = list_->currentItem(); list_->isVisible() && item != nullptr)
      entered.folder = item->data(Qt::UserRole).toInt();
    else if (look_.kind == Kind::kFolder && look_.folders.size() == 1)
      entered.folder = look_.folders.front().value;
    entered_ = std::move(entered);
  }
  loop_.quit();
}

void CStrDlg::OnItemActivated(int index) {
  if (index < 0 || index >= static_cast<int>(Items().size())) return;
  const int code = Items()[index].code;
  if (code == kOk || code == kCancel) {
    Finish(code == kOk);
  } else if (code == kManual) {
    manualChosen_ = true;
    Finish(false);
  } else if (code == kTest) {
    Test();
  } else if (code == kRelative || code == kAbsolute) {
    for (SkinItem& item : Items())
      if (item.code == kRelative || item.code == kAbsolute) item.selected = item.code == code;
    update();
  }
}

bool CStrDlg::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return SkinWindow::eventFilter(watched, event);
  auto* key = static_cast<QKeyEvent*>(event);
  if (key->key() == Qt::Key_Escape) {
    Finish(false);
    return true;
  }
  // Enter in a field presses OK: a name typed is finished from the keyboard.
  if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
    ActivateItem(DefaultItem());
    return true;
  }
  if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) return false;
  char32_t typed = 0;
  if (key->key() == Qt::Key_Backspace)
    typed = kKeyBackspace;
  else if (!key->text().isEmpty() && key->text().at(0).isPrint())
    typed = key->text().toUcs4().value(0);
  if (typed == 0) return false;  // cursor keys, shortcuts
  auto* field = qobject_cast<QLineEdit*>(watched);
  if (field == nullptr) return false;
  const std::string current = field->text().toStdString();
  TypedKeyResult result;
  if (field == xField_ || field == yField_) {
    const int absolute = IndexOf(kAbsolute);
    result = TypeInCoordinateField(current, typed, absolute >= 0 && Items()[absolute].selected, field == yField_,
                                   field->cursorPosition());
  } else if (NumberKind()) {
    result = TypeInNumberField(current, typed, look_.limit);
  } else {
    result = TypeInTextField(typed);
  }
  if (result.setText) field->setText(QString::fromStdString(*result.setText));
  return !result.passes;
}

int CStrDlg::DefaultItem() const { return IndexOf(kOk); }

bool CStrDlg::Dismiss() {
  Finish(false);
  return true;
}

void CStrDlg::TakePosition(QPoint global) {
  xField_->setText(QString::number(global.x()));
  yField_->setText(QString::number(global.y()));
}

void CStrDlg::mousePressEvent(QMouseEvent* event) {
  const int pick = IndexOf(kPick);
  if (pick >= 0 && event->button() == Qt::LeftButton && HitTest(Items(), event->position()) == pick) {
    picking_ = true;
    grabMouse(Qt::CrossCursor);
    TakePosition(event->globalPosition().toPoint());
    return;
  }
  SkinWindow::mousePressEvent(event);
}

void CStrDlg::mouseMoveEvent(QMouseEvent* event) {
  if (picking_) {
    TakePosition(event->globalPosition().toPoint());
    return;
  }
  SkinWindow::mouseMoveEvent(event);
}

void CStrDlg::mouseReleaseEvent(QMouseEvent* event) {
  if (picking_) {
    TakePosition(event->globalPosition().toPoint());
    releaseMouse();
    picking_ = false;
    return;
  }
  SkinWindow::mouseReleaseEvent(event);
}

void CStrDlg::PaintSkin(QPainter& p) {
  PaintDialogSurface(p, size(), Pictures());
  p.setPen(kDialogTitle);
  p.setFont(env_.fonts.At(kFontPrompt));
  p.drawText(QRect(kMargin, 14, width() - 2 * kMargin, 40), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap,
             look_.prompt);
  if (LiftKind()) {
    // Below the value field in the test, under the prompt otherwise.
    const int top = entry_->isVisible() ? entry_->geometry().bottom() + 10 : 62;
    p.setFont(env_.fonts.At(kFontText));
    p.setPen(kDialogText);
    p.drawText(QRect(kMargin, top, width() - 2 * kMargin, 60), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
               look_.instruction);
    p.setPen(kDialogTitle);
    p.drawText(QRect(kMargin, top + 62, width() - 2 * kMargin, StatusHeight()),
               Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, look_.status);
  }
  if (xField_->isVisible()) {
    p.setFont(env_.fonts.At(kFontText));
    p.setPen(kDialogText);
    p.drawText(QRect(kMargin, xField_->y(), 20, kFieldHeight), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("X"));
    p.drawText(QRect(kMargin, yField_->y(), 20, kFieldHeight), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Y"));
  }
  PaintButtonPlates(p, Items(), Interaction(), Pictures());
  DrawItems(p, Items(), Interaction(), Pictures(), env_.fonts.At(kFontButton));
}

}  // namespace quorix::ui
