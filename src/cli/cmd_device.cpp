#include "cli/cli.h"

namespace quorix {

void RegisterDeviceCommands(CommandRegistry& /*registry*/) {}

}  // namespace quorix
