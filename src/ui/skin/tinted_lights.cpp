#include "ui/skin/tinted_lights.h"

#include <algorithm>

namespace quorix::ui {

const QImage& TintedLights::Get(int picture, int red, int green, int blue, int brightness) {
  auto byte = [](int value) { return std::clamp(value, 0, 255); };
  const int64_t key = ((int64_t{byte(red)} * 256 + byte(green)) * 256 + byte(blue)) * 256 + byte(brightness);
  auto it = std::find_if(tinted_.begin(), tinted_.end(), [&](const Tinted& t) { return t.picture == picture; });
  if (it == tinted_.end()) {
    QImage base = pictures_.Get(picture);
    if (!base.isNull() && shownSize_.isValid()) {
      const qreal ratio = base.devicePixelRatio();
      base = base.scaled(shownSize_ * ratio, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
      base.setDevicePixelRatio(ratio);
    }
    tinted_.push_back({picture, -1, std::move(base), {}});
    it = tinted_.end() - 1;
  }
  if (it->key != key) {
    it->key = key;
    it->image = it->base.copy();
    if (!it->image.isNull()) {
      const double level = byte(brightness) / 255.0;
      TintPicture(it->image, 1.0, byte(red) / 255.0 * level, byte(green) / 255.0 * level, byte(blue) / 255.0 * level,
                  0);
    }
  }
  return it->image;
}

}  // namespace quorix::ui
