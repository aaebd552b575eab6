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

std::unique_ptr<NamedMutex> CreateNamedMutex(const std::string& name, std::string* error) {
  return FlockMutex::Open(name, error);
}

std::unique_ptr<NamedMutex> CreateFileLock(const std::string& file, std::string* error) {
  return FlockMutex::OpenForFile(file, error);
}

std::unique_ptr<InputCapture> CreateInputCapture(std::string* error) {
  // Under Wayland an X11 client sees the input of X11 windows only, so the
  // devices themselves are read there.
  if (!IsWaylandSession()) {
    std::string x11Error;
    if (auto capture = X11InputCapture::Open(nullptr, &x11Error)) return capture;
  }
  return EvdevInputCapture::Open("/dev/input", error);
}

std::unique_ptr<InputInjector> CreateInputInjector(bool withX11, std::string* error) {
  std::vector<InputInjectorOpener> openers;
  if (withX11) {
    openers.push_back([](std::string* why) -> std::unique_ptr<InputInjector> { return X11InputInjector::Open(nullptr, why); });
  }
  openers.push_back([](std::string* why) -> std::unique_ptr<InputInjector> { return UinputInjector::Open(kUinputPath, why); });
  return ChooseInputInjector(openers, error);
}

}  // namespace quorix
