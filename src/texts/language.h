#pragma once
// Language selection: the language file replaces the English defaults of the
// text tables entry by entry, and the language picks the interface font face.

#include <functional>
#include <string>
#include <vector>

#include "texts/text_tables.h"

namespace quorix {

// The marker passed as the default of a language read, so that a missing key
// can be told from an empty value.
inline constexpr const char* kNoStringMarker = "@_NOSTR_";
inline constexpr int kEnglishLanguageId = 1033;
inline constexpr int kJapaneseLanguageId = 1041;
inline constexpr int kTraditionalChineseLanguageId = 1028;

// Reads one value of the language file: (section, key, default) -> the value
// cut to 999 characters, or the default when the file, section or key is
// missing. The options module supplies one over its ini engine.
using LanguageReader =
    std::function<std::string(const std::string& section, const std::string& key, const std::string& defaultValue)>;

// Fills `tables` (normally DefaultTextTables()) from section `languageId` of
// the language file:
//  - every table family, in key order, key = family + index: a value other
//    than "@_NOSTR_" replaces the entry, so an empty value gives an empty
//    text and a key beyond a table's size is never read;
//  - in "upgrade_str%d" the sequences \r and \n become CR and LF; in
//    "button_str%d", "button_tip_str%d" and "msg_str%d" \n becomes LF;
//  - "record_key_tip_str", "adjust_lift_str0".."12", "record_option_str",
//    "record_move_str1"/"2" are read with their current text as the default
//    and always take what is read;
//  - "macro_edit_bt_str", "hotkey_str", "hotkey_tip_str",
//    "hotkey_modify_str" are read with an empty default and taken only when
//    not empty;
//  - "consumer_key_str%d" for the entries of the consumer-key table only.
void LoadLanguage(TextTables& tables, const LanguageReader& read, int languageId);

// The face name for all interface text: "Meiryo UI" when an installed family
// name starts with "Meiryo UI", else "MS PGothic"; for 1028 always "Arial".
std::string ChooseUiFace(int languageId, const std::vector<std::string>& installedFamilies);
// The face of the two 15-pixel fonts: the interface face for 1041, else "Tahoma".
std::string SmallFontFace(int languageId, const std::string& uiFace);

// One table of TextTables under its language-file key: "button_str26" and the
// like, or the single key for one-entry tables. `key` is what the language
// file calls the entry.
struct TextEntry {
  std::string key;
  std::string text;
};
// Every entry of every table, in the order LoadLanguage reads them.
std::vector<TextEntry> ListTextEntries(const TextTables& tables);

}  // namespace quorix
