#pragma once
// An InputCapture driven by the test: Feed delivers an event to the callback
// on the test's thread, as the capture's own thread would, and only while
// started (a stopped capture reads nothing). Start can be told to fail.

#include <string>
#include <utility>

#include "platform/input_capture.h"

namespace quorix::test {

class FakeInputCapture final : public InputCapture {
 public:
  Outcome Start(Callback callback) override {
    if (!failWith.empty()) return Outcome(Failure::kUnavailable, failWith);
    if (running_) return {};
    callback_ = std::move(callback);
    running_ = true;
    ++starts;
    return {};
  }
  void Stop() override {
    if (running_) ++stops;
    running_ = false;
  }
  bool Running() const override { return running_; }

  // Delivers the event when running; false when it was dropped.
  bool Feed(const InputEvent& event) {
    if (!running_) return false;
    callback_(event);
    return true;
  }

  std::string failWith;  // non-empty: Start fails with this reason
  int starts = 0;
  int stops = 0;

 private:
  bool running_ = false;
  Callback callback_;
};

// A key of the given set-1 make code going down or up.
inline InputEvent KeyInput(int makeCode, bool down) {
  InputEvent e;
  e.kind = InputEvent::Kind::kKey;
  e.makeCode = makeCode;
  e.down = down;
  return e;
}

}  // namespace quorix::test
