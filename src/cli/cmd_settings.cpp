#include "cli/cli.h"

namespace quorix {

void RegisterSettingsCommands(CommandRegistry& /*registry*/) {}

}  // namespace quorix
