#pragma once
// A row of the function list carried by drag and drop, from the macro list
// onto a button of the main window's mouse picture. The row travels whole
// (as JSON under one private MIME type), so the drop side decides what it
// assigns exactly as a pick in the button settings window would.

#include <QMimeData>
#include <memory>
#include <optional>

#include "session/models/macro_list_model.h"

namespace quorix::ui {

inline constexpr const char* kFunctionMimeType = "application/x-quorix-function-row";

// The drag's data for `row`.
std::unique_ptr<QMimeData> FunctionMimeData(const MacroListItem& row);
// The row a drag carries, or none when it carries no row.
std::optional<MacroListItem> FunctionFromMimeData(const QMimeData* data);

}  // namespace quorix::ui
