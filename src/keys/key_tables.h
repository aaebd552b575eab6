#pragma once
// Key tables: HID keyboard usages and their names, consumer-page usages, the
// mouse action names, and the modifier-mask texts. Keys are identified by
// their HID Keyboard/Keypad usage (one byte) plus an 8-bit modifier mask in
// boot-report bit order; media keys by their Consumer-page usage.

#include <cstdint>
#include <string>
#include <vector>

namespace quorix {

struct TextTables;

// One entry of a usage-to-name table; tables end with {-1, ""}.
struct KeyName {
  int32_t usage;
  std::string name;
};

// Modifier-mask bits (HID boot keyboard report order).
inline constexpr uint8_t kModLeftCtrl = 0x01;
inline constexpr uint8_t kModLeftShift = 0x02;
inline constexpr uint8_t kModLeftAlt = 0x04;
inline constexpr uint8_t kModLeftWin = 0x08;
inline constexpr uint8_t kModRightCtrl = 0x10;
inline constexpr uint8_t kModRightShift = 0x20;
inline constexpr uint8_t kModRightAlt = 0x40;
inline constexpr uint8_t kModRightWin = 0x80;

// The keyboard key names, in table order, ending with the end marker.
const std::vector<KeyName>& KeyNameTable();

// Name of a keyboard usage, or "" when the table has none. Scans from the
// front and stops at the end marker or after maxEntries entries.
std::string LookupKeyName(int usage, int maxEntries = 200);

// "Ctrl + Shift + A" style text: modifiers in the fixed order Ctrl, Shift,
// Alt, Win (left and right alike), then the key name. Without a key name the
// modifiers stand alone ("Ctrl + Alt"); with neither the text is empty.
std::string KeyComboText(int usage, int modifiers, int maxEntries = 200);
// The modifier prefix alone, each modifier followed by " + ".
std::string ModifierPrefix(int modifiers);

// The consumer-key usages in the order the button window offers them; the
// names pair with TextTables::consumerKeyStr entry by entry.
const std::vector<int32_t>& ConsumerKeyCodes();
// ConsumerKeyCodes() paired with their names from the text tables (a missing
// name reads as ""), ending with {-1, ""}.
std::vector<KeyName> ConsumerKeyTable(const TextTables& texts);
// The name of a consumer usage in a table built by ConsumerKeyTable, or "".
std::string LookupConsumerKeyName(const std::vector<KeyName>& table, int usage);

// The fixed naming of consumer usages used by macro step texts; "Unknown"
// for usages it does not know.
std::string ConsumerUsageName(int usage);

// Number of mouse action names (TextTables::mouseStr): 0 "Left click" ..
// 8 "Scroll down".
inline constexpr int kMouseActionCount = 9;
enum MouseAction {
  kLeftClick = 0,
  kRightClick,
  kWheelClick,
  kBackward,
  kForward,
  kTiltLeft,
  kTiltRight,
  kScrollUp,
  kScrollDown
};

}  // namespace quorix
