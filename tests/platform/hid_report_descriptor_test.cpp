#include "platform/hid_report_descriptor.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace quorix {
namespace {

using Bytes = std::vector<uint8_t>;

HidReportDescriptorInfo Parse(const Bytes& bytes) {
  Result<HidReportDescriptorInfo> info = ParseHidReportDescriptor(bytes.data(), bytes.size());
  EXPECT_TRUE(info) << info.detail();
  return info ? std::move(info).value() : HidReportDescriptorInfo{};
}

std::string ParseError(const Bytes& bytes) {
  const Result<HidReportDescriptorInfo> info = ParseHidReportDescriptor(bytes.data(), bytes.size());
  EXPECT_EQ(info.failure(), Failure::kInvalidFormat);
  return info.detail();
}

Bytes Corpus(const std::string& name) {
  // The fuzzing corpus doubles as the test data: real-shaped descriptors.
  const auto root = std::filesystem::path(QUORIX_TEST_DATA_DIR).parent_path().parent_path().parent_path();
  std::ifstream in(root / "fuzz/corpus/hid_report_descriptor" / name, std::ios::binary);
  EXPECT_TRUE(in.good()) << name;
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(HidReportDescriptor, BootMouseHasImplicitReportIdByte) {
  const auto info = Parse(Corpus("boot_mouse.bin"));
  ASSERT_EQ(info.collections.size(), 1u);
  EXPECT_FALSE(info.usesReportIds);
  EXPECT_EQ(info.caps.usagePage, 1);
  EXPECT_EQ(info.caps.usage, 2);
  // 3 button bits + 5 padding + X and Y bytes = 3 bytes, plus report ID 0.
  EXPECT_EQ(info.caps.inputReportByteLength, 4);
  EXPECT_EQ(info.caps.outputReportByteLength, 0);
  EXPECT_EQ(info.caps.featureReportByteLength, 0);
  EXPECT_EQ(info.collections[0].inputReportIds, Bytes{0});
}

TEST(HidReportDescriptor, ConfigurationInterfaceShapes) {
  const auto vendor = Parse(Corpus("vendor_feature64_id1.bin"));
  EXPECT_TRUE(vendor.usesReportIds);
  EXPECT_EQ(vendor.caps.usagePage, 0xFF18);
  EXPECT_EQ(vendor.caps.usage, 1);
  EXPECT_EQ(vendor.caps.featureReportByteLength, 64);
  EXPECT_EQ(vendor.caps.inputReportByteLength, 0);

  // The pointing interface of the oldest layout: 8 feature bytes, no IDs.
  const auto mouse = Parse(Corpus("mouse_feature9_no_ids.bin"));
  EXPECT_EQ(mouse.caps.usagePage, 1);
  EXPECT_EQ(mouse.caps.usage, 2);
  EXPECT_EQ(mouse.caps.featureReportByteLength, 9);
  EXPECT_EQ(mouse.caps.inputReportByteLength, 5);
}

TEST(HidReportDescriptor, CollectionsKeepTheirOwnReportsAndPopRestoresGlobals) {
  const auto info = Parse(Corpus("two_vendor_collections.bin"));
  ASSERT_EQ(info.collections.size(), 2u);
  EXPECT_EQ(info.caps.featureReportByteLength, 64);  // the first collection's
  const auto& second = info.collections[1].caps;
  EXPECT_EQ(second.usagePage, 0xFF19);
  EXPECT_EQ(second.usage, 2);
  EXPECT_EQ(second.featureReportByteLength, 0);
  EXPECT_EQ(second.inputReportByteLength, 8);
  // After the pop the report size is 8 bits again; the long item in between
  // is skipped whole.
  EXPECT_EQ(second.outputReportByteLength, 5);
  EXPECT_EQ(info.collections[1].inputReportIds, Bytes{4});
}

TEST(HidReportDescriptor, LongestReportOfEachKindWins) {
  // Two feature reports (ID 1: 3 bytes, ID 2: 10 bytes in two items) and a
  // 12-bit input report that rounds up to 2 bytes.
  const Bytes bytes = {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01,  //
                       0x85, 0x01, 0x75, 0x08, 0x95, 0x03, 0xB1, 0x02,  //
                       0x85, 0x02, 0x95, 0x04, 0xB1, 0x02, 0x95, 0x06, 0xB1, 0x02,  //
                       0x85, 0x03, 0x75, 0x04, 0x95, 0x03, 0x81, 0x02, 0xC0};
  const auto info = Parse(bytes);
  EXPECT_EQ(info.caps.featureReportByteLength, 11);
  EXPECT_EQ(info.caps.inputReportByteLength, 3);
}

TEST(HidReportDescriptor, UsageForms) {
  // An extended (4-byte) usage names its page; usage minimum stands in for a
  // missing usage; a usage of a nested collection does not replace the
  // top-level one.
  const auto extended = Parse({0x05, 0x01, 0x0B, 0x01, 0x00, 0x18, 0xFF, 0xA1, 0x01, 0x09, 0x05, 0xA1, 0x00, 0xC0, 0xC0});
  EXPECT_EQ(extended.caps.usagePage, 0xFF18);
  EXPECT_EQ(extended.caps.usage, 1);
  const auto minimum = Parse({0x05, 0x0C, 0x19, 0x03, 0x29, 0x09, 0xA1, 0x01, 0xC0});
  EXPECT_EQ(minimum.caps.usagePage, 0x0C);
  EXPECT_EQ(minimum.caps.usage, 3);
  EXPECT_EQ(Parse({}).collections.size(), 0u);
}

TEST(HidReportDescriptor, FieldsOutsideCollectionsAreNotCounted) {
  const auto info = Parse({0x75, 0x08, 0x95, 0x40, 0xB1, 0x02, 0x05, 0x01, 0x09, 0x02, 0xA1, 0x01, 0xC0});
  EXPECT_EQ(info.caps.featureReportByteLength, 0);
  EXPECT_EQ(info.caps.usage, 2);
}

TEST(HidReportDescriptor, MalformedDescriptorsAreRejected) {
  EXPECT_NE(ParseError({0x06, 0x18}).find("truncated item"), std::string::npos);
  EXPECT_NE(ParseError({0xFE, 0x05, 0x10, 0x01}).find("truncated long item"), std::string::npos);
  EXPECT_NE(ParseError({0xA1, 0x01}).find("unbalanced"), std::string::npos);
  EXPECT_NE(ParseError({0xC0}).find("end collection"), std::string::npos);
  EXPECT_NE(ParseError({0xB4}).find("underflow"), std::string::npos);
  EXPECT_NE(ParseError({0x85, 0x00}).find("report ID 0"), std::string::npos);
  EXPECT_NE(ParseError({0x76, 0x01, 0x01}).find("report size"), std::string::npos);
  EXPECT_NE(ParseError({0x96, 0x01, 0x40}).find("report count"), std::string::npos);
  Bytes pushes(kHidMaxGlobalStackDepth + 1, 0xA4);
  EXPECT_NE(ParseError(pushes).find("overflow"), std::string::npos);
  Bytes nested;
  for (int i = 0; i <= kHidMaxCollectionDepth; ++i) nested.insert(nested.end(), {0xA1, 0x00});
  EXPECT_NE(ParseError(nested).find("nested"), std::string::npos);
  // 256-bit fields, 12288 of them: far beyond any real report.
  EXPECT_NE(ParseError({0xA1, 0x01, 0x76, 0x00, 0x01, 0x96, 0x00, 0x30, 0x81, 0x02, 0xC0}).find("longer"),
            std::string::npos);
}

TEST(HidReportDescriptor, ErrorsNameTheOffset) {
  EXPECT_NE(ParseError({0x05, 0x01, 0xC0}).find("offset 2"), std::string::npos);
}

}  // namespace
}  // namespace quorix
