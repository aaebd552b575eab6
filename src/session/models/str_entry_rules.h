#pragma once
// The typing rules of the text-entry dialog, one typed key at a time, before
// the field sees it: which keys pass, and when the field is set to a limit
// instead. Pure functions over the field's text, so the dialog only forwards.

#include <cstdint>
#include <optional>
#include <string>

namespace quorix {

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
// Number entry: digits and Backspace; a digit typed while the
// value is already at or above `limit` sets the field to the limit instead.
TypedKeyResult TypeInNumberField(const std::string& text, char32_t key, long long limit);
// Coordinates, the X or Y field. `absolute`: the second option of
// the pair is on. `cursor`: where the key goes, in characters.
TypedKeyResult TypeInCoordinateField(const std::string& text, char32_t key, bool absolute, bool isY, int cursor);

// The dialog's two button captions come as the desktop's translated "Yes" /
// "No" (the yes/no question) or "OK" / "Cancel" with an access key: "(&Y)"-style
// suffixes (the given one) are removed, then the remaining '&' markers.
std::string WithoutAccessKey(std::string caption, const std::string& suffix);

// The manual lift test's countdown: five one-second ticks after the "Test"
// button, with the button showing the seconds left. Runs on the caller's
// clock; the window arms a single-shot timer for NextDueMs, so nothing wakes
// once the countdown ended.
class LiftTestCountdown {
 public:
  // As long as the instruction beside it gives the user to press OK.
  static constexpr int kSeconds = 5;
  static constexpr int64_t kTickMs = 1000;

  // (Re)starts at kSeconds; a running countdown starts over.
  void Start(int64_t nowMs);
  void Stop() { remaining_ = 0; }
  // Takes the ticks that are due; true when the seconds left changed.
  bool Poll(int64_t nowMs);
  std::optional<int64_t> NextDueMs() const;
  bool Running() const { return remaining_ > 0; }
  int Remaining() const { return remaining_; }
  // "%s (%d)" with the test caption while running, the caption alone after.
  std::string Caption(const std::string& test) const;

 private:
  int remaining_ = 0;
  int64_t nextTickMs_ = 0;
};

}  // namespace quorix
