// The text-entry dialog's typing rules per field.
#include "session/models/str_entry_rules.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace quorix::test {
namespace {

struct Row {
  char field;  // 't' text, 'n' number (limit 0xFFFF), 'x'/'y' coordinates relative, 'X'/'Y' absolute
  std::string text;
  char32_t key;
  int cursor;
  bool passes;
  std::optional<std::string> setText;
};

TEST(StrEntryRules, TypedKeys) {
  const std::vector<Row> rows = {
      {'t', "ab", kKeyEnter, 2, false, {}},
      {'t', "ab", U'-', 2, true, {}},
      {'n', "12", U'3', 2, true, {}},
      {'n', "12", U'a', 2, false, {}},
      {'n', "12", kKeyEnter, 2, false, {}},
      {'n', "12", kKeyBackspace, 2, true, {}},
      {'n', "65535", U'1', 5, false, "65535"},
      {'n', "70000", U'1', 5, false, "65535"},
      {'n', "6553", U'6', 4, true, {}},
      {'X', "", U'-', 0, false, {}},
      {'X', "32767", U'1', 5, false, "65535"},
      {'X', "32766", U'1', 5, true, {}},
      {'Y', "-5", U'1', 2, false, "0"},
      {'X', "-5", U'1', 2, true, {}},
      {'x', "", U'-', 0, true, {}},
      {'x', "12", U'-', 0, true, {}},
      {'x', "12", U'-', 1, false, {}},
      {'x', "-12", U'-', 0, false, {}},
      {'y', "32767", U'0', 5, false, "32767"},
      {'y', "-32769", U'0', 6, false, "-32768"},
      {'y', "-32768", U'0', 6, true, {}},
      {'x', "1", U'+', 1, false, {}},
  };
  for (const Row& r : rows) {
    TypedKeyResult got;
    switch (r.field) {
      case 't': got = TypeInTextField(r.key); break;
      case 'n': got = TypeInNumberField(r.text, r.key, 0xFFFF); break;
      default:
        got = TypeInCoordinateField(r.text, r.key, r.field == 'X' || r.field == 'Y', r.field == 'y' || r.field == 'Y',
                                    r.cursor);
    }
    SCOPED_TRACE(std::string(1, r.field) + " '" + r.text + "' key " + std::to_string(static_cast<int>(r.key)));
    EXPECT_EQ(got.passes, r.passes);
    EXPECT_EQ(got.setText, r.setText);
  }
}

TEST(StrEntryRules, NumbersAndCaptions) {
  EXPECT_EQ(DecimalValue(" -42x"), -42);
  EXPECT_EQ(DecimalValue("abc"), 0);
  EXPECT_EQ(DecimalValue(""), 0);
  EXPECT_EQ(WithoutAccessKey("\xe3\x81\xaf\xe3\x81\x84(&Y)", "(&Y)"), "\xe3\x81\xaf\xe3\x81\x84");
  EXPECT_EQ(WithoutAccessKey("&Yes", "(&Y)"), "Yes");
  EXPECT_EQ(WithoutAccessKey("No (&N)", "(&N)"), "No");
  EXPECT_EQ(WithoutAccessKey("Save && go", "(&N)"), "Save & go");
}

TEST(StrEntryRules, LiftTestCountdownTicksOnTheClockAndRestarts) {
  LiftTestCountdown countdown;
  EXPECT_EQ(countdown.NextDueMs(), std::nullopt);
  countdown.Start(500);
  // Each step: the clock, whether the seconds changed, the caption after.
  struct Step {
    int64_t now;
    bool changed;
    const char* caption;
  };
  const std::vector<Step> steps = {
      {500, false, "Test (5)"},  {1499, false, "Test (5)"}, {1500, true, "Test (4)"},
      {3700, true, "Test (2)"},  {5499, true, "Test (1)"},  {5500, true, "Test"},
      {20000, false, "Test"},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.now);
    EXPECT_EQ(countdown.Poll(step.now), step.changed);
    EXPECT_EQ(countdown.Caption("Test"), step.caption);
  }
  EXPECT_EQ(countdown.NextDueMs(), std::nullopt) << "an ended countdown wakes nobody";
  countdown.Start(30000);
  countdown.Poll(31000);
  countdown.Start(31200);
  EXPECT_EQ(countdown.Remaining(), 5);
  EXPECT_EQ(countdown.NextDueMs(), 32200);
}

}  // namespace
}  // namespace quorix::test
