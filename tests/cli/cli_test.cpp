// Argument checks shared by every command.
#include "cli/cli.h"

#include <gtest/gtest.h>

#include <string>

namespace quorix {
namespace {

TEST(ParseNumber, DecimalAndHexWithinTheRange) {
  EXPECT_EQ(ParseNumber("42", 0, 100, "n"), 42);
  EXPECT_EQ(ParseNumber("-3", -5, 5, "n"), -3);
  EXPECT_EQ(ParseNumber("0x1F", 0, 100, "n"), 31);
  EXPECT_EQ(ParseNumber("0Xff", 0, 255, "n"), 255);
}

TEST(ParseNumber, RejectsAnythingButDigits) {
  for (const std::string text : {"", "0x", "0x-5", "0x 5", "0x+5", " 5", "+5", "5 ", "12ab", "0xfg", "-", "1e3"}) {
    EXPECT_THROW(ParseNumber(text, -100, 100, "n"), CliError) << "\"" << text << "\"";
  }
}

TEST(ParseNumber, OutOfRangeNamesTheRange) {
  try {
    ParseNumber("0x100", 0, 255, "flags");
    FAIL() << "0x100 accepted for 0..255";
  } catch (const CliError& e) {
    EXPECT_EQ(e.message, "flags out of range (0..255): 0x100");
  }
  EXPECT_THROW(ParseNumber("99999999999999999999", 0, 10, "n"), CliError);
}

}  // namespace
}  // namespace quorix
