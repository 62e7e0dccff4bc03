#pragma once

namespace vemro {

class CliRegistry;

// firmware check FILE, firmware update FILE, firmware verify FILE [--attempts N] [--no]:
// the bootloader core on the terminal of the CLI session.
void registerFirmwareCommands(CliRegistry& registry);

} // namespace vemro
