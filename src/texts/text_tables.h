#pragma once
// The program's text tables: every user-visible text, with an English default,
// replaceable entry by entry from the language file. Read-only after start-up.
// Member comments give each table's key family in language.ini and its size.

#include <array>
#include <cstddef>
#include <string>
#include <vector>

namespace quorix {

struct TextTables {
  std::vector<std::string> typeStr;        // "type_str%d", 40: button function type names
  std::vector<std::string> titleStr;       // "title_str%d", 20
  std::vector<std::string> btOrderStr;     // "bt_order_str%d", 16
  std::vector<std::string> btLabelStr;     // "bt_label_str%d", 16
  std::vector<std::string> upgradeStr;     // "upgrade_str%d", 11
  std::string clickDelayStr;               // "click_delay_str"
  std::string adjustDpiStr;                // "adjust_dpi_str"
  std::vector<std::string> capInputStr;    // "cap_input_str%d", 4
  std::vector<std::string> macroStr;       // "macro_str%d", 17
  std::vector<std::string> macroBtStr;     // "macro_bt_str%d", 5
  std::vector<std::string> mouseStr;       // "mouse_str%d", 9
  std::vector<std::string> buttonStr;      // "button_str%d", 62: the label table
  std::vector<std::string> buttonTipStr;   // "button_tip_str%d", 60
  std::vector<std::string> msgStr;         // "msg_str%d", 43: the message table
  std::vector<std::string> classStr;       // "class_str%d", 6
  std::string recordKeyTipStr;             // "record_key_tip_str"
  std::array<std::string, 13> adjustLiftStr;  // "adjust_lift_str0" .. "adjust_lift_str12"
  std::string recordOptionStr;             // "record_option_str"
  std::string macroEditBtStr;              // "macro_edit_bt_str"
  std::string recordMoveStr1;              // "record_move_str1"
  std::string recordMoveStr2;              // "record_move_str2"
  std::string hotkeyStr;                   // "hotkey_str"
  std::string hotkeyTipStr;                // "hotkey_tip_str"
  std::string hotkeyModifyStr;             // "hotkey_modify_str"
  // "macro_edit_str%d", 3: the macro editor's own words: its close button,
  // the mark of a new step and a macro's size ("%d bytes").
  std::vector<std::string> macroEditStr;
  std::string endStr;                      // "end_str"
  std::string macroEditorCapStr;           // "macro_editor_cap_str"
  std::string launchStr;                   // "launch_str"
  std::vector<std::string> menuStr;        // "menu_str%d", 2
  // "consumer_key_str%d": names of the consumer-key table, in the table's order
  // (the keys module pairs entry i with consumer usage i).
  std::vector<std::string> consumerKeyStr;
  std::string versionStr;   // "version_str"
  std::string firmwareStr;  // "firmware_str"
  // "failure_str%d", 15: why an operation on the mouse did not happen (the
  // session's FailureText picks and joins them).
  std::vector<std::string> failureStr;
  // "desktop_str%d", 16: the desktop program's own additions (kDesktopText*).
  std::vector<std::string> desktopStr;
};

// Entries of desktopStr. The file-type names get their pattern in the
// dialogs, " (*.exe)" and so on, which is never translated.
inline constexpr size_t kDesktopTextAutostart = 0;    // the "Other" page's autostart switch
inline constexpr size_t kDesktopTextNoNudge = 1;      // the lift test runs without its pointer nudge
inline constexpr size_t kDesktopTextPrograms = 2;     // programs of this desktop, any name
inline constexpr size_t kDesktopTextApplication = 3;  // Windows programs run by Wine or Proton
inline constexpr size_t kDesktopTextBackupFile = 4;
inline constexpr size_t kDesktopTextMacroFile = 5;
inline constexpr size_t kDesktopTextNeedsX11 = 6;       // switching by application cannot see every window
inline constexpr size_t kDesktopTextNoSwitching = 7;    // switching by application is unavailable
// The simulated mouse's own buttons (--simulate).
inline constexpr size_t kDesktopTextVirtualMouse = 8;
inline constexpr size_t kDesktopTextWheel = 9;
inline constexpr size_t kDesktopTextProfile = 10;
inline constexpr size_t kDesktopTextOpenSettings = 11;
// The name of a level's switch, "%d" its number: whether the DPI button visits it.
inline constexpr size_t kDesktopTextUseLevel = 12;
// The macro editor's recording: armed (waiting for the hotkey) and stopped.
inline constexpr size_t kDesktopTextRecordArmed = 13;
inline constexpr size_t kDesktopTextRecordStopped = 14;
// The acceleration switch outside an X11 session.
inline constexpr size_t kDesktopTextNoPointerControl = 15;

// The built-in English defaults of every table.
TextTables DefaultTextTables();

}  // namespace quorix
