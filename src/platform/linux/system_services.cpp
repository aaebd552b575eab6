#include "platform/linux/system_services.h"

#include "platform/linux/evdev_input_capture.h"
#include "platform/linux/flock_mutex.h"
#include "platform/linux/foreground_choice.h"
#include "platform/linux/hidraw_host.h"
#include "platform/linux/pointer_choice.h"
#include "platform/linux/udev_hidraw_directory.h"
#include "platform/linux/uinput_injector.h"
#include "platform/linux/wayland_overlay_surface.h"
#include "platform/linux/x11_foreground_source.h"
#include "platform/linux/x11_input_capture.h"
#include "platform/linux/x11_input_injector.h"
#include "platform/linux/xdg_paths.h"

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

std::unique_ptr<Paths> CreateSystemPaths(std::string defaultProgramFolder) {
  return std::make_unique<XdgPaths>(std::move(defaultProgramFolder));
}

DesktopServices OpenDesktopServices(bool onDesktop) {
  DesktopServices services;
  if (!onDesktop) {
    services.foregroundProblem = kNeedsX11Text;
    return services;
  }
  // The desktop's own channel where it has one; X11 windows (XWayland ones
  // included) otherwise.
  const DesktopEnvironment desktop = DesktopEnvironment::FromProcess();
  Result<std::unique_ptr<ForegroundSource>> foreground = OpenForegroundSource(desktop);
  services.foregroundProblem = foreground.detail();
  if (foreground) services.foreground = std::move(foreground).value();
  // On a Wayland desktop the compositor's own setting is the real one, also
  // for a program on XWayland, whose X pointer control reaches no device.
  if (auto pointer = OpenPointerSettings(desktop)) services.pointer = std::move(pointer).value();
  return services;
}

std::unique_ptr<OverlaySurface> OpenOverlaySurface() {
  // Without the layer shell (GNOME) notifications stand in, which is no fault:
  // the reason is not shown.
  Result<std::unique_ptr<WaylandOverlaySurface>> overlay = WaylandOverlaySurface::Open();
  return overlay ? std::move(overlay).value() : nullptr;
}

}  // namespace quorix
