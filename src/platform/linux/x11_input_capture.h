#pragma once
// Global input on an X11 display through XInput2 raw events on the root
// window: key presses and releases, button presses and releases, and raw
// motion, from every client's point of view. The raw events are selected only
// while the capture runs and deselected when it stops, so an idle capture
// receives nothing. The pointer's position comes from a pointer query at each
// mouse event.

#include <atomic>
#include <memory>
#include <mutex>
#include <string>

#include "platform/input_capture.h"
#include "platform/linux/reader_thread.h"

struct _XDisplay;

namespace quorix {

class X11InputCapture final : public InputCapture {
 public:
  // Connects to displayName (nullptr: $DISPLAY); kUnavailable when the
  // display or XInput 2.2 is missing.
  static Result<std::unique_ptr<X11InputCapture>> Open(const char* displayName);
  ~X11InputCapture() override;
  X11InputCapture(const X11InputCapture&) = delete;
  X11InputCapture& operator=(const X11InputCapture&) = delete;

  Outcome Start(Callback callback) override;
  void Stop() override;
  bool Running() const override { return reader_->Running(); }

  // How many XInput2 event types this capture has selected on the root
  // window: 0 whenever it is stopped.
  int SelectedEventCount();

 private:
  X11InputCapture(_XDisplay* display, int opcode, std::unique_ptr<ReaderThread> reader);
  bool Select(bool on);  // xMutex_ held
  void Run();
  void Handle(void* rawEvent, int type);  // xMutex_ held

  _XDisplay* display_;
  const int opcode_;
  std::mutex xMutex_;  // one thread at a time on the display connection
  Callback callback_;
  const std::unique_ptr<ReaderThread> reader_;
  std::atomic<bool> connectionLost_{false};  // set by Xlib's I/O error exit handler
};

}  // namespace quorix
