// When the tray menu opens after clicks, in virtual time.
#include "session/models/tray_clicks.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/fake_clock.h"

namespace quorix::test {
namespace {

TEST(TrayClicks, MenuDelaysAndDoubleClicks) {
  // Steps: 'L' left release, 'R' right release, 'D' double click followed by
  // a release, 'd' one without; digits advance the clock by that many
  // 10 ms. Expected: the times (ms) the menu opened.
  struct Row {
    const char* steps;
    std::vector<int64_t> menus;
  };
  const std::vector<Row> rows = {
      {"R99", {10}},
      {"L9999999999", {500}},
      {"L5L99999999", {550}},     // a second click pushes the menu back
      {"L2DL99999999", {}},       // no menu after a double click and its release
      {"L2DL9L99999999", {610}},  // the next click opens it again
      {"L2d9L99999999", {610}},   // a double click that ends on the press
  };
  for (const Row& row : rows) {
    FakeClock clock;
    const int64_t start = clock.NowMs();
    TrayClicks clicks(clock);
    std::vector<int64_t> menus;
    auto advance = [&](int64_t ms) {
      for (int64_t i = 0; i < ms; ++i) {
        clock.Advance(1);
        if (clicks.Poll()) menus.push_back(clock.NowMs() - start);
      }
    };
    for (const char* s = row.steps; *s != '\0'; ++s) {
      switch (*s) {
        case 'L': clicks.LeftRelease(); break;
        case 'R': clicks.RightRelease(); break;
        case 'D': clicks.DoubleClick(true); break;
        case 'd': clicks.DoubleClick(false); break;
        default: advance((*s - '0') * 10);
      }
    }
    EXPECT_EQ(menus, row.menus) << row.steps;
  }
}

}  // namespace
}  // namespace quorix::test
