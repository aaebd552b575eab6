#include "app/tray.h"

#include <QCursor>
#include <QPainter>

#include "texts/text_tables.h"
#include "ui/art/picture_ids.h"
#include "ui/skin/due_timer.h"
#include "ui/skin/picture.h"

namespace quorix::app {
namespace {

QIcon AppIcon() {
  QImage picture = ui::LoadPicture(ui::pic::kAppIcon);
  if (!picture.isNull()) return QIcon(QPixmap::fromImage(picture));
  // A build without pictures still shows something to click.
  QPixmap plain(32, 32);
  plain.fill(Qt::transparent);
  QPainter p(&plain);
  p.setRenderHint(QPainter::Antialiasing);
  p.setBrush(QColor(0x3D, 0x8B, 0xFF));
  p.setPen(Qt::NoPen);
  p.drawEllipse(QRectF(3, 3, 26, 26));
  return QIcon(plain);
}

}  // namespace

Tray::Tray(const TextTables& texts, QObject* parent) : QObject(parent), clicks_(clock_) {
  icon_.setIcon(AppIcon());
  icon_.setToolTip(QStringLiteral("QUORIX Gaming Mouse Software"));
  menu_.addAction(QString::fromStdString(texts.menuStr.at(0)), this, &Tray::restoreRequested);
  menu_.addAction(QString::fromStdString(texts.menuStr.at(1)), this, &Tray::quitRequested);
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
