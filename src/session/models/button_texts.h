#pragma once
// The texts the main window shows on its button list.

#include <functional>
#include <string>

#include "settings/settings_image.h"
#include "texts/text_tables.h"

namespace quorix {

using ButtonTextFn = std::function<std::string(const SettingsImage&, const ButtonRecord&)>;
// Button texts as the main window shows them: the function's text, and the
// macro's name for a macro button.
ButtonTextFn MainWindowButtonTexts(const TextTables& texts = DefaultTextTables());

}  // namespace quorix
