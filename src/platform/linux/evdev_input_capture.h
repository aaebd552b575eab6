#pragma once
// Global input read straight from the input devices (/dev/input/event*),
// for sessions where the display server hands out no global input (Wayland).
// Only the devices the user may read are used: normally that needs
// membership of the "input" group. Devices are opened only while the capture
// runs. The pointer's screen position is not known here; motion is relative.

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/input_capture.h"

namespace quorix {

// The sentence shown when no global input can be read.
inline constexpr const char* kRecordingNeedsText =
    "Recording macros needs an X11 session, or membership of the \"input\" group to read the keyboard and mouse "
    "devices directly. Membership of that group lets every program you run read all keyboard and mouse input, "
    "including what you type into other programs and passwords, at any time.";

class EvdevInputCapture final : public InputCapture {
 public:
  // Finds the keyboards and mice in folder that can be opened for reading;
  // nullptr and *error when there is none.
  static std::unique_ptr<EvdevInputCapture> Open(const std::string& folder, std::string* error);
  ~EvdevInputCapture() override;
  EvdevInputCapture(const EvdevInputCapture&) = delete;
  EvdevInputCapture& operator=(const EvdevInputCapture&) = delete;

  bool Start(Callback callback, std::string* error) override;
  void Stop() override;
  bool Running() const override { return running_ && !stop_; }

  const std::vector<std::string>& Devices() const { return devices_; }

 private:
  EvdevInputCapture(std::vector<std::string> devices, int wakeRead, int wakeWrite);
  void Run(std::vector<int> fds);

  const std::vector<std::string> devices_;
  const int wakeRead_;
  const int wakeWrite_;
  Callback callback_;
  std::mutex controlMutex_;  // Start and Stop from other threads than the reader
  std::thread thread_;
  std::atomic<std::thread::id> readerId_{};  // the reading thread, set by itself
  std::atomic<bool> stop_{false};
  std::atomic<bool> running_{false};
};

}  // namespace quorix
