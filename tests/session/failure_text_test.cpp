#include "session/failure_text.h"

#include <gtest/gtest.h>

#include <string>

#include "options/language_setting.h"

namespace quorix::test {
namespace {

constexpr Failure kAllFailures[] = {
    Failure::kNoDevice,     Failure::kStoppedAnswering, Failure::kDeviceGone,     Failure::kBadAnswers,
    Failure::kLockBusy,     Failure::kCancelled,        Failure::kDeclined,       Failure::kInvalidArgument,
    Failure::kLackOfSpace,  Failure::kInvalidFormat,    Failure::kCannotReadFile, Failure::kCannotWriteFile,
    Failure::kNotSupported, Failure::kInternalError,    Failure::kLastLevelOn,    Failure::kUnavailable,
};

TEST(FailureText, PicksAndJoinsTheTextsOfTheUsersLanguage) {
  const TextTables english = DefaultTextTables();
  const struct {
    Failure failure;
    FailedWhile during;
    std::string text;
  } cases[] = {
      {Failure::kNone, FailedWhile::kWriting, ""},
      {Failure::kNoDevice, FailedWhile::kWriting, "No device !!"},
      {Failure::kLackOfSpace, FailedWhile::kWriting, "Lack of space !!"},
      {Failure::kInvalidFormat, FailedWhile::kReading, "invalid format !!"},
      {Failure::kStoppedAnswering, FailedWhile::kWriting,
       "the mouse stopped answering; settings may be partly written \u2014 run the command again"},
      {Failure::kDeviceGone, FailedWhile::kReading, "the mouse was unplugged \u2014 run the command again"},
      {Failure::kLockBusy, FailedWhile::kWriting, "another program is using the mouse"},
  };
  for (const auto& c : cases) EXPECT_EQ(FailureText(english, c.failure, c.during), c.text) << c.text;

  // Every failure has its own text in each shipped language, and the
  // translated pieces are joined the same way.
  for (const int language : {1041, 1028}) {
    TextTables texts = DefaultTextTables();
    ASSERT_TRUE(LoadLanguageFile(texts, std::string(QUORIX_SOURCE_DATA_DIR) + "/language.ini", language));
    for (const Failure failure : kAllFailures) {
      const std::string text = FailureText(texts, failure, FailedWhile::kWriting);
      EXPECT_FALSE(text.empty()) << language;
      EXPECT_NE(text, FailureText(english, failure, FailedWhile::kWriting)) << language << " " << text;
    }
    EXPECT_EQ(FailureText(texts, Failure::kDeviceGone, FailedWhile::kReading),
              texts.failureStr[1] + " \u2014 " + texts.failureStr[9]);
  }
}

}  // namespace
}  // namespace quorix::test
