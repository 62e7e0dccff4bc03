#include "cli/VerifyCommands.h"

#include "cli/CliRegistry.h"
#include "cli/CliSession.h"
#include "config/ProjectVerifyCore.h"
#include "config/TerminalSettingsData.h"
#include "project/DataEnvironment.h"
#include "project/clsProjekt.h"

#include <algorithm>

namespace vemro {

namespace {

const QString kOnly = QStringLiteral("only");

int projectVerify(CliContext& ctx)
{
    const QString usage = QStringLiteral("project verify NAME [--only BEREICH,...] [Verbindung]");
    if (ctx.args.size() != 1)
        return ctx.usage(usage);
    const QStringList only = ctx.option(kOnly).split(QLatin1Char(','), Qt::SkipEmptyParts);
    if (ctx.has(kOnly) && only.isEmpty())
        return ctx.usage(usage);
    DataEnvironment& env = ctx.session->env();
    clsProjekt projekt(env);
    if (!ctx.session->openProject(ctx.args.first(), projekt))
        return 2;
    TerminalSettingsData data;
    int code = 0;
    clsVX* vx = ctx.session->configuredTerminal(data, code);
    if (!vx)
        return std::max(code, 2);
    return printVerify(ctx, *vx, env, only);
}

} // namespace

int printVerify(CliContext& ctx, clsVX& vx, DataEnvironment& env, const QStringList& only)
{
    ProjectVerifyCore core(vx, env);
    QString error;
    if (!core.setOnly(only, &error)) {
        (void)ctx.fail(error);
        return 2;
    }
    VerifyResult result;
    if (!core.verify(result, &error)) {
        (void)ctx.fail(error);
        return 2;
    }
    for (const QString& line : result.lines())
        ctx.out << line << '\n';
    ctx.out.flush();
    return result.equal() ? 0 : 1;
}

void registerVerifyCommands(CliRegistry& registry)
{
    registry.addValueOption(kOnly);
    registry.add({QStringLiteral("project verify"),
                  QStringLiteral("project verify NAME [--only BEREICH,...]"),
                  QStringLiteral("vergleicht das Terminal mit dem Projekt (Exit 0 gleich, 1 "
                                 "verschieden, 2 Fehler); Bereiche: ") +
                      ProjectVerifyCore::areaKeys().join(QStringLiteral(", ")),
                  projectVerify,
                  {kOnly},
                  true});
}

} // namespace vemro
