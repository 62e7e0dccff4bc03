#include "cli/ProjectCommands.h"

#include "cli/CliRegistry.h"
#include "cli/CliSession.h"
#include "platform/UserInterface.h"
#include "project/DataEnvironment.h"
#include "project/clsProjekt.h"

#include <QFileInfo>

namespace vemro {

namespace {

int upgrade(CliContext& ctx)
{
    if (ctx.args.size() != 1)
        return ctx.usage(QStringLiteral("upgrade DATEI"));
    const QString file = QFileInfo(ctx.args.first()).absoluteFilePath();
    DataEnvironment& env = ctx.session->env();
    clsProjekt projekt(env);
    QString error;
    if (!projekt.connectFile(file, &error))
        return ctx.fail(error);
    const bool upgraded = projekt.UpdateProjekt();
    const bool allowed = projekt.CheckMinProgversion();
    const QString version = projekt.DBVersion();
    env.close(DataEnvironment::kProjekt);
    if (!upgraded || !allowed)
        return 1; // the message has been shown
    ctx.out << (version.isEmpty() ? QStringLiteral("(leer)") : version) << '\n';
    return 0;
}

} // namespace

void registerProjectCommands(CliRegistry& registry)
{
    registry.add(
        {QStringLiteral("upgrade"), QStringLiteral("upgrade DATEI"),
         QStringLiteral("bringt eine Projektdatei auf das neueste Schema und gibt DBVersion aus"),
         upgrade});
}

} // namespace vemro
