// The KWin and GNOME Shell channels end to end, without the program's window:
//   quorix-foreground-probe kwin|gnome [--bind I=PATH]...
//     opens the source and prints, at start and after each change it
//     signals, "foreground PID IMAGE -> profile N" (or "-> no profile") as the
//     switcher decides with the bindings;
//   quorix-foreground-probe kwin-accel|gnome-accel
//     turns acceleration off as the main window's switch does, prints
//     "acceleration off", and gives the user's value back at the end.
// Both run until standard input closes; a source that cannot open prints its
// reason and exits with 3. The suites in this folder drive it.

#include <array>
#include <condition_variable>
#include <iostream>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "options/acceleration_switch.h"
#include "options/app_switching.h"
#include "platform/linux/gnome_foreground_source.h"
#include "platform/linux/gnome_pointer_settings.h"
#include "platform/linux/kwin_foreground_source.h"
#include "platform/linux/kwin_pointer_settings.h"

namespace {

using namespace quorix;

// Set when standard input closes or the source signals a change.
struct Wake {
  std::mutex mutex;
  std::condition_variable cv;
  bool changed = true;  // the first look happens at once
  bool done = false;
};

void WatchStdin(Wake& wake) {
  std::thread([&wake] {
    std::string line;
    while (std::getline(std::cin, line)) {
    }
    std::lock_guard lock(wake.mutex);
    wake.done = true;
    wake.cv.notify_all();
  }).detach();
}

int Accelerate(Result<std::unique_ptr<PointerSettings>> pointer, Wake& wake) {
  if (!pointer) {
    std::cout << "unavailable: " << pointer.detail() << std::endl;
    return 3;
  }
  AccelerationSwitch acceleration(**pointer);
  acceleration.Apply(true);
  std::cout << "acceleration off" << std::endl;
  std::unique_lock lock(wake.mutex);
  wake.cv.wait(lock, [&] { return wake.done; });
  acceleration.GiveBack();
  std::cout << "acceleration given back" << std::endl;
  return 0;
}

int Watch(Result<std::unique_ptr<ForegroundSource>> opened, const ProfileApps& apps, Wake& wake) {
  if (!opened) {
    std::cout << "unavailable: " << opened.detail() << std::endl;
    return 3;
  }
  ForegroundSource* source = opened->get();
  if (!source->NotifyChanges([&wake] {
        std::lock_guard lock(wake.mutex);
        wake.changed = true;
        wake.cv.notify_all();
      })) {
    std::cout << "the source does not signal changes" << std::endl;
    return 1;
  }
  AppSwitcher switcher(*source);
  const std::array<bool, 5> noneOff{};
  for (;;) {
    {
      std::unique_lock lock(wake.mutex);
      wake.cv.wait(lock, [&] { return wake.changed || wake.done; });
      if (wake.done) return 0;
      wake.changed = false;
    }
    int activeProfile = -1;  // any match counts
    const auto match = switcher.CheckForegroundApplication(apps, noneOff, activeProfile, {});
    const uint64_t pid = switcher.LastForegroundWindow();
    const auto image = source->ProcessImageName(pid);
    std::cout << "foreground " << pid << " " << image.value_or("?") << " -> ";
    if (match)
      std::cout << "profile " << *match << std::endl;
    else
      std::cout << "no profile" << std::endl;
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << "usage: quorix-foreground-probe kwin|gnome [--bind I=PATH]... | kwin-accel|gnome-accel\n";
    return 2;
  }
  const std::string mode = argv[1];
  ProfileApps apps;
  for (int i = 2; i + 1 < argc; i += 2) {
    const std::string binding = argv[i + 1];
    const size_t equals = binding.find('=');
    if (std::string(argv[i]) != "--bind" || equals != 1 || binding[0] < '0' || binding[0] > '4') {
      std::cerr << "bad binding: " << binding << "\n";
      return 2;
    }
    ProfileApp& app = apps[binding[0] - '0'];
    app.appPath = binding.substr(2);
    app.appName = ImageFileName(app.appPath);
    app.appEnabled = 1;
  }
  Wake wake;
  WatchStdin(wake);
  if (mode == "kwin") return Watch(KWinForegroundSource::Open(), apps, wake);
  if (mode == "gnome") return Watch(GnomeForegroundSource::Open(), apps, wake);
  if (mode == "kwin-accel") return Accelerate(KWinPointerSettings::Open(), wake);
  if (mode == "gnome-accel") return Accelerate(GnomePointerSettings::Open(), wake);
  std::cerr << "unknown mode " << mode << "\n";
  return 2;
}
