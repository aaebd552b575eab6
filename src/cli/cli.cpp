#include "cli/cli.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <ostream>
#include <system_error>

#include "options/app_display_name.h"
#include "options/language_setting.h"
#include "options/options_store.h"
#include "platform/linux/xdg_paths.h"
#include "session/failure_text.h"
#include "session/session.h"
#include "session/world/session_world.h"

namespace quorix {
namespace {

constexpr const char* kProgram = "quorix-mousectl";

void PrintHelp(std::ostream& out, const CommandRegistry& registry) {
  out << "Usage: " << kProgram << " [GLOBAL OPTIONS] COMMAND [ARGS]\n"
      << "\nGlobal options:\n"
      << "  --simulate[=level11|level5|level0]  use the simulated mouse (default level11)\n"
      << "  --sim-state FILE                    keep the simulated memory in FILE between runs\n"
      << "  --sim-option NAME[=VALUE]           simulator switch: latency-ms=N, busy, silent,\n"
      << "                                      unplug-after=N, lose-answer-after=N, reset-after=N,\n"
      << "                                      second-mouse, isp, odd-answers,\n"
      << "                                      press=BUTTON,... (dpi-up, dpi-down, profile-next,\n"
      << "                                      profile-prev, wheel-left, wheel-right, open; one\n"
      << "                                      every 100 ms once monitor listens)\n"
      << "                                      (repeatable)\n"
      << "  --device PATH                       work on this device path\n"
      << "  --vendor-id HEX                     the mouse's USB vendor ID (rebranded mice)\n"
      << "  --trace                             print every feature-report exchange on stderr\n"
      << "  --trace-file FILE                   write every feature-report exchange to FILE\n"
      << "  --help, --version\n"
      << "\nCommands:\n";
  for (const CommandSpec& c : registry.Commands()) {
    for (const std::string& form : c.forms) out << "  " << form << "\n";
    out << "      " << c.summary << "\n";
  }
}

// "COMMAND --help": the forms of the command (or of its subcommand) and what
// it does.
void PrintCommandHelp(std::ostream& out, const CommandSpec& command, const std::vector<std::string>& args) {
  const char* lead = "Usage: ";
  for (const std::string& form : MatchingForms(command, args)) {
    out << lead << kProgram << " [GLOBAL OPTIONS] " << form << "\n";
    lead = "       ";
  }
  out << "\n" << command.summary << "\n";
}

bool AsksForHelp(const std::vector<std::string>& args) {
  for (const std::string& a : args) {
    if (a == "--help" || a == "-h") return true;
  }
  return false;
}

// Splits "--name=value" or takes the next argument for "--name value". An
// empty value is refused: "--device=" would otherwise quietly mean "the
// first device" and "--sim-state=" "no state file".
bool TakeValue(const std::vector<std::string>& argv, size_t& i, const std::string& name, std::string& value) {
  const std::string& a = argv[i];
  if (a == name) {
    if (i + 1 >= argv.size()) throw CliError{name + " needs a value"};
    value = argv[++i];
  } else if (a.rfind(name + "=", 0) == 0) {
    value = a.substr(name.size() + 1);
  } else {
    return false;
  }
  if (value.empty()) throw CliError{name + " needs a value, not an empty one"};
  return true;
}

// The vendor ID is hex with or without "0x"; a sign is never part of it.
uint16_t ParseVendorId(const std::string& text) {
  const bool prefixed = text.rfind("0x", 0) == 0 || text.rfind("0X", 0) == 0;
  const std::string digits = prefixed ? text.substr(2) : text;
  if (!digits.empty() && digits[0] == '-') throw CliError{"vendor ID out of range (0..FFFF): " + text};
  if (digits.empty() || digits.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) {
    throw CliError{"invalid vendor ID (a hex number 0..FFFF): " + text};
  }
  const size_t first = digits.find_first_not_of('0');
  if (first != std::string::npos && digits.size() - first > 4) {
    throw CliError{"vendor ID out of range (0..FFFF): " + text};
  }
  return static_cast<uint16_t>(std::strtoul(digits.c_str(), nullptr, 16));
}

}  // namespace

long ParseNumber(const std::string& text, long min, long max, const std::string& what) {
  try {
    return ParseNumberText(text, min, max, what);
  } catch (const WorldError& e) {
    throw CliError{e.message};
  }
}

std::string FailureMessage(Failure failure, const std::string& detail, bool writing) {
  // The command line speaks English whatever the desktop's language is.
  static const TextTables kTexts = DefaultTextTables();
  const std::string text = FailureText(kTexts, failure, writing ? FailedWhile::kWriting : FailedWhile::kReading);
  switch (failure) {
    case Failure::kCannotReadFile:
    case Failure::kCannotWriteFile:
      return detail.empty() ? text : detail;
    case Failure::kInvalidArgument:
    case Failure::kNotSupported:
      return detail.empty() ? text : text + ": " + detail;
    // The file the message is about (the texts themselves name none).
    case Failure::kInvalidFormat:
    case Failure::kLackOfSpace:
      return detail.empty() ? text : text + " (" + detail + ")";
    default:
      return text;
  }
}

void Require(Outcome outcome, const std::string& detail, bool writing) {
  if (!outcome) throw CliError{FailureMessage(outcome.failure, detail, writing)};
}

void ExpectArgCount(const CliContext& context, size_t count) {
  if (context.Args().size() != count) throw context.UsageError();
}

std::vector<std::string> MatchingForms(const CommandSpec& command, const std::vector<std::string>& args) {
  std::vector<std::string> matching;
  if (!args.empty() && !args[0].empty() && args[0][0] != '-') {
    const std::string prefix = command.name + " " + args[0];
    for (const std::string& form : command.forms) {
      if (form == prefix || form.rfind(prefix + " ", 0) == 0) matching.push_back(form);
    }
  }
  return matching.empty() ? command.forms : matching;
}

CliError CliContext::UsageError() const {
  if (command_ == nullptr) return CliError{"wrong arguments (see --help)"};
  std::string text = "usage:";
  const char* separator = " ";
  for (const std::string& form : MatchingForms(*command_, args_)) {
    text += separator + form;
    separator = " | ";
  }
  return CliError{text};
}

std::string SetIniPath(const std::optional<std::string>& dataDir) {
  if (!dataDir) return DataFolderIn(XdgPaths(QUORIX_SOURCE_DATA_DIR).DocumentsFolder()) + kSetIniName;
  std::string folder = *dataDir;
  if (folder.empty()) throw CliError{"--data-dir needs a folder"};
  // A folder that does not exist yet is fine (options set creates it); a
  // file is not a folder, and set.ini "inside" it could never be read.
  std::error_code error;
  if (std::filesystem::exists(folder, error) && !std::filesystem::is_directory(folder, error)) {
    throw CliError{"--data-dir " + folder + " is not a folder"};
  }
  if (folder.back() != '/') folder += '/';
  return folder + kSetIniName;
}

Options LoadCliOptions(const std::string& setIni) {
  Result<Options> options = ReadSetIni(setIni, XdgPaths(QUORIX_SOURCE_DATA_DIR).ApplicationFolders());
  if (!options) throw CliError{"cannot read " + setIni + ": " + options.detail()};
  return std::move(options).value();
}

int LoadCliLanguageId(const std::string& setIni) {
  const Result<int> id = ReadLanguageId(setIni);
  if (!id) throw CliError{"cannot read " + setIni + ": " + id.detail()};
  return *id;
}

CommandRegistry AllCommands() {
  CommandRegistry registry;
  RegisterDeviceCommands(registry);
  RegisterSettingsCommands(registry);
  RegisterMacroCommands(registry);
  RegisterOptionsCommands(registry);
  RegisterLightingCommands(registry);
  RegisterMonitorCommand(registry);
  RegisterDoctorCommand(registry);
  return registry;
}

int RunCli(const std::vector<std::string>& argv, std::ostream& out, std::ostream& err, bool stderrIsTerminal) {
  const CommandRegistry registry = AllCommands();

  try {
    GlobalOptions options;
    size_t i = 0;
    for (; i < argv.size(); ++i) {
      const std::string& a = argv[i];
      std::string value;
      if (a.empty() || a[0] != '-') break;
      if (a == "--help" || a == "-h") {
        PrintHelp(out, registry);
        return 0;
      }
      if (a == "--version") {
        out << kProgram << " " << QUORIX_VERSION << "\n";
        return 0;
      }
      if (a == "--trace") {
        options.trace = true;
      } else if (a == "--simulate") {
        options.simulate = "level11";
      } else if (a.rfind("--simulate=", 0) == 0) {
        options.simulate = a.substr(11);
        if (options.simulate != "level11" && options.simulate != "level5" && options.simulate != "level0") {
          throw CliError{"--simulate takes level11, level5 or level0"};
        }
      } else if (TakeValue(argv, i, "--trace-file", value)) {
        options.traceFile = value;
      } else if (TakeValue(argv, i, "--sim-state", value)) {
        options.simState = value;
      } else if (TakeValue(argv, i, "--sim-option", value)) {
        options.simOptions.push_back(value);
      } else if (TakeValue(argv, i, "--device", value)) {
        options.devicePath = value;
      } else if (TakeValue(argv, i, "--vendor-id", value)) {
        options.vendorId = ParseVendorId(value);
      } else {
        throw CliError{"unknown option " + a + " (see --help)"};
      }
    }
    if (i >= argv.size()) throw CliError{"no command given (see --help)"};
    const std::string name = argv[i];
    for (const CommandSpec& c : registry.Commands()) {
      if (c.name == name) {
        std::vector<std::string> args(argv.begin() + static_cast<long>(i) + 1, argv.end());
        if (AsksForHelp(args)) {
          PrintCommandHelp(out, c, args);
          return 0;
        }
        CliContext context(options, std::move(args), out, err, stderrIsTerminal, &c);
        const int status = c.run(context);
        context.Finish();
        return status;
      }
    }
    throw CliError{"unknown command " + name + " (see --help)"};
  } catch (const CliError& e) {
    err << kProgram << ": " << e.message << "\n";
    return 1;
  } catch (const std::exception& e) {
    // Whatever a library throws still ends as one line and status 1.
    err << kProgram << ": " << e.what() << "\n";
    return 1;
  }
}

}  // namespace quorix
