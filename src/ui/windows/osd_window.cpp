#include "ui/windows/osd_window.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

#include "platform/overlay_surface.h"
#include "session/session.h"
#include "ui/skin/due_timer.h"
#include "ui/ui_env.h"
#include "ui/windows/osd_painter.h"

namespace quorix::ui {

bool DesktopPlacesWindows() { return !QGuiApplication::platformName().startsWith(QLatin1String("wayland")); }

OsdWindow::OsdWindow(UiEnv& env, Clock& clock, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowTransparentForInput |
                          Qt::WindowDoesNotAcceptFocus | Qt::NoDropShadowWindowHint),
      env_(env),
      clock_(clock),
      state_(clock) {
  setAttribute(Qt::WA_TranslucentBackground);
  setAttribute(Qt::WA_ShowWithoutActivating);
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setFocusPolicy(Qt::NoFocus);
  setFixedSize(kOsdPanelWidth, kOsdPanelHeight);
  timer_.setSingleShot(true);
  connect(&timer_, &QTimer::timeout, this, &OsdWindow::Step);
}

void OsdWindow::SetScale(int maxCode, int dpiStep) {
  maxCode_ = maxCode;
  dpiStep_ = dpiStep;
}

void OsdWindow::OnStateReport(const std::vector<uint8_t>& report) {
  state_.SetEnabled(env_.session.CurrentOptions().osdEnabled);
  const int before = state_.ShowCounter();
  state_.OnStateReport(report);
  if (!DesktopPlacesWindows() && overlay_ == nullptr) {
    // No top-left placement or stay-on-top here: a notification says it.
    if (!held_ && (state_.ShowCounter() > before || (state_.Enabled() && state_.ChangeFlags() != 0))) {
      const OsdPaintPlan plan = PlanOsdPaint(state_, maxCode_, dpiStep_);
      emit shownElsewhere(QStringLiteral("Lv.%1  X %2  Y %3").arg(plan.levelNumber).arg(plan.dpiX).arg(plan.dpiY));
    }
    return;
  }
  if (overlay_ == nullptr) UpdateShape();
  Arm();
}

void OsdWindow::SetHeld(bool held) {
  held_ = held;
  if (!held_) return;
  hide();
  if (overlayShown_) overlay_->Hide();
  overlayShown_ = false;
}

void OsdWindow::UpdateShape() {
  // The window takes the shape of what it shows: without a compositor the
  // rest of its square would cover the screen in black.
  QImage full(kOsdPanelWidth, kOsdPanelHeight, QImage::Format_ARGB32_Premultiplied);
  full.fill(Qt::transparent);
  {
    QPainter painter(&full);
    PaintOsd(painter, PlanOsdPaint(state_, maxCode_, dpiStep_), pictures_, env_.fonts,
             QString::fromStdString(env_.texts.adjustDpiStr));
  }
  const QRegion shape = RegionFromPicture(full);
  setMask(shape.isEmpty() ? QRegion(0, 0, 1, 1) : shape);
}

void OsdWindow::Step() {
  const bool paint = state_.Poll();
  const bool shown = state_.Visible() && !held_;
  if (overlay_ != nullptr) {
    StepOverlay(shown, paint);
  } else if (shown && !isVisible()) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    move(screen != nullptr ? screen->geometry().topLeft() : QPoint(0, 0));
    show();
  } else if (!shown && isVisible()) {
    hide();
  }
  if (paint) update();
  Arm();
}

void OsdWindow::StepOverlay(bool shown, bool paint) {
  if (shown && (paint || !overlayShown_)) {
    const QImage image = Render();  // premultiplied 0xAARRGGBB, rows without padding
    const auto* pixels = reinterpret_cast<const uint32_t*>(image.constBits());
    overlayShown_ = overlay_->Show({pixels, static_cast<size_t>(image.width()) * image.height()}, image.width(),
                                   image.height(), 0, 0);
    if (!overlayShown_) overlay_ = nullptr;
  } else if (!shown && overlayShown_) {
    overlay_->Hide();
    overlayShown_ = false;
  }
}

void OsdWindow::Arm() { ArmForDue(timer_, state_.NextDueMs(), clock_.NowMs()); }

QImage OsdWindow::Render() {
  QImage image(kOsdPanelWidth, kOsdPanelHeight, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setOpacity(state_.Alpha() / 255.0);
  PaintOsd(painter, PlanOsdPaint(state_, maxCode_, dpiStep_), pictures_, env_.fonts,
           QString::fromStdString(env_.texts.adjustDpiStr));
  return image;
}

void OsdWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  painter.fillRect(rect(), Qt::transparent);
  painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
  painter.setOpacity(state_.Alpha() / 255.0);
  PaintOsd(painter, PlanOsdPaint(state_, maxCode_, dpiStep_), pictures_, env_.fonts,
           QString::fromStdString(env_.texts.adjustDpiStr));
}

}  // namespace quorix::ui
