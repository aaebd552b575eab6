#include "keys/keyboard_layout.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "base/ini_file.h"

#include "texts/text_tables.h"

namespace quorix {
namespace {

// keyboard.ini as a map of section -> key -> value.
using Ini = std::map<std::string, std::map<std::string, std::string>>;

ProfileReader MapReader(const Ini& ini) {
  ProfileReader reader;
  reader.readString = [&ini](const std::string& s, const std::string& k, const std::string& def) {
    auto section = ini.find(s);
    if (section == ini.end()) return def;
    auto value = section->second.find(k);
    return value == section->second.end() ? def : value->second;
  };
  reader.readInt = [&ini](const std::string& s, const std::string& k, long long def) -> long long {
    auto section = ini.find(s);
    if (section == ini.end()) return def;
    auto value = section->second.find(k);
    return value == section->second.end() ? def : std::stoll(value->second, nullptr, 0);
  };
  return reader;
}

class KeyboardLayoutTest : public ::testing::Test {
 protected:
  KeyTexts texts_ = MakeKeyTexts(DefaultTextTables());
};

TEST_F(KeyboardLayoutTest, MissingFileGivesEmptyListAndDefaultScale) {
  Ini ini;
  auto layout = LoadKeyboardLayout(MapReader(ini), texts_);
  EXPECT_TRUE(layout.keys.empty());
  EXPECT_DOUBLE_EQ(layout.scale, 0.87);
  EXPECT_EQ(layout.extentWidth, 0);
}

TEST_F(KeyboardLayoutTest, ScalesKeysDerivesUsagesAndNamesMediaKeys) {
  Ini ini = {
      {"SET", {{"x", "10"}, {"y", "20"}}},
      {"KEY 1", {{"name", "Page\\nUp"}, {"code", "57417"}, {"x", "100"}, {"y", "50"}, {"width", "50"},
                 {"height", "50"}}},
      {"KEY 3", {{"chwcode", "226"}, {"x", "0"}, {"width", "40"}, {"height", "30"}}},
      {"KEY 4", {{"name", "Ctrl"}, {"code", "29"}, {"hwcode", "224"}, {"modify", "1"}, {"small_font", "1"}}},
      {"KEY 140", {{"name", "Last"}}},
      {"KEY 141", {{"name", "Beyond"}}},
  };
  auto layout = LoadKeyboardLayout(MapReader(ini), texts_);
  ASSERT_EQ(layout.keys.size(), 4u);
  const auto& pageUp = layout.keys[0];
  EXPECT_EQ(pageUp.legend, "Page\nUp");
  EXPECT_EQ(pageUp.hwcode, 0x4B);  // from scan code 0xE049
  EXPECT_EQ(pageUp.x, 87);
  EXPECT_EQ(pageUp.width, 43);     // 50 * 0.87 truncated
  EXPECT_EQ(pageUp.left, 97);
  EXPECT_EQ(pageUp.top, 63);
  EXPECT_EQ(pageUp.right - pageUp.left, 38);
  EXPECT_EQ(pageUp.bottom - pageUp.top, 38);
  EXPECT_FALSE(pageUp.selected);
  const auto& mute = layout.keys[1];
  EXPECT_EQ(mute.legend, "Mute");   // accepted on its consumer usage alone
  EXPECT_EQ(mute.hwcode, 0);        // media keys keep hwcode as written
  const auto& ctrl = layout.keys[2];
  EXPECT_EQ(ctrl.hwcode, 0xE0);
  EXPECT_EQ(ctrl.modify, 1);
  EXPECT_EQ(ctrl.smallFont, 1);
  EXPECT_EQ(layout.keys[3].legend, "Last");
  EXPECT_EQ(layout.extentWidth, 87 + 43 + 1);
  EXPECT_EQ(layout.extentHeight, 43 + 43 + 1);
}

TEST_F(KeyboardLayoutTest, OddValuesStayBounded) {
  Ini ini = {
      {"SET", {{"scale", "abc"}}},
      {"KEY 1", {{"name", "X"}, {"width", "-5"}, {"x", "99999999999"}}},
      {"KEY 2", {{"name", "Y"}, {"chwcode", "99999"}}},
  };
  auto layout = LoadKeyboardLayout(MapReader(ini), texts_);
  EXPECT_DOUBLE_EQ(layout.scale, 0.0);
  ASSERT_EQ(layout.keys.size(), 2u);
  EXPECT_EQ(layout.keys[0].width, 0);
  EXPECT_EQ(layout.keys[0].x, 0);
  EXPECT_EQ(layout.keys[1].legend, "");  // 99999 is no consumer key
  ini["SET"]["scale"] = "1.5";
  ini["KEY 1"]["x"] = "4000000000";
  layout = LoadKeyboardLayout(MapReader(ini), texts_);
  EXPECT_EQ(layout.keys[0].x, 1000000);  // clamped, no overflow
}

// The shipped on-screen keyboard, read through the program's ini engine.
TEST_F(KeyboardLayoutTest, ShippedKeyboardIsAFullJapaneseLayout) {
  const IniDocument ini = IniDocument::Load(std::string(QUORIX_SOURCE_DATA_DIR) + "/keyboard.ini");
  ASSERT_TRUE(ini.Exists());
  ProfileReader reader;
  reader.readString = [&ini](const std::string& s, const std::string& k, const std::string& def) {
    return ini.GetString(s, k, def);
  };
  reader.readInt = [&ini](const std::string& s, const std::string& k, long long def) -> long long {
    return ini.GetInt(s, k, static_cast<int32_t>(def));
  };
  auto layout = LoadKeyboardLayout(reader, texts_);
  EXPECT_DOUBLE_EQ(layout.scale, 0.78125);
  ASSERT_GE(layout.keys.size(), 108u);
  ASSERT_LE(layout.keys.size(), 140u);
  std::set<int> usages;
  for (const auto& key : layout.keys) {
    if (key.chwcode == 0) {
      EXPECT_NE(key.hwcode, 0) << key.legend;
      usages.insert(key.hwcode);
    } else {
      EXPECT_FALSE(key.legend.empty()) << key.chwcode;
    }
    EXPECT_GT(key.width, 5);
    EXPECT_GT(key.height, 5);
  }
  // Every named key is on the keyboard, including the Japanese ones, except
  // Power, Keypad =, the two Korean keys, and 0x32, which shares its scan code
  // (and so its physical key) with 0x31.
  const std::set<int> absent = {0x66, 0x67, 0x90, 0x91, 0x32};
  for (const auto& entry : KeyNameTable()) {
    if (entry.usage < 0 || absent.count(entry.usage)) continue;
    EXPECT_TRUE(usages.count(entry.usage)) << "no key for usage " << entry.usage;
  }
  // No two keys overlap.
  for (size_t i = 0; i < layout.keys.size(); ++i) {
    for (size_t j = i + 1; j < layout.keys.size(); ++j) {
      const auto& a = layout.keys[i];
      const auto& b = layout.keys[j];
      const bool apart = a.x + a.width <= b.x || b.x + b.width <= a.x || a.y + a.height <= b.y || b.y + b.height <= a.y;
      EXPECT_TRUE(apart) << a.legend << " overlaps " << b.legend;
    }
  }
}

}  // namespace
}  // namespace quorix
