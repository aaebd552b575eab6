// The session a command works with (session/world builds it) with the
// command line's own additions: the device chosen, the notice while another
// program holds the mouse, and --trace and --trace-file.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <ostream>

#include "cli/cli.h"
#include "device/device_link.h"
#include "platform/linux/xdg_paths.h"
#include "session/session.h"
#include "session/world/session_world.h"

namespace quorix {
namespace {

std::string TraceLine(char direction, const uint8_t* bytes, size_t length) {
  std::string line(1, direction);
  char hex[4];
  for (size_t i = 0; i < length; ++i) {
    std::snprintf(hex, sizeof hex, " %02x", bytes[i]);
    line += hex;
  }
  return line + '\n';
}

}  // namespace

class CliWorld {
 public:
  // traceFile: where --trace-file goes, or nullptr.
  CliWorld(const GlobalOptions& options, std::ostream& err, std::ostream* traceFile) {
    try {
      world_ = std::make_unique<SessionWorld>(WorldFrom(options, err));
    } catch (const WorldError& e) {
      throw CliError{e.message};
    }
    Session& session = world_->GetSession();
    session.SelectDevice(options.devicePath);
    DeviceLink& link = session.Link();
    link.SetLockWaitNotice([&err, said = false]() mutable {
      if (!said) err << "quorix-mousectl: waiting for another program to let go of the mouse...\n";
      said = true;
    });
    std::ostream* traceErr = options.trace ? &err : nullptr;
    if (traceErr != nullptr || traceFile != nullptr) {
      link.SetTrace([traceErr, traceFile](char direction, const uint8_t* bytes, size_t length) {
        const std::string line = TraceLine(direction, bytes, length);
        if (traceErr != nullptr) *traceErr << line;
        // Flushed line by line: a run stopped with Ctrl-C or hung on the
        // mouse keeps every exchange up to that point for the bug report.
        if (traceFile != nullptr) *traceFile << line << std::flush;
      });
    }
  }

  Session& GetSession() { return world_->GetSession(); }

  void SaveSimState() {
    try {
      world_->SaveSimState();
    } catch (const WorldError& e) {
      throw CliError{e.message};
    }
  }

 private:
  static WorldOptions WorldFrom(const GlobalOptions& options, std::ostream& err) {
    WorldOptions world;
    world.simulate = options.simulate;
    world.simState = options.simState;
    world.stateWaitNotice = [&err, file = options.simState] {
      err << "quorix-mousectl: waiting for another run to let go of the simulator state " << file << "...\n";
    };
    world.simOptions = options.simOptions;
    world.vendorId = options.vendorId;
    world.applicationFolders = XdgPaths(QUORIX_SOURCE_DATA_DIR).ApplicationFolders();
    return world;
  }

  std::unique_ptr<SessionWorld> world_;
};

CliContext::CliContext(GlobalOptions options, std::vector<std::string> args, std::ostream& out, std::ostream& err,
                       bool stderrIsTerminal, const CommandSpec* command)
    : options_(std::move(options)), args_(std::move(args)), out_(out), err_(err),
      stderrIsTerminal_(stderrIsTerminal), command_(command) {
  if (options_.traceFile.empty()) return;
  // Written as it happens, not through a temporary file: half a trace of a
  // run that was cut off is exactly what a bug report needs.
  traceFile_ = std::make_unique<std::ofstream>(options_.traceFile, std::ios::out | std::ios::trunc);
  if (!*traceFile_) {
    throw CliError{"cannot write the trace file " + options_.traceFile + ": " + std::strerror(errno)};
  }
}

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
  if (world_ == nullptr) world_ = std::make_unique<CliWorld>(options_, err_, traceFile_.get());
  return world_->GetSession();
}

DeviceLink& CliContext::Link() { return GetSession().Link(); }

std::string CliContext::DevicePath() {
  Session& session = GetSession();
  Require(session.ResolveDevice().Wait(), "", false);
  return session.CurrentDevicePath();
}

std::string SelectCommandDevice(CliContext& context) { return context.DevicePath(); }

void LoadSelectedDevice(CliContext& context, std::function<void(double)> progress) {
  // A load only reads, unless it finds an erased mouse and resets it.
  Require(context.GetSession().Load(std::move(progress)).Wait(), "", false);
}

}  // namespace quorix
