#include "platform/linux/sway_pointer_settings.h"

#include <algorithm>
#include <cmath>

#include "platform/linux/sway_ipc.h"

namespace quorix {

std::optional<SwayPointerFacts> PointerFactsOfInputs(const JsonValue& inputs) {
  std::optional<SwayPointerFacts> facts;
  for (const JsonValue& input : inputs.items) {
    if (input.StringAt("type") != "pointer") continue;
    const JsonValue* libinput = input.Find("libinput");
    if (libinput == nullptr) continue;
    const std::optional<std::string> profile = libinput->StringAt("accel_profile");
    if (!profile) continue;
    if (!facts) {
      facts = SwayPointerFacts{};
      const JsonValue* speed = libinput->Find("accel_speed");
      if (speed != nullptr && speed->kind == JsonValue::Kind::kNumber) facts->speed = speed->number;
    }
    if (*profile == "adaptive") facts->adaptive = true;
  }
  return facts;
}

std::string AccelerationCommand(bool on) {
  return on ? "input type:pointer accel_profile adaptive" : "input type:pointer accel_profile flat";
}

std::string SpeedCommand(int speed) {
  // Written by hand: the program's locale may use a decimal comma.
  const int tenths = std::clamp(speed - 10, -10, 10);
  const int magnitude = tenths < 0 ? -tenths : tenths;
  return std::string("input type:pointer pointer_accel ") + (tenths < 0 ? "-" : "") + std::to_string(magnitude / 10) +
         "." + std::to_string(magnitude % 10);
}

Result<std::unique_ptr<SwayPointerSettings>> SwayPointerSettings::Open(const std::string& socketPath) {
  Result<std::unique_ptr<SwayIpc>> ipc = SwayIpc::Connect(socketPath);
  if (!ipc) return ipc.outcome();
  return std::unique_ptr<SwayPointerSettings>(new SwayPointerSettings(std::move(ipc).value()));
}

SwayPointerSettings::SwayPointerSettings(std::unique_ptr<SwayIpc> ipc) : ipc_(std::move(ipc)) {}
SwayPointerSettings::~SwayPointerSettings() = default;

std::optional<SwayPointerFacts> SwayPointerSettings::Facts() {
  std::lock_guard<std::mutex> lock(mutex_);
  const std::optional<JsonValue> inputs = ipc_->Request(sway::kGetInputs);
  if (!inputs) return std::nullopt;
  return PointerFactsOfInputs(*inputs);
}

void SwayPointerSettings::Command(const std::string& command) {
  std::lock_guard<std::mutex> lock(mutex_);
  ipc_->Request(sway::kRunCommand, command);
}

PointerAcceleration SwayPointerSettings::GetAcceleration() {
  const std::optional<SwayPointerFacts> facts = Facts();
  if (facts && !facts->adaptive) return {0, 0, 0};
  return {4, 12, 2};
}

void SwayPointerSettings::SetAcceleration(const PointerAcceleration& value) {
  Command(AccelerationCommand(value.threshold1 > 0));
}

int SwayPointerSettings::GetSpeed() {
  const std::optional<SwayPointerFacts> facts = Facts();
  if (!facts || !std::isfinite(facts->speed)) return 10;
  return std::clamp(static_cast<int>(std::lround(facts->speed * 10 + 10)), 1, 20);
}

void SwayPointerSettings::SetSpeed(int speed) { Command(SpeedCommand(speed)); }

}  // namespace quorix
