#include "platform/linux/x11_input_capture.h"

#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
#include <poll.h>

#include <cmath>
#include <cstdlib>
#include <mutex>
#include <vector>

#include "platform/linux/evdev_scan_codes.h"
#include "platform/linux/x11_error_trap.h"

namespace quorix {

namespace {

constexpr int kEvdevOffset = 8;  // X keycodes are evdev codes + 8

// X button numbers to the recorder's button bits; 4 and 5 are the wheel.
int ButtonBit(int button) {
  switch (button) {
    case 1: return 0x01;
    case 2: return 0x04;
    case 3: return 0x02;
    case 8: return 0x08;
    case 9: return 0x10;
    default: return 0;
  }
}

// Xlib's default I/O error handler ends the process. The captures' displays
// go through the per-display exit handler instead; every other display keeps
// the handler it had.
std::mutex gDisplaysMutex;
std::vector<Display*> gCaptureDisplays;
XIOErrorHandler gPreviousIoHandler = nullptr;

int IoErrorHandler(Display* display) {
  {
    std::lock_guard<std::mutex> lock(gDisplaysMutex);
    for (Display* d : gCaptureDisplays) {
      if (d == display) return 0;
    }
  }
  return gPreviousIoHandler != nullptr ? gPreviousIoHandler(display) : 0;
}

void WatchDisplay(Display* display, bool watch) {
  static std::once_flag installed;
  std::call_once(installed, [] { gPreviousIoHandler = XSetIOErrorHandler(IoErrorHandler); });
  std::lock_guard<std::mutex> lock(gDisplaysMutex);
  if (watch) {
    gCaptureDisplays.push_back(display);
  } else {
    std::erase(gCaptureDisplays, display);
  }
}

}  // namespace

Result<std::unique_ptr<X11InputCapture>> X11InputCapture::Open(const char* displayName) {
  const char* name = displayName != nullptr ? displayName : std::getenv("DISPLAY");
  if (name == nullptr || *name == '\0') {
    return Outcome(Failure::kUnavailable, "No X display is available (DISPLAY is not set).");
  }
  Display* display = XOpenDisplay(name);
  if (display == nullptr) {
    return Outcome(Failure::kUnavailable, std::string("Cannot open the X display \"") + name + "\".");
  }
  int opcode = 0, event = 0, errorBase = 0;
  int major = 2, minor = 2;
  if (!XQueryExtension(display, "XInputExtension", &opcode, &event, &errorBase) ||
      XIQueryVersion(display, &major, &minor) != Success) {
    XCloseDisplay(display);
    return Outcome(Failure::kUnavailable, "The X server has no XInput 2.2 extension.");
  }
  auto reader = ReaderThread::Create();
  if (!reader) {
    XCloseDisplay(display);
    return reader.outcome();
  }
  return std::unique_ptr<X11InputCapture>(new X11InputCapture(display, opcode, std::move(reader).value()));
}

X11InputCapture::X11InputCapture(_XDisplay* display, int opcode, std::unique_ptr<ReaderThread> reader)
    : display_(display), opcode_(opcode), reader_(std::move(reader)) {
  // Xlib ends the process when the server goes away; a recorder loses its
  // input instead, and the display is dead from then on.
  WatchDisplay(display_, true);
  XSetIOErrorExitHandler(
      display_, [](Display*, void* self) { static_cast<X11InputCapture*>(self)->connectionLost_ = true; }, this);
}

X11InputCapture::~X11InputCapture() {
  Stop();
  if (connectionLost_) {
    // Closing a display whose server went away still talks to it, and Xlib's
    // error path then releases a lock it no longer holds: the connection is
    // kept, unused, instead (once per lost server).
    static std::vector<Display*> lostDisplays;
    static std::mutex lostMutex;
    std::lock_guard<std::mutex> lock(lostMutex);
    lostDisplays.push_back(display_);
  } else {
    XCloseDisplay(display_);
    WatchDisplay(display_, false);
  }
}

bool X11InputCapture::Select(bool on) {
  ScopedErrorTrap trap(display_);
  std::vector<unsigned char> bits(XIMaskLen(XI_LASTEVENT), 0);
  if (on) {
    for (int type : {XI_RawKeyPress, XI_RawKeyRelease, XI_RawButtonPress, XI_RawButtonRelease, XI_RawMotion}) {
      XISetMask(bits.data(), type);
    }
  }
  XIEventMask mask{XIAllMasterDevices, static_cast<int>(bits.size()), bits.data()};
  return XISelectEvents(display_, DefaultRootWindow(display_), &mask, 1) == Success;
}

Outcome X11InputCapture::Start(Callback callback) {
  // The reader asks for the body on this thread, before Start returns.
  std::string why;
  const bool started = reader_->Start([&]() -> ReaderThread::Body {
    if (connectionLost_) {
      why = "The connection to the X display was lost.";
      return {};
    }
    {
      std::lock_guard<std::mutex> lock(xMutex_);
      if (!Select(true) || connectionLost_) {
        why = "The X server refused the raw input events.";
        return {};
      }
    }
    callback_ = std::move(callback);
    return [this] { Run(); };
  });
  if (started) return {};
  return Outcome(Failure::kUnavailable, why);
}

void X11InputCapture::Stop() { reader_->Stop(); }

int X11InputCapture::SelectedEventCount() {
  std::lock_guard<std::mutex> lock(xMutex_);
  ScopedErrorTrap trap(display_);
  int count = 0;
  XIEventMask* masks = XIGetSelectedEvents(display_, DefaultRootWindow(display_), &count);
  int selected = 0;
  for (int i = 0; masks != nullptr && i < count; ++i) {
    for (int type = 0; type <= XI_LASTEVENT && type < masks[i].mask_len * 8; ++type) {
      if (XIMaskIsSet(masks[i].mask, type)) ++selected;
    }
  }
  if (masks != nullptr) XFree(masks);
  return selected;
}

void X11InputCapture::Run() {
  bool lost = false;
  const int xfd = ConnectionNumber(display_);
  while (!reader_->Stopping()) {
    {
      std::lock_guard<std::mutex> lock(xMutex_);
      while (!reader_->Stopping() && XPending(display_) > 0) {
        XEvent event;
        XNextEvent(display_, &event);
        XGenericEventCookie* cookie = &event.xcookie;
        if (cookie->type != GenericEvent || cookie->extension != opcode_ || !XGetEventData(display_, cookie)) {
          continue;
        }
        Handle(cookie->data, cookie->evtype);
        XFreeEventData(display_, cookie);
      }
    }
    if (connectionLost_) {
      lost = true;
      break;
    }
    if (reader_->Stopping()) break;
    pollfd fds[2] = {{xfd, POLLIN, 0}, {reader_->WakeFd(), POLLIN, 0}};
    if (poll(fds, 2, -1) < 0) continue;
    if ((fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
      connectionLost_ = true;  // the server went: no more Xlib calls on this connection
      lost = true;
      break;
    }
  }
  if (!lost) {
    std::lock_guard<std::mutex> lock(xMutex_);
    Select(false);
  } else if (callback_) {
    InputEvent event;
    event.kind = InputEvent::Kind::kLost;
    callback_(event);
  }
}

void X11InputCapture::Handle(void* data, int type) {
  const auto* raw = static_cast<const XIRawEvent*>(data);
  InputEvent event;
  const auto addPosition = [&] {
    Window root = 0, child = 0;
    int rootX = 0, rootY = 0, winX = 0, winY = 0;
    unsigned int state = 0;
    if (XQueryPointer(display_, DefaultRootWindow(display_), &root, &child, &rootX, &rootY, &winX, &winY, &state)) {
      event.hasPosition = true;
      event.x = rootX;
      event.y = rootY;
    }
  };
  switch (type) {
    case XI_RawKeyPress:
    case XI_RawKeyRelease: {
      const auto code = SetOneFromEvdev(raw->detail - kEvdevOffset);
      if (!code) return;
      event.kind = InputEvent::Kind::kKey;
      event.down = type == XI_RawKeyPress;
      event.makeCode = code->makeCode;
      event.e0 = code->e0;
      break;
    }
    case XI_RawButtonPress:
    case XI_RawButtonRelease: {
      const bool down = type == XI_RawButtonPress;
      if (raw->detail == 4 || raw->detail == 5) {
        if (!down) return;  // a wheel notch is one press and release
        event.kind = InputEvent::Kind::kWheel;
        event.wheelDelta = raw->detail == 4 ? 120 : -120;
      } else {
        const int bit = ButtonBit(raw->detail);
        if (bit == 0) return;
        event.kind = InputEvent::Kind::kButton;
        event.down = down;
        event.button = bit;
      }
      addPosition();
      break;
    }
    case XI_RawMotion: {
      // The raw values follow the valuator mask: x and y are valuators 0 and 1.
      const double* value = raw->raw_values;
      double axes[2] = {0, 0};
      for (int axis = 0; axis < raw->valuators.mask_len * 8; ++axis) {
        if (!XIMaskIsSet(raw->valuators.mask, axis)) continue;
        if (axis < 2) axes[axis] = *value;
        ++value;
      }
      event.kind = InputEvent::Kind::kMotion;
      event.dx = static_cast<int>(std::lround(axes[0]));
      event.dy = static_cast<int>(std::lround(axes[1]));
      addPosition();
      break;
    }
    default:
      return;
  }
  callback_(event);
}

}  // namespace quorix
