#include "keys/key_tables.h"

#include <gtest/gtest.h>

#include <set>

#include "texts/text_tables.h"

namespace quorix {
namespace {

TEST(KeyNameTable, HoldsEveryNamedKeyOnceAndEndsWithMarker) {
  const auto& table = KeyNameTable();
  ASSERT_EQ(table.size(), 115u);  // 114 keys and the end marker
  EXPECT_EQ(table.back().usage, -1);
  EXPECT_EQ(table.back().name, "");
  std::set<int> seen;
  for (size_t i = 0; i + 1 < table.size(); ++i) {
    EXPECT_TRUE(seen.insert(table[i].usage).second) << "duplicate usage " << table[i].usage;
    EXPECT_FALSE(table[i].name.empty());
  }
  // The last named keys are the Japanese ones, in their listed order.
  EXPECT_EQ(table[111].usage, 0x88);
  EXPECT_EQ(table[112].usage, 0x87);
  EXPECT_EQ(table[113].usage, 0x89);
}

TEST(KeyNameTable, NamesFollowTheJapaneseLegends) {
  EXPECT_EQ(LookupKeyName(0x04), "A");
  EXPECT_EQ(LookupKeyName(0x1D), "Z");
  EXPECT_EQ(LookupKeyName(0x1E), "1");
  EXPECT_EQ(LookupKeyName(0x27), "0");
  EXPECT_EQ(LookupKeyName(0x2E), "^");
  EXPECT_EQ(LookupKeyName(0x2F), "@");
  EXPECT_EQ(LookupKeyName(0x35), "半角/全角");
  EXPECT_EQ(LookupKeyName(0x45), "F12");
  EXPECT_EQ(LookupKeyName(0x4F), "→");
  EXPECT_EQ(LookupKeyName(0x52), "↑");
  EXPECT_EQ(LookupKeyName(0x61), "Keypad 9");
  EXPECT_EQ(LookupKeyName(0x62), "Keypad 0");
  EXPECT_EQ(LookupKeyName(0x88), "カタカナ\nひらがな");
  EXPECT_EQ(LookupKeyName(0x87), "\u2216");
  EXPECT_EQ(LookupKeyName(0x89), "\\");
  EXPECT_EQ(LookupKeyName(0xE7), "Right Win");
  // Usages without a name.
  EXPECT_EQ(LookupKeyName(0x00), "");
  EXPECT_EQ(LookupKeyName(0x64), "");
  EXPECT_EQ(LookupKeyName(0x68), "");
  EXPECT_EQ(LookupKeyName(-1), "");  // the end marker is not a key
}

TEST(KeyComboText, ModifiersInFixedOrderLeftAndRightAlike) {
  EXPECT_EQ(KeyComboText(0x04, 0x00), "A");
  EXPECT_EQ(KeyComboText(0x04, 0x11), "Ctrl + A");
  EXPECT_EQ(KeyComboText(0x04, 0x23), "Ctrl + Shift + A");
  EXPECT_EQ(KeyComboText(0x00, 0x05), "Ctrl + Alt");
  EXPECT_EQ(KeyComboText(0x00, 0x00), "");
  EXPECT_EQ(KeyComboText(0x2C, 0xC8), "Alt + Win + Space");
  EXPECT_EQ(KeyComboText(0x64, 0x80), "Win");
}

TEST(KeyComboText, SearchBoundStopsBeforeLateEntries) {
  // "Right Win" is entry 110: a bound of 110 entries never reaches it.
  EXPECT_EQ(KeyComboText(0xE7, 0x01, 110), "Ctrl");
  EXPECT_EQ(KeyComboText(0xE7, 0x01, 111), "Ctrl + Right Win");
}

TEST(ConsumerKeyTable, PairsCodesWithTextNamesInOrder) {
  auto table = ConsumerKeyTable(DefaultTextTables());
  ASSERT_EQ(table.size(), 15u);
  EXPECT_EQ(table[0].usage, 0x223);
  EXPECT_EQ(table[0].name, "Web Browser");
  EXPECT_EQ(table[13].usage, 0x0B3);
  EXPECT_EQ(table[13].name, "Fast Forward");
  EXPECT_EQ(table[14].usage, -1);
  EXPECT_EQ(LookupConsumerKeyName(table, 0xE2), "Mute");
  EXPECT_EQ(LookupConsumerKeyName(table, 0xB4), "");
  // Fewer language names than codes: the rest keep their English names,
  // never out of range.
  TextTables few;
  few.consumerKeyStr = {"Web"};
  auto partial = ConsumerKeyTable(few);
  EXPECT_EQ(LookupConsumerKeyName(partial, 0x223), "Web");
  EXPECT_EQ(LookupConsumerKeyName(partial, 0x194), "My Computer");
}

TEST(ConsumerUsageName, FixedNamesAndUnknown) {
  EXPECT_EQ(ConsumerUsageName(0xB5), "Scan Next Track");
  EXPECT_EQ(ConsumerUsageName(0x223), "WWW Home");
  EXPECT_EQ(ConsumerUsageName(0x22A), "Bookmarks");
  EXPECT_EQ(ConsumerUsageName(0xB4), "Rewind");
  EXPECT_EQ(ConsumerUsageName(0x0), "Unknown");
  EXPECT_EQ(ConsumerUsageName(0x226), "Unknown");
}

}  // namespace
}  // namespace quorix
