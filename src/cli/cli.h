#pragma once
// quorix-mousectl: the command-line front end on the same core as the GUI.
//
// Every command is registered by its module's cmd_*.cpp file. A command gets a
// CliContext with its arguments, the output streams and the world (HID host,
// clock, locks, device link) built from the global options.

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "device/outcome.h"

namespace quorix {

class DeviceLink;
class HidHost;
class Session;
struct Options;

struct GlobalOptions {
  // "" when not simulating; else "level11", "level5" or "level0".
  std::string simulate;
  std::string simState;                  // --sim-state FILE
  std::vector<std::string> simOptions;   // --sim-option NAME[=VALUE], repeated
  std::string devicePath;                // --device PATH
  std::optional<uint16_t> vendorId;      // --vendor-id HEX
  bool trace = false;                    // --trace
  std::string traceFile;                 // --trace-file FILE; "" for none
};

// Thrown by commands for bad arguments, missing devices and file errors; the
// front end prints "quorix-mousectl: <message>" on stderr and exits with 1.
struct CliError {
  std::string message;
};

class CliWorld;
struct CommandSpec;

class CliContext {
 public:
  CliContext(GlobalOptions options, std::vector<std::string> args, std::ostream& out, std::ostream& err,
             bool stderrIsTerminal, const CommandSpec* command = nullptr);
  ~CliContext();

  const GlobalOptions& Options() const { return options_; }
  // The command's arguments, without the command name.
  const std::vector<std::string>& Args() const { return args_; }
  std::ostream& Out() { return out_; }
  std::ostream& Err() { return err_; }
  bool StderrIsTerminal() const { return stderrIsTerminal_; }
  // "usage: ..." with the forms of the command that match its first argument
  // (all of them when none does), for a command given the wrong arguments.
  CliError UsageError() const;

  // The session (simulated or real HID host, device link, settings state and
  // the executor every device sequence runs on), built on first use.
  Session& GetSession();
  // The session's device link.
  DeviceLink& Link();
  // --device when given, else the first device of the list after enumeration:
  // the session's current device from then on. Throws CliError("No device
  // !!") when there is none.
  std::string DevicePath();
  // Ends the command: keeps the simulated mouse's state (--sim-state).
  // Throws CliError when that fails. Run by RunCli after a command returned;
  // a context destroyed without it saves on a best-effort basis.
  void Finish();

 private:
  GlobalOptions options_;
  std::vector<std::string> args_;
  std::ostream& out_;
  std::ostream& err_;
  bool stderrIsTerminal_;
  const CommandSpec* command_;
  // --trace-file, opened with the context so that a path that cannot be
  // written fails every command before it reaches the mouse.
  std::unique_ptr<std::ofstream> traceFile_;
  std::unique_ptr<CliWorld> world_;
  bool finished_ = false;
};

struct CommandSpec {
  std::string name;  // first word on the command line, e.g. "macro"
  // Every form of the command, each a whole line after the program name:
  // "macro show SLOT", "macro import FILE.mf SLOT [--strict]". The help, a
  // "COMMAND [SUBCOMMAND] --help" and the usage errors all print these, so a
  // usage is spelled out nowhere else.
  std::vector<std::string> forms;
  std::string summary;  // one line for --help
  std::function<int(CliContext&)> run;  // returns the exit status
};

// The forms of `command` whose subcommand is args[0] ("set dpi ..." for
// {"dpi", ...}), or all of them when args[0] names none.
std::vector<std::string> MatchingForms(const CommandSpec& command, const std::vector<std::string>& args);

class CommandRegistry {
 public:
  void Add(CommandSpec command) { commands_.push_back(std::move(command)); }
  const std::vector<CommandSpec>& Commands() const { return commands_; }

 private:
  std::vector<CommandSpec> commands_;
};

// One per module, each in its own cmd_*.cpp.
void RegisterDeviceCommands(CommandRegistry& registry);    // list, info, read, write
void RegisterSettingsCommands(CommandRegistry& registry);  // show, backup, restore, reset, set
void RegisterMacroCommands(CommandRegistry& registry);     // macro, mf, describe
void RegisterOptionsCommands(CommandRegistry& registry);   // texts, options
void RegisterLightingCommands(CommandRegistry& registry);  // lighting, lift, watch-apps
void RegisterMonitorCommand(CommandRegistry& registry);    // monitor
void RegisterDoctorCommand(CommandRegistry& registry);     // doctor

// Every command of the program, in the order --help lists them.
CommandRegistry AllCommands();

// Parses the global options and runs one command. Returns the exit status.
int RunCli(const std::vector<std::string>& argv, std::ostream& out, std::ostream& err, bool stderrIsTerminal);

// Number parsing shared by commands: decimal or 0x-hex; throws CliError.
long ParseNumber(const std::string& text, long min, long max, const std::string& what);

// The firmware version as the user is shown it, from the identification's
// variant A.
int FirmwareNumber(int variantA);

// `count` bytes as lower-case hex pairs separated by spaces ("0a ff 01").
std::string HexBytes(const uint8_t* bytes, size_t count);

// Throws the context's UsageError() unless the command got exactly `count`
// arguments.
void ExpectArgCount(const CliContext& context, size_t count);

// The set.ini of --data-dir DIR when `dataDir` is given (it must not be a
// file), else of the user's data folder. Throws CliError.
std::string SetIniPath(const std::optional<std::string>& dataDir);
// The program options of that set.ini, read without touching the desktop's
// pointer settings. A missing file gives the defaults; one that is there but
// cannot be read throws CliError.
Options LoadCliOptions(const std::string& setIni);
// The language identifier kept in that set.ini; throws CliError like
// LoadCliOptions.
int LoadCliLanguageId(const std::string& setIni);

// The one line the CLI prints for a failed operation. `detail` names the file
// for file failures. `writing`: the operation was changing the mouse, so it
// may have been left half-written.
std::string FailureMessage(Failure failure, const std::string& detail = "", bool writing = true);
// Throws CliError(FailureMessage(...)) unless the outcome says done.
void Require(Outcome outcome, const std::string& detail = "", bool writing = true);

// Makes the command's device (CliContext::DevicePath) the session's current
// device, and returns its path. Throws CliError("No device !!").
std::string SelectCommandDevice(CliContext& context);
// Loads the session's current device into the session's settings state;
// throws the load's failure as a CliError when nothing was loaded.
void LoadSelectedDevice(CliContext& context, std::function<void(double)> progress = {});

}  // namespace quorix
