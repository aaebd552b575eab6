#include "ui/windows/lighting_painter.h"

#include <algorithm>

#include "session/models/lighting_windows.h"
#include "ui/art/lighting_geometry.h"
#include "ui/art/picture_ids.h"
#include "ui/skin/skin_fonts.h"
#include "ui/skin/skin_painter.h"
#include "ui/windows/dialog_painter.h"

namespace quorix::ui {

namespace lighting_layout {

QPolygonF ZoneMarker(int marker) {
  QPolygonF polygon;
  for (const auto& point : art::kZoneMarkers[static_cast<size_t>(marker)].points) polygon << QPointF(point.x, point.y);
  return polygon;
}

QRect ColourField() { return QRect(290, 84, 200, 200); }
QRect Swatch(int column, int row) { return QRect(40 + 34 * column, 360 + 22 * row, 32, 20); }
QRect Slider(int channel) { return QRect(510, 360 + 36 * channel, 256, 20); }
QRect ProfileSwatch() { return QRect(560, 230, 72, 40); }
QRect CurrentColour() { return QRect(560, 100, 200, 100); }

}  // namespace lighting_layout

namespace {

// Fonts of the shared table: the title, the headings and the item labels.
constexpr int kFontTitle = 8;
constexpr int kFontHeading = 15;
constexpr int kFontItem = 6;
constexpr int kFontSmall = 12;

void Title(QPainter& p, const SkinFonts& fonts, const QString& title) {
  p.setPen(kDialogTitle);
  p.setFont(fonts.At(kFontTitle));
  p.drawText(QRect(22, 12, 600, 26), Qt::AlignLeft | Qt::AlignVCenter, title);
}

void Outlined(QPainter& p, const QRectF& rect, const QColor& fill, bool lit) {
  p.setPen(QPen(lit ? QColor(0xFF, 0xFF, 0xFF) : QColor(0x55, 0x5E, 0x6C), lit ? 2 : 1));
  p.setBrush(fill);
  p.drawRoundedRect(rect.adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
}

// The close item (and the picker's sliders, whose letters are drawn beside
// them) are named for screen readers but draw no label.
std::vector<SkinItem> Drawn(std::vector<SkinItem> items, bool pictureless) {
  for (SkinItem& item : items) {
    if (item.imageNormal == pic::kCloseNormal || (pictureless && item.imageNormal == 0)) item.label.clear();
  }
  return items;
}

}  // namespace

void LightingPainter::PaintDlg(QPainter& p, const DlgView& view, const std::vector<SkinItem>& items,
                               const SkinInteraction& interaction, const SkinFonts& fonts) {
  using namespace lighting_layout;
  PaintDialogSurface(p, QSize(kDlgWidth, kDlgHeight), pictures_);
  Title(p, fonts, view.title);
  p.setPen(kDialogText);
  p.setFont(fonts.At(kFontHeading));
  p.drawText(QRect(40, 50, 170, 22), Qt::AlignLeft | Qt::AlignVCenter, view.effectHeading);

  const QPointF origin(art::kLightingMouseOrigin.x, art::kLightingMouseOrigin.y);
  const QImage& mouse = pictures_.Get(pic::kLightingMouse);
  if (!mouse.isNull()) p.drawImage(origin, mouse);
  // The lights, each through its zone's colour and brightness: the
  // animation of the preview.
  p.save();
  p.setCompositionMode(QPainter::CompositionMode_Plus);
  for (const auto& marker : art::kZoneMarkers) {
    const size_t z = static_cast<size_t>(marker.zone);
    const QImage& light = lights_.Get(marker.picture, view.preview.previewRed[z], view.preview.previewGreen[z],
                                view.preview.previewBlue[z], view.preview.previewBrightness[z]);
    if (!light.isNull()) p.drawImage(origin, light);
  }
  p.restore();
  if (view.markers) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < static_cast<int>(art::kZoneMarkers.size()); ++i) {
      const bool lit = i == view.hoverMarker;
      p.setPen(QPen(lit ? QColor(0xFF, 0xFF, 0xFF) : QColor(0xC8, 0xD0, 0xDA), lit ? 2 : 1.2));
      p.setBrush(lit ? QColor(0xFF, 0xFF, 0xFF, 0x90) : QColor(0x10, 0x14, 0x1A, 0xB0));
      p.drawPolygon(ZoneMarker(i));
    }
    p.restore();
  }
  PaintButtonPlates(p, items, interaction, pictures_);
  DrawItems(p, Drawn(items, false), interaction, pictures_, fonts.At(kFontItem));
}

void LightingPainter::PaintPick(QPainter& p, const PickView& view, const std::vector<SkinItem>& items,
                                const SkinInteraction& interaction, const SkinFonts& fonts) {
  using namespace lighting_layout;
  PaintDialogSurface(p, QSize(kPickWidth, kPickHeight), pictures_);
  Title(p, fonts, view.title);
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  const QImage& wheel = pictures_.Get(pic::kColourWheel);
  if (!wheel.isNull()) p.drawImage(ColourField().topLeft(), wheel);
  for (int row = 0; row < 4; ++row) {
    for (int column = 0; column < 10; ++column) {
      const QColor colour = QColor::fromRgb(SwatchColour(column, row));
      Outlined(p, Swatch(column, row), colour, view.profileChosen ? false : colour == view.current);
    }
  }
  p.restore();
  // The current colour and the profile's.
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  Outlined(p, CurrentColour(), view.current, false);
  Outlined(p, ProfileSwatch(), view.profile, view.profileChosen);
  // The sliders: each strip runs its component from 0 to 255 with the
  // others as they are now; a bar marks the value.
  p.setFont(fonts.At(kFontSmall));
  static const char* const kChannel[] = {"R", "G", "B"};
  for (int channel = 0; channel < 3; ++channel) {
    const QRect r = Slider(channel);
    QLinearGradient strip(r.topLeft(), r.topRight());
    QColor from = view.current, to = view.current;
    const int shift = 16 - 8 * channel;
    const QRgb base = view.current.rgb() & ~(0xFFu << shift);
    from.setRgb(base);
    to.setRgb(base | (0xFFu << shift));
    strip.setColorAt(0, from);
    strip.setColorAt(1, to);
    p.setPen(QPen(QColor(0x55, 0x5E, 0x6C), 1));
    p.setBrush(strip);
    p.drawRoundedRect(QRectF(r).adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
    const qreal x = r.left() + view.components[static_cast<size_t>(channel)] + 0.5;
    p.setPen(QPen(Qt::white, 2));
    p.drawLine(QPointF(x, r.top() - 3), QPointF(x, r.bottom() + 3));
    p.setPen(kDialogText);
    p.drawText(QRect(r.left() - 22, r.top(), 18, r.height()), Qt::AlignRight | Qt::AlignVCenter,
               QString::fromLatin1(kChannel[channel]));
    p.drawText(QRect(r.right() + 6, r.top(), 36, r.height()), Qt::AlignLeft | Qt::AlignVCenter,
               QString::number(view.components[static_cast<size_t>(channel)]));
  }
  p.restore();
  // The sliders are drawn above; they get no button plate.
  std::vector<SkinItem> plated = items;
  for (SkinItem& item : plated) item.hidden = item.hidden || item.imageNormal == 0;
  PaintButtonPlates(p, plated, interaction, pictures_);
  DrawItems(p, Drawn(items, true), interaction, pictures_, fonts.At(kFontItem));
}

}  // namespace quorix::ui
