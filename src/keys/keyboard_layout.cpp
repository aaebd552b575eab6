#include "keys/keyboard_layout.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace quorix {

namespace {

// Decimal text to number, reading as far as it makes sense ("0.87abc" is
// 0.87); anything unreadable is 0.
double ParseScale(const std::string& text) {
  size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return 0.0;
  double value = 0.0;
  auto result = std::from_chars(text.data() + first, text.data() + text.size(), value);
  if (result.ec != std::errc() || !std::isfinite(value)) return 0.0;
  return value;
}

// A position or size: read as an unsigned value, scaled and truncated toward
// zero; clamped so a silly file cannot overflow the window arithmetic.
int ScaledDimension(long long raw, double scale) {
  double value = static_cast<double>(std::clamp<long long>(raw, 0, 0xFFFFFFFFLL)) * scale;
  value = std::clamp(value, -1.0e6, 1.0e6);
  return static_cast<int>(value);
}

int ClampInt(long long value) { return static_cast<int>(std::clamp<long long>(value, INT32_MIN, INT32_MAX)); }

}  // namespace

KeyboardLayout LoadKeyboardLayout(const ProfileReader& reader, const KeyTexts& texts, const ScanCodeTable& scanCodes) {
  KeyboardLayout layout;
  layout.scale = ParseScale(reader.readString("SET", "scale", "0.87"));
  layout.originX = ClampInt(reader.readInt("SET", "x", 0));
  layout.originY = ClampInt(reader.readInt("SET", "y", 0));
  for (int n = 1; n <= kMaxKeyboardKeys; ++n) {
    const std::string section = "KEY " + std::to_string(n);
    std::string name = reader.readString(section, "name", kNoStringMarker);
    int chwcode = ClampInt(reader.readInt(section, "chwcode", 0));
    if (name == kNoStringMarker && chwcode == 0) continue;
    KeyboardKey key;
    key.chwcode = chwcode;
    key.modify = ClampInt(reader.readInt(section, "modify", 0));
    key.code = ClampInt(reader.readInt(section, "code", 0));
    key.x = ScaledDimension(reader.readInt(section, "x", 0), layout.scale);
    key.y = ScaledDimension(reader.readInt(section, "y", 0), layout.scale);
    key.width = ScaledDimension(reader.readInt(section, "width", 0), layout.scale);
    key.height = ScaledDimension(reader.readInt(section, "height", 0), layout.scale);
    key.smallFont = ClampInt(reader.readInt(section, "small_font", 0));
    key.hwcode = ClampInt(reader.readInt(section, "hwcode", 0));
    for (size_t at = 0; (at = name.find("\\n", at)) != std::string::npos;) name.replace(at, 2, "\n");
    key.legend = name;
    if (key.chwcode != 0) {
      key.legend = FunctionText(texts, kFnMultimedia, key.chwcode & 0xFF, (key.chwcode >> 8) & 0xFF, 0);
    } else if (key.hwcode == 0) {
      key.hwcode = ScanCodeToUsage(scanCodes, key.code);
    }
    // Five pixels between neighbouring keys belong to neither.
    key.left = layout.originX + key.x;
    key.top = layout.originY + key.y;
    key.right = layout.originX + key.x + key.width - 5;
    key.bottom = layout.originY + key.y + key.height - 5;
    layout.extentWidth = std::max(layout.extentWidth, key.x + key.width + 1);
    layout.extentHeight = std::max(layout.extentHeight, key.y + key.height + 1);
    layout.keys.push_back(std::move(key));
  }
  return layout;
}

}  // namespace quorix
