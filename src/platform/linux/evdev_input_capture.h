#pragma once
// Global input read straight from the input devices (/dev/input/event*),
// for sessions where the display server hands out no global input (Wayland).
// Only the devices the user may read are used: normally that needs
// membership of the "input" group. Devices are opened only while the capture
// runs. The pointer's screen position is not known here; motion is relative.

#include <memory>
#include <string>
#include <vector>

#include "platform/input_capture.h"
#include "platform/linux/reader_thread.h"

namespace quorix {

// The sentence shown when no global input can be read.
inline constexpr const char* kRecordingNeedsText =
    "Recording macros needs an X11 session, or membership of the \"input\" group to read the keyboard and mouse "
    "devices directly. Membership of that group lets every program you run read all keyboard and mouse input, "
    "including what you type into other programs and passwords, at any time.";

class EvdevInputCapture final : public InputCapture {
 public:
  // Finds the keyboards and mice in folder that can be opened for reading;
  // kUnavailable, with a sentence for the user, when there is none.
  static Result<std::unique_ptr<EvdevInputCapture>> Open(const std::string& folder);
  ~EvdevInputCapture() override;
  EvdevInputCapture(const EvdevInputCapture&) = delete;
  EvdevInputCapture& operator=(const EvdevInputCapture&) = delete;

  Outcome Start(Callback callback) override;
  void Stop() override;
  bool Running() const override { return reader_->Running(); }

  const std::vector<std::string>& Devices() const { return devices_; }

 private:
  EvdevInputCapture(std::vector<std::string> devices, std::unique_ptr<ReaderThread> reader);
  void Run(std::vector<int> fds);

  const std::vector<std::string> devices_;
  Callback callback_;
  const std::unique_ptr<ReaderThread> reader_;
};

}  // namespace quorix
