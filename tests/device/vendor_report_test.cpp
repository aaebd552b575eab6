// Decoding the mouse's own input reports: what is taken, what is ignored and why.
#include "device/vendor_report.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>
#include <vector>

namespace quorix::test {
namespace {

constexpr uint8_t kNoFix = 0xFF;  // leave the last byte as set: a broken sum

// A report of `size` bytes, report ID 1, the given bytes set, the host marker
// at S-2 and the last byte chosen so that bytes 1..S-1 XOR to 0 (or, with
// `last` given, that byte as is).
std::vector<uint8_t> Report(std::initializer_list<std::pair<size_t, uint8_t>> set, size_t size = 16,
                            uint8_t marker = 0x5D, uint8_t last = 0) {
  std::vector<uint8_t> r(size, 0);
  r[0] = 1;
  if (size >= 2) r[size - 2] = marker;
  for (auto [at, value] : set) r[at] = value;
  uint8_t sum = 0;
  for (size_t i = 1; i + 1 < size; ++i) sum ^= r[i];
  r[size - 1] = last == kNoFix ? static_cast<uint8_t>(sum ^ 0x01) : sum;
  return r;
}

struct Case {
  const char* name;
  std::vector<uint8_t> bytes;
  bool fromProduct;
  VendorReportKind kind;
  IgnoredBecause why;
  // kState: level, x, y, profile, flags; kOpenRequest: value; kHorizontalWheel: steps, button
  std::vector<int> fields;
};

using K = VendorReportKind;
using W = IgnoredBecause;

TEST(VendorReportTest, DecodesOrIgnoresEachKind) {
  const std::vector<Case> cases = {
      {"state report", Report({{1, 0x0C}, {2, 2}, {3, 40}, {4, 41}, {5, 3}, {6, 0xA1}}), true, K::kState,
       W::kNotIgnored, {2, 40, 41, 3, 0xA1}},
      {"level and profile take bits 0..2 only", Report({{1, 0x0C}, {2, 0xF9}, {5, 0x0D}}), true, K::kState,
       W::kNotIgnored, {1, 0, 0, 5, 0}},
      {"level 6 reads as 4", Report({{1, 0x0C}, {2, 6}}), true, K::kState, W::kNotIgnored, {4, 0, 0, 0, 0}},
      {"11 bytes are enough", Report({{1, 0x0C}, {2, 3}}, 11), true, K::kState, W::kNotIgnored, {3, 0, 0, 0, 0}},
      {"10 bytes are not", Report({{1, 0x0C}, {2, 3}}, 10), true, K::kIgnored, W::kTooShort, {}},
      {"bad sum", Report({{1, 0x0C}, {2, 1}}, 16, 0x5D, kNoFix), true, K::kIgnored, W::kBadChecksum, {}},
      {"second mouse, marker 0", Report({{1, 0x0C}, {2, 1}}, 16, 0), true, K::kIgnored, W::kNoHostMarker, {}},
      {"not our product", Report({{1, 0x0C}, {2, 1}}), false, K::kIgnored, W::kNotOurProduct, {}},
      {"marked, not a state report", Report({{1, 0x0E}, {2, 1}}), true, K::kDisplayOnly, W::kNotIgnored, {}},
      {"open request", Report({{1, 0x0D}, {2, 1}}, 16, 0), true, K::kOpenRequest, W::kNotIgnored, {1}},
      {"open request, bad sum", Report({{1, 0x0D}, {2, 1}}, 16, 0, kNoFix), true, K::kIgnored, W::kBadChecksum, {}},
      {"open request, not our product", Report({{1, 0x0D}, {2, 1}}), false, K::kIgnored, W::kNotOurProduct, {}},
      {"wheel, bad sum and foreign path still taken",
       Report({{0, 0x0B}, {1, 0x0B}, {2, 1}, {9, 0xFE}}, 16, 0, kNoFix), false, K::kHorizontalWheel,
       W::kNotIgnored, {-2, 1}},
      {"wheel with report ID 1", Report({{1, 0x0B}, {9, 3}}), true, K::kHorizontalWheel, W::kNotIgnored, {3, 0}},
      {"wheel of 10 bytes", Report({{0, 0x0B}, {1, 0x0B}, {9, 1}}, 10), true, K::kIgnored, W::kTooShort, {}},
      {"empty", {}, true, K::kIgnored, W::kTooShort, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const VendorReport r = ParseVendorReport(c.bytes, c.fromProduct);
    EXPECT_EQ(r.kind, c.kind);
    EXPECT_EQ(r.ignoredBecause, c.why);
    switch (c.kind) {
      case K::kState:
        EXPECT_EQ((std::vector<int>{r.level, r.x, r.y, r.profile, r.flags}), c.fields);
        EXPECT_EQ(r.raw, c.bytes);
        break;
      case K::kDisplayOnly:
        EXPECT_EQ(r.raw, c.bytes);
        break;
      case K::kOpenRequest:
        EXPECT_EQ(std::vector<int>{r.openValue}, c.fields);
        break;
      case K::kHorizontalWheel:
        EXPECT_EQ((std::vector<int>{r.wheelSteps, r.wheelButton}), c.fields);
        break;
      case K::kIgnored:
        EXPECT_TRUE(r.raw.empty());
        break;
    }
  }
}

}  // namespace
}  // namespace quorix::test
