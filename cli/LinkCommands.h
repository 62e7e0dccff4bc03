#pragma once

namespace vemro {
class CliRegistry;
// Terminal link commands: ports, ports map, scan, info, send, io, analog, eeprom, reset,
// speed, save-config; options --com N, --device PATH, --speed S, --rs485, --net HOST.
void registerLinkCommands(CliRegistry& registry);
} // namespace vemro
