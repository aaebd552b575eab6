#include "platform/linux/kwin_pointer_settings.h"

#include "platform/linux/libinput_speed.h"
#include "platform/linux/session_bus.h"

namespace quorix {

namespace {

const BusObject kDevices{"org.kde.KWin", "/org/kde/KWin/InputDevice", "org.kde.KWin.InputDeviceManager"};
constexpr const char* kDeviceInterface = "org.kde.KWin.InputDevice";

BusObject Device(const std::string& path) { return {kDevices.service, path, kDeviceInterface}; }

template <typename T>
T Read(SessionBus& bus, const std::string& path, const char* property, T otherwise) {
  const Result<BusValue> value = bus.Get(Device(path), property);
  const T* typed = value ? std::get_if<T>(&*value) : nullptr;
  return typed != nullptr ? *typed : otherwise;
}

}  // namespace

KWinPointerSettings::KWinPointerSettings(std::unique_ptr<SessionBus> bus) : bus_(std::move(bus)) {}

KWinPointerSettings::~KWinPointerSettings() = default;

Result<std::unique_ptr<KWinPointerSettings>> KWinPointerSettings::Open() {
  Result<std::unique_ptr<SessionBus>> bus = SessionBus::Open();
  if (!bus) return bus.outcome();
  if (const Result<BusValue> names = (*bus)->Get(kDevices, "devicesSysNames"); !names) {
    return Outcome(Failure::kUnavailable, "KWin's input devices are not on the session bus: " + names.detail());
  }
  return std::unique_ptr<KWinPointerSettings>(new KWinPointerSettings(std::move(bus).value()));
}

std::vector<std::string> KWinPointerSettings::Pointers() {
  std::vector<std::string> pointers;
  const Result<BusValue> names = bus_->Get(kDevices, "devicesSysNames");
  const auto* list = names ? std::get_if<std::vector<std::string>>(&*names) : nullptr;
  if (list == nullptr) return pointers;
  for (const std::string& name : *list) {
    const std::string path = kDevices.path + "/" + name;
    if (Read(*bus_, path, "pointer", false) && Read(*bus_, path, "supportsPointerAccelerationProfileFlat", false)) {
      pointers.push_back(path);
    }
  }
  return pointers;
}

PointerAcceleration KWinPointerSettings::GetAcceleration() {
  const std::vector<std::string> pointers = Pointers();
  if (!pointers.empty() && Read(*bus_, pointers.front(), "pointerAccelerationProfileFlat", false)) return {};
  return {4, 12, 2};
}

void KWinPointerSettings::SetAcceleration(const PointerAcceleration& value) {
  // Setting one profile's property to true selects it.
  const char* property = value.threshold1 > 0 ? "pointerAccelerationProfileAdaptive" : "pointerAccelerationProfileFlat";
  for (const std::string& path : Pointers()) bus_->Set(Device(path), property, true);
}

int KWinPointerSettings::GetSpeed() {
  const std::vector<std::string> pointers = Pointers();
  if (pointers.empty()) return 10;
  return SpeedFromLibinput(Read(*bus_, pointers.front(), "pointerAcceleration", 0.0));
}

void KWinPointerSettings::SetSpeed(int speed) {
  for (const std::string& path : Pointers()) bus_->Set(Device(path), "pointerAcceleration", LibinputFromSpeed(speed));
}

}  // namespace quorix
