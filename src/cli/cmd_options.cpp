#include "cli/cli.h"

namespace quorix {

void RegisterOptionsCommands(CommandRegistry& /*registry*/) {}

}  // namespace quorix
