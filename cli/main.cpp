// vemro-cli: Vemro's core without windows, for automation and production lines.
#include "cli/CliRegistry.h"
#include "cli/FesttextCommands.h"
#include "cli/FirmwareCommands.h"
#include "cli/KeyboardCommands.h"
#include "cli/LinkCommands.h"
#include "cli/ProjectCommands.h"
#include "cli/ProjectLifecycleCommands.h"
#include "cli/QmTestCommands.h"
#include "cli/VerifyCommands.h"
#include "platform/ConsoleUserInterface.h"
#include "platform/UserInterface.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vemro-cli"));
    vemro::ConsoleUserInterface console;
    vemro::setUi(&console);

    vemro::CliRegistry registry;
    // Each area registers its subcommands here.
    vemro::registerProjectCommands(registry);
    vemro::registerLinkCommands(registry);
    vemro::registerFirmwareCommands(registry);
    vemro::registerProjectLifecycleCommands(registry);
    vemro::registerKeyboardCommands(registry);
    vemro::registerFesttextCommands(registry);
    vemro::registerQmTestCommands(registry);
    vemro::registerVerifyCommands(registry);

    QTextStream out(stdout);
    const int code = registry.run(app.arguments().mid(1), out, console);
    out.flush();
    vemro::setUi(nullptr);
    return code;
}
