#include "keys/scan_codes.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace quorix {
namespace {

std::vector<uint8_t> Utf16(const std::u16string& text, bool bom = true) {
  std::vector<uint8_t> bytes;
  if (bom) bytes = {0xFF, 0xFE};
  for (char16_t c : text) {
    bytes.push_back(static_cast<uint8_t>(c & 0xFF));
    bytes.push_back(static_cast<uint8_t>(c >> 8));
  }
  return bytes;
}

TEST(ScanCodes, BuiltInTableConversions) {
  EXPECT_EQ(ScanCodeToUsage(0x1E), 0x04);
  EXPECT_EQ(ScanCodeToUsage(0x2B), 0x31);  // shared with 0x32: the lower usage wins
  EXPECT_EQ(ScanCodeToUsage(0xE048), 0x52);
  EXPECT_EQ(ScanCodeToUsage(0xE037), 0x46);
  EXPECT_EQ(ScanCodeToUsage(0xC5), 0x48);   // Pause is a one-byte code
  EXPECT_EQ(ScanCodeToUsage(0xE05C), 0xE7);
  EXPECT_EQ(ScanCodeToUsage(0xFF), 0);      // the last line has no line end
  EXPECT_EQ(ScanCodeToUsage(0), 0);
  EXPECT_EQ(ScanCodeToUsage(0x7777), 0);
}

TEST(ScanCodes, ShippedFileIsTheExactTextForm) {
  std::ifstream in(std::string(QUORIX_SOURCE_DATA_DIR) + "/scancodes.txt", std::ios::binary);
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_GT(bytes.size(), 4u);
  EXPECT_EQ(bytes[0], 0xFF);
  EXPECT_EQ(bytes[1], 0xFE);
  std::u16string text;
  for (size_t i = 2; i + 1 < bytes.size(); i += 2) text.push_back(static_cast<char16_t>(bytes[i] | bytes[i + 1] << 8));
  size_t lines = 1;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'\n') {
      ++lines;
      EXPECT_EQ(text[i - 1], u'\r');
    }
  }
  EXPECT_EQ(lines, 110u);
  EXPECT_EQ(text.substr(text.size() - 7), u"255 255");
  // The compiled-in copy parses to the same table as the file.
  EXPECT_EQ(ParseScanCodeTable(bytes.data(), bytes.size()), BuiltInScanCodeTable());
  int filled = 0;
  for (int32_t slot : BuiltInScanCodeTable()) filled += slot != 0;
  EXPECT_EQ(filled, 108);  // 109 lines read, usage 0 maps to 0, 0xFF unread
}

TEST(ScanCodes, ParserRules) {
  // Stray CRs vanish, blanks and tabs are trimmed, a line without a space or
  // starting with one is skipped, a usage out of range lands in slot 0.
  EXPECT_EQ(ParseScanCodeTable(nullptr, 0), ScanCodeTable{});
  auto bytes = Utf16(u"4 30\r\n 5 48\n6\t\r\n7  \t 46\r\n300 9\r\n8 18\r\r\n9 33");
  auto table = ParseScanCodeTable(bytes.data(), bytes.size());
  EXPECT_EQ(table[4], 30);
  EXPECT_EQ(table[5], 0);
  EXPECT_EQ(table[6], 0);
  EXPECT_EQ(table[7], 46);
  EXPECT_EQ(table[0], 9);
  EXPECT_EQ(table[8], 18);
  EXPECT_EQ(table[9], 0);  // unterminated last line
  // Without a byte-order mark the text reads the same.
  auto plain = Utf16(u"4 30\n", false);
  EXPECT_EQ(ParseScanCodeTable(plain.data(), plain.size())[4], 30);
  // An odd trailing byte is ignored, not read past.
  plain.push_back(0x41);
  EXPECT_EQ(ParseScanCodeTable(plain.data(), plain.size())[4], 30);
}

TEST(ScanCodes, SlotZeroAndUsage255AreNeverAnswers) {
  ScanCodeTable table{};
  table[0] = 0x10;
  table[255] = 0x11;
  table[7] = 0x12;
  EXPECT_EQ(ScanCodeToUsage(table, 0x10), 0);
  EXPECT_EQ(ScanCodeToUsage(table, 0x11), 0);
  EXPECT_EQ(ScanCodeToUsage(table, 0x12), 7);
}

TEST(ScanCodes, FromKeyEvent) {
  EXPECT_EQ(ScanCodeFromKeyEvent(0x48, true, 0x26), 0xE048);
  EXPECT_EQ(ScanCodeFromKeyEvent(0x1E, false, 0x41), 0x1E);
  EXPECT_EQ(ScanCodeFromKeyEvent(0x1D, true, 0x13), 0xC5);
}

}  // namespace
}  // namespace quorix
