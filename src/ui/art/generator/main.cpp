// Draws every picture of the skin at scale 1 and 2 into the output folder
// ("<id>.png", "<id>@2x.png"), writes the resource list "skin.qrc" over them,
// the application icon at 64 and 256 pixels ("quorix-mouse-<size>.png"; the
// larger one is compiled in too, as ":/skin/quorix-mouse-256.png"), and a
// contact sheet that shows every picture on a checkerboard with its id and
// name, and a mock-up that puts them together (preview.png). Runs at build time without a display.
//
//   quorix_art_gen OUTPUT_DIR

#include <algorithm>
#include <cstdio>
#include <set>

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTextStream>

#include "kit.h"
#include "pictures.h"
#include "ui/art/picture_ids.h"

namespace {

using quorix::art::PictureSpec;

QImage Render(const PictureSpec& spec, int scale, QSize size) {
  QImage image(size * scale, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::SmoothPixmapTransform);
  p.scale(scale, scale);
  spec.draw(p, QSizeF(size));
  return image;
}

bool Save(const QImage& image, const QString& path) {
  if (image.save(path, "PNG")) return true;
  std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
  return false;
}

QImage Checkerboard(QSize size) {
  QImage board(size, QImage::Format_RGB32);
  QPainter p(&board);
  constexpr int kCell = 8;
  for (int y = 0; y < size.height(); y += kCell) {
    for (int x = 0; x < size.width(); x += kCell) {
      p.fillRect(x, y, kCell, kCell, ((x + y) / kCell) % 2 ? QColor(0x9A, 0x9A, 0x9A) : QColor(0xC8, 0xC8, 0xC8));
    }
  }
  return board;
}

// Every picture at its plain size (large ones halved), in id order, packed
// into rows.
// After them, composites made of several pictures (id 0).
QImage ContactSheet(std::vector<PictureSpec> all, std::vector<QImage> plain,
                    const std::vector<std::pair<const char*, QImage>>& extras) {
  for (const auto& [name, image] : extras) {
    all.push_back({0, name, image.size(), {}});
    plain.push_back(image);
  }
  constexpr int kWidth = 1800;
  constexpr int kGap = 16;
  constexpr int kCaption = 30;
  struct Cell {
    QRect box;
    int index;
  };
  std::vector<Cell> cells;
  int x = kGap;
  int y = kGap + 40;
  int rowHeight = 0;
  for (int i = 0; i < static_cast<int>(all.size()); ++i) {
    QSize shown = plain[i].size();
    if (shown.width() > 560 || shown.height() > 300) shown /= 2;
    const int w = std::max(shown.width(), 120);
    if (x + w + kGap > kWidth) {
      x = kGap;
      y += rowHeight + kCaption + kGap;
      rowHeight = 0;
    }
    cells.push_back({QRect(x, y, w, shown.height()), i});
    x += w + kGap;
    rowHeight = std::max(rowHeight, shown.height());
  }
  QImage sheet(kWidth, y + rowHeight + kCaption + kGap, QImage::Format_RGB32);
  sheet.fill(QColor(0x2B, 0x2F, 0x36));
  QPainter p(&sheet);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::SmoothPixmapTransform);
  QFont title(QStringLiteral("DejaVu Sans"));
  title.setPixelSize(18);
  title.setBold(true);
  p.setFont(title);
  p.setPen(Qt::white);
  p.drawText(QPoint(kGap, 32), QStringLiteral("Skin pictures (%1), drawn by src/ui/art/generator").arg(all.size() - extras.size()));
  QFont caption(QStringLiteral("DejaVu Sans"));
  caption.setPixelSize(11);
  p.setFont(caption);
  for (const Cell& cell : cells) {
    const QImage& picture = plain[cell.index];
    QSize shown = picture.size();
    if (shown.width() > 560 || shown.height() > 300) shown /= 2;
    const QRect target(cell.box.left() + (cell.box.width() - shown.width()) / 2, cell.box.top(), shown.width(),
                       shown.height());
    p.drawImage(target.topLeft(), Checkerboard(shown));
    p.drawImage(target, picture);
    p.setPen(QColor(0xE8, 0xEA, 0xEE));
    const QRect text(cell.box.left() - 6, cell.box.top() + shown.height() + 3, cell.box.width() + 12, kCaption);
    p.drawText(text, Qt::AlignHCenter | Qt::AlignTop,
               QStringLiteral("%1 %2\n%3x%4")
                   .arg(all[cell.index].id != 0 ? QString::number(all[cell.index].id) : QStringLiteral("composite:"))
                   .arg(QString::fromLatin1(all[cell.index].name))
                   .arg(picture.width())
                   .arg(picture.height()));
  }
  return sheet;
}

}  // namespace

int main(int argc, char** argv) {
  // Text is drawn as paths, which needs the font database, which needs a
  // platform: the offscreen one needs no display.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: quorix_art_gen OUTPUT_DIR\n");
    return 2;
  }
  const QDir out(QString::fromLocal8Bit(argv[1]));
  if (!QDir().mkpath(out.path())) {
    std::fprintf(stderr, "cannot create %s\n", argv[1]);
    return 1;
  }
  const std::vector<PictureSpec> all = quorix::art::Catalogue();
  std::set<int> ids;
  std::vector<QImage> plain;
  QFile qrc(out.filePath(QStringLiteral("skin.qrc")));
  if (!qrc.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
    std::fprintf(stderr, "cannot write skin.qrc\n");
    return 1;
  }
  QTextStream list(&qrc);
  list << "<RCC>\n  <qresource prefix=\"/skin\">\n";
  for (const PictureSpec& spec : all) {
    if (!ids.insert(spec.id).second) {
      std::fprintf(stderr, "picture %d is drawn twice\n", spec.id);
      return 1;
    }
    plain.push_back(Render(spec, 1, spec.size));
    for (int scale : {1, 2}) {
      const QString name = scale == 1 ? QStringLiteral("%1.png").arg(spec.id) : QStringLiteral("%1@2x.png").arg(spec.id);
      if (!Save(scale == 1 ? plain.back() : Render(spec, 2, spec.size), out.filePath(name))) return 1;
      list << "    <file>" << name << "</file>\n";
    }
  }
  // The icon in the sizes desktops ask for (window lists, installation);
  // the largest is also compiled in for the window icon.
  const auto icon = std::find_if(all.begin(), all.end(),
                                 [](const PictureSpec& s) { return s.id == quorix::ui::pic::kAppIcon; });
  for (int size : {64, 256}) {
    const QString name = QStringLiteral("quorix-mouse-%1.png").arg(size);
    if (!Save(Render(*icon, 1, QSize(size, size)), out.filePath(name))) return 1;
    if (size == 256) list << "    <file>" << name << "</file>\n";
  }
  list << "  </qresource>\n</RCC>\n";
  qrc.close();
  const QImage sheet = ContactSheet(all, plain, {{"mouse, zones lit", quorix::art::LitMouse(all, plain)}});
  if (!Save(sheet, out.filePath(QStringLiteral("contact_sheet.png")))) return 1;
  if (!Save(quorix::art::Preview(all, plain), out.filePath(QStringLiteral("preview.png")))) return 1;
  std::printf("%zu pictures in %s\n", all.size(), qPrintable(out.path()));
  return 0;
}
