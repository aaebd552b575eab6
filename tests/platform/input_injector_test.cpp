#include "platform/input_injector.h"

#include <gtest/gtest.h>
#include <linux/input.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "platform/linux/uinput_injector.h"

namespace quorix {
namespace {

struct NamedInjector final : InputInjector {
  explicit NamedInjector(std::string n) : name(std::move(n)) {}
  void ScrollHorizontal(int) override {}
  void MovePointerBy(int, int) override {}
  std::string name;
};

// XTest first, uinput next, else nothing and every reason.
TEST(ChooseInputInjector, TakesTheFirstThatOpensAndOtherwiseSaysWhyEachFailed) {
  struct Case {
    bool x11Opens, uinputOpens;
    const char* chosen;  // nullptr: none
    int uinputTries;
    const char* why;
  };
  const Case cases[] = {
      {true, true, "x11", 0, ""},
      {false, true, "uinput", 1, ""},
      {false, false, nullptr, 1, "no XTest\n/dev/uinput is not writable"},
  };
  for (const Case& c : cases) {
    int uinputTries = 0;
    std::vector<InputInjectorOpener> openers{
        [&]() -> Result<std::unique_ptr<InputInjector>> {
          if (c.x11Opens) return std::unique_ptr<InputInjector>(std::make_unique<NamedInjector>("x11"));
          return Outcome(Failure::kUnavailable, "no XTest");
        },
        [&]() -> Result<std::unique_ptr<InputInjector>> {
          ++uinputTries;
          if (c.uinputOpens) return std::unique_ptr<InputInjector>(std::make_unique<NamedInjector>("uinput"));
          return Outcome(Failure::kUnavailable, "/dev/uinput is not writable");
        }};
    const auto chosen = ChooseInputInjector(openers);
    SCOPED_TRACE(c.chosen ? c.chosen : "none");
    if (c.chosen == nullptr) {
      EXPECT_EQ(chosen.failure(), Failure::kUnavailable);
    } else {
      ASSERT_TRUE(chosen);
      EXPECT_EQ(static_cast<NamedInjector&>(**chosen).name, c.chosen);
    }
    EXPECT_EQ(uinputTries, c.uinputTries);
    EXPECT_EQ(chosen.detail(), c.why);
  }
}

// The records a pipe receives in place of the uinput node.
std::vector<input_event> Drain(int fd) {
  std::vector<input_event> events;
  input_event event{};
  while (read(fd, &event, sizeof event) == static_cast<ssize_t>(sizeof event)) events.push_back(event);
  return events;
}

TEST(UinputInjector, WritesRelativeFramesEachEndedByAReport) {
  struct Expected {
    uint16_t type, code;
    int32_t value;
  };
  using Inject = void (*)(InputInjector&);
  const std::pair<Inject, std::vector<Expected>> cases[] = {
      {[](InputInjector& i) { i.MovePointerBy(-120, 0); }, {{EV_REL, REL_X, -120}, {EV_SYN, SYN_REPORT, 0}}},
      {[](InputInjector& i) { i.MovePointerBy(3, -4); },
       {{EV_REL, REL_X, 3}, {EV_REL, REL_Y, -4}, {EV_SYN, SYN_REPORT, 0}}},
      {[](InputInjector& i) { i.MovePointerBy(0, 0); }, {}},
      // One frame per wheel click, so each is a step of its own.
      {[](InputInjector& i) { i.ScrollHorizontal(-2); },
       {{EV_REL, REL_HWHEEL, -1}, {EV_SYN, SYN_REPORT, 0}, {EV_REL, REL_HWHEEL, -1}, {EV_SYN, SYN_REPORT, 0}}},
      {[](InputInjector& i) { i.ScrollHorizontal(1); }, {{EV_REL, REL_HWHEEL, 1}, {EV_SYN, SYN_REPORT, 0}}},
  };
  for (size_t n = 0; n < std::size(cases); ++n) {
    SCOPED_TRACE(n);
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    {
      auto injector = UinputInjector::Adopt(fds[1]);  // closes the writing end
      cases[n].first(*injector);
    }
    const std::vector<input_event> got = Drain(fds[0]);
    close(fds[0]);
    ASSERT_EQ(got.size(), cases[n].second.size());
    for (size_t i = 0; i < got.size(); ++i) {
      EXPECT_EQ(got[i].type, cases[n].second[i].type) << i;
      EXPECT_EQ(got[i].code, cases[n].second[i].code) << i;
      EXPECT_EQ(got[i].value, cases[n].second[i].value) << i;
    }
  }
}

TEST(UinputInjector, OpenNamesTheNodeAndWhyItCannotBeUsed) {
  const std::filesystem::path folder = std::filesystem::path(testing::TempDir()) / "uinput_open";
  std::filesystem::create_directories(folder);
  const std::string plain = (folder / "plain").string();
  std::ofstream(plain) << "";
  const std::pair<std::string, std::string> cases[] = {
      {(folder / "missing").string(), "does not exist"},
      {plain, "is not a uinput device"},
  };
  for (const auto& [path, reason] : cases) {
    const auto opened = UinputInjector::Open(path);
    EXPECT_EQ(opened.failure(), Failure::kUnavailable) << path;
    EXPECT_NE(opened.detail().find(path), std::string::npos) << opened.detail();
    EXPECT_NE(opened.detail().find(reason), std::string::npos) << opened.detail();
  }
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace quorix
