#pragma once
// Light pictures are drawn white and shown through a colour. Tinting costs a
// pass over the picture, and an animation shows the same colours again and
// again, so each picture keeps its last tint until its colour changes. A
// picture shown smaller than drawn is scaled once, before any tint.

#include <QImage>
#include <QSize>
#include <cstdint>
#include <vector>

#include "ui/skin/picture.h"

namespace quorix::ui {

class TintedLights {
 public:
  // `shownSize`: the logical size the pictures are shown at (empty: their own).
  explicit TintedLights(PictureCache& pictures, QSize shownSize = {}) : pictures_(pictures), shownSize_(shownSize) {}
  // Picture `picture` tinted by (red, green, blue) at `brightness` (each
  // 0..255); a null image when the program has no such picture.
  const QImage& Get(int picture, int red, int green, int blue, int brightness = 255);

 private:
  PictureCache& pictures_;
  QSize shownSize_;
  struct Tinted {
    int picture = 0;
    int64_t key = -1;
    QImage base;   // the picture at the size it is shown
    QImage image;  // tinted
  };
  std::vector<Tinted> tinted_;
};

}  // namespace quorix::ui
