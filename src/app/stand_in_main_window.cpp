#include "app/stand_in_main_window.h"

#include <QPainter>

#include "session/session.h"
#include "texts/text_tables.h"
#include "ui/art/picture_ids.h"
#include "ui/skin/skin_fonts.h"
#include "ui/skin/skin_painter.h"
#include "ui/ui_env.h"
#include "ui/windows/dialog_painter.h"

namespace quorix::app {
namespace {

enum Code { kPage0 = 0, kPage1 = 1, kPage2 = 2, kMinimise = 10, kClose = 11 };

}  // namespace

StandInMainWindow::StandInMainWindow(ui::UiEnv& env, QWidget* parent)
    : SkinWindow(QSize(1024, 674), parent), env_(env) {
  setWindowTitle(QStringLiteral("QUORIX Gaming Mouse Software"));
  for (int page = 0; page < 3; ++page) {
    ui::SkinItem tab;
    tab.rect = QRectF(40 + page * 170, 70, 160, 32);
    tab.imageNormal = ui::pic::kTabNormal;
    tab.imageHover = ui::pic::kTabHover;
    tab.imagePressed = ui::pic::kTabSelected;
    tab.label = QString::fromStdString(env_.texts.buttonStr.at(static_cast<size_t>(page)));
    tab.code = page;
    Items().push_back(tab);
  }
  for (const auto& [code, x] : {std::pair{kMinimise, 940}, std::pair{kClose, 980}}) {
    ui::SkinItem button;
    button.rect = QRectF(x, 14, 30, 26);
    button.imageNormal = code == kClose ? ui::pic::kCloseNormal : ui::pic::kMinimizeNormal;
    button.imageHover = button.imagePressed = code == kClose ? ui::pic::kCloseHover : ui::pic::kMinimizeHover;
    button.label = code == kClose ? QStringLiteral("\u00d7") : QStringLiteral("\u2013");
    button.code = code;
    Items().push_back(button);
  }
  SetPage(0);
  ClearDevice();
}

void StandInMainWindow::SetBusy(std::optional<double> fraction) {
  busy_ = fraction;
  SetInputBlocked(fraction.has_value());
  update();
}

void StandInMainWindow::ShowLoaded() {
  const auto image = env_.session.State().image.Snapshot();
  const ProfileSettings& profile = image->profiles.at(static_cast<size_t>(std::clamp(image->activeProfile, 0, 4)));
  const QString name = profile.name.empty() ? QStringLiteral("Profile %1").arg(image->activeProfile + 1)
                                            : QString::fromStdString(profile.name);
  status_ = name + QStringLiteral("  \u00b7  Lv.%1").arg(image->activeLevel + 1);
  update();
}

void StandInMainWindow::ClearDevice() {
  status_ = QString::fromStdString(env_.texts.msgStr.at(10));
  update();
}

void StandInMainWindow::ApplyStateReport(const VendorReport& report) {
  status_ = QStringLiteral("Lv.%1  X %2  Y %3").arg(report.level + 1).arg(report.x).arg(report.y);
  update();
}

void StandInMainWindow::SetPage(int page) {
  page_ = page;
  for (ui::SkinItem& item : Items()) item.selected = item.code == page;
  update();
}

void StandInMainWindow::OnItemActivated(int index) {
  const int code = Items().at(static_cast<size_t>(index)).code;
  if (code <= kPage2) SetPage(code);
  else if (code == kMinimise) showMinimized();
  else emit hideToTrayRequested();
}

void StandInMainWindow::PaintSkin(QPainter& p) {
  if (const QImage& surface = Pictures().Get(ui::pic::kMainBackground); !surface.isNull())
    p.drawImage(QRectF(rect()), surface);
  else
    ui::PaintDialogSurface(p, size(), Pictures());
  p.setPen(ui::kDialogTitle);
  p.setFont(env_.fonts.At(14));
  p.drawText(QRect(40, 14, 700, 40), Qt::AlignLeft | Qt::AlignVCenter, windowTitle());
  ui::PaintButtonPlates(p, Items(), Interaction(), Pictures());
  ui::DrawItems(p, Items(), Interaction(), Pictures(), env_.fonts.At(0));
  p.setPen(ui::kDialogText);
  p.setFont(env_.fonts.At(1));
  p.drawText(QRect(40, 130, 944, 420), Qt::AlignCenter, status_);
  if (busy_) {
    const QRectF track(312, 600, 400, 10);
    p.fillRect(track, QColor(0x10, 0x14, 0x1A));
    p.fillRect(QRectF(track.topLeft(), QSizeF(track.width() * *busy_, track.height())), QColor(0x3D, 0x8B, 0xFF));
  }
}

}  // namespace quorix::app
