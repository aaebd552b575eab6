#include "platform/linux/x11_pointer_settings.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "platform/linux/libinput_speed.h"
#include "platform/linux/x11_error_trap.h"

namespace quorix {

namespace {

constexpr const char* kProfileEnabled = "libinput Accel Profile Enabled";
constexpr const char* kProfilesAvailable = "libinput Accel Profiles Available";
constexpr const char* kAccelSpeed = "libinput Accel Speed";

// The bytes of an 8-bit or 32-bit device property, or empty.
std::vector<unsigned char> ReadProperty(Display* display, int device, Atom property, int format, Atom& type,
                                        unsigned long& items) {
  Atom actualType = None;
  int actualFormat = 0;
  unsigned long after = 0;
  unsigned char* data = nullptr;
  items = 0;
  if (XIGetProperty(display, device, property, 0, 16, False, AnyPropertyType, &actualType, &actualFormat, &items,
                    &after, &data) != Success ||
      data == nullptr) {
    return {};
  }
  std::vector<unsigned char> bytes;
  if (actualFormat == format) {
    // Xlib hands 32-bit items back as longs.
    const size_t size = format == 8 ? 1 : sizeof(long);
    bytes.assign(data, data + items * size);
  } else {
    items = 0;
  }
  type = actualType;
  XFree(data);
  return bytes;
}

}  // namespace

Result<std::unique_ptr<X11PointerSettings>> X11PointerSettings::Open(const char* displayName) {
  Display* display = XOpenDisplay(displayName);
  if (display == nullptr) {
    return Outcome(Failure::kUnavailable, "Cannot open the X display; the pointer settings need X11 or XWayland.");
  }
  int opcode = 0, event = 0, errorBase = 0, major = 2, minor = 0;
  if (!XQueryExtension(display, "XInputExtension", &opcode, &event, &errorBase) ||
      XIQueryVersion(display, &major, &minor) != Success) {
    XCloseDisplay(display);
    return Outcome(Failure::kUnavailable,
                   "The X display has no XInput2 extension; the pointer settings are unavailable.");
  }
  return std::unique_ptr<X11PointerSettings>(new X11PointerSettings(display));
}

X11PointerSettings::~X11PointerSettings() { XCloseDisplay(display_); }

std::vector<int> X11PointerSettings::PointersWith(const char* property) {
  std::vector<int> found;
  const Atom atom = XInternAtom(display_, property, True);
  if (atom == None) return found;
  int count = 0;
  XIDeviceInfo* devices = XIQueryDevice(display_, XIAllDevices, &count);
  for (int i = 0; i < count; ++i) {
    if (devices[i].use != XISlavePointer) continue;
    int propertyCount = 0;
    Atom* properties = XIListProperties(display_, devices[i].deviceid, &propertyCount);
    if (std::find(properties, properties + propertyCount, atom) != properties + propertyCount) {
      found.push_back(devices[i].deviceid);
    }
    XFree(properties);
  }
  XIFreeDeviceInfo(devices);
  return found;
}

PointerAcceleration X11PointerSettings::GetAcceleration() {
  std::lock_guard<std::mutex> lock(mutex_);
  const std::vector<int> libinput = PointersWith(kProfileEnabled);
  if (!libinput.empty()) {
    Atom type = None;
    unsigned long items = 0;
    const std::vector<unsigned char> profile = ReadProperty(
        display_, libinput.front(), XInternAtom(display_, kProfileEnabled, False), 8, type, items);
    const bool flat = items >= 2 && profile[1] != 0 && profile[0] == 0;
    return flat ? PointerAcceleration{0, 0, 0} : PointerAcceleration{4, 12, 2};
  }
  int numerator = 1, denominator = 1, threshold = 0;
  XGetPointerControl(display_, &numerator, &denominator, &threshold);
  if (denominator <= 0 || numerator <= denominator) return {0, 0, 0};
  const int first = std::max(threshold, 1);
  return {first, first * 3, std::max(1, static_cast<int>(std::lround(double(numerator) / denominator)))};
}

void X11PointerSettings::SetAcceleration(const PointerAcceleration& value) {
  std::lock_guard<std::mutex> lock(mutex_);
  const bool on = value.threshold1 > 0;
  ScopedErrorTrap trap(display_);
  if (on) {
    XChangePointerControl(display_, True, True, std::max(1, value.acceleration), 1, value.threshold1);
  } else {
    XChangePointerControl(display_, True, True, 1, 1, 0);
  }
  const Atom enabled = XInternAtom(display_, kProfileEnabled, True);
  const Atom available = XInternAtom(display_, kProfilesAvailable, True);
  for (int device : PointersWith(kProfileEnabled)) {
    Atom type = None;
    unsigned long items = 0, availableItems = 0;
    std::vector<unsigned char> profile = ReadProperty(display_, device, enabled, 8, type, items);
    Atom availableType = None;
    const std::vector<unsigned char> offered =
        available == None ? std::vector<unsigned char>{}
                          : ReadProperty(display_, device, available, 8, availableType, availableItems);
    if (items < 2) continue;
    const size_t wanted = on ? 0 : 1;  // adaptive, flat
    if (availableItems >= 2 && offered[wanted] == 0) continue;
    std::fill(profile.begin(), profile.end(), 0);
    profile[wanted] = 1;
    XIChangeProperty(display_, device, enabled, type, 8, XIPropModeReplace, profile.data(),
                     static_cast<int>(items));
  }
}

int X11PointerSettings::GetSpeed() {
  std::lock_guard<std::mutex> lock(mutex_);
  const std::vector<int> devices = PointersWith(kAccelSpeed);
  if (devices.empty()) return 10;
  Atom type = None;
  unsigned long items = 0;
  const std::vector<unsigned char> bytes =
      ReadProperty(display_, devices.front(), XInternAtom(display_, kAccelSpeed, False), 32, type, items);
  if (items < 1) return 10;
  long raw = 0;
  std::memcpy(&raw, bytes.data(), sizeof raw);
  const auto bits = static_cast<uint32_t>(raw);
  float speed = 0;
  std::memcpy(&speed, &bits, sizeof speed);
  return SpeedFromLibinput(speed);
}

void X11PointerSettings::SetSpeed(int speed) {
  std::lock_guard<std::mutex> lock(mutex_);
  const auto value = static_cast<float>(LibinputFromSpeed(speed));
  uint32_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  long item = static_cast<long>(bits);
  const Atom property = XInternAtom(display_, kAccelSpeed, True);
  const Atom floatType = XInternAtom(display_, "FLOAT", False);
  ScopedErrorTrap trap(display_);
  for (int device : PointersWith(kAccelSpeed)) {
    XIChangeProperty(display_, device, property, floatType, 32, XIPropModeReplace,
                     reinterpret_cast<unsigned char*>(&item), 1);
  }
}

}  // namespace quorix
