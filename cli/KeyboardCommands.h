#pragma once

namespace vemro {
class CliRegistry;
// Keyboard and user-character commands: keys read/write/standard/show, chars write/show,
// keytest; the link options as every other command.
void registerKeyboardCommands(CliRegistry& registry);
} // namespace vemro
