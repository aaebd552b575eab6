// A mock-up of a main window put together from the pictures, with sample
// texts and a lit mouse: it shows whether the pictures belong together. It
// is no layout of any real window (those are the windows' own).
#include <map>

#include <QFont>
#include <QImage>

#include "kit.h"
#include "pictures.h"
#include "ui/art/mouse_geometry.h"
#include "ui/art/picture_ids.h"

namespace quorix::art {

namespace pic = ui::pic;

namespace {

// White light tinted by a colour, as the windows do with TintPicture.
QImage Tinted(QImage image, const QColor& c) {
  image = image.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < image.height(); ++y) {
    QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      const QRgb p = line[x];
      line[x] = qRgba(qRed(p) * c.red() / 255, qGreen(p) * c.green() / 255, qBlue(p) * c.blue() / 255, qAlpha(p));
    }
  }
  return image;
}

}  // namespace

QImage LitMouse(const std::vector<PictureSpec>& all, const std::vector<QImage>& plain) {
  std::map<int, QImage> byId;
  for (size_t i = 0; i < all.size(); ++i) byId[all[i].id] = plain[i];
  QImage out = byId.at(pic::kMouseTop);
  QPainter p(&out);
  for (int z = 0; z < pic::kLightZoneCount; ++z) {
    // Round the wheel of hues, so that every zone can be told apart.
    p.drawImage(0, 0, Tinted(byId.at(pic::kLightZoneFirst + z), QColor::fromHsv(z * 360 / pic::kLightZoneCount, 200, 255)));
  }
  return out;
}

QImage Preview(const std::vector<PictureSpec>& all, const std::vector<QImage>& plain) {
  std::map<int, QImage> byId;
  for (size_t i = 0; i < all.size(); ++i) byId[all[i].id] = plain[i];
  auto picture = [&byId](int id) { return byId.at(id); };
  const QColor accent(0x3E, 0x8B, 0xFF);  // profile 3's colour

  QImage out(1064, 714, QImage::Format_ARGB32_Premultiplied);
  out.fill(QColor(0x55, 0x5B, 0x66));
  QPainter p(&out);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  p.translate(20, 20);
  p.drawImage(0, 0, picture(pic::kMainBackground));
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPixelSize(13);
  p.setFont(font);
  auto text = [&p](const QRectF& r, const QString& s, const QColor& c, int flags = Qt::AlignCenter) {
    p.setPen(c);
    p.drawText(r, flags, s);
  };
  const QColor light(0xE4, 0xE9, 0xF0);
  const QColor dim(0x8A, 0x95, 0xA5);

  p.drawImage(22, 14, picture(pic::kLogo));
  const char* tabs[] = {"Button settings", "DPI settings", "Other"};
  for (int i = 0; i < 3; ++i) {
    const QImage tab = i == 0 ? Tinted(picture(pic::kTabSelected), accent) : picture(i == 1 ? pic::kTabHover : pic::kTabNormal);
    p.drawImage(300 + i * 164, 22, tab);
    text(QRectF(300 + i * 164, 24, 160, 34), QString::fromLatin1(tabs[i]), i == 0 ? Qt::white : light);
  }
  p.drawImage(950, 15, picture(pic::kMinimizeNormal));
  p.drawImage(980, 15, picture(pic::kCloseHover));

  // Profiles down the left.
  for (int i = 0; i < 5; ++i) {
    const int y = 84 + i * 48;
    const int id = i == 2 ? pic::kProfileItemSelected : i == 1 ? pic::kProfileItemHover : pic::kProfileItemNormal;
    p.drawImage(22, y, i == 2 ? Tinted(picture(id), accent) : picture(id));
    const QColor swatch[] = {QColor(0xE5, 0x48, 0x4D), QColor(0x3D, 0xD6, 0x8C), accent, QColor(0xF5, 0xB8, 0x3D),
                             QColor(0xA8, 0x75, 0xFF)};
    p.setPen(Qt::NoPen);
    p.setBrush(swatch[i]);
    p.drawEllipse(QPointF(42, y + 20), 5, 5);
    text(QRectF(56, y, 120, 40), QStringLiteral("Profile %1").arg(i + 1), light, Qt::AlignLeft | Qt::AlignVCenter);
    p.drawImage(196, y + 11, i == 2 ? Tinted(picture(pic::kSwitchOn), accent) : picture(pic::kSwitchOff));
  }
  p.drawImage(22, 330, picture(pic::kAppField));
  text(QRectF(32, 330, 180, 26), QStringLiteral("game.exe"), dim, Qt::AlignLeft | Qt::AlignVCenter);

  // Levels and sliders in the middle.
  for (int i = 0; i < 5; ++i) {
    const int id = i == 1 ? pic::kLevelSelected : i == 3 ? pic::kLevelHover : pic::kLevelNormal;
    p.drawImage(270 + i * 72, 88, i == 1 ? Tinted(picture(id), accent) : picture(id));
    text(QRectF(270 + i * 72, 88, 64, 28), QStringLiteral("Lv.%1").arg(i + 1), i == 1 ? Qt::white : light);
  }
  for (int i = 0; i < 2; ++i) {
    const int y = 150 + i * 56;
    text(QRectF(270, y - 22, 200, 18), i == 0 ? QStringLiteral("X") : QStringLiteral("Y"), dim,
         Qt::AlignLeft | Qt::AlignVCenter);
    p.drawImage(270, y, picture(pic::kSliderTrack).copy(0, 0, 250, 6));
    QImage fill = Tinted(picture(pic::kProgressFill), accent).copy(0, 0, 120 + i * 40, 6);
    p.drawImage(270, y, fill);
    for (int t = 0; t <= 10; ++t) p.drawImage(QPointF(270 + t * 24.8, y + 12), picture(pic::kSliderTick));
    p.drawImage(270 + 120 + i * 40 - 9, y - 6, picture(pic::kSliderThumb));
    text(QRectF(450, y - 22, 70, 18), QString::number(1600 + i * 400), light, Qt::AlignRight | Qt::AlignVCenter);
  }
  p.drawImage(270, 270, Tinted(picture(pic::kRadioSelected), accent));
  text(QRectF(292, 266, 200, 22), QStringLiteral("X-Y independent"), light, Qt::AlignLeft | Qt::AlignVCenter);
  p.drawImage(270, 298, picture(pic::kCheckOff));
  text(QRectF(292, 294, 200, 22), QStringLiteral("Angle snapping"), light, Qt::AlignLeft | Qt::AlignVCenter);
  p.drawImage(270, 326, Tinted(picture(pic::kCheckOn), accent));
  text(QRectF(292, 322, 260, 22), QStringLiteral("Enable DPI / profile OSD"), light, Qt::AlignLeft | Qt::AlignVCenter);

  const char* buttons[] = {"Backup", "Restore", "Reset"};
  for (int i = 0; i < 3; ++i) {
    const int id = i == 1 ? pic::kWideButtonHover : i == 2 ? pic::kWideButtonDisabled : pic::kWideButtonNormal;
    p.drawImage(270 + i * 170, 560, i == 1 ? Tinted(picture(id), accent) : picture(id));
    text(QRectF(270 + i * 170, 560, 160, 32), QString::fromLatin1(buttons[i]), i == 2 ? dim : light);
  }
  p.drawImage(270, 430, picture(pic::kLargeButtonNormal));
  text(QRectF(270, 430, 200, 32), QStringLiteral("Color Setting"), light);
  p.drawImage(480, 430, picture(pic::kLargeButtonNormal));
  text(QRectF(480, 430, 200, 32), QStringLiteral("Macro edit"), light);

  // The mouse at the right, lit in three colours, with spots and labels.
  const QPointF mouse(700, 110);
  p.drawImage(mouse, picture(pic::kMouseTop));
  const QColor zoneColours[] = {accent, QColor(0xFF, 0x30, 0x50), QColor(0xFF, 0x30, 0x50), QColor(0xFF, 0x30, 0x50),
                                QColor(0x30, 0xE0, 0xA0), QColor(0x30, 0xE0, 0xA0), QColor(0x30, 0xE0, 0xA0), accent,
                                accent, QColor(0xFF, 0x90, 0x20), QColor(0xFF, 0x90, 0x20), accent, accent};
  for (int z = 0; z < pic::kLightZoneCount; ++z) {
    p.drawImage(mouse, Tinted(picture(pic::kLightZoneFirst + z), zoneColours[z]));
  }
  struct Spot {
    ui::art::MousePoint at;
    int id;
    const char* label;
    bool left;
  };
  const Spot spots[] = {{ui::art::kMouseLeftButton, pic::kButtonSpotLocked, "Left click", true},
                        {ui::art::kMouseRightButton, pic::kButtonSpotHover, "Right click", false},
                                              {ui::art::kMouseSideFront, pic::kButtonSpot, "Forward", true},
                        {ui::art::kMouseSideBack, pic::kButtonSpot, "Backward", true}};
  for (const Spot& s : spots) {
    const QPointF c = mouse + QPointF(s.at.x, s.at.y);
    p.drawImage(c - QPointF(9, 9), picture(s.id));
    const QPointF plate = s.left ? QPointF(mouse.x() - 160, c.y() - 12) : QPointF();
    if (!s.left) continue;
    p.setPen(QPen(QColor(255, 255, 255, 60), 1));
    p.drawLine(c + QPointF(s.left ? -9 : 9, 0), QPointF(s.left ? plate.x() + 150 : plate.x(), c.y()));
    p.drawImage(plate, picture(pic::kFunctionLabel));
    text(QRectF(plate, QSizeF(150, 24)), QString::fromLatin1(s.label), light);
  }
  text(QRectF(22, 626, 400, 48), QStringLiteral("Software version:1.1 , Firmware version:2"), dim,
       Qt::AlignLeft | Qt::AlignVCenter);
  p.drawImage(580, 647, picture(pic::kProgressTrack));
  p.drawImage(580, 647, Tinted(picture(pic::kProgressFill), accent).copy(0, 0, 250, 6));
  return out;
}

}  // namespace quorix::art
