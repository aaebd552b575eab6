// The acceleration switch gives the desktop back what the user had: on the
// fake pointer settings for every path, and on a real X server for the
// values the core pointer control keeps.
#include "options/acceleration_switch.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/linux/x11_pointer_settings.h"
#include "support/fake_pointer_settings.h"
#include "support/xvfb_session.h"

// Last: Xlib's macros (None, Bool) would break the headers above.
#include <X11/Xlib.h>

namespace quorix {
namespace {

TEST(AccelerationSwitch, TheUsersValuesComeBack) {
  using Steps = std::function<void(AccelerationSwitch&)>;
  struct Case {
    const char* name;
    PointerAcceleration user;
    Steps steps;
    PointerAcceleration whileRunning;  // after the steps
    int speedWhileRunning;
  };
  const PointerAcceleration on{4, 12, 2}, off{0, 0, 0};
  const std::vector<Case> cases = {
      {"checked at start, then quit", on, [](AccelerationSwitch& s) { s.Apply(true); }, off, 10},
      {"checked, then unchecked", on,
       [](AccelerationSwitch& s) {
         s.Apply(true);
         s.Apply(false);
       },
       on, 14},
      {"unchecked on a plain desktop turns it on until quit", off, [](AccelerationSwitch& s) { s.Apply(false); }, on,
       14},
      {"checked twice keeps the first values", {6, 18, 3},
       [](AccelerationSwitch& s) {
         s.Apply(true);
         s.Apply(true);
       },
       off, 10},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::FakePointerSettings pointer;
    pointer.acceleration = c.user;
    AccelerationSwitch accelerationSwitch(pointer);
    c.steps(accelerationSwitch);
    EXPECT_EQ(pointer.acceleration.threshold1, c.whileRunning.threshold1);
    EXPECT_EQ(pointer.acceleration.acceleration, c.whileRunning.acceleration);
    EXPECT_EQ(pointer.speed, c.speedWhileRunning);
    accelerationSwitch.GiveBack();
    EXPECT_EQ(pointer.acceleration.threshold1, c.user.threshold1);
    EXPECT_EQ(pointer.acceleration.threshold2, c.user.threshold2);
    EXPECT_EQ(pointer.acceleration.acceleration, c.user.acceleration);
    EXPECT_EQ(pointer.speed, 14);
    const size_t writes = pointer.accelerationWrites.size() + pointer.speedWrites.size();
    accelerationSwitch.GiveBack();
    EXPECT_EQ(pointer.accelerationWrites.size() + pointer.speedWrites.size(), writes) << "given back once";
  }
  test::FakePointerSettings untouched;
  AccelerationSwitch unused(untouched);
  unused.GiveBack();
  EXPECT_TRUE(untouched.Untouched()) << "a program that changed nothing writes nothing";
}

// A desktop with the X server's usual 2/1 above 4 pixels, switched off by
// the program's default and given back when it quits.
TEST(AccelerationSwitch, OnXTheCorePointerControlComesBack) {
  test::XvfbSession session;
  if (!session.Ok()) GTEST_SKIP() << "no X server could be started (Xvfb)";
  Display* display = XOpenDisplay(session.Display().c_str());
  ASSERT_NE(display, nullptr);
  XChangePointerControl(display, True, True, 2, 1, 4);
  XSync(display, False);
  const auto control = [display] {
    int numerator = 0, denominator = 0, threshold = 0;
    XGetPointerControl(display, &numerator, &denominator, &threshold);
    return std::vector<int>{numerator, denominator, threshold};
  };
  {
    auto pointerOpened = X11PointerSettings::Open(session.Display().c_str());
    ASSERT_TRUE(pointerOpened) << pointerOpened.detail();
    auto pointer = std::move(pointerOpened).value();
    AccelerationSwitch accelerationSwitch(*pointer);
    accelerationSwitch.Apply(true);
    EXPECT_EQ(control(), (std::vector<int>{1, 1, 0}));
    accelerationSwitch.GiveBack();
  }
  EXPECT_EQ(control(), (std::vector<int>{2, 1, 4}));
  XCloseDisplay(display);
}

}  // namespace
}  // namespace quorix
