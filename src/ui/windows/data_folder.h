#pragma once
// Where the file dialogs for backup, restore and macro files start: the
// user's data folder, the one that holds set.ini, rather than whatever
// folder the program happened to be started from.

#include <QString>

namespace quorix::ui {

struct UiEnv;

// `name` (a proposed file name) in the data folder; the folder itself for
// an empty name. A path that names its own folder stays as it is.
QString InDataFolder(const UiEnv& env, const QString& name = {});

}  // namespace quorix::ui
