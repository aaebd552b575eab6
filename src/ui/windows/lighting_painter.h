#pragma once
// Painting of the lighting window and the colour picker, and where their
// parts lie. The windows hand over what to show; nothing here decides.

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPolygonF>
#include <QRect>
#include <QString>
#include <array>
#include <cstdint>
#include <vector>

#include "session/models/lighting_windows.h"
#include "ui/skin/picture.h"
#include "ui/skin/skin_item.h"
#include "ui/skin/tinted_lights.h"

namespace quorix::ui {

class SkinFonts;

namespace lighting_layout {
inline constexpr int kDlgWidth = 720;
inline constexpr int kDlgHeight = 440;
inline constexpr int kPickWidth = 810;
inline constexpr int kPickHeight = 530;
// The part of the lighting window the animation repaints.
inline const QRect kPictureArea(220, 80, 470, 360);

QPolygonF ZoneMarker(int marker);  // marker 0..5 of lighting_geometry.h's table

// The picker's colour sources.
QRect ColourField();
QRect Swatch(int column, int row);
QRect Slider(int channel);
QRect ProfileSwatch();
QRect CurrentColour();
}  // namespace lighting_layout

class LightingPainter {
 public:
  explicit LightingPainter(PictureCache& pictures) : pictures_(pictures), lights_(pictures) {}

  struct DlgView {
    QString title, effectHeading;
    bool markers = false;  // the zone markers (effect 0 only)
    int hoverMarker = -1;
    PreviewModel preview;
  };
  void PaintDlg(QPainter& p, const DlgView& view, const std::vector<SkinItem>& items,
                const SkinInteraction& interaction, const SkinFonts& fonts);

  struct PickView {
    QString title;
    QColor current;  // the live colour as shown
    QColor profile;  // the profile-colour swatch
    bool profileChosen = false;
    std::array<int, 3> components{};  // the sliders' values
  };
  void PaintPick(QPainter& p, const PickView& view, const std::vector<SkinItem>& items,
                 const SkinInteraction& interaction, const SkinFonts& fonts);

 private:
  PictureCache& pictures_;
  TintedLights lights_;  // the zones' lights
};

}  // namespace quorix::ui
