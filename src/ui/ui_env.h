#pragma once
// What every window is handed: the session it works through, the user's
// texts, the skin's fonts and the shell's broadcasts. The shell owns all of
// them for the program's whole run.

namespace quorix {
class Session;
struct TextTables;
}  // namespace quorix

namespace quorix::ui {

class AppSignals;
class SkinFonts;

// Qt defines `signals` as a keyword macro, so after any Qt header the member
// cannot be spelt; it is declared with the macro set aside, and Signals()
// reaches it from code that includes Qt.
#pragma push_macro("signals")
#undef signals
struct UiEnv {
  Session& session;
  const TextTables& texts;
  const SkinFonts& fonts;
  AppSignals& signals;
  AppSignals& Signals() const { return signals; }
};
#pragma pop_macro("signals")

}  // namespace quorix::ui
