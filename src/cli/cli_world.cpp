// Builds the HID host, clock, locks and device link a command works with.
#include "cli/cli.h"

#include <ostream>

#include "device/device_link.h"

namespace quorix {

class CliWorld {};

CliContext::CliContext(GlobalOptions options, std::vector<std::string> args, std::ostream& out, std::ostream& err,
                       bool stderrIsTerminal)
    : options_(std::move(options)), args_(std::move(args)), out_(out), err_(err),
      stderrIsTerminal_(stderrIsTerminal) {}

CliContext::~CliContext() = default;

DeviceLink& CliContext::Link() { throw CliError{"No device !!"}; }

std::string CliContext::DevicePath() { throw CliError{"No device !!"}; }

}  // namespace quorix
