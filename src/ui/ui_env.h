#pragma once
// What every window is handed: the session it works through, the user's
// texts, the skin's fonts and the shell's broadcasts. The shell owns all of
// them for the program's whole run.

namespace quorix {
class MacroLibrary;
class Session;
struct TextTables;
}  // namespace quorix

namespace quorix::ui {

class AppSignals;
class SkinFonts;

struct UiEnv {
  Session& session;
  const TextTables& texts;
  const SkinFonts& fonts;
  AppSignals& appSignals;  // not "signals": Qt defines that word as a macro
  // The user's macro library, shared by the macro windows; null when the
  // shell has none (tests that need no library).
  MacroLibrary* macroLibrary = nullptr;
};

}  // namespace quorix::ui
