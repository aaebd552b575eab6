#pragma once
// Set-1 scan codes to HID keyboard usages. The table ships as a UTF-16LE text
// (byte-order mark, one "usage scancode" pair in decimal per line, CR LF line
// ends, the last line without one) compiled into the program from
// data/scancodes.txt. Extended keys carry 0xE000 + their second byte.

#include <array>
#include <cstddef>
#include <cstdint>

namespace quorix {

// Slot u holds the scan code of usage u, 0 for none.
using ScanCodeTable = std::array<int32_t, 256>;

// Parses the text form (UTF-16LE bytes, with or without the byte-order mark).
// Only lines ended by a line feed are read, so a last line without one is
// never taken. Lines without a space after their first character are skipped;
// a usage outside 0..255 lands in slot 0. Never fails: junk gives zeros.
ScanCodeTable ParseScanCodeTable(const uint8_t* data, size_t size);

// The table of the built-in resource, parsed once on first use.
const ScanCodeTable& BuiltInScanCodeTable();

// The smallest usage 0..254 whose non-zero scan code equals scanCode; 0 when
// there is none.
int ScanCodeToUsage(const ScanCodeTable& table, int scanCode);
int ScanCodeToUsage(int scanCode);

// The scan code a raw keyboard event stands for: the make code, OR 0xE000 with
// an E0/E1 prefix; the Pause virtual key (0x13) is always 0xC5.
int ScanCodeFromKeyEvent(int makeCode, bool prefixed, int virtualKey);

}  // namespace quorix
