#include "platform/linux/sway_ipc.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/linux/sway_pointer_settings.h"

namespace quorix {
namespace {

TEST(SwayIpcFraming, WholeMessagesOnlyAndGarbageIsRefused) {
  std::string buffer =
      EncodeSwayMessage(sway::kWindowEvent, R"({"change":"focus"})") + EncodeSwayMessage(sway::kGetTree, "{}");
  const std::string whole = buffer;
  bool malformed = true;
  // Byte by byte: nothing until a message is complete.
  std::string partial;
  std::vector<SwayMessage> taken;
  for (char c : whole) {
    partial += c;
    while (auto message = TakeSwayMessage(partial, malformed)) taken.push_back(*message);
    ASSERT_FALSE(malformed);
  }
  ASSERT_EQ(taken.size(), 2u);
  EXPECT_EQ(taken[0].type, sway::kWindowEvent);
  EXPECT_EQ(taken[0].payload, R"({"change":"focus"})");
  EXPECT_EQ(taken[1].type, sway::kGetTree);
  EXPECT_TRUE(partial.empty());

  for (std::string bad : {std::string("i3-ipX"), std::string("GET / HTTP/1.1\r\n"),
                          EncodeSwayMessage(1, "").substr(0, 6) + std::string("\xff\xff\xff\x7f", 4) + "abcd"}) {
    EXPECT_FALSE(TakeSwayMessage(bad, malformed));
    EXPECT_TRUE(malformed) << bad;
  }
}

TEST(SwayTree, FocusedWindowWhereverItSits) {
  const struct {
    const char* name;
    const char* tree;
    SwayFocus focus;
  } cases[] = {
      {"tiled",
       R"({"id":1,"type":"root","nodes":[{"id":3,"type":"output","nodes":[{"id":4,"type":"workspace",
         "nodes":[{"id":7,"type":"con","pid":100,"focused":false},{"id":8,"type":"con","pid":200,"focused":true}],
         "floating_nodes":[]}]}]})",
       {8, 200}},
      {"floating",
       R"({"id":1,"type":"root","nodes":[{"id":4,"type":"workspace","nodes":[],
         "floating_nodes":[{"id":9,"type":"floating_con","pid":300,"focused":true}]}]})",
       {9, 300}},
      {"empty workspace", R"({"id":1,"type":"root","nodes":[{"id":4,"type":"workspace","focused":true}]})", {}},
      {"no pid", R"({"id":1,"nodes":[{"id":5,"type":"con","focused":true}]})", {5, 0}},
      {"nothing focused", R"({"id":1,"nodes":[]})", {}},
  };
  for (const auto& c : cases) {
    const auto tree = ParseJson(c.tree);
    ASSERT_TRUE(tree) << c.name;
    EXPECT_EQ(FocusedInTree(*tree), c.focus) << c.name;
  }
}

TEST(SwayPointerSettings, FactsAndCommandsInTheCNotation) {
  const auto none = ParseJson(R"([{"type":"keyboard"},{"type":"pointer"}])");  // no libinput section
  ASSERT_TRUE(none);
  EXPECT_FALSE(PointerFactsOfInputs(*none));
  const auto mixed = ParseJson(R"([{"type":"pointer","libinput":{"accel_profile":"flat","accel_speed":-0.5}},
                                  {"type":"pointer","libinput":{"accel_profile":"adaptive","accel_speed":0.0}}])");
  ASSERT_TRUE(mixed);
  const auto facts = PointerFactsOfInputs(*mixed);
  ASSERT_TRUE(facts);
  EXPECT_TRUE(facts->adaptive);  // any pointer with acceleration counts
  EXPECT_DOUBLE_EQ(facts->speed, -0.5);
  const std::pair<int, const char*> speeds[] = {{1, "-0.9"}, {5, "-0.5"}, {10, "0.0"}, {13, "0.3"},
                                                {20, "1.0"}, {25, "1.0"}, {-3, "-1.0"}};
  for (const auto& [speed, text] : speeds) {
    EXPECT_EQ(SpeedCommand(speed), std::string("input type:pointer pointer_accel ") + text);
  }
}

}  // namespace
}  // namespace quorix
