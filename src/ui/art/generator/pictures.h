#pragma once
// The drawing of every picture, grouped by where it is used. Each function
// paints one picture in its logical size; the generator calls it once at
// scale 1 and once at scale 2, so everything is drawn as vectors and is
// sharp at both.

#include <functional>
#include <vector>

#include <QImage>
#include <QPainter>
#include <QSize>

namespace quorix::art {

using Draw = std::function<void(QPainter& p, const QSizeF& size)>;

struct PictureEntry {
  int id;
  const char* name;
  QSize size;  // logical pixels
  Draw draw;
};

// Everything the program uses, in id order.
std::vector<PictureEntry> Catalogue();

// preview.cpp: a mock-up made of the pictures (not itself a picture).
QImage Preview(const std::vector<PictureEntry>& all, const std::vector<QImage>& plain);
// The mouse with every light zone lit in a colour of its own.
QImage LitMouse(const std::vector<PictureEntry>& all, const std::vector<QImage>& plain);

// controls.cpp
enum class Look { kNormal, kHover, kSelected, kDisabled };
void DrawTab(QPainter& p, const QSizeF& s, Look look);
void DrawWindowButton(QPainter& p, const QSizeF& s, bool close, bool hover);
void DrawButton(QPainter& p, const QSizeF& s, Look look);
void DrawRadio(QPainter& p, const QSizeF& s, bool selected);
void DrawCheck(QPainter& p, const QSizeF& s, bool on);
void DrawSwitch(QPainter& p, const QSizeF& s, bool on);
void DrawProgress(QPainter& p, const QSizeF& s, bool fill);
void DrawSliderTrack(QPainter& p, const QSizeF& s);
void DrawSliderThumb(QPainter& p, const QSizeF& s);
void DrawSliderTick(QPainter& p, const QSizeF& s);
void DrawProfileItem(QPainter& p, const QSizeF& s, Look look);
void DrawField(QPainter& p, const QSizeF& s, bool withAppGlyph);
void DrawLevel(QPainter& p, const QSizeF& s, Look look);
void DrawListBox(QPainter& p, const QSizeF& s);
void DrawPickPosition(QPainter& p, const QSizeF& s);
void DrawVirtualButton(QPainter& p, const QSizeF& s, bool hover);
void DrawColourWheel(QPainter& p, const QSizeF& s);
void DrawColourMarker(QPainter& p, const QSizeF& s);

// surfaces.cpp
void DrawMainBackground(QPainter& p, const QSizeF& s);
void DrawDialogBackground(QPainter& p, const QSizeF& s);
void DrawLogo(QPainter& p, const QSizeF& s);
void DrawAppIcon(QPainter& p, const QSizeF& s);
void DrawHandCursor(QPainter& p, const QSizeF& s);
void DrawOsdProfile(QPainter& p, const QSizeF& s, int profile);
void DrawOsdDpiPanel(QPainter& p, const QSizeF& s);

// mouse.cpp
void DrawMouseTop(QPainter& p, const QSizeF& s);
void DrawButtonSpot(QPainter& p, const QSizeF& s, bool hover, bool locked);
void DrawFunctionLabel(QPainter& p, const QSizeF& s);
void DrawLightZone(QPainter& p, const QSizeF& s, int zone);

// lighting.cpp
void DrawLightingMouse(QPainter& p, const QSizeF& s);
void DrawLightingZone(QPainter& p, const QSizeF& s, int zone);

}  // namespace quorix::art
