#pragma once
// Paints the on-screen display's panel: the new profile's picture, the DPI
// panel with the level and the X and Y bars, and the scroll hint.

#include <QPainter>
#include <QString>

#include "session/models/osd_state.h"

namespace quorix::ui {

class PictureCache;
class SkinFonts;

// Draws `plan` at full opacity from (0, 0); the caller sets the overall one.
void PaintOsd(QPainter& painter, const OsdPaintPlan& plan, PictureCache& pictures, const SkinFonts& fonts,
              const QString& scrollHint);

}  // namespace quorix::ui
