#include "ui/windows/button_set_painter.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainterPath>
#include <algorithm>
#include <array>

#include "ui/art/picture_ids.h"
#include "ui/skin/skin_painter.h"

namespace quorix::ui {
namespace {

// The first choice of each row: mouse buttons, wheel and tilt, DPI, profiles,
// media (two rows), keyboard and macro.
constexpr std::array<int, button_layout::kRows + 1> kRowStart = {0, 7, 9, 16, 22, 29, 35, kButtonChoiceCount};
constexpr qreal kLeft = 24;
constexpr qreal kChoiceLeft = 140;
constexpr qreal kChoiceWidth = 112;
constexpr qreal kChoiceStep = 115;
constexpr qreal kRowTop = 52;
constexpr qreal kRowStep = 30;
constexpr qreal kChoiceHeight = 25;

const QColor kSurfaceTop{0x1E, 0x23, 0x2B};
const QColor kSurfaceBottom{0x12, 0x15, 0x1A};
const QColor kBorder{0x34, 0x3C, 0x48};
const QColor kPlate{0x2A, 0x31, 0x3B};
const QColor kPlateHover{0x3A, 0x44, 0x52};
const QColor kAccent{0xD8, 0x3A, 0x3A};
const QColor kCaption{0x8E, 0x9A, 0xAA};
const QColor kIndicator{0xFF, 0x40, 0x40};

qreal RowTop(int row) { return kRowTop + row * kRowStep; }

// Draws `text` inside `rect`, in `font` or, when it does not fit, a smaller
// one; what still does not fit is elided.
void FitText(QPainter& painter, const QRectF& rect, const QString& text, const QFont& font, const QFont& smaller,
             int flags = Qt::AlignCenter) {
  auto fits = [&](const QFont& f) {
    const QRectF need = QFontMetricsF(f).boundingRect(rect, flags, text);
    return need.width() <= rect.width() + 0.5 && need.height() <= rect.height() + 0.5;
  };
  const QFont& use = fits(font) ? font : smaller;
  painter.setFont(use);
  QString shown = text;
  if (!fits(use) && !text.contains(QLatin1Char('\n')) && !(flags & Qt::TextWordWrap))
    shown = QFontMetricsF(use).elidedText(text, Qt::ElideRight, rect.width());
  painter.drawText(rect, flags, shown);
}

void Plate(QPainter& painter, const QRectF& rect, const QColor& fill, qreal radius = 4) {
  painter.setPen(QPen(kBorder, 1));
  painter.setBrush(fill);
  painter.drawRoundedRect(rect.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
}

}  // namespace

namespace button_layout {
QRectF Close() { return {kButtonSetWidth - 44.0, 10, 30, 30}; }
int RowOf(int choice) {
  for (int row = 0; row < kRows; ++row)
    if (choice < kRowStart[static_cast<size_t>(row) + 1]) return row;
  return kRows - 1;
}
QRectF Choice(int choice) {
  const int row = RowOf(choice);
  const int column = choice - kRowStart[static_cast<size_t>(row)];
  return {kChoiceLeft + column * kChoiceStep, RowTop(row), kChoiceWidth, kChoiceHeight};
}
QRectF RowCaption(int row) { return {kLeft, RowTop(row), kChoiceLeft - kLeft - 8, kChoiceHeight}; }
QRectF MacroMode(int mode) {
  // The three modes share the room before "Select" by the length of their
  // labels, so that "One time mode" keeps the window's font.
  static constexpr std::array<qreal, 3> kLeft{0, 120, 220};
  static constexpr std::array<qreal, 3> kWidth{116, 96, 104};
  const size_t m = static_cast<size_t>(std::clamp(mode, 0, 2));
  return {kChoiceLeft + 2 * kChoiceStep + 4 + kLeft[m], RowTop(6), kWidth[m], kChoiceHeight};
}
QRectF SelectMacro() { return {702, RowTop(6), 76, kChoiceHeight}; }
QRectF ImportMacro() { return {784, RowTop(6), 76, kChoiceHeight}; }
QRectF Record() { return {866, RowTop(6), 76, kChoiceHeight}; }
QRectF RecordIntervals() { return {kChoiceLeft, RowTop(7), 170, kChoiceHeight}; }
QRectF MacroLine() { return {kChoiceLeft + 180, RowTop(7), 942 - kChoiceLeft - 180, kChoiceHeight}; }
QRectF KeyboardPanel() { return {14, 292, kButtonSetWidth - 28.0, 268}; }
QRectF FunctionText() { return {kLeft, 574, 570, 50}; }
QRectF Ok() { return {616, 583, 160, 32}; }
QRectF Cancel() { return {784, 583, 160, 32}; }
QRectF KeyLegendBox(const QRectF& key) { return key.adjusted(1, 1, -1, -1); }
}  // namespace button_layout

namespace {

// The ways a legend can be set: as written, and for a one-line legend each
// break at a space (dropped) or after a slash (kept on the first line).
std::vector<QStringList> LegendLayouts(const QString& legend) {
  std::vector<QStringList> layouts{legend.split(QLatin1Char('\n'))};
  if (layouts.front().size() != 1) return layouts;
  for (int i = 1; i + 1 < legend.size(); ++i) {
    if (legend[i] == QLatin1Char(' ')) layouts.push_back({legend.left(i), legend.mid(i + 1)});
    else if (legend[i - 1] == QLatin1Char('/')) layouts.push_back({legend.left(i), legend.mid(i)});
  }
  return layouts;
}

qreal WidestLine(const QFontMetricsF& metrics, const QStringList& lines) {
  qreal widest = 0;
  for (const QString& line : lines) widest = std::max(widest, metrics.horizontalAdvance(line));
  return widest;
}

}  // namespace

KeyLegend FitKeyLegend(const QString& legend, const QRectF& box, const SkinFonts& fonts, bool smallFont) {
  // 12, 10 and 9 pixels; keys marked small start at 10.
  const std::vector<int> ladder = smallFont ? std::vector<int>{16, 13} : std::vector<int>{4, 16, 13};
  const std::vector<QStringList> layouts = LegendLayouts(legend);
  KeyLegend best;
  for (int font : ladder) {
    const QFontMetricsF metrics(fonts.At(font));
    qreal narrowest = -1;
    for (const QStringList& lines : layouts) {
      if (lines.size() * metrics.lineSpacing() > box.height() + 0.5) continue;
      const qreal width = WidestLine(metrics, lines);
      if (width <= box.width() + 0.5) return {fonts.At(font), lines, 1};
      if (narrowest < 0 || width < narrowest) {
        narrowest = width;
        best = {fonts.At(font), lines, box.width() / width};
      }
    }
  }
  if (best.lines.isEmpty()) best = {fonts.At(ladder.back()), layouts.front(), 1};
  return best;
}

void ButtonSetPainter::Paint(QPainter& painter, const ButtonSetScene& scene) {
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::TextAntialiasing);
  PaintSurface(painter, scene);
  for (int i = 0; i < static_cast<int>(scene.items.size()); ++i) PaintItem(painter, scene, i);

  // The function being chosen.
  const QRectF text = button_layout::FunctionText();
  Plate(painter, text, kPlate, 6);
  painter.setPen(skin_colour::kTextHover);
  FitText(painter, text.adjusted(12, 2, -12, -2), QString::fromStdString(scene.model.Text()), scene.fonts.At(14),
          scene.fonts.At(8), Qt::AlignLeft | Qt::AlignVCenter);

  // The macro line, with the indicator while input is read.
  QRectF line = button_layout::MacroLine();
  if (scene.recordingIndicator) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(kIndicator);
    painter.drawEllipse(QPointF(line.left() + 7, line.center().y()), 6, 6);
    line.setLeft(line.left() + 20);
  }
  painter.setPen(skin_colour::kText);
  FitText(painter, line, scene.status.isEmpty() ? scene.macroLine : scene.status, scene.fonts.At(4),
          scene.fonts.At(16), Qt::AlignLeft | Qt::AlignVCenter);

  if (scene.busy) {
    const QRectF bar(kLeft, kButtonSetHeight - 12.0, kButtonSetWidth - 2 * kLeft, 4);
    painter.setPen(Qt::NoPen);
    painter.setBrush(kPlate);
    painter.drawRect(bar);
    painter.setBrush(kAccent);
    painter.drawRect(QRectF(bar.topLeft(), QSizeF(bar.width() * std::clamp(*scene.busy, 0.0, 1.0), bar.height())));
  }
}

void ButtonSetPainter::PaintSurface(QPainter& painter, const ButtonSetScene& scene) {
  const QRectF all(0, 0, kButtonSetWidth, kButtonSetHeight);
  QLinearGradient fill(all.topLeft(), all.bottomLeft());
  fill.setColorAt(0, kSurfaceTop);
  fill.setColorAt(1, kSurfaceBottom);
  painter.setPen(QPen(kBorder, 1));
  painter.setBrush(fill);
  painter.drawRoundedRect(all.adjusted(0.5, 0.5, -0.5, -0.5), 12, 12);
  // Title band.
  painter.setPen(QPen(kAccent, 2));
  painter.drawLine(QPointF(kLeft, 46), QPointF(kLeft + 60, 46));
  painter.setPen(skin_colour::kTextHover);
  painter.setFont(scene.fonts.At(1));
  painter.drawText(QRectF(kLeft, 8, 800, 34), Qt::AlignLeft | Qt::AlignVCenter, scene.title);
  // Section captions.
  painter.setPen(kCaption);
  for (int row = 0; row < button_layout::kRows && row < static_cast<int>(scene.rowCaptions.size()); ++row)
    FitText(painter, button_layout::RowCaption(row), scene.rowCaptions[static_cast<size_t>(row)],
            scene.fonts.At(4), scene.fonts.At(16), Qt::AlignLeft | Qt::AlignVCenter);
  // The keyboard's panel.
  painter.setPen(QPen(kBorder, 1));
  painter.setBrush(QColor(0x0E, 0x11, 0x15, 0xC0));
  painter.drawRoundedRect(button_layout::KeyboardPanel(), 8, 8);
}

void ButtonSetPainter::PaintItem(QPainter& painter, const ButtonSetScene& scene, int index) {
  const SkinItem& item = scene.items[static_cast<size_t>(index)];
  if (item.hidden) return;
  const SkinInteraction& in = scene.interaction;
  const bool hover = !item.disabled && (in.HoverIndex() == index || in.PressIndex() == index);
  const ButtonSetRole role = ButtonSetRoleOf(item.code);
  const QRectF r = item.rect;
  painter.setOpacity(item.disabled ? 0.4 : 1.0);
  switch (role) {
    case ButtonSetRole::kClose: {
      painter.setPen(QPen(hover ? skin_colour::kTextHover : kCaption, 2));
      const QRectF x = r.adjusted(9, 9, -9, -9);
      painter.drawLine(x.topLeft(), x.bottomRight());
      painter.drawLine(x.topRight(), x.bottomLeft());
      break;
    }
    case ButtonSetRole::kMacroMode:
    case ButtonSetRole::kRecordIntervals: {
      const bool radio = role == ButtonSetRole::kMacroMode;
      const int id = radio ? (item.selected ? pic::kRadioSelected : pic::kRadioNormal)
                           : (item.selected ? pic::kCheckOn : pic::kCheckOff);
      const QImage& picture = pictures_.Get(id);
      const QPointF at(r.left(), r.center().y() - 7.5);
      if (!picture.isNull()) {
        painter.drawImage(at, picture);
      } else {
        Plate(painter, QRectF(at, QSizeF(15, 15)), item.selected ? kAccent : kPlate, radio ? 7.5 : 3);
      }
      painter.setPen(hover ? skin_colour::kTextHover : skin_colour::kText);
      FitText(painter, r.adjusted(21, 0, 0, 0), item.label, scene.fonts.At(4), scene.fonts.At(16),
              Qt::AlignLeft | Qt::AlignVCenter);
      break;
    }
    case ButtonSetRole::kOk:
    case ButtonSetRole::kCancel: {
      const QImage& picture = pictures_.Get(hover ? pic::kWideButtonHover : pic::kWideButtonNormal);
      if (!picture.isNull()) painter.drawImage(r.topLeft(), picture);
      else Plate(painter, r, hover ? kPlateHover : kPlate, 6);
      painter.setPen(hover ? skin_colour::kTextHover : skin_colour::kText);
      FitText(painter, r, item.label, scene.fonts.At(0), scene.fonts.At(4));
      break;
    }
    case ButtonSetRole::kKey: {
      Plate(painter, r, item.selected ? kAccent : hover ? kPlateHover : kPlate, 4);
      const int key = ButtonSetIndexOf(item.code);
      const auto& keys = scene.model.Keyboard().keys;
      const bool small = key < static_cast<int>(keys.size()) && keys[static_cast<size_t>(key)].smallFont != 0;
      painter.setPen(item.selected || hover ? skin_colour::kTextHover : skin_colour::kText);
      const QRectF box = button_layout::KeyLegendBox(r);
      const KeyLegend legend = FitKeyLegend(item.label, box, scene.fonts, small);
      painter.save();
      painter.setFont(legend.font);
      // Squeezed about the key's centre, so a squeezed legend stays centred.
      painter.translate(box.center());
      painter.scale(legend.squeeze, 1);
      const QRectF text(-box.width() / 2 / legend.squeeze, -box.height() / 2, box.width() / legend.squeeze,
                        box.height());
      painter.drawText(text, Qt::AlignCenter, legend.lines.join(QLatin1Char('\n')));
      painter.restore();
      break;
    }
    default: {  // choices and the small push buttons
      Plate(painter, r, item.selected ? kAccent : hover ? kPlateHover : kPlate, 5);
      painter.setPen(item.selected || hover ? skin_colour::kTextHover : skin_colour::kText);
      FitText(painter, r.adjusted(4, 0, -4, 0), item.label, scene.fonts.At(4), scene.fonts.At(16));
      break;
    }
  }
  painter.setOpacity(1.0);
  if (in.FocusIndex() == index) {
    painter.setPen(QPen(skin_colour::kFocusRing, 1.0, Qt::DotLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(r.adjusted(-2, -2, 2, 2), 4, 4);
  }
}

}  // namespace quorix::ui
