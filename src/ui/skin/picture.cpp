#include "ui/skin/picture.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include <QGuiApplication>
#include <QString>

#ifdef QUORIX_HAVE_ART
// The pictures live in a static library; its resources are registered by
// hand because nothing else refers to the object file that holds them.
static void InitArtResources() { Q_INIT_RESOURCE(quorix_skin); }
#endif

namespace quorix::ui {
namespace {

void EnsureResources() {
#ifdef QUORIX_HAVE_ART
  static const bool once = [] {
    InitArtResources();
    return true;
  }();
  (void)once;
#endif
}

int Ratio(const QImage& picture) { return std::max(1, static_cast<int>(std::lround(picture.devicePixelRatio()))); }

// Whether the device pixel at (x, y) belongs to the picture's shape; the
// image is ARGB32_Premultiplied, `hasAlpha` says whether the source had an
// alpha channel at all.
bool Visible(const QImage& image, bool hasAlpha, int x, int y) {
  const QRgb pixel = reinterpret_cast<const QRgb*>(image.constScanLine(y))[x];
  return hasAlpha ? qAlpha(pixel) != 0 : (pixel & 0x00FFFFFFu) != 0;
}

}  // namespace

QImage LoadPicture(int id) {
  const qreal ratio = qGuiApp != nullptr ? qGuiApp->devicePixelRatio() : 1.0;
  return LoadPicture(id, ratio);
}

QImage LoadPicture(int id, qreal devicePixelRatio) {
  EnsureResources();
  if (devicePixelRatio > 1.0) {
    QImage large(QStringLiteral(":/skin/%1@2x.png").arg(id));
    if (!large.isNull()) {
      large.setDevicePixelRatio(2.0);
      return large;
    }
  }
  QImage plain(QStringLiteral(":/skin/%1.png").arg(id));
  if (!plain.isNull()) plain.setDevicePixelRatio(1.0);
  return plain;
}

QRegion RegionFromPicture(const QImage& picture) {
  if (picture.isNull()) return {};
  const bool hasAlpha = picture.hasAlphaChannel();
  const QImage image = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  const int ratio = Ratio(picture);
  const int width = image.width() / ratio;
  const int height = image.height() / ratio;
  // A logical pixel is visible when any of its device pixels is.
  auto visible = [&](int x, int y) {
    for (int dy = 0; dy < ratio; ++dy) {
      for (int dx = 0; dx < ratio; ++dx) {
        if (Visible(image, hasAlpha, x * ratio + dx, y * ratio + dy)) return true;
      }
    }
    return false;
  };
  std::vector<QRect> runs;
  for (int y = 0; y < height; ++y) {
    int x = 0;
    while (x < width) {
      if (!visible(x, y)) {
        ++x;
        continue;
      }
      const int first = x;
      while (x < width && visible(x, y)) ++x;
      runs.emplace_back(first, y, x - first, 1);
    }
  }
  QRegion region;
  // Runs are banded by row and sorted left to right, as setRects wants.
  region.setRects(runs.data(), static_cast<int>(runs.size()));
  return region;
}

void TintPicture(QImage& picture, double factor, double red, double green, double blue, int flags,
                 std::optional<QRect> rect) {
  if (picture.isNull()) return;
  const QImage::Format original = picture.format();
  const qreal dpr = picture.devicePixelRatio();
  QImage image = picture.convertToFormat(QImage::Format_ARGB32);
  const int ratio = Ratio(picture);
  QRect area = image.rect();
  if (rect) {
    const QRect scaled(rect->x() * ratio, rect->y() * ratio, rect->width() * ratio, rect->height() * ratio);
    area = area.intersected(scaled);
  }
  const bool uniform = (flags & kTintUniform) != 0;
  const double r = uniform ? factor : red * factor;
  const double g = uniform ? factor : green * factor;
  const double b = uniform ? factor : blue * factor;
  auto scale = [](int channel, double f) { return std::clamp(static_cast<int>(channel * f), 0, 255); };
  for (int y = area.top(); y <= area.bottom(); ++y) {
    QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = area.left(); x <= area.right(); ++x) {
      const QRgb p = line[x];
      if (qAlpha(p) == 0) continue;
      line[x] = qRgba(scale(qRed(p), r), scale(qGreen(p), g), scale(qBlue(p), b), scale(qAlpha(p), factor));
    }
  }
  picture = original == QImage::Format_ARGB32 ? image : image.convertToFormat(original);
  picture.setDevicePixelRatio(dpr);
}

QRect PictureBounds(const QImage& picture) {
  const int ratio = Ratio(picture);
  const int width = picture.width() / ratio;
  const int height = picture.height() / ratio;
  const QImage image = picture.convertToFormat(QImage::Format_ARGB32);
  int left = -1;
  int right = -1;
  int bottom = -1;
  for (int y = 0; y < image.height(); ++y) {
    const QRgb* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      if (qAlpha(line[x]) == 0) continue;
      left = left < 0 ? x : std::min(left, x);
      right = std::max(right, x);
      bottom = y;
    }
  }
  if (left < 0) return QRect(QPoint(0, 0), QPoint(width, height));
  return QRect(QPoint(left / ratio, 0), QPoint(right / ratio, bottom / ratio));
}

const QImage& PictureCache::Get(int id) {
  auto found = pictures_.find(id);
  if (found == pictures_.end()) found = pictures_.emplace(id, LoadPicture(id)).first;
  return found->second;
}

}  // namespace quorix::ui
