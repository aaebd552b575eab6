#include "session/models/str_entry_rules.h"

#include <climits>

namespace quorix {
namespace {

bool IsDigit(char32_t key) { return key >= U'0' && key <= U'9'; }

TypedKeyResult Set(long long value) { return {false, std::to_string(value)}; }

}  // namespace

long long DecimalValue(const std::string& text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  long long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    // Far beyond any limit the fields check: stop growing instead of wrapping.
    if (value < LLONG_MAX / 100) value = value * 10 + (text[i] - '0');
  }
  return negative ? -value : value;
}

TypedKeyResult TypeInTextField(char32_t key) { return {key != kKeyEnter, std::nullopt}; }

TypedKeyResult TypeInNumberField(const std::string& text, char32_t key, long long limit) {
  if (key == kKeyBackspace) return {};
  if (!IsDigit(key)) return {false, std::nullopt};
  if (DecimalValue(text) >= limit) return Set(limit);
  return {};
}

TypedKeyResult TypeInCoordinateField(const std::string& text, char32_t key, bool absolute, bool isY, int cursor) {
  if (key == kKeyBackspace) return {};
  const long long value = DecimalValue(text);
  if (key == U'-') {
    if (absolute) return {false, std::nullopt};
    const bool startsNegative = !text.empty() && text[0] == '-';
    return {cursor == 0 && !startsNegative, std::nullopt};
  }
  if (!IsDigit(key)) return {false, std::nullopt};
  if (absolute) {
    if (value > 32766) return Set(0xFFFF);
    if (isY && value < 0) return Set(0);
    return {};
  }
  if (value > 32766) return Set(32767);
  if (value < -32768) return Set(-32768);
  return {};
}

std::string WithoutAccessKey(std::string caption, const std::string& suffix) {
  if (const size_t at = caption.find(suffix); !suffix.empty() && at != std::string::npos) caption.erase(at, suffix.size());
  std::string out;
  for (size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&' && i + 1 < caption.size() && caption[i + 1] == '&') {
      out += '&';
      ++i;
    } else if (caption[i] != '&') {
      out += caption[i];
    }
  }
  while (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

void LiftTestCountdown::Start(int64_t nowMs) {
  remaining_ = kSeconds;
  nextTickMs_ = nowMs + kTickMs;
}

bool LiftTestCountdown::Poll(int64_t nowMs) {
  bool changed = false;
  // A late timer takes every tick it missed, so the countdown keeps to the
  // clock rather than to the timer's punctuality.
  while (remaining_ > 0 && nowMs >= nextTickMs_) {
    --remaining_;
    nextTickMs_ += kTickMs;
    changed = true;
  }
  return changed;
}

std::optional<int64_t> LiftTestCountdown::NextDueMs() const {
  if (remaining_ <= 0) return std::nullopt;
  return nextTickMs_;
}

std::string LiftTestCountdown::Caption(const std::string& test) const {
  if (remaining_ <= 0) return test;
  return test + " (" + std::to_string(remaining_) + ")";
}

}  // namespace quorix
