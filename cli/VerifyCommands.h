#pragma once

#include <QStringList>

namespace vemro {

class CliRegistry;
class DataEnvironment;
class clsVX;
struct CliContext;

// "project verify NAME": does the terminal hold the open project? One line per area, the
// differences below it. Exit code 0 when every compared area is equal, 1 when one differs,
// 2 when the project could not be read or the terminal did not answer (nothing changed).
[[nodiscard]] int printVerify(CliContext& ctx, clsVX& vx, DataEnvironment& env,
                              const QStringList& only = {});

void registerVerifyCommands(CliRegistry& registry);

} // namespace vemro
