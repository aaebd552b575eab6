#include "keys/key_tables.h"

#include "texts/text_tables.h"

namespace quorix {

namespace {

std::vector<KeyName> BuildKeyNameTable() {
  std::vector<KeyName> table;
  table.reserve(115);
  for (int i = 0; i < 26; ++i) table.push_back({0x04 + i, std::string(1, static_cast<char>('A' + i))});
  for (int i = 0; i < 9; ++i) table.push_back({0x1E + i, std::string(1, static_cast<char>('1' + i))});
  table.push_back({0x27, "0"});
  const KeyName fixed[] = {
      {0x28, "Enter"},
      {0x29, "Esc"},
      {0x2A, "Backspace"},
      {0x2B, "Tab"},
      {0x2C, "Space"},
      // Punctuation follows the Japanese keyboard legends.
      {0x2D, "-"},
      {0x2E, "^"},
      {0x2F, "@"},
      {0x30, "["},
      {0x31, "]"},
      {0x32, "#"},
      {0x33, ";"},
      {0x34, ":"},
      {0x35, "半角/全角"},
      {0x36, ","},
      {0x37, "."},
      {0x38, "/"},
      {0x39, "Caps Lock"},
  };
  table.insert(table.end(), std::begin(fixed), std::end(fixed));
  for (int i = 0; i < 12; ++i) table.push_back({0x3A + i, "F" + std::to_string(i + 1)});
  const KeyName navigation[] = {
      {0x46, "PrintScreen"},
      {0x47, "Scroll Lock"},
      {0x48, "Pause"},
      {0x49, "Insert"},
      {0x4A, "Home"},
      {0x4B, "PageUp"},
      {0x4C, "Delete"},
      {0x4D, "End"},
      {0x4E, "PageDown"},
      {0x4F, "→"},  // U+2192
      {0x50, "←"},  // U+2190
      {0x51, "↓"},  // U+2193
      {0x52, "↑"},  // U+2191
      {0x53, "Num Lock"},
      {0x54, "Keypad /"},
      {0x55, "Keypad *"},
      {0x56, "Keypad -"},
      {0x57, "Keypad +"},
      {0x58, "Keypad Enter"},
  };
  table.insert(table.end(), std::begin(navigation), std::end(navigation));
  for (int i = 0; i < 9; ++i) table.push_back({0x59 + i, "Keypad " + std::to_string(i + 1)});
  const KeyName rest[] = {
      {0x62, "Keypad 0"},
      {0x63, "Keypad ."},
      {0x65, "Application"},
      {0x66, "Power"},
      {0x67, "Keypad ="},
      {0x8A, "変換"},
      {0x8B, "無変換"},
      {0x90, "한/잉"},
      {0x91, "한자"},
      {0xE0, "Left Control"},
      {0xE1, "Left Shift"},
      {0xE2, "Left Alt"},
      {0xE3, "Left Win"},
      {0xE4, "Right Control"},
      {0xE5, "Right Shift"},
      {0xE6, "Right Alt"},
      {0xE7, "Right Win"},
      {0x88, "カタカナ\nひらがな"},  // two lines on the key
      {0x87, "∖"},  // U+2216 (set minus), not a backslash
      {0x89, "\\"},
      {-1, ""},
  };
  table.insert(table.end(), std::begin(rest), std::end(rest));
  return table;
}

}  // namespace

const std::vector<KeyName>& KeyNameTable() {
  static const std::vector<KeyName> table = BuildKeyNameTable();
  return table;
}

std::string LookupKeyName(int usage, int maxEntries) {
  const auto& table = KeyNameTable();
  for (size_t i = 0; i < table.size() && static_cast<int>(i) < maxEntries; ++i) {
    if (table[i].usage == -1) break;
    if (table[i].usage == usage) return table[i].name;
  }
  return "";
}

std::string ModifierPrefix(int modifiers) {
  std::string prefix;
  if (modifiers & 0x11) prefix += "Ctrl + ";
  if (modifiers & 0x22) prefix += "Shift + ";
  if (modifiers & 0x44) prefix += "Alt + ";
  if (modifiers & 0x88) prefix += "Win + ";
  return prefix;
}

std::string KeyComboText(int usage, int modifiers, int maxEntries) {
  std::string prefix = ModifierPrefix(modifiers);
  // Every entry of the table has a name, so "" means the usage has none.
  if (std::string name = LookupKeyName(usage, maxEntries); !name.empty()) return prefix + name;
  if (prefix.size() >= 3 && prefix.compare(prefix.size() - 2, 2, "+ ") == 0) prefix.resize(prefix.size() - 3);
  return prefix;
}

const std::vector<int32_t>& ConsumerKeyCodes() {
  static const std::vector<int32_t> codes = {0x223, 0x194, 0x192, 0x183, 0x0E2, 0x0EA, 0x0E9,
                                             0x0CD, 0x0B0, 0x0B1, 0x0B5, 0x0B6, 0x0B7, 0x0B3};
  return codes;
}

std::vector<KeyName> ConsumerKeyTable(const TextTables& texts) {
  std::vector<KeyName> table;
  const auto& codes = ConsumerKeyCodes();
  for (size_t i = 0; i < codes.size(); ++i) {
    table.push_back({codes[i], texts[static_cast<ConsumerName>(i)]});
  }
  table.push_back({-1, ""});
  return table;
}

std::string LookupConsumerKeyName(const std::vector<KeyName>& table, int usage) {
  for (const auto& entry : table) {
    if (entry.usage == -1) break;
    if (entry.usage == usage) return entry.name;
  }
  return "";
}

std::string ConsumerUsageName(int usage) {
  switch (usage) {
    case 0x0B0: return "Play";
    case 0x0B1: return "Pause";
    case 0x0B3: return "Fast Forward";
    case 0x0B4: return "Rewind";
    case 0x0B5: return "Scan Next Track";
    case 0x0B6: return "Scan Previous Track";
    case 0x0B7: return "Stop";
    case 0x0CD: return "Play/Pause";
    case 0x0E2: return "Mute";
    case 0x0E9: return "Volume +";
    case 0x0EA: return "Volume -";
    case 0x183: return "Media Player";
    case 0x18A: return "E-Mail";
    case 0x192: return "Calculator";
    case 0x194: return "My Computer";
    case 0x221: return "Search";
    case 0x223: return "WWW Home";
    case 0x224: return "Back";
    case 0x225: return "Forward";
    case 0x227: return "Refresh";
    case 0x22A: return "Bookmarks";
    default: return "Unknown";
  }
}

}  // namespace quorix
