#include "texts/text_tables.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>

#include "texts/language.h"

namespace quorix {
namespace {

// Named entries without an English text: the profile-select format exists
// only where a translation gives one; the hotkey texts leave the macro editor
// its own words.
const std::set<std::string> kBlankInEnglish = {"type_str36", "hotkey_str", "hotkey_tip_str", "hotkey_modify_str"};
// Named entries the shipped languages need not translate.
const std::set<std::string> kUntranslated = {"type_str36"};

// The keys of each section of an ini file: "[section]" lines and the names
// before "=" of the lines after them; comments and blank lines skipped.
std::map<std::string, std::set<std::string>> KeysBySection(const std::string& path) {
  std::map<std::string, std::set<std::string>> keys;
  std::ifstream in(path);
  std::string line, section;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[') {
      section = line.substr(1, line.find(']') - 1);
    } else if (const size_t eq = line.find('='); eq != std::string::npos) {
      keys[section].insert(line.substr(0, eq));
    }
  }
  return keys;
}

std::set<std::string> NamedKeys() {
  std::set<std::string> keys;
  for (const NamedText& named : NamedTexts())
    EXPECT_TRUE(keys.insert(named.key).second) << "named twice: " << named.key;
  return keys;
}

TEST(NamedTexts, ShippedLanguagesTranslateExactlyTheNamedEntries) {
  const std::set<std::string> named = NamedKeys();
  const auto sections = KeysBySection(std::string(QUORIX_SOURCE_DATA_DIR) + "/language.ini");
  ASSERT_EQ(sections.size(), 2u);  // Japanese and Traditional Chinese
  for (const auto& [section, keys] : sections) {
    // A key without a name is a text nothing shows, or an entry renumbered.
    for (const std::string& key : keys) EXPECT_TRUE(named.count(key)) << section << ": " << key;
    // A named entry without a key shows English in that language.
    for (const std::string& key : named) {
      EXPECT_TRUE(keys.count(key) || kUntranslated.count(key)) << section << " lacks " << key;
    }
  }
}

TEST(NamedTexts, EveryNamedEntryHasItsEnglishDefaultWhereTheLanguageReadFindsIt) {
  std::map<std::string, std::string> defaults;
  for (const TextEntry& entry : ListTextEntries(DefaultTextTables())) defaults[entry.key] = entry.text;
  for (const NamedText& named : NamedTexts()) {
    const auto it = defaults.find(named.key);
    ASSERT_NE(it, defaults.end()) << named.key << " is past its table";
    EXPECT_EQ(it->second, named.english) << named.key;
    EXPECT_EQ(named.english.empty(), kBlankInEnglish.count(named.key) == 1) << named.key;
  }
}

TEST(TextLookup, TakesTheTableFallsBackToEnglishAndNeverLeavesIt) {
  TextTables loaded = DefaultTextTables();
  loaded.msgStr[10] = "デバイスなし";
  loaded.buttonStr[46] = "";  // an empty translation stays empty
  TextTables shortened = loaded;
  shortened.msgStr.resize(5);
  shortened.desktopStr.clear();
  struct Case {
    std::string got;
    std::string want;
  };
  const Case cases[] = {
      {loaded[Msg::kNoDevice], "デバイスなし"},
      {loaded[Label::kColor], ""},
      {loaded[Tip::kHz], "Hz"},
      {shortened[Msg::kFunctionList], "Function list"},
      {shortened[Msg::kFirmwareVersion], "Firmware version"},
      {shortened[Desktop::kNoPointerControl],
       "The acceleration switch has no effect here: this desktop session is not X11."},
      {loaded[static_cast<OrderName>(16)], ""},
      {shortened[static_cast<Msg>(-1)], ""},
  };
  for (size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(cases[i].got, cases[i].want) << "case " << i;
}

}  // namespace
}  // namespace quorix
