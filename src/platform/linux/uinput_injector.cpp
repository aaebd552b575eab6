#include "platform/linux/uinput_injector.h"

#include <errno.h>
#include <fcntl.h>
#include <linux/uinput.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace quorix {
namespace {

std::string Reason(const std::string& path, int error) {
  if (error == ENOENT) return path + " does not exist (the uinput kernel module is not loaded)";
  if (error == EACCES || error == EPERM) return path + " is not writable by this user";
  return path + ": " + std::strerror(error);
}

// Declares what the virtual device sends and creates it; false leaves errno.
bool CreateDevice(int fd) {
  uinput_setup setup{};
  setup.id.bustype = BUS_VIRTUAL;
  std::strncpy(setup.name, kUinputDeviceName, UINPUT_MAX_NAME_SIZE - 1);
  return ioctl(fd, UI_SET_EVBIT, EV_KEY) == 0 && ioctl(fd, UI_SET_KEYBIT, BTN_LEFT) == 0 &&
         ioctl(fd, UI_SET_EVBIT, EV_REL) == 0 && ioctl(fd, UI_SET_RELBIT, REL_X) == 0 &&
         ioctl(fd, UI_SET_RELBIT, REL_Y) == 0 && ioctl(fd, UI_SET_RELBIT, REL_HWHEEL) == 0 &&
         ioctl(fd, UI_DEV_SETUP, &setup) == 0 && ioctl(fd, UI_DEV_CREATE) == 0;
}

}  // namespace

Result<std::unique_ptr<UinputInjector>> UinputInjector::Open(const std::string& path) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    return Outcome(Failure::kUnavailable, Reason(path, errno));
  }
  if (!CreateDevice(fd)) {
    const int reason = errno;
    ::close(fd);
    return Outcome(Failure::kUnavailable, reason == ENOTTY ? path + " is not a uinput device" : Reason(path, reason));
  }
  // The compositor picks the new device up through udev a moment later; the
  // program makes it at start-up, long before the first nudge.
  return Adopt(fd);
}

std::unique_ptr<UinputInjector> UinputInjector::Adopt(int fd) {
  return std::unique_ptr<UinputInjector>(new UinputInjector(fd));
}

UinputInjector::~UinputInjector() {
  ioctl(fd_, UI_DEV_DESTROY);
  ::close(fd_);
}

void UinputInjector::WriteFrame(const Event* events, size_t count) {
  std::vector<input_event> records(count + 1);
  for (size_t i = 0; i < count; ++i) {
    records[i].type = events[i].type;
    records[i].code = events[i].code;
    records[i].value = events[i].value;
  }
  records[count].type = EV_SYN;
  records[count].code = SYN_REPORT;  // value 0; the kernel stamps the times
  const char* bytes = reinterpret_cast<const char*>(records.data());
  size_t left = records.size() * sizeof(input_event);
  while (left > 0) {
    const ssize_t written = ::write(fd_, bytes, left);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return;  // a lost nudge or click is not worth more than that
    bytes += written;
    left -= static_cast<size_t>(written);
  }
}

void UinputInjector::ScrollHorizontal(int steps) {
  if (steps == 0) return;
  // One frame per click, as a wheel sends them, so each is seen as a step.
  const Event click{EV_REL, REL_HWHEEL, steps < 0 ? -1 : 1};
  const long clicks = std::labs(static_cast<long>(steps));
  std::lock_guard<std::mutex> lock(mutex_);
  for (long i = 0; i < clicks; ++i) WriteFrame(&click, 1);
}

void UinputInjector::MovePointerBy(int dx, int dy) {
  Event motion[2];
  size_t count = 0;
  if (dx != 0) motion[count++] = {EV_REL, REL_X, dx};
  if (dy != 0) motion[count++] = {EV_REL, REL_Y, dy};
  if (count == 0) return;
  std::lock_guard<std::mutex> lock(mutex_);
  WriteFrame(motion, count);
}

}  // namespace quorix
