#pragma once

namespace vemro {
class CliRegistry;
// "project list|new|info|delete", "discover" and "config read|write".
void registerProjectLifecycleCommands(CliRegistry& registry);
} // namespace vemro
