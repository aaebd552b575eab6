// The on-screen display on a desktop overlay (the Wayland layer shell): what
// the panel shows goes there as a picture, the window itself stays hidden,
// and an overlay that refuses a picture hands the panel back to the window.

#include <gtest/gtest.h>

#include <QTest>
#include <string>
#include <vector>

#include "dialog_world.h"
#include "platform/overlay_surface.h"
#include "support/fake_clock.h"
#include "ui/windows/osd_window.h"

namespace quorix::test {
namespace {

// Records what the window asks of the overlay: "show WxH at X,Y" or "hide".
class FakeOverlay final : public OverlaySurface {
 public:
  bool Show(std::span<const uint32_t> pixels, int width, int height, int x, int y) override {
    calls.push_back("show " + std::to_string(width) + "x" + std::to_string(height) + " at " + std::to_string(x) + "," +
                    std::to_string(y));
    opaquePixels = 0;
    for (uint32_t pixel : pixels) opaquePixels += (pixel >> 24) != 0;
    return accept;
  }
  void Hide() override { calls.push_back("hide"); }
  std::vector<std::string> calls;
  size_t opaquePixels = 0;
  bool accept = true;
};

std::vector<uint8_t> LevelReport(int level) { return {1, 0x0C, static_cast<uint8_t>(level), 20, 30, 0, 0}; }

struct Step {
  enum Kind { kReport, kAdvanceMs, kHold } kind;
  int value;
  const char* call;  // the overlay's last call after the step; nullptr: the step makes none
};

class OsdOverlayTest : public ::testing::Test, protected DialogWorld {
 protected:
  OsdOverlayTest() : osd_(*env, clock_) { osd_.SetOverlay(&overlay_); }
  // Runs the step, then lets the window's timer (armed for at most one 20 ms
  // step of real time) fire for what is due now.
  void Run(const Step& step) {
    if (step.kind == Step::kReport) osd_.OnStateReport(LevelReport(step.value));
    if (step.kind == Step::kAdvanceMs) clock_.Advance(step.value);
    if (step.kind == Step::kHold) osd_.SetHeld(step.value != 0);
    QTest::qWait(3 * kOsdStepMs);
  }
  FakeClock clock_;
  FakeOverlay overlay_;
  ui::OsdWindow osd_;
};

TEST_F(OsdOverlayTest, ThePanelShowsOnTheOverlayAndLeavesItWhenDoneOrHeld) {
  const Step steps[] = {
      {Step::kReport, 2, "show 365x300 at 0,0"},      // fades in at the top-left corner
      {Step::kAdvanceMs, 20, "show 365x300 at 0,0"},  // the next step of the fade
      {Step::kAdvanceMs, 5000, "hide"},               // shown its time and faded out
      {Step::kAdvanceMs, 5000, nullptr},              // nothing while hidden
      {Step::kReport, 3, "show 365x300 at 0,0"},
      {Step::kHold, 1, "hide"},  // Button settings opened: off the screen at once
      {Step::kReport, 1, nullptr},
      {Step::kAdvanceMs, 20, nullptr},
  };
  for (const Step& step : steps) {
    const size_t before = overlay_.calls.size();
    Run(step);
    const std::string made = overlay_.calls.size() > before ? overlay_.calls.back() : "";
    EXPECT_EQ(made, step.call != nullptr ? step.call : "") << "step " << &step - steps;
  }
  EXPECT_FALSE(osd_.isVisible()) << "the window itself never shows";
}

TEST_F(OsdOverlayTest, ThePictureIsThePanelAndARefusedOneHandsThePanelBackToTheWindow) {
  Run({Step::kReport, 2, ""});
  ASSERT_EQ(overlay_.calls.size(), 1u);
  EXPECT_GT(overlay_.opaquePixels, 1000u) << "the panel's picture, not an empty one";

  overlay_.accept = false;
  Run({Step::kAdvanceMs, 20, ""});
  ASSERT_EQ(overlay_.calls.size(), 2u);
  Run({Step::kReport, 3, ""});
  Run({Step::kAdvanceMs, 20, ""});
  EXPECT_EQ(overlay_.calls.size(), 2u) << "a refusing overlay is asked no more";
  EXPECT_TRUE(osd_.isVisible()) << "the window shows the panel instead";
}

}  // namespace
}  // namespace quorix::test
