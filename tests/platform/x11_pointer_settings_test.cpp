#include "platform/linux/x11_pointer_settings.h"

#include <gtest/gtest.h>

#include "support/xvfb_session.h"

namespace quorix {
namespace {

TEST(X11PointerSettings, WithoutDisplayExplains) {
  const auto pointer = X11PointerSettings::Open(":9999");
  EXPECT_EQ(pointer.failure(), Failure::kUnavailable);
  EXPECT_NE(pointer.detail().find("X display"), std::string::npos);
}

TEST(X11PointerSettings, SwitchesCoreAccelerationOffAndOn) {
  test::XvfbSession session;
  if (!session.Ok()) GTEST_SKIP() << "no X server could be started (Xvfb)";
  auto pointerOpened = X11PointerSettings::Open(session.Display().c_str());
  ASSERT_TRUE(pointerOpened) << pointerOpened.detail();
  auto pointer = std::move(pointerOpened).value();

  pointer->SetAcceleration({4, 12, 2});
  PointerAcceleration now = pointer->GetAcceleration();
  EXPECT_EQ(now.threshold1, 4);
  EXPECT_EQ(now.acceleration, 2);

  pointer->SetAcceleration({0, 0, 0});
  now = pointer->GetAcceleration();
  EXPECT_EQ(now.threshold1, 0);
  EXPECT_EQ(now.acceleration, 0);

  // Xvfb's pointers have no libinput speed: the neutral speed, and setting
  // it is harmless.
  EXPECT_EQ(pointer->GetSpeed(), 10);
  pointer->SetSpeed(14);
  EXPECT_EQ(pointer->GetSpeed(), 10);
}

}  // namespace
}  // namespace quorix
