#include "cli/cli.h"

namespace quorix {

void RegisterLightingCommands(CommandRegistry& /*registry*/) {}

}  // namespace quorix
