#include "ui/windows/macro_list_painter.h"

#include <QLinearGradient>

#include "ui/skin/skin_fonts.h"
#include "ui/skin/skin_painter.h"

namespace quorix::ui {
namespace {

const QColor kSurfaceTop{0x2A, 0x30, 0x3A};
const QColor kSurfaceBottom{0x16, 0x1A, 0x20};
const QColor kBorder{0x4A, 0x55, 0x66};
const QColor kRowHover{0x33, 0x3C, 0x4A};
const QColor kRowSelected{0x2F, 0x6F, 0xB8};
const QColor kHeader{0x8F, 0xA3, 0xBD};
const QColor kDim{0x9A, 0xA4, 0xB2};

QString Q(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

void PaintMacroSurface(QPainter& painter, QSizeF size, const QString& title, const QFont& font) {
  painter.setRenderHint(QPainter::Antialiasing);
  QLinearGradient fill(0, 0, 0, size.height());
  fill.setColorAt(0, kSurfaceTop);
  fill.setColorAt(1, kSurfaceBottom);
  painter.setPen(QPen(kBorder, 1));
  painter.setBrush(fill);
  painter.drawRoundedRect(QRectF(QPointF(0.5, 0.5), size - QSizeF(1, 1)), 8, 8);
  if (!title.isEmpty()) {
    painter.setFont(font);
    painter.setPen(skin_colour::kText);
    painter.drawText(QRectF(16, 6, size.width() - 32, 28), Qt::AlignLeft | Qt::AlignVCenter, title);
  }
}

void PaintButtonPlates(QPainter& painter, const std::vector<SkinItem>& items, const SkinInteraction& interaction) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  for (int i = 0; i < static_cast<int>(items.size()); ++i) {
    const SkinItem& item = items[static_cast<size_t>(i)];
    if (item.hidden || item.imageNormal != 0 || item.kind == kSkinItemRadio) continue;
    const bool lit = interaction.HoverIndex() == i || interaction.PressIndex() == i || item.selected;
    QLinearGradient fill(item.rect.topLeft(), item.rect.bottomLeft());
    fill.setColorAt(0, lit ? QColor(0x4C, 0x86, 0xC8) : QColor(0x3A, 0x44, 0x52));
    fill.setColorAt(1, lit ? QColor(0x2A, 0x5E, 0x9C) : QColor(0x25, 0x2C, 0x36));
    painter.setOpacity(item.disabled ? 0.45 : 1.0);
    painter.setPen(QPen(kBorder, 1));
    painter.setBrush(fill);
    painter.drawRoundedRect(item.rect.adjusted(0.5, 0.5, -0.5, -0.5), 5, 5);
  }
  painter.restore();
}

void MacroListPainter::Paint(QPainter& painter, const MacroListView& view, const std::vector<SkinItem>& items,
                             const SkinInteraction& interaction) {
  PaintMacroSurface(painter, view.size, view.title, fonts_.At(15));
  painter.setPen(QPen(kBorder, 1));
  painter.setBrush(QColor(0x12, 0x15, 0x1A));
  painter.drawRoundedRect(view.list.adjusted(-2, -2, 2, 2), 4, 4);

  painter.save();
  painter.setClipRect(view.list);
  const auto& rows = *view.rows;
  const int first = std::max(0, view.offset / kMacroListRowHeight);
  for (int i = first; i < static_cast<int>(rows.size()); ++i) {
    const QRectF rect(view.list.left(), view.list.top() + i * kMacroListRowHeight - view.offset, view.list.width(),
                      kMacroListRowHeight);
    if (rect.top() > view.list.bottom()) break;
    const MacroListItem& row = rows[static_cast<size_t>(i)];
    if (i == view.selected)
      painter.fillRect(rect.adjusted(1, 1, -1, -1), kRowSelected);
    else if (i == view.hover)
      painter.fillRect(rect.adjusted(1, 1, -1, -1), kRowHover);
    const bool header = row.kind == MacroRowKind::kFolder || row.kind == MacroRowKind::kCaption;
    const qreal indent = 10 + 14 * std::max(0, row.level);
    QString name = Q(row.name);
    if (row.kind == MacroRowKind::kFolder)
      name = (row.expanded ? QStringLiteral("\u25BE ") : QStringLiteral("\u25B8 ")) + name;
    painter.setFont(header ? fonts_.At(15) : fonts_.At(0));
    painter.setPen(header ? kHeader : skin_colour::kText);
    painter.drawText(rect.adjusted(indent, 0, -90, row.description.empty() ? 0 : -16),
                     Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, name);
    if (!row.description.empty()) {
      painter.setFont(fonts_.At(2));
      painter.setPen(kDim);
      painter.drawText(rect.adjusted(indent, 20, -90, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                       Q(row.description));
    }
    if (!header && row.size > 0) {
      painter.setFont(fonts_.At(4));
      painter.setPen(kDim);
      painter.drawText(rect.adjusted(0, 0, -10, 0), Qt::AlignRight | Qt::AlignVCenter,
                       QString(view.sizeFormat).replace(QStringLiteral("%d"), QString::number(row.size)));
    }
    painter.setPen(QColor(0x26, 0x2C, 0x35));
    painter.drawLine(rect.bottomLeft(), rect.bottomRight());
  }
  painter.restore();

  if (!view.thumb.isEmpty()) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x22, 0x27, 0x2F));
    painter.drawRoundedRect(view.track, 3, 3);
    painter.setBrush(QColor(0x6A, 0x78, 0x8C));
    painter.drawRoundedRect(view.thumb, 3, 3);
  }
  PaintButtonPlates(painter, items, interaction);
  DrawItems(painter, items, interaction, pictures_, fonts_.At(4));
}

}  // namespace quorix::ui
