#include "keys/scan_codes.h"

#include <climits>
#include <string>

namespace quorix {

extern const unsigned char kScanCodeResource[];
extern const unsigned long kScanCodeResourceSize;

namespace {

// Decimal conversion in the manner of the C library's atoi: leading blanks,
// an optional sign, then digits up to the first non-digit; saturates instead
// of overflowing.
long long ParseDecimal(const std::u16string& text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == u' ' || text[i] == u'\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';
  long long value = 0;
  for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
    value = value * 10 + (text[i] - u'0');
    if (value > INT_MAX) value = static_cast<long long>(INT_MAX) + 1;
  }
  return negative ? -value : value;
}

std::u16string Trim(const std::u16string& text, const std::u16string& blanks) {
  size_t first = text.find_first_not_of(blanks);
  if (first == std::u16string::npos) return u"";
  size_t last = text.find_last_not_of(blanks);
  return text.substr(first, last - first + 1);
}

}  // namespace

ScanCodeTable ParseScanCodeTable(const uint8_t* data, size_t size) {
  ScanCodeTable slots{};
  std::u16string text;
  text.reserve(size / 2);
  for (size_t i = 0; i + 1 < size; i += 2) text.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
  if (!text.empty() && text[0] == u'\xFEFF') text.erase(0, 1);
  // CR LF becomes LF, then any stray CR goes.
  std::u16string clean;
  clean.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'\r') continue;
    clean.push_back(text[i]);
  }
  size_t pos = 0;
  while (true) {
    size_t lf = clean.find(u'\n', pos);
    if (lf == std::u16string::npos) break;  // the last, unterminated line is never read
    std::u16string line = clean.substr(pos, lf - pos);
    pos = lf + 1;
    size_t space = line.find(u' ');
    if (space == std::u16string::npos || space == 0) continue;
    long long usage = ParseDecimal(Trim(line.substr(0, space), u"\r\n "));
    long long code = ParseDecimal(Trim(line.substr(space + 1), u"\t "));
    if (usage < 0 || usage > 255) usage = 0;
    if (code > INT32_MAX) code = INT32_MAX;
    if (code < INT32_MIN) code = INT32_MIN;
    slots[static_cast<size_t>(usage)] = static_cast<int32_t>(code);
  }
  return slots;
}

const ScanCodeTable& BuiltInScanCodeTable() {
  static const ScanCodeTable table = ParseScanCodeTable(kScanCodeResource, kScanCodeResourceSize);
  return table;
}

int ScanCodeToUsage(const ScanCodeTable& table, int scanCode) {
  for (int usage = 0; usage < 255; ++usage) {
    if (table[static_cast<size_t>(usage)] != 0 && table[static_cast<size_t>(usage)] == scanCode) return usage;
  }
  return 0;
}

int ScanCodeToUsage(int scanCode) { return ScanCodeToUsage(BuiltInScanCodeTable(), scanCode); }

int ScanCodeFromKeyEvent(int makeCode, bool prefixed, int virtualKey) {
  if (virtualKey == 0x13) return 0xC5;
  return prefixed ? (makeCode | 0xE000) : makeCode;
}

}  // namespace quorix
