#include "ui/windows/osd_painter.h"

#include <QColor>
#include <QFontMetrics>

#include "ui/art/picture_ids.h"
#include "ui/skin/picture.h"
#include "ui/skin/skin_fonts.h"

namespace quorix::ui {
namespace {

constexpr int kBarX = 86;
constexpr int kBarWidth = 120;
constexpr int kBarHeight = 10;
constexpr int kTextX = 68;
constexpr int kTextBoxWidth = 244;
constexpr int kTextBoxHeight = 25;
// Indexes into the shared fonts: 14 pixels bold, 13 pixels, 14 pixels.
constexpr int kFontLevel = 8;
constexpr int kFontValue = 3;
constexpr int kFontHint = 0;

QColor Grey(int grey, int alpha) { return QColor(grey, grey, grey, alpha); }

void DrawBar(QPainter& p, int top, double fraction, const QString& label, int value, const QFont& font) {
  const QRect bar(kBarX, top, kBarWidth, kBarHeight);
  p.fillRect(bar, Grey(32, 255));
  p.fillRect(QRect(kBarX, top, static_cast<int>(kBarWidth * fraction), kBarHeight), Grey(150, 255));
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(Grey(32, 32), 2));
  p.drawRect(bar);
  p.setPen(QPen(Grey(64, 222), 1));
  p.drawRect(bar.adjusted(0, 0, -1, -1));
  // The label's and the value's boxes: the bar sits centred in their height.
  const QRect labelBox(kTextX, top - 6, kTextBoxWidth, kTextBoxHeight);
  p.setFont(font);
  p.setPen(Grey(64, 255));
  p.drawText(labelBox, Qt::AlignLeft | Qt::AlignVCenter, label);
  p.drawText(labelBox.translated(kBarX + kBarWidth + 5 - kTextX, 0), Qt::AlignLeft | Qt::AlignVCenter,
             QString::number(value));
}

}  // namespace

void PaintOsd(QPainter& p, const OsdPaintPlan& plan, PictureCache& pictures, const SkinFonts& fonts,
              const QString& scrollHint) {
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setRenderHint(QPainter::TextAntialiasing, true);
  int y = 0;
  if (plan.profilePicture >= 0) {
    const QImage& picture = pictures.Get(pic::OsdProfilePicture(plan.profilePicture));
    if (!picture.isNull()) {
      p.drawImage(QPoint(0, 0), picture);
      y = static_cast<int>(picture.height() / picture.devicePixelRatio()) + 5;
    }
  }
  if (!plan.dpiPanel) return;
  const QImage& panel = pictures.Get(pic::kOsdDpiPanel);
  const QSize size = panel.isNull() ? QSize(60, 40) : (QSizeF(panel.size()) / panel.devicePixelRatio()).toSize();
  const QRect frame(1, y + 1, size.width() + 210, size.height() + 9);
  p.setBrush(Grey(222, 230));
  p.setPen(QPen(Grey(132, 128), 1));
  p.drawRect(frame);
  const QRect pictureRect(QPoint(5, y + 6), size);
  if (!panel.isNull()) p.drawImage(pictureRect.topLeft(), panel);
  else p.fillRect(pictureRect, QColor(0x2C, 0x32, 0x3C));  // a build without pictures
  p.setFont(fonts.At(kFontLevel));
  p.setPen(Grey(250, 254));
  p.drawText(pictureRect, Qt::AlignCenter, QStringLiteral("Lv.%1").arg(plan.levelNumber));
  DrawBar(p, y + 6, plan.barX, QStringLiteral("X"), plan.dpiX, fonts.At(kFontValue));
  DrawBar(p, y + 27, plan.barY, QStringLiteral("Y"), plan.dpiY, fonts.At(kFontValue));
  if (!plan.scrollHint) return;
  const QFontMetrics metrics(fonts.At(kFontHint));
  const QRect text = metrics.boundingRect(scrollHint);
  const QRect box(5, frame.bottom() + 5, text.width() + 8, metrics.height() + 8);
  p.fillRect(box, Grey(32, 200));
  p.setFont(fonts.At(kFontHint));
  p.setPen(Grey(254, 254));
  p.drawText(box, Qt::AlignCenter, scrollHint);
}

}  // namespace quorix::ui
