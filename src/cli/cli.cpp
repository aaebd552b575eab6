#include "cli/cli.h"

#include <cerrno>
#include <cctype>
#include <cstdlib>
#include <exception>
#include <ostream>

namespace quorix {
namespace {

constexpr const char* kProgram = "quorix-mousectl";

void PrintHelp(std::ostream& out, const CommandRegistry& registry) {
  out << "Usage: " << kProgram << " [GLOBAL OPTIONS] COMMAND [ARGS]\n"
      << "\nGlobal options:\n"
      << "  --simulate[=level11|level5|level0]  use the simulated mouse (default level11)\n"
      << "  --sim-state FILE                    keep the simulated memory in FILE between runs\n"
      << "  --sim-option NAME[=VALUE]           simulator switch: latency-ms=N, busy, silent,\n"
      << "                                      unplug-after=N, second-mouse, isp, odd-answers\n"
      << "                                      (repeatable)\n"
      << "  --device PATH                       work on this device path\n"
      << "  --vendor-id HEX                     the mouse's USB vendor ID (rebranded mice)\n"
      << "  --trace                             print every feature-report exchange on stderr\n"
      << "  --help, --version\n"
      << "\nCommands:\n";
  for (const CommandSpec& c : registry.Commands()) {
    out << "  " << c.usage << "\n      " << c.summary << "\n";
  }
}

// Splits "--name=value" or takes the next argument for "--name value".
bool TakeValue(const std::vector<std::string>& argv, size_t& i, const std::string& name, std::string& value) {
  const std::string& a = argv[i];
  if (a == name) {
    if (i + 1 >= argv.size()) throw CliError{name + " needs a value"};
    value = argv[++i];
    return true;
  }
  if (a.rfind(name + "=", 0) == 0) {
    value = a.substr(name.size() + 1);
    return true;
  }
  return false;
}

}  // namespace

long ParseNumber(const std::string& text, long min, long max, const std::string& what) {
  if (text.empty()) throw CliError{"missing " + what};
  const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  const char* digits = hex ? text.c_str() + 2 : text.c_str();
  // strtol would also take blanks and a sign after "0x": only digits may follow.
  const auto first = static_cast<unsigned char>(digits[0]);
  const bool startsWell = hex ? std::isxdigit(first) != 0 : (std::isdigit(first) != 0 || first == '-');
  errno = 0;
  char* end = nullptr;
  const long value = std::strtol(digits, &end, hex ? 16 : 10);
  if (!startsWell || errno != 0 || end == digits || *end != '\0') throw CliError{"invalid " + what + ": " + text};
  if (value < min || value > max) {
    throw CliError{what + " out of range (" + std::to_string(min) + ".." + std::to_string(max) + "): " + text};
  }
  return value;
}

std::string FailureMessage(Failure failure, const std::string& detail, bool writing) {
  const std::string again = writing ? "; settings may be partly written \u2014 run the command again"
                                    : " \u2014 run the command again";
  switch (failure) {
    case Failure::kNone:
      return "";
    case Failure::kNoDevice:
      return "No device !!";
    case Failure::kStoppedAnswering:
      return "the mouse stopped answering" + again;
    case Failure::kDeviceGone:
      return "the mouse was unplugged" + again;
    case Failure::kBadAnswers:
      return "the mouse gave answers that make no sense" + again;
    case Failure::kLockBusy:
      return "another program is using the mouse";
    case Failure::kCancelled:
      return "cancelled";
    case Failure::kDeclined:
      return "nothing was changed";
    case Failure::kInvalidArgument:
      return "value out of range" + (detail.empty() ? "" : ": " + detail);
    case Failure::kLackOfSpace:
      return "Lack of space !!";
    case Failure::kInvalidFormat:
      return "invalid format !!";
    case Failure::kCannotReadFile:
      return detail.empty() ? "cannot read the file" : detail;
    case Failure::kCannotWriteFile:
      return detail.empty() ? "cannot write the file" : detail;
    case Failure::kNotSupported:
      return "this mouse has no such setting" + (detail.empty() ? "" : ": " + detail);
  }
  return "failed";
}

void Require(Outcome outcome, const std::string& detail, bool writing) {
  if (!outcome) throw CliError{FailureMessage(outcome.failure, detail, writing)};
}

void ExpectArgCount(const CliContext& context, size_t count, const std::string& usage) {
  if (context.Args().size() != count) throw CliError{"usage: " + usage};
}

int RunCli(const std::vector<std::string>& argv, std::ostream& out, std::ostream& err, bool stderrIsTerminal) {
  CommandRegistry registry;
  RegisterDeviceCommands(registry);
  RegisterSettingsCommands(registry);
  RegisterMacroCommands(registry);
  RegisterOptionsCommands(registry);
  RegisterLightingCommands(registry);

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
      } else if (TakeValue(argv, i, "--sim-state", value)) {
        options.simState = value;
      } else if (TakeValue(argv, i, "--sim-option", value)) {
        options.simOptions.push_back(value);
      } else if (TakeValue(argv, i, "--device", value)) {
        options.devicePath = value;
      } else if (TakeValue(argv, i, "--vendor-id", value)) {
        std::string hex = value.rfind("0x", 0) == 0 || value.rfind("0X", 0) == 0 ? value : "0x" + value;
        options.vendorId = static_cast<uint16_t>(ParseNumber(hex, 0, 0xFFFF, "vendor ID"));
      } else {
        throw CliError{"unknown option " + a + " (see --help)"};
      }
    }
    if (i >= argv.size()) throw CliError{"no command given (see --help)"};
    const std::string name = argv[i];
    for (const CommandSpec& c : registry.Commands()) {
      if (c.name == name) {
        CliContext context(options, std::vector<std::string>(argv.begin() + static_cast<long>(i) + 1, argv.end()),
                           out, err, stderrIsTerminal);
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
