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

std::unique_ptr<EvdevInputCapture> EvdevInputCapture::Open(const std::string& folder, std::string* error) {
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
    if (error) {
      *error = std::string(kRecordingNeedsText) +
               (denied ? " The input devices cannot be opened: you are not a member of the \"input\" group."
                       : " No keyboard or mouse device can be read.");
    }
    return nullptr;
  }
  int fds[2];
  if (pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) {
    if (error) *error = "Cannot create a pipe.";
    return nullptr;
  }
  return std::unique_ptr<EvdevInputCapture>(new EvdevInputCapture(std::move(devices), fds[0], fds[1]));
}

EvdevInputCapture::EvdevInputCapture(std::vector<std::string> devices, int wakeRead, int wakeWrite)
    : devices_(std::move(devices)), wakeRead_(wakeRead), wakeWrite_(wakeWrite) {}

EvdevInputCapture::~EvdevInputCapture() {
  Stop();
  close(wakeRead_);
  close(wakeWrite_);
}

bool EvdevInputCapture::Start(Callback callback, std::string* error) {
  std::lock_guard<std::mutex> control(controlMutex_);
  if (Running()) return true;
  // A reading stopped from inside its callback ends without being waited for.
  if (thread_.joinable()) thread_.join();
  std::vector<int> fds;
  for (const auto& path : devices_) {
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0) fds.push_back(fd);
  }
  if (fds.empty()) {
    if (error) *error = std::string(kRecordingNeedsText) + " The input devices can no longer be opened.";
    return false;
  }
  char drain[64];
  while (read(wakeRead_, drain, sizeof drain) > 0) {
  }
  callback_ = std::move(callback);
  stop_ = false;
  running_ = true;
  thread_ = std::thread([this, fds = std::move(fds)] { Run(fds); });
  return true;
}

void EvdevInputCapture::Stop() {
  stop_ = true;
  const char wake = 1;
  [[maybe_unused]] ssize_t n = write(wakeWrite_, &wake, 1);
  // From the callback: the reading ends as soon as it returns.
  if (std::this_thread::get_id() == readerId_.load()) return;
  std::lock_guard<std::mutex> control(controlMutex_);
  if (thread_.joinable()) thread_.join();
}

void EvdevInputCapture::Run(std::vector<int> fds) {
  readerId_ = std::this_thread::get_id();
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
  while (!stop_ && !sources.empty()) {
    std::vector<pollfd> polled;
    for (const auto& s : sources) polled.push_back({s.fd, POLLIN, 0});
    polled.push_back({wakeRead_, POLLIN, 0});
    if (poll(polled.data(), polled.size(), -1) < 0) continue;
    for (size_t i = 0; i < sources.size() && !stop_;) {
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
        if (!stop_) callback_(e);
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
  const bool lost = !stop_ && sources.empty();
  for (auto& s : sources) {
    libevdev_free(s.device);
    close(s.fd);
  }
  if (lost) {
    InputEvent event;
    event.kind = InputEvent::Kind::kLost;
    callback_(event);
  }
  readerId_ = std::thread::id();  // ids are reused once a thread has ended
  running_ = false;
}

}  // namespace quorix
