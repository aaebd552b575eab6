#pragma once
// The skin's pictures: every window refers to a picture by its numeric id
// (src/ui/art/picture_ids.h). They are compiled into the program as
// resources ":/skin/<id>.png", each with a twice-as-large "<id>@2x.png" for
// screens with a device pixel ratio above 1. The helpers below are pure
// functions over QImage, so they are tested without a screen.

#include <optional>
#include <unordered_map>

#include <QImage>
#include <QRect>
#include <QRegion>

namespace quorix::ui {

// The picture `id` for the application's device pixel ratio: the @2x variant
// (with devicePixelRatio 2) when the ratio is above 1, else the plain one.
// A null image when the program has no such picture; drawing code skips
// null pictures, so a window still shows everything else.
QImage LoadPicture(int id);
// The same for an explicit ratio (1 or 2; anything above 1 picks @2x).
QImage LoadPicture(int id, qreal devicePixelRatio);

// The picture's shape: every horizontal run of visible pixels of a row
// becomes one rectangle [first, after last) x [row, row + 1). A pixel is
// visible when its alpha is not 0; in pictures without alpha, when it is not
// black. The region is in the picture's logical pixels (a @2x picture gives
// the region of its plain size). Empty for a fully transparent picture.
QRegion RegionFromPicture(const QImage& picture);

// Flag of TintPicture: scale every colour channel by `factor` alone and
// ignore the per-channel factors.
inline constexpr int kTintUniform = 8;

// For every pixel inside `rect` (logical pixels; the whole picture when
// absent) whose alpha is not 0: alpha *= factor; with kTintUniform in
// `flags` every colour channel *= factor, otherwise red *= red * factor,
// green *= green * factor, blue *= blue * factor. Channels are those of
// straight (not premultiplied) ARGB, truncated and kept within 0..255.
// Fully transparent pixels are left untouched.
void TintPicture(QImage& picture, double factor, double red, double green, double blue, int flags,
                 std::optional<QRect> rect = {});

// The columns and the bottom row that hold visible (alpha not 0) pixels:
// left() = the smallest such column, right() = the largest, bottom() = the
// largest row; top() is always 0. For a picture without any visible pixel:
// left() 0, right() = width, bottom() = height. Logical pixels.
QRect PictureBounds(const QImage& picture);

// A window's decoded pictures: each id is decoded once, on first use, for
// the application's device pixel ratio. Get() of a missing id returns a
// null image (and remembers that too).
class PictureCache {
 public:
  const QImage& Get(int id);
  void Clear() { pictures_.clear(); }

 private:
  std::unordered_map<int, QImage> pictures_;
};

}  // namespace quorix::ui
