#pragma once
// The main window the shell drives: the real one when the program has it,
// else the stand-in with the same calls.

#if __has_include("ui/windows/main_window.h")
#include "ui/windows/main_window.h"
namespace quorix::app {
using ShellMainWindow = ui::MainWindow;
inline constexpr bool kStandInMainWindow = false;
}  // namespace quorix::app
#else
#include "app/stand_in_main_window.h"
namespace quorix::app {
using ShellMainWindow = StandInMainWindow;
inline constexpr bool kStandInMainWindow = true;
}  // namespace quorix::app
#endif
