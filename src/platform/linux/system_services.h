#pragma once
// Factories for the operating-system implementations of the platform
// interfaces, used by the front ends.

#include <memory>
#include <string>

#include "base/result.h"
#include "platform/foreground_source.h"
#include "platform/hid_host.h"
#include "platform/input_capture.h"
#include "platform/input_injector.h"
#include "platform/named_mutex.h"
#include "platform/overlay_surface.h"
#include "platform/paths.h"
#include "platform/pointer_settings.h"

namespace quorix {

// The HID host on hidraw and udev; nullptr when HID access is unavailable.
std::unique_ptr<HidHost> CreateSystemHidHost();

// A lock shared by every process of the user that uses the same name. When no
// such lock can be made fails with kUnavailable and the detail
// "<folder or file>: <reason>"; callers refuse to go on rather than run
// unlocked.
Result<std::unique_ptr<NamedMutex>> CreateNamedMutex(const std::string& name);
// A lock shared by every process of the user that locks the same file (a
// resolved path); fails as above.
Result<std::unique_ptr<NamedMutex>> CreateFileLock(const std::string& file);

// Global keyboard and mouse input for the macro recorder: XInput2 raw events
// on an X11 desktop; in a Wayland session, the input devices under
// /dev/input the user may read. kUnavailable, with a sentence for the user,
// when neither is available. Creating it reads no input.
Result<std::unique_ptr<InputCapture>> CreateInputCapture();

// Synthetic pointer motion and wheel clicks: XTest when withX11 (the program
// runs on an X display), else a virtual device on /dev/uinput where the user
// may write it. kUnavailable, with each way's reason, when neither works.
Result<std::unique_ptr<InputInjector>> CreateInputInjector(bool withX11);

// The XDG folders: the program's read-only data (`defaultProgramFolder`, the
// source tree's, for a build-tree run), the documents and the applications.
std::unique_ptr<Paths> CreateSystemPaths(std::string defaultProgramFolder);

// The desktop program's view of the desktop it runs on (the session type and
// XDG_CURRENT_DESKTOP choose): the foreground application's channel and the
// pointer's acceleration. Without a desktop (`onDesktop` false: the offscreen
// platform of the tests) neither, and the foreground's reason says X11 is
// needed.
struct DesktopServices {
  std::unique_ptr<ForegroundSource> foreground;  // nullptr: foregroundProblem says why
  std::string foregroundProblem;
  std::unique_ptr<PointerSettings> pointer;  // nullptr: no acceleration control
};
DesktopServices OpenDesktopServices(bool onDesktop);

// The layer shell's overlay where the Wayland compositor has one (wlroots,
// KWin); nullptr elsewhere (GNOME, X11), which is no fault.
std::unique_ptr<OverlaySurface> OpenOverlaySurface();

}  // namespace quorix
