// Builds the session a front end works with: the HID host (real or
// simulated), its clock and locks, and the simulator's state file.
#include "session/world/session_world.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <filesystem>

#include "device/device_link.h"
#include "device/discovery.h"
#include "platform/clock.h"
#include "platform/linux/system_services.h"
#include "platform/virtual_clock.h"
#include "sim/sim_state_file.h"

namespace quorix {
namespace {

// The cross-process lock called name: without it two programs could talk to
// the mouse at once.
std::unique_ptr<NamedMutex> SharedLock(const std::string& name) {
  Result<std::unique_ptr<NamedMutex>> mutex = CreateNamedMutex(name);
  if (!mutex) throw WorldError{"cannot lock the mouse for this program: " + mutex.detail()};
  return std::move(mutex).value();
}

}  // namespace

long ParseNumberText(const std::string& text, long min, long max, const std::string& what) {
  if (text.empty()) throw WorldError{"missing " + what};
  const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  const char* digits = hex ? text.c_str() + 2 : text.c_str();
  // strtol would also take blanks and a sign after "0x": only digits may follow.
  const auto first = static_cast<unsigned char>(digits[0]);
  const bool startsWell = hex ? std::isxdigit(first) != 0 : (std::isdigit(first) != 0 || first == '-');
  errno = 0;
  char* end = nullptr;
  const long value = std::strtol(digits, &end, hex ? 16 : 10);
  if (!startsWell || errno != 0 || end == digits || *end != '\0') throw WorldError{"invalid " + what + ": " + text};
  if (value < min || value > max) {
    throw WorldError{what + " out of range (" + std::to_string(min) + ".." + std::to_string(max) + "): " + text};
  }
  return value;
}

sim::SimOptions ParseSimOptions(const std::string& simulate, std::optional<uint16_t> vendorId,
                                const std::vector<std::string>& items) {
  sim::SimOptions o;
  o.protocolLevel = simulate == "level0" ? 0 : simulate == "level5" ? 5 : 11;
  if (vendorId) o.vendorId = *vendorId;  // a rebranded mouse
  for (const std::string& item : items) {
    const size_t eq = item.find('=');
    const std::string name = item.substr(0, eq);
    const bool hasValue = eq != std::string::npos;
    const std::string value = hasValue ? item.substr(eq + 1) : std::string();
    auto number = [&](long max) {
      if (!hasValue) throw WorldError{"simulator option " + name + " needs a value (" + name + "=N)"};
      return static_cast<int>(ParseNumberText(value, 0, max, name));
    };
    auto flag = [&] {
      if (hasValue) throw WorldError{"simulator option " + name + " takes no value"};
      return true;
    };
    if (name == "latency-ms") {
      o.latencyMs = number(10'000);
    } else if (name == "unplug-after") {
      o.unplugAfter = number(1'000'000);
    } else if (name == "lose-answer-after") {
      o.loseAnswerAfter = number(1'000'000);
    } else if (name == "reset-after") {
      o.resetAfter = number(1'000'000);
    } else if (name == "busy") {
      o.alwaysBusy = flag();
    } else if (name == "silent") {
      o.silent = flag();
    } else if (name == "second-mouse") {
      o.secondMouse = flag();
    } else if (name == "isp") {
      o.isp = flag();
    } else if (name == "odd-answers") {
      o.oddAnswers = flag();
    } else if (name == "press") {
      if (!hasValue) throw WorldError{"simulator option press needs buttons (press=dpi-up,...)"};
      for (size_t from = 0; from <= value.size();) {
        const size_t comma = std::min(value.find(',', from), value.size());
        sim::SimPress press;
        const std::string button = value.substr(from, comma - from);
        if (!sim::ParseSimPress(button, press)) {
          throw WorldError{"unknown button " + button +
                           " (dpi-up, dpi-down, profile-next, profile-prev, wheel-left, wheel-right, open)"};
        }
        o.presses.push_back(press);
        from = comma + 1;
      }
    } else {
      throw WorldError{"unknown simulator option " + name};
    }
  }
  return o;
}

SessionWorld::SessionWorld(const WorldOptions& options) : simState_(options.simState) {
  if (options.simulate.empty() && !options.simOptions.empty()) throw WorldError{"--sim-option needs --simulate"};
  if (options.simulate.empty() && !options.simState.empty()) throw WorldError{"--sim-state needs --simulate"};
  // The state lock comes first and is held until this world is gone, after
  // the last save; nothing else is held while waiting for it. A state that
  // could not be kept fails before any request.
  if (!simState_.empty()) {
    try {
      sim::CheckSimStateWritable(simState_);
    } catch (const sim::SimStateError& e) {
      throw WorldError{e.what()};
    }
    Result<std::unique_ptr<NamedMutex>> stateLock = CreateFileLock(sim::ResolvedSimStatePath(simState_));
    if (!stateLock) throw WorldError{"cannot lock the simulator state for this program: " + stateLock.detail()};
    stateMutex_ = std::move(stateLock).value();
    SteadyClock steady;
    Clock& clock = options.stateLockClock ? *options.stateLockClock : steady;
    if (!LockWithinLimit(*stateMutex_, clock, options.stateWaitNotice)) {
      throw WorldError{"another run still uses the simulator state " + simState_ + " after " +
                       std::to_string(kLockWaitLimitMs / 1000) + " s: try again when it has finished"};
    }
    stateLock_ = std::unique_lock<NamedMutex>(*stateMutex_, std::adopt_lock);
  }
  SessionParts parts;
  parts.vendorId = options.vendorId.value_or(kProductVendorId);
  parts.applicationFolders = options.applicationFolders;
  parts.setIni = options.setIni;
  parts.texts = options.texts;
  if (!options.simulate.empty()) {
    // The simulated mouse lives inside this process: no other program can
    // reach it, so its locks need not (and must not, or two simulations
    // would wait on each other) reach across processes.
    parts.exchangeMutex = std::make_unique<LocalMutex>();
    parts.deviceListMutex = std::make_unique<LocalMutex>();
    const sim::SimOptions simOptions = ParseSimOptions(options.simulate, options.vendorId, options.simOptions);
    // The simulated mouse lives in virtual time unless a latency was asked
    // for to feel like the real thing.
    const bool virtualTime = simOptions.latencyMs == 0 && !options.simulateInRealTime;
    if (virtualTime)
      parts.clock = std::make_unique<VirtualClock>();
    else
      parts.clock = std::make_unique<SteadyClock>();
    auto simHost = std::make_unique<sim::SimHidHost>(*parts.clock, simOptions);
    // Waiting for events passes virtual time too, or monitor would never
    // see a timer or a press come due.
    simHost->SetVirtualWaits(virtualTime);
    simHost_ = simHost.get();
    parts.host = std::move(simHost);
    // The error_code form: a name the system refuses (too long, a folder
    // without access) must end in a one-line error, not an exception
    // nobody catches.
    std::error_code ignored;
    if (!simState_.empty() && std::filesystem::exists(simState_, ignored)) {
      try {
        sim::LoadSimState(simHost_->Mouse(), simState_);
      } catch (const sim::SimStateError& e) {
        throw WorldError{e.what()};
      }
    }
  } else {
    parts.exchangeMutex = SharedLock(kExchangeMutexName);
    parts.deviceListMutex = SharedLock(kDeviceListMutexName);
    parts.clock = std::make_unique<SteadyClock>();
    parts.host = CreateSystemHidHost();
    if (!parts.host) throw WorldError{"No device !!"};
  }
  session_ = std::make_unique<Session>(std::move(parts));
}

SessionWorld::~SessionWorld() = default;

void SessionWorld::SaveSimState() {
  if (simHost_ == nullptr || simState_.empty()) return;
  try {
    sim::SaveSimState(simHost_->Mouse(), simState_);
  } catch (const sim::SimStateError& e) {
    throw WorldError{e.what()};
  }
}

}  // namespace quorix
