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
  o["device"] = row.device;
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
  row.device = o["device"].toInt();
  row.slot = o["slot"].toInt();
  row.start = o["start"].toInt();
  return row;
}

}  // namespace quorix::ui
