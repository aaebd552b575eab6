#include <gtest/gtest.h>
#include <linux/input-event-codes.h>

#include <poll.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/linux/evdev_input_capture.h"
#include "platform/linux/evdev_translator.h"
#include "platform/linux/reader_thread.h"
#include "support/temp_dir.h"

namespace quorix {
namespace {

struct Raw {
  int type, code, value;
};

std::string Describe(const std::vector<InputEvent>& events) {
  std::string text;
  for (const auto& e : events) {
    switch (e.kind) {
      case InputEvent::Kind::kKey:
        text += (e.down ? "down " : "up ") + std::to_string(e.makeCode) + (e.e0 ? "e0;" : ";");
        break;
      case InputEvent::Kind::kButton:
        text += (e.down ? "press " : "release ") + std::to_string(e.button) + ";";
        break;
      case InputEvent::Kind::kWheel:
        text += "wheel " + std::to_string(e.wheelDelta) + ";";
        break;
      case InputEvent::Kind::kMotion:
        text += "move " + std::to_string(e.dx) + "," + std::to_string(e.dy) + ";";
        break;
      case InputEvent::Kind::kLost:
        text += "lost;";
        break;
    }
  }
  return text;
}

TEST(EvdevTranslator, TurnsDeviceEventsIntoCaptureEvents) {
  const struct {
    std::vector<Raw> raw;
    std::string expected;
  } cases[] = {
      {{{EV_KEY, KEY_A, 1}, {EV_SYN, SYN_REPORT, 0}, {EV_KEY, KEY_A, 2}, {EV_KEY, KEY_A, 0}},
       "down 30;down 30;up 30;"},  // a repeat is passed on as held
      {{{EV_KEY, KEY_UP, 1}, {EV_KEY, KEY_MUTE, 1}}, "down 72e0;"},
      {{{EV_KEY, BTN_LEFT, 1}, {EV_KEY, BTN_SIDE, 0}, {EV_KEY, BTN_EXTRA, 2}}, "press 1;release 8;"},
      {{{EV_REL, REL_X, 3}, {EV_REL, REL_Y, -2}, {EV_REL, REL_X, 1}, {EV_SYN, SYN_REPORT, 0}, {EV_SYN, SYN_REPORT, 0}},
       "move 4,-2;"},
      {{{EV_REL, REL_WHEEL, 1}, {EV_REL, REL_WHEEL, -2}, {EV_REL, REL_HWHEEL, 1}}, "wheel 120;wheel -240;"},
  };
  for (const auto& c : cases) {
    EvdevTranslator translator;
    std::vector<InputEvent> out;
    for (const auto& r : c.raw) translator.Feed(r.type, r.code, r.value, out);
    EXPECT_EQ(Describe(out), c.expected);
  }
}

TEST(EvdevInputCapture, WithoutReadableDevicesSaysWhatRecordingNeeds) {
  test::TempDir dir;
  std::ofstream(dir.Path("event0")) << "not a device";
  const auto capture = EvdevInputCapture::Open(dir.Root().string());
  EXPECT_EQ(capture.failure(), Failure::kUnavailable);
  const std::string& error = capture.detail();
  EXPECT_NE(error.find("X11"), std::string::npos);
  EXPECT_NE(error.find("\"input\" group"), std::string::npos);
  EXPECT_NE(error.find("passwords"), std::string::npos);  // what membership grants
}

// The thread both captures read on: a body blocked in poll() ends on Stop
// from outside, a body that stops itself is not waited for by itself, and a
// new reading is not woken by the wake-ups an earlier one left behind.
TEST(ReaderThread, StopsABlockedReadingAndOneThatStopsItself) {
  auto readerOpened = ReaderThread::Create();
  ASSERT_TRUE(readerOpened) << readerOpened.detail();
  auto reader = std::move(readerOpened).value();
  std::atomic<int> bodies{0};
  std::atomic<int> earlyWakeUps{0};
  const auto blockedBody = [&]() -> ReaderThread::Body {
    return [&] {
      pollfd wake{reader->WakeFd(), POLLIN, 0};
      poll(&wake, 1, -1);
      if (!reader->Stopping()) ++earlyWakeUps;
      ++bodies;
    };
  };
  EXPECT_FALSE(reader->Start([] { return ReaderThread::Body(); }));
  EXPECT_FALSE(reader->Running());

  ASSERT_TRUE(reader->Start(blockedBody));
  EXPECT_TRUE(reader->Start([]() -> ReaderThread::Body {
    ADD_FAILURE() << "a running reading was prepared again";
    return {};
  }));
  reader->Stop();
  EXPECT_FALSE(reader->Running());
  EXPECT_EQ(bodies, 1);

  ASSERT_TRUE(reader->Start([&]() -> ReaderThread::Body {
    return [&] {
      reader->Stop();
      ++bodies;
    };
  }));
  for (int i = 0; i < 500 && bodies < 2; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  ASSERT_EQ(bodies, 2) << "Stop from inside the reading waited for itself";
  EXPECT_FALSE(reader->Running());

  ASSERT_TRUE(reader->Start(blockedBody));
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_TRUE(reader->Running());
  reader->Stop();
  EXPECT_EQ(bodies, 3);
  EXPECT_EQ(earlyWakeUps, 0);
}

}  // namespace
}  // namespace quorix
