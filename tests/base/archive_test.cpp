#include "base/archive.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quorix {
namespace {

std::vector<uint8_t> Encode(const std::string& text) {
  ArchiveWriter writer;
  writer.WriteString(text);
  return writer.Take();
}

std::string Decode(const std::vector<uint8_t>& bytes, bool* ok = nullptr) {
  ArchiveReader reader(bytes);
  std::string text = "unchanged";
  const bool result = reader.ReadString(text);
  if (ok) *ok = result;
  return text;
}

TEST(Archive, ShortStringHasMarkerByteLengthAndUtf16Units) {
  EXPECT_EQ(Encode("_@_BF6E_"),
            (std::vector<uint8_t>{0xFF, 0xFE, 0xFF, 8, '_', 0, '@', 0, '_', 0, 'B', 0, 'F', 0, '6', 0, 'E', 0, '_', 0}));
  EXPECT_EQ(Encode(""), (std::vector<uint8_t>{0xFF, 0xFE, 0xFF, 0}));
}

TEST(Archive, LengthFormsSwitchAt255And0xFFFE) {
  struct Case {
    size_t units;
    std::vector<uint8_t> prefix;
  };
  const std::vector<Case> cases = {
      {254, {0xFF, 0xFE, 0xFF, 254}},
      {255, {0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0x00}},
      {0xFFFD, {0xFF, 0xFE, 0xFF, 0xFF, 0xFD, 0xFF}},
      {0xFFFE, {0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}},
  };
  for (const Case& c : cases) {
    const std::string text(c.units, 'x');
    const std::vector<uint8_t> bytes = Encode(text);
    ASSERT_EQ(bytes.size(), c.prefix.size() + 2 * c.units) << c.units;
    EXPECT_TRUE(std::equal(c.prefix.begin(), c.prefix.end(), bytes.begin())) << c.units;
    ArchiveReader reader(bytes);
    std::string back;
    ASSERT_TRUE(reader.ReadString(back)) << c.units;
    EXPECT_EQ(back, text);
    EXPECT_EQ(reader.Remaining(), 0u);
  }
}

TEST(Archive, NonAsciiRoundTripsThroughUtf16) {
  const std::string text = "Profil \xC3\xA9t\xC3\xA9 \xE4\xBF\x9D\xE7\x95\x99 \xF0\x9F\x96\xB1";  // é, CJK, U+1F5B1
  const std::vector<uint8_t> bytes = Encode(text);
  EXPECT_EQ(bytes[3], 16);  // U+1F5B1 takes a surrogate pair: 16 code units in all
  EXPECT_EQ(Decode(bytes), text);
}

TEST(Archive, MarkerlessStringCountsSingleByteCharacters) {
  EXPECT_EQ(Decode({3, 'a', 'b', 0xE9}), "ab\xC3\xA9");
  std::vector<uint8_t> longForm = {0xFF, 0x2C, 0x01};
  longForm.resize(3 + 300, 'z');
  EXPECT_EQ(Decode(longForm), std::string(300, 'z'));
  std::vector<uint8_t> hugeForm = {0xFF, 0xFF, 0xFF, 2, 0, 0, 0, 'o', 'k'};
  EXPECT_EQ(Decode(hugeForm), "ok");
}

TEST(Archive, TruncatedOrOversizedStringsFailWithoutChangingTheOutput) {
  const std::vector<uint8_t> full = Encode("hello");
  for (size_t n = 0; n < full.size(); ++n) {
    bool ok = true;
    EXPECT_EQ(Decode(std::vector<uint8_t>(full.begin(), full.begin() + static_cast<long>(n)), &ok), "unchanged") << n;
    EXPECT_FALSE(ok) << n;
  }
  bool ok = true;
  // A 32-bit length of 2^31 - 1 units must not allocate or read past the end.
  EXPECT_EQ(Decode({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 'a', 0}, &ok), "unchanged");
  EXPECT_FALSE(ok);
  // A second marker is not a length.
  EXPECT_EQ(Decode({0xFF, 0xFE, 0xFF, 0xFF, 0xFE, 0xFF, 0}, &ok), "unchanged");
  EXPECT_FALSE(ok);
}

TEST(Archive, IntegersAreLittleEndianAndAFailureSticks) {
  ArchiveWriter writer;
  writer.WriteInt32(-2);
  writer.WriteInt32(8192);
  EXPECT_EQ(writer.Bytes(), (std::vector<uint8_t>{0xFE, 0xFF, 0xFF, 0xFF, 0x00, 0x20, 0x00, 0x00}));

  const std::vector<uint8_t> bytes = {0xFE, 0xFF, 0xFF, 0xFF, 0x00, 0x20};
  ArchiveReader reader(bytes);
  int32_t value = 0;
  ASSERT_TRUE(reader.ReadInt32(value));
  EXPECT_EQ(value, -2);
  value = 7;
  EXPECT_FALSE(reader.ReadInt32(value));
  EXPECT_EQ(value, 7);
  EXPECT_TRUE(reader.Failed());
  EXPECT_FALSE(reader.Error().empty());
  uint8_t b = 0;
  EXPECT_FALSE(reader.ReadUint8(b));  // the two bytes left are not readable after a failure
  std::vector<uint8_t> out;
  EXPECT_FALSE(reader.ReadBytes(0, out));
}

TEST(Archive, BrokenUtf8IsReplacedNotDropped) {
  // Lone continuation byte and a truncated three-byte sequence.
  const std::vector<uint8_t> bytes = Encode(std::string("a\x80" "b\xE4\xBF", 5));
  EXPECT_EQ(Decode(bytes), "a\xEF\xBF\xBD" "b\xEF\xBF\xBD");
}

}  // namespace
}  // namespace quorix
