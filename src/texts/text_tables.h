#pragma once
// The program's text tables: every user-visible text, with an English default,
// replaceable entry by entry from the language file. Read-only after start-up.
// Member comments give each table's key family in language.ini and its size;
// text_names.h names the entries. Read an entry with texts[Msg::kNoDevice]:
// the one lookup never indexes out of range. The vectors stay public for the
// language loader and for modules that take a whole table in its order.

#include <string>
#include <vector>

#include "texts/text_names.h"

namespace quorix {

struct TextTables {
  std::vector<std::string> typeStr;         // "type_str%d", 40: FnName
  std::vector<std::string> titleStr;        // "title_str%d", 20: Title
  std::vector<std::string> btOrderStr;      // "bt_order_str%d", 16: OrderName
  std::vector<std::string> btLabelStr;      // "bt_label_str%d", 16: LabelName
  std::vector<std::string> upgradeStr;      // "upgrade_str%d", 11: Upgrade
  std::string clickDelayStr;                // "click_delay_str"
  std::string adjustDpiStr;                 // "adjust_dpi_str"
  std::vector<std::string> capInputStr;     // "cap_input_str%d", 4: Prompt
  std::vector<std::string> macroStr;        // "macro_str%d", 17: StepText
  std::vector<std::string> macroBtStr;      // "macro_bt_str%d", 5: StepButton
  std::vector<std::string> mouseStr;        // "mouse_str%d", 9: MouseName
  std::vector<std::string> buttonStr;       // "button_str%d", 62: Label
  std::vector<std::string> buttonTipStr;    // "button_tip_str%d", 60: Tip
  std::vector<std::string> msgStr;          // "msg_str%d", 43: Msg
  std::vector<std::string> classStr;        // "class_str%d", 6: ClassName
  std::string recordKeyTipStr;              // "record_key_tip_str"
  std::vector<std::string> adjustLiftStr;   // "adjust_lift_str%d", 13: LiftWord
  std::string recordOptionStr;              // "record_option_str"
  std::string macroEditBtStr;               // "macro_edit_bt_str"
  std::string recordMoveStr1;               // "record_move_str1"
  std::string recordMoveStr2;               // "record_move_str2"
  std::string hotkeyStr;                    // "hotkey_str"
  std::string hotkeyTipStr;                 // "hotkey_tip_str"
  std::string hotkeyModifyStr;              // "hotkey_modify_str"
  std::vector<std::string> macroEditStr;    // "macro_edit_str%d", 3: EditorWord
  std::string endStr;                       // "end_str"
  std::string macroEditorCapStr;            // "macro_editor_cap_str"
  std::string launchStr;                    // "launch_str"
  std::vector<std::string> menuStr;         // "menu_str%d", 2: MenuItem
  std::vector<std::string> consumerKeyStr;  // "consumer_key_str%d", 14: ConsumerName
  std::string versionStr;                   // "version_str"
  std::string firmwareStr;                  // "firmware_str"
  std::vector<std::string> failureStr;      // "failure_str%d", 15: Reason
  std::vector<std::string> desktopStr;      // "desktop_str%d", 19: Desktop

  // The text of a named entry: this table's, the English default where this
  // table lacks the entry, "" for a number no table has.
  template <typename Name>
  const std::string& operator[](Name name) const;
};

// The table each name family reads.
constexpr auto TableOf(FnName) { return &TextTables::typeStr; }
constexpr auto TableOf(Title) { return &TextTables::titleStr; }
constexpr auto TableOf(OrderName) { return &TextTables::btOrderStr; }
constexpr auto TableOf(LabelName) { return &TextTables::btLabelStr; }
constexpr auto TableOf(Upgrade) { return &TextTables::upgradeStr; }
constexpr auto TableOf(Prompt) { return &TextTables::capInputStr; }
constexpr auto TableOf(StepText) { return &TextTables::macroStr; }
constexpr auto TableOf(StepButton) { return &TextTables::macroBtStr; }
constexpr auto TableOf(MouseName) { return &TextTables::mouseStr; }
constexpr auto TableOf(Label) { return &TextTables::buttonStr; }
constexpr auto TableOf(Tip) { return &TextTables::buttonTipStr; }
constexpr auto TableOf(Msg) { return &TextTables::msgStr; }
constexpr auto TableOf(ClassName) { return &TextTables::classStr; }
constexpr auto TableOf(LiftWord) { return &TextTables::adjustLiftStr; }
constexpr auto TableOf(EditorWord) { return &TextTables::macroEditStr; }
constexpr auto TableOf(MenuItem) { return &TextTables::menuStr; }
constexpr auto TableOf(ConsumerName) { return &TextTables::consumerKeyStr; }
constexpr auto TableOf(Reason) { return &TextTables::failureStr; }
constexpr auto TableOf(Desktop) { return &TextTables::desktopStr; }

// The built-in English defaults of every table.
TextTables DefaultTextTables();
// The English defaults, built once on first use: the lookup's fallback.
const TextTables& EnglishTexts();
// The entry `index` of `table`, else of `english`, else "".
const std::string& PickText(const std::vector<std::string>& table, const std::vector<std::string>& english,
                            size_t index);

template <typename Name>
const std::string& TextTables::operator[](Name name) const {
  constexpr auto table = TableOf(Name{});
  return PickText(this->*table, EnglishTexts().*table, static_cast<size_t>(name));
}

// One named entry under its language-file key, with its English text; the
// single-entry tables are named by their fields and listed here too.
struct NamedText {
  std::string key;
  std::string english;
};
// Every named entry of every table.
std::vector<NamedText> NamedTexts();

}  // namespace quorix
