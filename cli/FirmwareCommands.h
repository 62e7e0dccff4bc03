#pragma once

#include <functional>

namespace vemro {

class CliRegistry;
struct CliContext;
class ComPort;
class clsVX;

// A command body on the link the options describe, and how to run one.
using FirmwareAction = std::function<int(CliContext&, clsVX&, ComPort&)>;
using FirmwareLinkRunner = std::function<std::function<int(CliContext&)>(FirmwareAction)>;

// firmware check FILE, firmware update FILE, firmware verify FILE [--attempts N] [--no].
void registerFirmwareCommands(CliRegistry& registry, const FirmwareLinkRunner& withLink);

} // namespace vemro
