#pragma once

namespace vemro {
class CliRegistry;
// "upgrade FILE" and the other project-file commands.
void registerProjectCommands(CliRegistry& registry);
} // namespace vemro
