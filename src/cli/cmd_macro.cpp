#include "cli/cli.h"

namespace quorix {

void RegisterMacroCommands(CommandRegistry& /*registry*/) {}

}  // namespace quorix
