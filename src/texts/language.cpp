#include "texts/language.h"

#include <algorithm>

namespace quorix {

namespace {

enum class Escapes { kNone, kLineFeed, kReturnAndLineFeed };
// How a read value is taken: kMarker replaces unless the marker came back;
// kAlways reads with the current text as default and takes the result;
// kNonEmpty reads with "" as default and takes only a non-empty result.
enum class Take { kMarker, kAlways, kNonEmpty };

std::string Unescape(const std::string& value, Escapes escapes) {
  if (escapes == Escapes::kNone) return value;
  std::string out;
  out.reserve(value.size());
  for (size_t i = 0; i < value.size(); ++i) {
    if (value[i] == '\\' && i + 1 < value.size()) {
      const char next = value[i + 1];
      if (next == 'n') {
        out += '\n';
        ++i;
        continue;
      }
      if (next == 'r' && escapes == Escapes::kReturnAndLineFeed) {
        out += '\r';
        ++i;
        continue;
      }
    }
    out += value[i];
  }
  return out;
}

// Visits every entry in language-file order with its key and read rules.
template <typename Visit>
void ForEachEntry(TextTables& t, Visit&& visit) {
  auto family = [&](const char* name, auto& table, Escapes escapes = Escapes::kNone, Take take = Take::kMarker) {
    for (size_t i = 0; i < table.size(); ++i) visit(name + std::to_string(i), table[i], escapes, take);
  };
  auto single = [&](const char* key, std::string& text, Take take = Take::kMarker) {
    visit(std::string(key), text, Escapes::kNone, take);
  };
  family("type_str", t.typeStr);
  family("title_str", t.titleStr);
  family("bt_order_str", t.btOrderStr);
  family("bt_label_str", t.btLabelStr);
  family("upgrade_str", t.upgradeStr, Escapes::kReturnAndLineFeed);
  single("click_delay_str", t.clickDelayStr);
  single("adjust_dpi_str", t.adjustDpiStr);
  family("cap_input_str", t.capInputStr);
  family("macro_str", t.macroStr);
  family("macro_bt_str", t.macroBtStr);
  family("mouse_str", t.mouseStr);
  family("button_str", t.buttonStr, Escapes::kLineFeed);
  family("button_tip_str", t.buttonTipStr, Escapes::kLineFeed);
  family("msg_str", t.msgStr, Escapes::kLineFeed);
  family("class_str", t.classStr);
  single("record_key_tip_str", t.recordKeyTipStr, Take::kAlways);
  family("adjust_lift_str", t.adjustLiftStr, Escapes::kNone, Take::kAlways);
  single("record_option_str", t.recordOptionStr, Take::kAlways);
  single("macro_edit_bt_str", t.macroEditBtStr, Take::kNonEmpty);
  single("record_move_str1", t.recordMoveStr1, Take::kAlways);
  single("record_move_str2", t.recordMoveStr2, Take::kAlways);
  single("hotkey_str", t.hotkeyStr, Take::kNonEmpty);
  single("hotkey_tip_str", t.hotkeyTipStr, Take::kNonEmpty);
  single("hotkey_modify_str", t.hotkeyModifyStr, Take::kNonEmpty);
  family("macro_edit_str", t.macroEditStr);
  single("end_str", t.endStr);
  single("macro_editor_cap_str", t.macroEditorCapStr);
  single("launch_str", t.launchStr);
  family("menu_str", t.menuStr);
  // The consumer-key table ends at its end marker and never has more than 50
  // entries; the names table has exactly one entry per key.
  if (t.consumerKeyStr.size() > 50) t.consumerKeyStr.resize(50);
  family("consumer_key_str", t.consumerKeyStr);
  single("version_str", t.versionStr);
  single("firmware_str", t.firmwareStr);
  family("failure_str", t.failureStr);
  family("desktop_str", t.desktopStr);
}

}  // namespace

void LoadLanguage(TextTables& tables, const LanguageReader& read, int languageId) {
  const std::string section = std::to_string(languageId);
  ForEachEntry(tables, [&](const std::string& key, std::string& text, Escapes escapes, Take take) {
    switch (take) {
      case Take::kMarker: {
        const std::string value = read(section, key, kNoStringMarker);
        if (value != kNoStringMarker) text = Unescape(value, escapes);
        break;
      }
      case Take::kAlways:
        text = Unescape(read(section, key, text), escapes);
        break;
      case Take::kNonEmpty: {
        const std::string value = read(section, key, "");
        if (!value.empty()) text = Unescape(value, escapes);
        break;
      }
    }
  });
}

std::vector<TextEntry> ListTextEntries(const TextTables& tables) {
  TextTables copy = tables;
  std::vector<TextEntry> entries;
  ForEachEntry(copy, [&](const std::string& key, std::string& text, Escapes, Take) {
    entries.push_back({key, text});
  });
  return entries;
}

std::string ChooseUiFace(int languageId, const std::vector<std::string>& installedFamilies) {
  if (languageId == kTraditionalChineseLanguageId) return "Arial";
  const bool meiryo = std::any_of(installedFamilies.begin(), installedFamilies.end(),
                                  [](const std::string& family) { return family.rfind("Meiryo UI", 0) == 0; });
  return meiryo ? "Meiryo UI" : "MS PGothic";
}

std::string SmallFontFace(int languageId, const std::string& uiFace) {
  return languageId == kJapaneseLanguageId ? uiFace : "Tahoma";
}

}  // namespace quorix
