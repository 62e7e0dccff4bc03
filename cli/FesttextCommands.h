#pragma once

namespace vemro {

class CliRegistry;

// "texts read|write|import|export|show" and "commands list|compose".
void registerFesttextCommands(CliRegistry& registry);

} // namespace vemro
