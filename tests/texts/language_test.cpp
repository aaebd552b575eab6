#include "texts/language.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace quorix {
namespace {

// A language file held as (section, key) -> value, with the read semantics
// the engine gives: a missing key returns the caller's default.
class FakeLanguageFile {
 public:
  void Set(const std::string& section, const std::string& key, const std::string& value) {
    values_[{section, key}] = value;
  }
  LanguageReader Reader() {
    return [this](const std::string& section, const std::string& key, const std::string& def) {
      reads_.push_back(key);
      auto it = values_.find({section, key});
      return it == values_.end() ? def : it->second;
    };
  }
  std::vector<std::string> reads_;

 private:
  std::map<std::pair<std::string, std::string>, std::string> values_;
};

TextTables Loaded(FakeLanguageFile& file, int id) {
  TextTables t = DefaultTextTables();
  LoadLanguage(t, file.Reader(), id);
  return t;
}

TEST(LoadLanguage, MissingFileKeepsEveryDefault) {
  FakeLanguageFile file;
  const TextTables t = Loaded(file, 1041);
  const TextTables d = DefaultTextTables();
  EXPECT_EQ(ListTextEntries(t).size(), ListTextEntries(d).size());
  for (size_t i = 0; i < ListTextEntries(t).size(); ++i) {
    EXPECT_EQ(ListTextEntries(t)[i].text, ListTextEntries(d)[i].text) << ListTextEntries(t)[i].key;
  }
  EXPECT_EQ(t.buttonStr[51], "Customize");
  EXPECT_EQ(t.buttonStr[55], "Random 2");
}

TEST(LoadLanguage, OverridesOnlyTheChosenSection) {
  FakeLanguageFile file;
  file.Set("1041", "button_str47", "X");
  file.Set("1041", "button_str46", "");
  file.Set("1041", "upgrade_str3", "@_NOSTR_");
  file.Set("1041", "type_str39", "last");
  file.Set("1041", "consumer_key_str13", "早送り");
  const TextTables ja = Loaded(file, 1041);
  EXPECT_EQ(ja.buttonStr[47], "X");
  EXPECT_EQ(ja.buttonStr[46], "");  // an empty value replaces the default
  EXPECT_EQ(ja.upgradeStr[3], "Upgrade finish.");
  EXPECT_EQ(ja.typeStr[39], "last");
  EXPECT_EQ(ja.consumerKeyStr[13], "早送り");
  const TextTables en = Loaded(file, 1033);
  EXPECT_EQ(en.buttonStr[47], "Breathe");
  EXPECT_EQ(en.buttonStr[46], "Color");
}

TEST(LoadLanguage, KeysBeyondATableAreNeverRead) {
  FakeLanguageFile file;
  Loaded(file, 1033);
  const std::set<std::string> reads(file.reads_.begin(), file.reads_.end());
  EXPECT_TRUE(reads.count("button_tip_str59"));
  EXPECT_FALSE(reads.count("button_tip_str60"));
  EXPECT_TRUE(reads.count("button_str61"));
  EXPECT_FALSE(reads.count("button_str62"));
  EXPECT_TRUE(reads.count("consumer_key_str13"));
  EXPECT_FALSE(reads.count("consumer_key_str14"));
  EXPECT_TRUE(reads.count("adjust_lift_str12"));
  EXPECT_FALSE(reads.count("adjust_lift_str13"));
  EXPECT_FALSE(reads.count("record_move_str0"));
  EXPECT_EQ(file.reads_.front(), "type_str0");
  EXPECT_TRUE(reads.count("failure_str14"));
  EXPECT_FALSE(reads.count("failure_str15"));
  EXPECT_FALSE(reads.count("desktop_str19"));
  EXPECT_EQ(file.reads_.back(), "desktop_str18");
}

TEST(LoadLanguage, EscapesPerFamily) {
  FakeLanguageFile file;
  file.Set("1033", "msg_str10", "No\\ndevice");
  file.Set("1033", "button_str0", "a\\nb\\rc");
  file.Set("1033", "button_tip_str1", "tip\\n");
  file.Set("1033", "upgrade_str0", "one\\r\\ntwo\\t");
  file.Set("1033", "type_str0", "raw\\n");
  file.Set("1033", "mouse_str0", "raw\\r");
  const TextTables t = Loaded(file, 1033);
  EXPECT_EQ(t.msgStr[10], "No\ndevice");
  EXPECT_EQ(t.buttonStr[0], "a\nb\\rc");
  EXPECT_EQ(t.buttonTipStr[1], "tip\n");
  EXPECT_EQ(t.upgradeStr[0], "one\r\ntwo\\t");
  EXPECT_EQ(t.typeStr[0], "raw\\n");
  EXPECT_EQ(t.mouseStr[0], "raw\\r");
}

TEST(LoadLanguage, SingleKeyRules) {
  FakeLanguageFile file;
  // Always-assigned keys take even the marker and an empty value.
  file.Set("1033", "record_key_tip_str", "@_NOSTR_");
  file.Set("1033", "record_move_str1", "");
  // Non-empty keys ignore an empty value.
  file.Set("1033", "macro_edit_bt_str", "");
  file.Set("1033", "hotkey_str", "F12");
  // Other single keys follow the marker rule.
  file.Set("1033", "end_str", "");
  file.Set("1033", "version_str", "Ver.");
  const TextTables t = Loaded(file, 1033);
  EXPECT_EQ(t.recordKeyTipStr, "@_NOSTR_");
  EXPECT_EQ(t.recordMoveStr1, "");
  EXPECT_EQ(t.recordMoveStr2, "200ms");
  EXPECT_EQ(t.recordOptionStr, "Record Option");
  EXPECT_EQ(t.macroEditBtStr, "Macro edit");
  EXPECT_EQ(t.hotkeyStr, "F12");
  EXPECT_EQ(t.hotkeyTipStr, "");
  EXPECT_EQ(t.endStr, "");
  EXPECT_EQ(t.versionStr, "Ver.");
  EXPECT_EQ(t.firmwareStr, "Firmware version");
}

TEST(LoadLanguage, LiftStatusTextsSurviveAFileWithoutThemAndStayEmptyWhenTranslatedEmpty) {
  FakeLanguageFile file;
  file.Set("1041", "adjust_lift_str0", "リフト調整");
  for (int i = 10; i <= 12; ++i) file.Set("1028", "adjust_lift_str" + std::to_string(i), "");
  const TextTables english = DefaultTextTables();
  const TextTables missing = Loaded(file, 1041);
  const TextTables empty = Loaded(file, 1028);
  EXPECT_EQ(missing.adjustLiftStr[0], "リフト調整");
  EXPECT_EQ(missing.adjustLiftStr[1], "Auto");
  for (size_t i = 10; i <= 12; ++i) {
    EXPECT_EQ(missing.adjustLiftStr[i], english.adjustLiftStr[i]) << i;
    EXPECT_FALSE(missing.adjustLiftStr[i].empty()) << i;
    EXPECT_EQ(empty.adjustLiftStr[i], "") << i;
  }
}

TEST(ListTextEntries, KeysFollowTheLanguageFile) {
  const std::vector<TextEntry> entries = ListTextEntries(DefaultTextTables());
  std::map<std::string, std::string> byKey;
  for (const TextEntry& e : entries) EXPECT_TRUE(byKey.emplace(e.key, e.text).second) << e.key;
  EXPECT_EQ(byKey.at("click_delay_str"), "Delay");
  EXPECT_EQ(byKey.at("record_move_str2"), "200ms");
  EXPECT_EQ(byKey.at("menu_str1"), "Quit");
  EXPECT_EQ(byKey.at("macro_edit_str2"), "%d bytes");
  EXPECT_EQ(byKey.at("button_str31"), "Press && hold to get position");
  EXPECT_EQ(entries.size(), 40u + 20 + 16 + 16 + 11 + 2 + 4 + 17 + 5 + 9 + 62 + 60 + 43 + 6 + 1 + 13 + 1 + 1 + 2 + 3 +
                                3 + 3 + 2 + 14 + 2 + 15 + 19);
}

TEST(UiFace, ChoiceByLanguageAndFonts) {
  const std::vector<std::string> withMeiryo = {"DejaVu Sans", "Meiryo UI Bold"};
  const std::vector<std::string> without = {"DejaVu Sans", "Meiryo"};
  EXPECT_EQ(ChooseUiFace(1033, withMeiryo), "Meiryo UI");
  EXPECT_EQ(ChooseUiFace(1041, without), "MS PGothic");
  EXPECT_EQ(ChooseUiFace(1028, withMeiryo), "Arial");
  EXPECT_EQ(ChooseUiFace(1028, {}), "Arial");
  EXPECT_EQ(SmallFontFace(1041, "Meiryo UI"), "Meiryo UI");
  EXPECT_EQ(SmallFontFace(1033, "Meiryo UI"), "Tahoma");
  EXPECT_EQ(SmallFontFace(1028, "Arial"), "Tahoma");
}

}  // namespace
}  // namespace quorix
