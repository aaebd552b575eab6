#include "platform/linux/evdev_input_capture.h"

#include <fcntl.h>
#include <libevdev/libevdev.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>

#include "platform/linux/evdev_translator.h"

namespace quorix {

namespace {

bool IsKeyboardOrMouse(int fd) {
  libevdev* device = nullptr;
  if (libevdev_new_from_fd(fd, &device) != 0) return false;
  const bool wanted = libevdev_has_event_code(device, EV_KEY, KEY_A) ||
                      libevdev_has_event_code(device, EV_REL, REL_X) ||
                      libevdev_has_event_code(device, EV_KEY, BTN_LEFT);
  libevdev_free(device);
  return wanted;
}

}  // namespace

Result<std::unique_ptr<EvdevInputCapture>> EvdevInputCapture::Open(const std::string& folder) {
  std::vector<std::string> devices;
  bool denied = false;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
    const std::string name = entry.path().filename().string();
    if (name.rfind("event", 0) != 0) continue;
    const int fd = open(entry.path().c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
      denied = denied || errno == EACCES || errno == EPERM;
      continue;
    }
    if (IsKeyboardOrMouse(fd)) devices.push_back(entry.path().string());
    close(fd);
  }
  std::sort(devices.begin(), devices.end());
  if (devices.empty()) {
    return Outcome(Failure::kUnavailable,
                   std::string(kRecordingNeedsText) +
                       (denied ? " The input devices cannot be opened: you are not a member of the \"input\" group."
                               : " No keyboard or mouse device can be read."));
  }
  auto reader = ReaderThread::Create();
  if (!reader) return reader.outcome();
  return std::unique_ptr<EvdevInputCapture>(new EvdevInputCapture(std::move(devices), std::move(reader).value()));
}

EvdevInputCapture::EvdevInputCapture(std::vector<std::string> devices, std::unique_ptr<ReaderThread> reader)
    : devices_(std::move(devices)), reader_(std::move(reader)) {}

EvdevInputCapture::~EvdevInputCapture() { Stop(); }

Outcome EvdevInputCapture::Start(Callback callback) {
  const bool started = reader_->Start([&]() -> ReaderThread::Body {
    std::vector<int> fds;
    for (const auto& path : devices_) {
      const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
      if (fd >= 0) fds.push_back(fd);
    }
    if (fds.empty()) return {};
    callback_ = std::move(callback);
    return [this, fds = std::move(fds)] { Run(fds); };
  });
  if (started) return {};
  return Outcome(Failure::kUnavailable,
                 std::string(kRecordingNeedsText) + " The input devices can no longer be opened.");
}

void EvdevInputCapture::Stop() { reader_->Stop(); }

void EvdevInputCapture::Run(std::vector<int> fds) {
  struct Source {
    int fd;
    libevdev* device;
    EvdevTranslator translator;
  };
  std::vector<Source> sources;
  for (int fd : fds) {
    libevdev* device = nullptr;
    if (libevdev_new_from_fd(fd, &device) == 0) {
      sources.push_back({fd, device, {}});
    } else {
      close(fd);
    }
  }
  std::vector<InputEvent> events;
  while (!reader_->Stopping() && !sources.empty()) {
    std::vector<pollfd> polled;
    for (const auto& s : sources) polled.push_back({s.fd, POLLIN, 0});
    polled.push_back({reader_->WakeFd(), POLLIN, 0});
    if (poll(polled.data(), polled.size(), -1) < 0) continue;
    for (size_t i = 0; i < sources.size() && !reader_->Stopping();) {
      auto& source = sources[i];
      bool gone = (polled[i].revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
      if (!gone && (polled[i].revents & POLLIN) != 0) {
        input_event ev{};
        unsigned flags = LIBEVDEV_READ_FLAG_NORMAL;
        for (;;) {
          const int rc = libevdev_next_event(source.device, flags, &ev);
          if (rc == LIBEVDEV_READ_STATUS_SYNC) {
            flags = LIBEVDEV_READ_FLAG_SYNC;  // events dropped by the kernel: catch up on the state
            continue;
          }
          if (rc == -EAGAIN && flags == LIBEVDEV_READ_FLAG_SYNC) {
            flags = LIBEVDEV_READ_FLAG_NORMAL;
            continue;
          }
          if (rc != LIBEVDEV_READ_STATUS_SUCCESS) {
            gone = rc != -EAGAIN;
            break;
          }
          if (flags == LIBEVDEV_READ_FLAG_NORMAL) source.translator.Feed(ev.type, ev.code, ev.value, events);
        }
      }
      for (const auto& e : events) {
        if (!reader_->Stopping()) callback_(e);
      }
      events.clear();
      if (gone) {
        libevdev_free(source.device);
        close(source.fd);
        sources.erase(sources.begin() + static_cast<std::ptrdiff_t>(i));
        polled.erase(polled.begin() + static_cast<std::ptrdiff_t>(i));
      } else {
        ++i;
      }
    }
  }
  const bool lost = !reader_->Stopping() && sources.empty();
  for (auto& s : sources) {
    libevdev_free(s.device);
    close(s.fd);
  }
  if (lost) {
    InputEvent event;
    event.kind = InputEvent::Kind::kLost;
    callback_(event);
  }
}

}  // namespace quorix
