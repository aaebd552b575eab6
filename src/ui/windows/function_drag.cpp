#include "ui/windows/function_drag.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace quorix::ui {

std::unique_ptr<QMimeData> FunctionMimeData(const MacroListItem& row) {
  QJsonObject o;
  o["name"] = QString::fromStdString(row.name);
  o["path"] = QString::fromStdString(row.path);
  o["type"] = row.type;
  o["op1"] = row.op1;
  o["op2"] = row.op2;
  o["op3"] = row.op3;
  o["parameter"] = row.parameter;
  o["kind"] = static_cast<int>(row.kind);
  o["slot"] = row.slot;
  o["start"] = row.start;
  auto data = std::make_unique<QMimeData>();
  data->setData(QString::fromLatin1(kFunctionMimeType), QJsonDocument(o).toJson(QJsonDocument::Compact));
  data->setText(QString::fromStdString(row.name));
  return data;
}

std::optional<MacroListItem> FunctionFromMimeData(const QMimeData* data) {
  if (!data || !data->hasFormat(QString::fromLatin1(kFunctionMimeType))) return std::nullopt;
  const QJsonDocument doc = QJsonDocument::fromJson(data->data(QString::fromLatin1(kFunctionMimeType)));
  if (!doc.isObject()) return std::nullopt;
  const QJsonObject o = doc.object();
  MacroListItem row;
  row.name = o["name"].toString().toStdString();
  row.path = o["path"].toString().toStdString();
  row.type = o["type"].toInt();
  row.op1 = o["op1"].toInt();
  row.op2 = o["op2"].toInt();
  row.op3 = o["op3"].toInt();
  row.parameter = o["parameter"].toInt(255);
  // Any program may drop data of this type: an unknown kind is no row.
  const int kind = o["kind"].toInt(-1);
  if (kind < static_cast<int>(MacroRowKind::kEntry) || kind > static_cast<int>(MacroRowKind::kCaption))
    return std::nullopt;
  row.kind = static_cast<MacroRowKind>(kind);
  row.slot = o["slot"].toInt();
  row.start = o["start"].toInt();
  return row;
}

}  // namespace quorix::ui
