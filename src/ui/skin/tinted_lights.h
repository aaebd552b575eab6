#pragma once
// Light pictures are drawn white and shown through a colour. Tinting costs a
// pass over the picture, and an animation shows the same colours again and
// again, so each picture keeps its last tint until its colour changes.

#include <QImage>
#include <cstdint>
#include <vector>

#include "ui/skin/picture.h"

namespace quorix::ui {

class TintedLights {
 public:
  explicit TintedLights(PictureCache& pictures) : pictures_(pictures) {}
  // Picture `picture` tinted by (red, green, blue) at `brightness` (each
  // 0..255); a null image when the program has no such picture.
  const QImage& Get(int picture, int red, int green, int blue, int brightness = 255);

 private:
  PictureCache& pictures_;
  struct Tinted {
    int picture = 0;
    int64_t key = -1;
    QImage image;
  };
  std::vector<Tinted> tinted_;
};

}  // namespace quorix::ui
