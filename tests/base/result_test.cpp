#include "base/result.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace quorix {
namespace {

TEST(Result, CarriesTheValueOnlyWhenDone) {
  Result<std::unique_ptr<int>> done = std::make_unique<int>(7);
  ASSERT_TRUE(done);
  EXPECT_EQ(**done, 7);
  EXPECT_EQ(done.failure(), Failure::kNone);
  std::unique_ptr<int> taken = std::move(done).value();
  EXPECT_EQ(*taken, 7);

  Result<int> failed(Failure::kCannotReadFile, "set.ini (Permission denied)");
  EXPECT_FALSE(failed);
  EXPECT_EQ(failed.failure(), Failure::kCannotReadFile);
  EXPECT_EQ(failed.detail(), "set.ini (Permission denied)");
}

TEST(Result, ADoneOutcomeWithoutAValueIsNotTrusted) {
  Result<int> odd{Outcome{}};
  EXPECT_FALSE(odd);
  EXPECT_EQ(odd.failure(), Failure::kInternalError);
}

// A factory of an interface hands on what its implementation's factory made,
// or why it made nothing.
TEST(Result, AMoreSpecificResultConvertsWithItsValueOrItsFailure) {
  struct Base {
    virtual ~Base() = default;
  };
  struct Derived : Base {};
  Result<std::unique_ptr<Base>> made = Result<std::unique_ptr<Derived>>(std::make_unique<Derived>());
  ASSERT_TRUE(made);
  EXPECT_NE(dynamic_cast<Derived*>(made->get()), nullptr);
  Result<std::unique_ptr<Base>> none = Result<std::unique_ptr<Derived>>(Failure::kUnavailable, "no display");
  EXPECT_EQ(none.failure(), Failure::kUnavailable);
  EXPECT_EQ(none.detail(), "no display");
}

TEST(Outcome, EqualWhenItEndsTheSameWayWhateverTheDetail) {
  EXPECT_EQ(Outcome(Failure::kCannotWriteFile, "a"), Outcome(Failure::kCannotWriteFile, "b"));
  EXPECT_NE(Outcome(Failure::kCannotWriteFile), Outcome(Failure::kCannotReadFile));
  EXPECT_TRUE(Outcome());
  EXPECT_FALSE(Outcome(Failure::kCancelled));
}

}  // namespace
}  // namespace quorix
