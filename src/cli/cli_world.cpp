// Builds the session a command works with: the HID host (real or simulated),
// its clock and locks, and the simulator's state file.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <mutex>
#include <ostream>

#include "cli/cli.h"
#include "device/device_link.h"
#include "device/discovery.h"
#include "platform/clock.h"
#include "platform/linux/system_services.h"
#include "platform/linux/xdg_paths.h"
#include "platform/named_mutex.h"
#include "platform/virtual_clock.h"
#include "session/session.h"
#include "settings/settings_load.h"
#include "sim/sim_hid_host.h"
#include "sim/sim_options.h"
#include "sim/sim_state_file.h"

namespace quorix {
namespace {

sim::SimOptions SimOptionsFrom(const GlobalOptions& options) {
  sim::SimOptions o;
  o.protocolLevel = options.simulate == "level0" ? 0 : options.simulate == "level5" ? 5 : 11;
  if (options.vendorId) o.vendorId = *options.vendorId;  // a rebranded mouse
  for (const std::string& item : options.simOptions) {
    const size_t eq = item.find('=');
    const std::string name = item.substr(0, eq);
    const bool hasValue = eq != std::string::npos;
    const std::string value = hasValue ? item.substr(eq + 1) : std::string();
    auto number = [&](long max) {
      if (!hasValue) throw CliError{"simulator option " + name + " needs a value (" + name + "=N)"};
      return static_cast<int>(ParseNumber(value, 0, max, name));
    };
    auto flag = [&] {
      if (hasValue) throw CliError{"simulator option " + name + " takes no value"};
      return true;
    };
    if (name == "latency-ms") {
      o.latencyMs = number(10'000);
    } else if (name == "unplug-after") {
      o.unplugAfter = number(1'000'000);
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
      if (!hasValue) throw CliError{"simulator option press needs buttons (press=dpi-up,...)"};
      for (size_t from = 0; from <= value.size();) {
        const size_t comma = std::min(value.find(',', from), value.size());
        sim::SimPress press;
        const std::string button = value.substr(from, comma - from);
        if (!sim::ParseSimPress(button, press)) {
          throw CliError{"unknown button " + button +
                         " (dpi-up, dpi-down, profile-next, profile-prev, wheel-left, wheel-right, open)"};
        }
        o.presses.push_back(press);
        from = comma + 1;
      }
    } else {
      throw CliError{"unknown simulator option " + name};
    }
  }
  return o;
}

void TraceLine(std::ostream& err, char direction, const uint8_t* bytes, size_t length) {
  std::string line(1, direction);
  char hex[4];
  for (size_t i = 0; i < length; ++i) {
    std::snprintf(hex, sizeof hex, " %02x", bytes[i]);
    line += hex;
  }
  err << line << '\n';
}

// The cross-process lock called name, or a CliError: without it two programs
// could talk to the mouse at once.
std::unique_ptr<NamedMutex> SharedLock(const std::string& name) {
  std::string error;
  std::unique_ptr<NamedMutex> mutex = CreateNamedMutex(name, &error);
  if (!mutex) throw CliError{"cannot lock the mouse for this program: " + error};
  return mutex;
}

}  // namespace

class CliWorld {
 public:
  CliWorld(const GlobalOptions& options, std::ostream& err) : simState_(options.simState) {
    if (options.simulate.empty() && !options.simOptions.empty()) throw CliError{"--sim-option needs --simulate"};
    if (options.simulate.empty() && !options.simState.empty()) throw CliError{"--sim-state needs --simulate"};
    // The state lock comes first and is held until this world is gone, after
    // the last save; nothing else is held while waiting for it. A state that
    // could not be kept fails before any request.
    if (!simState_.empty()) {
      try {
        sim::CheckSimStateWritable(simState_);
      } catch (const sim::SimStateError& e) {
        throw CliError{e.what()};
      }
      std::string error;
      stateMutex_ = CreateFileLock(sim::ResolvedSimStatePath(simState_), &error);
      if (!stateMutex_) throw CliError{"cannot lock the simulator state for this program: " + error};
      stateLock_ = std::unique_lock<NamedMutex>(*stateMutex_);
    }
    SessionParts parts;
    parts.vendorId = options.vendorId.value_or(kProductVendorId);
    parts.applicationFolders = XdgPaths(QUORIX_SOURCE_DATA_DIR).ApplicationFolders();
    if (!options.simulate.empty()) {
      // The simulated mouse lives inside this process: no other program can
      // reach it, so its locks need not (and must not, or two simulations
      // would wait on each other) reach across processes.
      parts.exchangeMutex = std::make_unique<LocalMutex>();
      parts.deviceListMutex = std::make_unique<LocalMutex>();
      const sim::SimOptions simOptions = SimOptionsFrom(options);
      // The simulated mouse lives in virtual time unless a latency was asked
      // for to feel like the real thing.
      const bool virtualTime = simOptions.latencyMs == 0;
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
          throw CliError{e.what()};
        }
      }
    } else {
      parts.exchangeMutex = SharedLock(kExchangeMutexName);
      parts.deviceListMutex = SharedLock(kDeviceListMutexName);
      parts.clock = std::make_unique<SteadyClock>();
      parts.host = CreateSystemHidHost();
      if (!parts.host) throw CliError{"No device !!"};
    }
    session_ = std::make_unique<Session>(std::move(parts));
    session_->SelectDevice(options.devicePath);
    DeviceLink& link = session_->Link();
    link.SetLockWaitNotice([&err, said = false]() mutable {
      if (!said) err << "quorix-mousectl: waiting for another program to let go of the mouse...\n";
      said = true;
    });
    if (options.trace) {
      link.SetTrace([&err](char direction, const uint8_t* bytes, size_t length) {
        TraceLine(err, direction, bytes, length);
      });
    }
  }

  Session& GetSession() { return *session_; }

  // Keeps the simulated mouse's memory for the next run (the first mouse's:
  // a second mouse starts from its factory state every time).
  void SaveSimState() {
    if (simHost_ == nullptr || simState_.empty()) return;
    try {
      sim::SaveSimState(simHost_->Mouse(), simState_);
    } catch (const sim::SimStateError& e) {
      throw CliError{e.what()};
    }
  }

 private:
  std::unique_ptr<NamedMutex> stateMutex_;
  std::unique_lock<NamedMutex> stateLock_;
  std::unique_ptr<Session> session_;
  sim::SimHidHost* simHost_ = nullptr;  // owned by the session
  std::string simState_;
};

CliContext::CliContext(GlobalOptions options, std::vector<std::string> args, std::ostream& out, std::ostream& err,
                       bool stderrIsTerminal, const CommandSpec* command)
    : options_(std::move(options)), args_(std::move(args)), out_(out), err_(err),
      stderrIsTerminal_(stderrIsTerminal), command_(command) {}

CliContext::~CliContext() {
  // A command that failed half-way has still changed the mouse: keep that too.
  if (world_ == nullptr || finished_) return;
  try {
    world_->SaveSimState();
  } catch (const CliError& e) {
    err_ << "quorix-mousectl: " << e.message << "\n";
  }
}

void CliContext::Finish() {
  finished_ = true;
  if (world_ != nullptr) world_->SaveSimState();
}

Session& CliContext::GetSession() {
  if (world_ == nullptr) world_ = std::make_unique<CliWorld>(options_, err_);
  return world_->GetSession();
}

DeviceLink& CliContext::Link() { return GetSession().Link(); }

std::string CliContext::DevicePath() {
  Session& session = GetSession();
  Require(session.ResolveDevice(), "", false);
  return session.CurrentDevicePath();
}

std::string SelectCommandDevice(CliContext& context) { return context.DevicePath(); }

void LoadSelectedDevice(CliContext& context, std::function<void(double)> progress) {
  // A load only reads, unless it finds an erased mouse and resets it.
  Require(context.GetSession().Load(std::move(progress)), "", false);
}

}  // namespace quorix
