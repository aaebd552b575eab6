#include "app/tray.h"

#include <QCursor>
#include <QIconEngine>
#include <QPainter>
#include <utility>

#include "session/session.h"
#include "ui/art/picture_ids.h"
#include "ui/skin/due_timer.h"
#include "ui/skin/picture.h"

namespace quorix::app {
namespace {

// The icon of the tray and the windows, from one picture. A plain QIcon of a
// pixmap files every size it hands out in the global pixmap cache, and that
// cache's flush timer then wakes the idle program once, half a minute later.
// The icon is asked for a size or two at start-up: scaling each time costs
// nothing worth keeping.
class PictureIconEngine final : public QIconEngine {
 public:
  explicit PictureIconEngine(QPixmap picture) : picture_(std::move(picture)) {}

  QIconEngine* clone() const override { return new PictureIconEngine(picture_); }
  QString key() const override { return QStringLiteral("quorix-picture"); }
  QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override { return {picture_.size()}; }
  QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override {
    const QSize own = picture_.size();
    return own.width() <= size.width() && own.height() <= size.height() ? own : own.scaled(size, Qt::KeepAspectRatio);
  }
  QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    const QSize fit = actualSize(size, mode, state);
    return fit == picture_.size() ? picture_ : picture_.scaled(fit, Qt::KeepAspectRatio, Qt::SmoothTransformation);
  }
  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
    const qreal ratio = painter->device() != nullptr ? painter->device()->devicePixelRatioF() : 1.0;
    QPixmap shown = pixmap(rect.size() * ratio, mode, state);
    shown.setDevicePixelRatio(ratio);
    const QSize drawn = shown.deviceIndependentSize().toSize();
    painter->drawPixmap(
        QRect(rect.topLeft() + QPoint((rect.width() - drawn.width()) / 2, (rect.height() - drawn.height()) / 2), drawn),
        shown);
  }

 private:
  const QPixmap picture_;
};

QIcon AppIcon() {
  QImage picture = ui::LoadPicture(ui::pic::kAppIcon);
  if (!picture.isNull()) return QIcon(new PictureIconEngine(QPixmap::fromImage(picture)));
  // A build without pictures still shows something to click.
  QPixmap plain(32, 32);
  plain.fill(Qt::transparent);
  QPainter p(&plain);
  p.setRenderHint(QPainter::Antialiasing);
  p.setBrush(QColor(0x3D, 0x8B, 0xFF));
  p.setPen(Qt::NoPen);
  p.drawEllipse(QRectF(3, 3, 26, 26));
  p.end();
  return QIcon(new PictureIconEngine(plain));
}

}  // namespace

Tray::Tray(Session& session, QObject* parent) : QObject(parent), clock_(session.GetClock()), clicks_(clock_) {
  const TextTables& texts = session.Texts();
  icon_.setIcon(AppIcon());
  icon_.setToolTip(QStringLiteral("QUORIX Gaming Mouse Software"));
  menu_.addAction(QString::fromStdString(texts[MenuItem::kSettings]), this, &Tray::restoreRequested);
  menu_.addAction(QString::fromStdString(texts[MenuItem::kQuit]), this, &Tray::quitRequested);
  timer_.setSingleShot(true);
  connect(&timer_, &QTimer::timeout, this, [this] {
    if (clicks_.Poll()) menu_.popup(QCursor::pos());
    Arm();
  });
  connect(&icon_, &QSystemTrayIcon::activated, this, &Tray::OnActivated);
  if (Available()) icon_.show();
}

bool Tray::Available() const { return QSystemTrayIcon::isSystemTrayAvailable(); }

void Tray::OnActivated(QSystemTrayIcon::ActivationReason reason) {
  switch (reason) {
    case QSystemTrayIcon::Trigger:
      clicks_.LeftRelease();
      break;
    case QSystemTrayIcon::Context:
      clicks_.RightRelease();
      break;
    case QSystemTrayIcon::DoubleClick:
      // Qt reports the double click on its second press; no release follows.
      clicks_.DoubleClick(false);
      emit restoreRequested();
      break;
    default:
      break;
  }
  Arm();
}

void Tray::Arm() { ui::ArmForDue(timer_, clicks_.NextDueMs(), clock_.NowMs()); }

}  // namespace quorix::app
