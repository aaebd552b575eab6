#include "ui/windows/color_pick_dlg.h"

#include <QMouseEvent>
#include <QPointer>
#include <algorithm>

#include "session/session.h"
#include "ui/app_signals.h"
#include "ui/art/picture_ids.h"
#include "ui/gui_thread.h"
#include "ui/skin/due_timer.h"
#include "ui/skin/skin_fonts.h"
#include "ui/ui_env.h"

namespace quorix::ui {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

SkinItem MakeItem(QRectF rect, int normal, int hover, int pressed, QString label, int kind = 0) {
  SkinItem item;
  item.rect = rect;
  item.imageNormal = normal;
  item.imageHover = hover;
  item.imagePressed = pressed;
  item.label = std::move(label);
  item.kind = kind;
  return item;
}

// The repaint a drag's send asks for arrives on the executor's thread.
std::function<void()> RepaintLater(QWidget* window) {
  return [guard = QPointer<QObject>(window), window] { PostToGui(guard, [window] { window->update(); }); };
}

}  // namespace

ColorPickDlg::ColorPickDlg(UiEnv& env, QWidget* parent, PickerSetup setup)
    : SkinWindow(QSize(lighting_layout::kPickWidth, lighting_layout::kPickHeight), parent),
      env_(env),
      picker_(env.session, std::move(setup), RepaintLater(this)),
      painter_(Pictures()) {
  setWindowModality(Qt::ApplicationModal);
  setWindowTitle(Q(env_.texts[Label::kColor]));
  timer_.setSingleShot(true);
  connect(&timer_, &QTimer::timeout, this, &ColorPickDlg::RunDueTimers);
  auto& items = Items();
  items.push_back(
      MakeItem({774, 11, 21, 21}, pic::kCloseNormal, pic::kCloseHover, pic::kCloseHover, QStringLiteral("Close")));
  for (int n = 1; n <= 2; ++n) {
    items.push_back(MakeItem({40, 80.0 + 35 * (n - 1), 180, 15}, pic::kRadioNormal, pic::kRadioNormal,
                             pic::kRadioSelected, Q(env_.texts[n == 1 ? Label::kBreathe : Label::kAlwaysOn]),
                             kSkinItemRadio));
    items.back().code = n - 1;
  }
  // OK left of Cancel, as in every dialog of the program.
  items.push_back(MakeItem({460, 485, 160, 32}, pic::kWideButtonNormal, pic::kWideButtonHover, pic::kWideButtonHover,
                           Q(env_.texts[Label::kOk])));
  items.push_back(MakeItem({635, 485, 160, 32}, pic::kWideButtonNormal, pic::kWideButtonHover, pic::kWideButtonHover,
                           Q(env_.texts[Label::kCancel])));
  static const char* const kChannel[] = {"R", "G", "B"};
  for (int channel = 0; channel < 3; ++channel) {
    items.push_back(MakeItem(lighting_layout::Slider(channel), 0, 0, 0, QString::fromLatin1(kChannel[channel])));
    items.back().code = kSliderCode + channel;
  }
  SyncItems();
  connect(&env_.appSignals, &AppSignals::deviceGone, this, &ColorPickDlg::Cancel);
  connect(&env_.appSignals, &AppSignals::closing, this, &ColorPickDlg::Cancel);
}

ColorPickDlg::~ColorPickDlg() {
  if (!result_) Finish(Answer::kClosed);
}

Answer ColorPickDlg::Run() {
  ShowOverOwner();
  if (!result_) loop_.exec();
  hide();
  return result_.value_or(Answer::kClosed);
}

void ColorPickDlg::Finish(Answer answer) {
  if (result_) return;
  result_ = answer;
  timer_.stop();
  closingJob_ = answer == Answer::kOk ? picker_.Confirm() : picker_.Cancel();
  loop_.quit();
}

void ColorPickDlg::SyncItems() {
  const int mode = picker_.Mode();
  Items()[kBreathe].selected = mode == 0;
  Items()[kAlwaysOn].selected = mode == 1;
  update();
}

void ColorPickDlg::ArmTimer() {
  // A closed dialog animates nothing more.
  ArmForDue(timer_, result_ ? std::nullopt : picker_.NextDueMs(), env_.session.GetClock().NowMs());
}

void ColorPickDlg::RunDueTimers() {
  picker_.Poll();
  update();
  ArmTimer();
}

void ColorPickDlg::OnItemArrow(int index, int step) {
  const int channel = Items()[static_cast<size_t>(index)].code - kSliderCode;
  if (channel < 0 || channel > 2 || result_) return;
  const LedZoneRecord live = picker_.Live();
  const int value = channel == 0 ? live.red : channel == 1 ? live.green : live.blue;
  picker_.ClickColour(SliderColour(RecordRgb(live), channel, value + step));
  update();
}

void ColorPickDlg::OnItemActivated(int index) {
  switch (index) {
    case kClose:
      Finish(Answer::kClosed);
      break;
    case kCancel:
      Finish(Answer::kCancel);
      break;
    case kOk:
      Finish(Answer::kOk);
      break;
    case kBreathe:
    case kAlwaysOn:
      picker_.ChooseMode(Items()[static_cast<size_t>(index)].code);
      SyncItems();
      break;
    default:
      break;
  }
}

std::optional<uint32_t> ColorPickDlg::FieldColour(QPointF point) {
  const QRect field = lighting_layout::ColourField();
  if (!field.contains(point.toPoint())) return std::nullopt;
  const QImage& wheel = Pictures().Get(pic::kColourWheel);
  if (wheel.isNull()) return std::nullopt;
  const qreal ratio = wheel.devicePixelRatio();
  const QPoint at(static_cast<int>((point.x() - field.left()) * ratio),
                  static_cast<int>((point.y() - field.top()) * ratio));
  if (!wheel.rect().contains(at)) return std::nullopt;
  const QColor colour = wheel.pixelColor(at);
  // Only the wheel's solid pixels are colours; its antialiased rim is not.
  if (colour.alpha() < 255) return std::nullopt;
  return colour.rgb() & 0xFFFFFFu;
}

void ColorPickDlg::mousePressEvent(QMouseEvent* event) {
  if (InputBlocked() || result_ || event->button() != Qt::LeftButton) {
    SkinWindow::mousePressEvent(event);
    return;
  }
  const QPointF at = event->position();
  const int hit = HitTest(Items(), at);
  if (hit < 0 || Items()[static_cast<size_t>(hit)].code >= kSliderCode) {
    for (int row = 0; row < kSwatchRows; ++row) {
      for (int column = 0; column < kSwatchColumns; ++column) {
        if (lighting_layout::Swatch(column, row).contains(at.toPoint())) {
          picker_.ClickColour(SwatchColour(column, row));
          update();
          return;
        }
      }
    }
    if (lighting_layout::ProfileSwatch().contains(at.toPoint())) {
      picker_.ClickProfileColour();
      update();
      return;
    }
    if (const auto colour = FieldColour(at)) {
      picker_.ClickColour(*colour);
      drag_ = Drag::kField;
      lastDragged_ = colour;
      update();
      return;
    }
    for (int channel = 0; channel < 3; ++channel) {
      const QRect strip = lighting_layout::Slider(channel);
      if (!strip.contains(at.toPoint())) continue;
      const uint32_t colour = SliderColour(RecordRgb(picker_.Live()), channel, at.x() - strip.left());
      picker_.ClickColour(colour);
      drag_ = static_cast<Drag>(static_cast<int>(Drag::kRed) + channel);
      lastDragged_ = colour;
      update();
      return;
    }
  }
  SkinWindow::mousePressEvent(event);
}

void ColorPickDlg::mouseMoveEvent(QMouseEvent* event) {
  if (drag_ == Drag::kNone || result_) {
    SkinWindow::mouseMoveEvent(event);
    return;
  }
  const QPointF at = event->position();
  std::optional<uint32_t> colour;
  if (drag_ == Drag::kField) {
    colour = FieldColour(at);
  } else {
    // The cursor is held to the strip: beyond its ends the value stays at
    // the end.
    const int channel = static_cast<int>(drag_) - static_cast<int>(Drag::kRed);
    colour = SliderColour(RecordRgb(picker_.Live()), channel, at.x() - lighting_layout::Slider(channel).left());
  }
  if (colour && colour != lastDragged_) {
    lastDragged_ = colour;
    picker_.DragTo(*colour);
    update();
    ArmTimer();
  }
}

void ColorPickDlg::mouseReleaseEvent(QMouseEvent* event) {
  const bool dragging = drag_ != Drag::kNone;
  drag_ = Drag::kNone;
  lastDragged_.reset();
  if (!dragging) SkinWindow::mouseReleaseEvent(event);
}

bool ColorPickDlg::Dismiss() {
  Finish(Answer::kClosed);
  return true;
}

void ColorPickDlg::PaintSkin(QPainter& p) {
  LightingPainter::PickView view;
  view.title = Q(env_.texts[Label::kColor]);
  const LedZoneRecord live = picker_.Live();
  view.current = QColor::fromRgb(picker_.ShownRgb());
  view.profile = QColor::fromRgb(picker_.ProfileRgb());
  view.profileChosen = !live.OwnColour();
  view.components = {live.red, live.green, live.blue};
  painter_.PaintPick(p, view, Items(), Interaction(), env_.fonts);
}

}  // namespace quorix::ui
