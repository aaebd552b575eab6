#include "ui/windows/data_folder.h"

#include <QDir>
#include <QFileInfo>

#include "session/session.h"
#include "ui/ui_env.h"

namespace quorix::ui {

QString InDataFolder(const UiEnv& env, const QString& name) {
  const QDir folder = QFileInfo(QString::fromStdString(env.session.SetIni())).absoluteDir();
  return name.isEmpty() ? folder.absolutePath() : folder.absoluteFilePath(name);
}

}  // namespace quorix::ui
