#pragma once
// The typing rules of the text-entry dialog, one typed key at a time, before
// the field sees it: which keys pass, and when the field is set to a limit
// instead. Pure functions over the field's text, so the dialog only forwards.

#include <optional>
#include <string>

namespace quorix {

// Text-entry modes.
inline constexpr int kStrModeName = 0;
inline constexpr int kStrModeNumber = 1;
inline constexpr int kStrModeCoordinates = 3;
inline constexpr int kStrModeNumber4 = 4;
inline constexpr int kStrModeFolder = 5;
inline constexpr int kStrModeLiftTest = 8;
inline constexpr int kStrModeYesNo = 10;

inline constexpr char32_t kKeyBackspace = 0x08;
inline constexpr char32_t kKeyEnter = 0x0D;

struct TypedKeyResult {
  bool passes = true;                  // the key reaches the field
  std::optional<std::string> setText;  // the field is set to this first
};

// The field's text read as a decimal number as the classic parser does:
// leading blanks, an optional sign, the digits up to the first other
// character; anything else reads as 0.
long long DecimalValue(const std::string& text);

// The name entry (and every other field not named below): only Enter is
// swallowed.
TypedKeyResult TypeInTextField(char32_t key);
// Number entry (modes 1 and 4): digits and Backspace; a digit typed while the
// value is already at or above `limit` sets the field to the limit instead.
TypedKeyResult TypeInNumberField(const std::string& text, char32_t key, long long limit);
// Coordinates (mode 3), the X or Y field. `absolute`: the second option of
// the pair is on. `cursor`: where the key goes, in characters.
TypedKeyResult TypeInCoordinateField(const std::string& text, char32_t key, bool absolute, bool isY, int cursor);

// The dialog's two button captions come as the desktop's translated "Yes" /
// "No" (mode 10) or "OK" / "Cancel" with an access key: "(&Y)"-style
// suffixes (the given one) are removed, then the remaining '&' markers.
std::string WithoutAccessKey(std::string caption, const std::string& suffix);

}  // namespace quorix
