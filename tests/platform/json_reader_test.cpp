#include "platform/linux/json_reader.h"

#include <gtest/gtest.h>

namespace quorix {
namespace {

TEST(ParseJson, AcceptsDocumentsAndRefusesMalformedOnes) {
  const struct {
    const char* text;
    bool ok;
  } cases[] = {
      {R"({"a": [1, -2.5e3, true, false, null, "x"], "b": {}})", true},
      {" [ ] ", true},
      {R"("\u00e9\ud83d\ude00\n")", true},
      {"", false},
      {"{", false},
      {R"({"a" 1})", false},
      {"[1,]", false},
      {"[1] 2", false},  // bytes after the document
      {"01x", false},
      {R"("tab	inside")", false},  // a raw control character
      {R"("\q")", false},
      {"tru", false},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseJson(c.text).has_value(), c.ok) << c.text;
}

TEST(ParseJson, ReadsValuesAndStopsAtTheDepthLimit) {
  const auto doc = ParseJson(R"({"id": 94, "pid": 1234.0, "name": "caf\u00e9 \ud83d\ude00", "f": true, "x": 1.5})");
  ASSERT_TRUE(doc);
  EXPECT_EQ(doc->IntegerAt("id"), 94);
  EXPECT_EQ(doc->IntegerAt("pid"), 1234);
  EXPECT_EQ(doc->IntegerAt("x"), std::nullopt);  // not a whole number
  EXPECT_EQ(doc->IntegerAt("name"), std::nullopt);
  EXPECT_EQ(doc->StringAt("name"), "caf\xc3\xa9 \xf0\x9f\x98\x80");
  EXPECT_TRUE(doc->TrueAt("f"));
  EXPECT_FALSE(doc->TrueAt("missing"));
  const std::string deep = std::string(kJsonMaxDepth, '[') + std::string(kJsonMaxDepth, ']');
  EXPECT_TRUE(ParseJson(deep));
  const std::string tooDeep = std::string(kJsonMaxDepth + 2, '[') + std::string(kJsonMaxDepth + 2, ']');
  EXPECT_FALSE(ParseJson(tooDeep));
  EXPECT_FALSE(ParseJson(std::string(100000, '[')));  // refused, not a stack overflow
}

}  // namespace
}  // namespace quorix
