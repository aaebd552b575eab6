#include "ui/windows/macro_edit_painter.h"

#include "ui/skin/skin_fonts.h"
#include "ui/skin/skin_painter.h"
#include "ui/windows/macro_list_painter.h"

namespace quorix::ui {
namespace {

const QColor kBorder{0x4A, 0x55, 0x66};
const QColor kWell{0x12, 0x15, 0x1A};
const QColor kCurrent{0x2F, 0x6F, 0xB8};
const QColor kDrop{0x6A, 0xB0, 0xFF};
const QColor kNew{0xF2, 0xB1, 0x34};
const QColor kHeader{0x8F, 0xA3, 0xBD};
const QColor kDim{0x9A, 0xA4, 0xB2};
const QColor kRecord{0xE5, 0x39, 0x35};

QString Q(const std::string& s) { return QString::fromStdString(s); }

void Well(QPainter& painter, const QRectF& rect) {
  painter.setPen(QPen(kBorder, 1));
  painter.setBrush(kWell);
  painter.drawRoundedRect(rect.adjusted(-2, -2, 2, 2), 4, 4);
}

}  // namespace

void MacroEditPainter::Paint(QPainter& painter, const MacroEditView& view, const std::vector<SkinItem>& items,
                             const SkinInteraction& interaction) {
  PaintMacroSurface(painter, view.size, view.title, fonts_.At(15));

  // Instructions.
  Well(painter, view.instructions);
  painter.save();
  painter.setClipRect(view.instructions);
  const int count = static_cast<int>(view.instructionTexts.size());
  for (int i = 0; i <= count; ++i) {
    const QRectF row(view.instructions.left(),
                     view.instructions.top() + i * view.instructionRowHeight - view.instructionOffset,
                     view.instructions.width(), view.instructionRowHeight);
    if (row.bottom() < view.instructions.top()) continue;
    if (row.top() > view.instructions.bottom()) break;
    if (i == view.current) painter.fillRect(row.adjusted(1, 0, -1, 0), kCurrent);
    if (i == view.dropTarget) {
      painter.setPen(QPen(kDrop, 2));
      painter.drawLine(row.topLeft(), row.topRight());
    }
    painter.setFont(fonts_.At(4));
    if (i == count) {
      painter.setPen(kDim);
      painter.drawText(row.adjusted(8, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, view.endText);
      break;
    }
    painter.setPen(skin_colour::kText);
    painter.drawText(row.adjusted(8, 0, -60, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     view.instructionTexts[i]);
    if (view.newMarks[static_cast<size_t>(i)]) {
      const QRectF mark(row.right() - 96, row.top() + 5, 36, row.height() - 10);
      painter.setPen(Qt::NoPen);
      painter.setBrush(kNew);
      painter.drawRoundedRect(mark, 3, 3);
      painter.setPen(QColor(0x20, 0x20, 0x20));
      painter.setFont(fonts_.At(10));
      painter.drawText(mark, Qt::AlignCenter, view.newMark);
    }
    if (view.waitRows[static_cast<size_t>(i)]) {
      painter.setFont(fonts_.At(11));
      for (const auto& [rect, sign] :
           {std::pair{MinusRect(row), QStringLiteral("-")}, std::pair{PlusRect(row), QStringLiteral("+")}}) {
        painter.setPen(QPen(kBorder, 1));
        painter.setBrush(QColor(0x30, 0x38, 0x44));
        painter.drawRoundedRect(rect, 3, 3);
        painter.setPen(skin_colour::kText);
        painter.drawText(rect, Qt::AlignCenter, sign);
      }
    }
  }
  painter.restore();

  // The macro list.
  Well(painter, view.list);
  painter.save();
  painter.setClipRect(view.list);
  const auto& rows = *view.rows;
  for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
    const QRectF rect(view.list.left(), view.list.top() + i * view.listRowHeight - view.listOffset, view.list.width(),
                      view.listRowHeight);
    if (rect.bottom() < view.list.top()) continue;
    if (rect.top() > view.list.bottom()) break;
    const MacroListItem& row = rows[static_cast<size_t>(i)];
    const bool caption = row.kind == MacroRowKind::kCaption;
    if (i == view.selectedRow) painter.fillRect(rect.adjusted(1, 1, -1, -1), kCurrent);
    const qreal indent = 8 + 12 * std::max(0, row.level);
    painter.setFont(caption ? fonts_.At(15) : fonts_.At(4));
    painter.setPen(caption ? kHeader : skin_colour::kText);
    painter.drawText(rect.adjusted(indent, 0, -70, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     Q(row.name));
    if (!caption && row.kind != MacroRowKind::kFolder && row.size > 0) {
      painter.setFont(fonts_.At(2));
      painter.setPen(kDim);
      painter.drawText(rect.adjusted(0, 0, -8, 0), Qt::AlignRight | Qt::AlignVCenter,
                       QString(view.sizeFormat).replace(QStringLiteral("%d"), QString::number(row.size)));
    }
  }
  painter.restore();

  painter.setFont(fonts_.At(4));
  painter.setPen(kDim);
  painter.drawText(QRectF(view.instructions.left(), view.instructions.bottom() + 6, view.instructions.width(), 20),
                   Qt::AlignLeft | Qt::AlignVCenter, view.sizeText);
  painter.drawText(QRectF(view.list.left(), view.size.height() - 72, view.list.width(), 20),
                   Qt::AlignLeft | Qt::AlignVCenter, view.freeText);
  painter.drawText(view.hotkeyTipRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, view.hotkeyTip);
  painter.setFont(fonts_.At(15));
  painter.setPen(kHeader);
  painter.drawText(view.optionCaptionRect, Qt::AlignLeft | Qt::AlignVCenter, view.optionCaption);

  if (view.recording) {
    painter.setPen(QPen(kRecord, 1));
    painter.setBrush(QColor(0x3A, 0x14, 0x14));
    painter.drawRoundedRect(view.indicator, 6, 6);
    painter.setPen(view.armed ? QPen(kRecord, 2) : QPen(Qt::NoPen));
    painter.setBrush(view.armed ? QBrush(Qt::NoBrush) : QBrush(kRecord));
    painter.drawEllipse(QRectF(view.indicator.left() + 10, view.indicator.center().y() - 6, 12, 12));
    painter.setPen(QColor(0xFF, 0xD0, 0xD0));
    painter.setFont(fonts_.At(8));
    painter.drawText(view.indicator.adjusted(30, 0, -6, 0), Qt::AlignLeft | Qt::AlignVCenter, view.recordingText);
  }

  PaintButtonPlates(painter, items, interaction);
  DrawItems(painter, items, interaction, pictures_, fonts_.At(4));

  if (!view.status.isEmpty()) {
    painter.setFont(fonts_.At(4));
    QColor text = skin_colour::kText;
    text.setAlpha(std::clamp(view.statusAlpha, 0, 255));
    painter.setPen(text);
    painter.drawText(QRectF(20, view.size.height() - 34, view.size.width() - 40, 24),
                     Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, view.status);
  }

  if (view.progress) {
    const QRectF frame(view.size.width() / 2 - 200, view.size.height() / 2 - 20, 400, 40);
    painter.setPen(QPen(kBorder, 1));
    painter.setBrush(QColor(0x1C, 0x21, 0x28, 0xF0));
    painter.drawRoundedRect(frame, 6, 6);
    const QRectF bar(frame.left() + 20, frame.top() + 12, 360, 16);
    painter.setBrush(kWell);
    painter.drawRect(bar);
    painter.setPen(Qt::NoPen);
    painter.setBrush(kCurrent);
    painter.drawRect(QRectF(bar.topLeft(), QSizeF(bar.width() * std::clamp(*view.progress, 0.0, 1.0), bar.height())));
  }
}

}  // namespace quorix::ui
