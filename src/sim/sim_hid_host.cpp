#include "sim/sim_hid_host.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>

namespace quorix::sim {
namespace {

constexpr uint16_t kConfigUsagePage = 0xFF18;

HidCaps CapsOf(int interfaceNumber) {
  HidCaps caps;
  if (interfaceNumber == kPointingInterface) {
    caps.usagePage = 1;
    caps.usage = 2;
    caps.inputReportByteLength = 8;
    caps.featureReportByteLength = 9;
  } else {
    caps.usagePage = kConfigUsagePage;
    caps.usage = 1;
    caps.inputReportByteLength = kInputReportLength;
    caps.featureReportByteLength = 64;
  }
  return caps;
}

std::string IspPathFor(int number) {
  char path[64];
  std::snprintf(path, sizeof path, "sim#vid_%04x&pid_%04x&mi_00#isp%d", kIspVendorId, kIspProductId, number);
  return path;
}

HidCaps IspCaps() {
  HidCaps caps;
  caps.usagePage = 0xFF00;
  caps.usage = 1;
  caps.featureReportByteLength = 64;
  return caps;
}

}  // namespace

// One open handle. Every call first asks the host whether the interface it
// was opened on is still plugged in.
class SimHidHost::Handle final : public HidDevice {
 public:
  Handle(SimHidHost& host, Target target) : host_(host), target_(target) {}

  bool GetCaps(HidCaps& caps) override {
    if (!host_.Alive(target_)) return false;
    caps = target_.slot < 0 ? IspCaps() : CapsOf(target_.interfaceNumber);
    return true;
  }

  bool GetAttributes(uint16_t& vendorId, uint16_t& productId) override {
    if (!host_.Alive(target_)) return false;
    if (target_.slot < 0) {
      vendorId = kIspVendorId;
      productId = kIspProductId;
    } else {
      const SimOptions& o = host_.slots_[static_cast<size_t>(target_.slot)]->mouse->Options();
      vendorId = o.vendorId;
      productId = o.productId;
    }
    return true;
  }

  bool GetFeature(uint8_t* buffer, size_t length) override {
    host_.clock_.SleepMs(host_.options_.latencyMs);
    if (!host_.Alive(target_) || target_.slot < 0 || host_.AnswersLost(target_)) return false;
    return Mouse().GetFeature(target_.interfaceNumber, buffer, length);
  }

  bool SetFeature(const uint8_t* buffer, size_t length) override {
    host_.clock_.SleepMs(host_.options_.latencyMs);
    const Delivery delivery = host_.CountRequest(target_);
    if (delivery == Delivery::kVanish || !host_.Alive(target_) || target_.slot < 0) return false;
    if (delivery == Delivery::kRestartFirst) Mouse().PowerOn();
    Mouse().SetFeature(target_.interfaceNumber, buffer, length);
    return true;
  }

  void CancelIo() override {}

  bool Gone() override { return !host_.Alive(target_); }

  bool GetIndexedString(int index, uint8_t* buffer, size_t length) override {
    if (!host_.Alive(target_) || target_.slot < 0 || index != 199) return false;
    Mouse().IdentificationString(buffer, length);
    return true;
  }

 private:
  SimMouse& Mouse() { return *host_.slots_[static_cast<size_t>(target_.slot)]->mouse; }

  SimHidHost& host_;
  const Target target_;
};

SimHidHost::SimHidHost(Clock& clock, const SimOptions& options) : clock_(clock), options_(options) {
  const int count = options.secondMouse ? 2 : 1;
  for (int i = 0; i < count; ++i) {
    SimOptions o = options;
    if (i == 1) o.productId = kProductIdB;
    auto slot = std::make_unique<Slot>();
    slot->mouse = std::make_unique<SimMouse>(o);
    slot->plugNumber = nextPlugNumber_++;
    slot->unplugAfter = options.unplugAfter;
    slot->loseAnswerAfter = options.loseAnswerAfter;
    slot->resetAfter = options.resetAfter;
    slot->mouse->SetInputSink([this, i](std::vector<uint8_t> report) { OnInputReport(i, std::move(report)); });
    slots_.push_back(std::move(slot));
  }
  ispPresent_ = options.isp;
  ispNumber_ = 1;
}

SimHidHost::~SimHidHost() {
  for (auto& slot : slots_) slot->mouse->SetInputSink(nullptr);
}

std::string SimHidHost::PathOf(const Slot& slot, int interfaceNumber) const {
  char path[96];
  std::snprintf(path, sizeof path, "sim#vid_%04x&pid_%04x&mi_%02x#mouse%d", slot.mouse->Options().vendorId,
                slot.mouse->Options().productId, interfaceNumber, slot.plugNumber);
  return path;
}

HidInterfaceInfo SimHidHost::InfoOf(const Slot& slot, int interfaceNumber) const {
  HidInterfaceInfo info;
  info.path = PathOf(slot, interfaceNumber);
  info.vendorId = slot.mouse->Options().vendorId;
  info.productId = slot.mouse->Options().productId;
  info.interfaceNumber = interfaceNumber;
  info.caps = CapsOf(interfaceNumber);
  return info;
}

std::string SimHidHost::ConfigPath(int index) const {
  std::lock_guard<std::mutex> lock(mutex_);
  const Slot& slot = *slots_.at(static_cast<size_t>(index));
  return slot.plugged ? PathOf(slot, kConfigInterface) : std::string();
}

std::string SimHidHost::PointingPath(int index) const {
  std::lock_guard<std::mutex> lock(mutex_);
  const Slot& slot = *slots_.at(static_cast<size_t>(index));
  return slot.plugged ? PathOf(slot, kPointingInterface) : std::string();
}

std::string SimHidHost::IspPath() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return ispPresent_ ? IspPathFor(ispNumber_) : std::string();
}

bool SimHidHost::IsPlugged(int index) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return slots_.at(static_cast<size_t>(index))->plugged;
}

std::vector<HidInterfaceInfo> SimHidHost::EnumerateInterfaces() {
  std::vector<HidInterfaceInfo> list;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    for (const auto& slot : slots_) {
      if (!slot->plugged) continue;
      list.push_back(InfoOf(*slot, kPointingInterface));
      list.push_back(InfoOf(*slot, kConfigInterface));
    }
  }
  if (const std::string isp = IspPath(); !isp.empty()) {
    HidInterfaceInfo info;
    info.path = isp;
    info.vendorId = kIspVendorId;
    info.productId = kIspProductId;
    info.interfaceNumber = 0;
    info.caps = IspCaps();
    list.push_back(info);
  }
  return list;
}

std::unique_ptr<HidDevice> SimHidHost::Open(const std::string& path) {
  if (!path.empty() && path == IspPath()) return std::make_unique<Handle>(*this, Target{-1, ispNumber_, 0});
  std::lock_guard<std::mutex> lock(mutex_);
  for (size_t i = 0; i < slots_.size(); ++i) {
    const Slot& slot = *slots_[i];
    if (!slot.plugged) continue;
    for (int iface : {kPointingInterface, kConfigInterface}) {
      if (PathOf(slot, iface) == path) {
        return std::make_unique<Handle>(*this, Target{static_cast<int>(i), slot.plugNumber, iface});
      }
    }
  }
  return nullptr;
}

bool SimHidHost::Alive(const Target& target) const {
  std::lock_guard<std::mutex> lock(mutex_);
  if (target.slot < 0) return ispPresent_ && target.plugNumber == ispNumber_;
  const Slot& slot = *slots_[static_cast<size_t>(target.slot)];
  return slot.plugged && slot.plugNumber == target.plugNumber;
}

SimHidHost::Delivery SimHidHost::CountRequest(const Target& target) {
  if (target.slot < 0) return Delivery::kDeliver;
  std::lock_guard<std::mutex> lock(mutex_);
  Slot& slot = *slots_[static_cast<size_t>(target.slot)];
  if (!slot.plugged || slot.plugNumber != target.plugNumber) return Delivery::kDeliver;
  if (slot.unplugAfter >= 0 && slot.requests >= slot.unplugAfter) {
    slot.unplugAfter = -1;  // the fault strikes once; a replugged mouse stays
    UnplugLocked(slot);
    return Delivery::kVanish;
  }
  if (slot.loseAnswerAfter >= 0 && slot.requests >= slot.loseAnswerAfter) {
    slot.loseAnswerAfter = -1;  // struck: silent until plugged in again
    slot.answersLost = true;
  }
  const bool restart = slot.requests == slot.resetAfter;
  if (restart) slot.resetAfter = -1;  // once, as the unplug
  ++slot.requests;
  // The restart itself happens outside this lock: the mouse reports to the
  // host under its own lock, so the host never waits for the mouse's.
  return restart ? Delivery::kRestartFirst : Delivery::kDeliver;
}

bool SimHidHost::AnswersLost(const Target& target) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return slots_[static_cast<size_t>(target.slot)]->answersLost;
}

void SimHidHost::UnplugLocked(Slot& slot) {
  if (!slot.plugged) return;
  Queue({HidEventKind::kRemoval, PathOf(slot, kPointingInterface), {}});
  Queue({HidEventKind::kRemoval, PathOf(slot, kConfigInterface), {}});
  slot.plugged = false;
}

void SimHidHost::Unplug(int index) {
  std::lock_guard<std::mutex> lock(mutex_);
  UnplugLocked(*slots_.at(static_cast<size_t>(index)));
}

void SimHidHost::Replug(int index) {
  Slot& slot = *slots_.at(static_cast<size_t>(index));
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (slot.plugged) UnplugLocked(slot);
  }
  slot.mouse->PowerOn();
  std::lock_guard<std::mutex> lock(mutex_);
  slot.plugNumber = nextPlugNumber_++;
  slot.plugged = true;
  slot.answersLost = false;
  Queue({HidEventKind::kArrival, PathOf(slot, kPointingInterface), {}});
  Queue({HidEventKind::kArrival, PathOf(slot, kConfigInterface), {}});
}

void SimHidHost::ArmUnplug(int requests, int index) {
  std::lock_guard<std::mutex> lock(mutex_);
  Slot& slot = *slots_.at(static_cast<size_t>(index));
  slot.requests = 0;
  slot.unplugAfter = std::max(0, requests);
}

void SimHidHost::ArmRestart(int requests, int index) {
  std::lock_guard<std::mutex> lock(mutex_);
  Slot& slot = *slots_.at(static_cast<size_t>(index));
  slot.requests = 0;
  slot.resetAfter = std::max(0, requests);
}

void SimHidHost::ArmLoseAnswers(int requests, int index) {
  std::lock_guard<std::mutex> lock(mutex_);
  Slot& slot = *slots_.at(static_cast<size_t>(index));
  slot.requests = 0;
  slot.loseAnswerAfter = std::max(0, requests);
}

void SimHidHost::SetIspPresent(bool present) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (present == ispPresent_) return;
  ispPresent_ = present;
  if (!present) {
    Queue({HidEventKind::kRemoval, IspPathFor(ispNumber_), {}});
    return;
  }
  ++ispNumber_;
  Queue({HidEventKind::kArrival, IspPathFor(ispNumber_), {}});
}

void SimHidHost::StartEvents(const std::vector<std::pair<uint16_t, uint16_t>>& inputCollections) {
  std::lock_guard<std::mutex> lock(mutex_);
  eventsStarted_ = true;
  collections_ = inputCollections;
  if (!pressStartMs_) pressStartMs_ = clock_.NowMs();
}

void SimHidHost::SetVirtualWaits(bool on) {
  std::lock_guard<std::mutex> lock(mutex_);
  virtualWaits_ = on;
}

size_t SimHidHost::PendingPresses() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return options_.presses.size() - pressesDone_;
}

std::optional<int64_t> SimHidHost::NextPressMs() const {
  if (!pressStartMs_ || pressesDone_ >= options_.presses.size()) return std::nullopt;
  return *pressStartMs_ + static_cast<int64_t>(pressesDone_ + 1) * options_.pressIntervalMs;
}

void SimHidHost::RunDuePresses(std::unique_lock<std::mutex>& lock) {
  for (auto due = NextPressMs(); due && *due <= clock_.NowMs(); due = NextPressMs()) {
    const SimPress press = options_.presses[pressesDone_++];
    SimMouse& mouse = *slots_.front()->mouse;
    lock.unlock();
    mouse.Press(press);
    lock.lock();
  }
}

void SimHidHost::OnInputReport(int index, std::vector<uint8_t> report) {
  std::lock_guard<std::mutex> lock(mutex_);
  const Slot& slot = *slots_[static_cast<size_t>(index)];
  const HidCaps caps = CapsOf(kConfigInterface);
  const bool wanted = std::find(collections_.begin(), collections_.end(),
                                std::make_pair(caps.usagePage, caps.usage)) != collections_.end();
  if (!eventsStarted_ || !wanted || !slot.plugged) return;
  Queue({HidEventKind::kInputReport, PathOf(slot, kConfigInterface), std::move(report)});
}

void SimHidHost::Queue(HidEvent event) {
  // Nobody may be listening (a CLI run never is): keep the newest events only.
  if (events_.size() >= kMaxQueuedEvents) events_.pop_front();
  events_.push_back(std::move(event));
  wake_.notify_all();
}

bool SimHidHost::WaitEvent(HidEvent& event, int timeoutMs) {
  std::unique_lock<std::mutex> lock(mutex_);
  using std::chrono::steady_clock;
  const auto realDeadline = steady_clock::now() + std::chrono::milliseconds(std::max(0, timeoutMs));
  const int64_t deadline = clock_.NowMs() + std::max(0, timeoutMs);
  auto ready = [this] { return interrupted_ || !events_.empty(); };
  for (;;) {
    RunDuePresses(lock);
    if (ready()) break;
    const int64_t now = clock_.NowMs();
    const std::optional<int64_t> press = NextPressMs();
    if (virtualWaits_) {
      if (now >= deadline) break;
      if (wake_.wait_for(lock, std::chrono::milliseconds(1), ready)) break;
      clock_.SleepMs(std::min(deadline, press.value_or(deadline)) - now);
    } else {
      if (steady_clock::now() >= realDeadline) break;
      auto until = realDeadline;
      if (press) until = std::min(until, steady_clock::now() + std::chrono::milliseconds(*press - now));
      wake_.wait_until(lock, until, ready);
    }
  }
  if (interrupted_) {
    interrupted_ = false;
    return false;
  }
  if (events_.empty()) return false;
  event = std::move(events_.front());
  events_.pop_front();
  return true;
}

void SimHidHost::Interrupt() {
  std::lock_guard<std::mutex> lock(mutex_);
  interrupted_ = true;
  wake_.notify_all();
}

size_t SimHidHost::PendingEvents() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return events_.size();
}

}  // namespace quorix::sim
