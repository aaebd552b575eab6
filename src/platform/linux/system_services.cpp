#include "platform/linux/system_services.h"

#include "platform/linux/evdev_input_capture.h"
#include "platform/linux/flock_mutex.h"
#include "platform/linux/hidraw_host.h"
#include "platform/linux/udev_hidraw_directory.h"
#include "platform/linux/uinput_injector.h"
#include "platform/linux/x11_foreground_source.h"
#include "platform/linux/x11_input_capture.h"
#include "platform/linux/x11_input_injector.h"

namespace quorix {

std::unique_ptr<HidHost> CreateSystemHidHost() {
  auto directory = UdevHidrawDirectory::Create();
  if (!directory) return nullptr;
  return std::make_unique<HidrawHost>(std::move(directory));
}

Result<std::unique_ptr<NamedMutex>> CreateNamedMutex(const std::string& name) { return FlockMutex::Open(name); }

Result<std::unique_ptr<NamedMutex>> CreateFileLock(const std::string& file) { return FlockMutex::OpenForFile(file); }

Result<std::unique_ptr<InputCapture>> CreateInputCapture() {
  // Under Wayland an X11 client sees the input of X11 windows only, so the
  // devices themselves are read there.
  if (!IsWaylandSession()) {
    if (auto capture = X11InputCapture::Open(nullptr)) return capture;
  }
  return EvdevInputCapture::Open("/dev/input");
}

Result<std::unique_ptr<InputInjector>> CreateInputInjector(bool withX11) {
  std::vector<InputInjectorOpener> openers;
  if (withX11)
    openers.push_back([]() -> Result<std::unique_ptr<InputInjector>> { return X11InputInjector::Open(nullptr); });
  openers.push_back([]() -> Result<std::unique_ptr<InputInjector>> { return UinputInjector::Open(kUinputPath); });
  return ChooseInputInjector(openers);
}

}  // namespace quorix
