#include "cli/ProjectLifecycleCommands.h"

#include "cli/CliRegistry.h"
#include "platform/Globals.h"
#include "platform/ProgramInfo.h"
#include "platform/UserInterface.h"
#include "project/DataEnvironment.h"
#include "project/ProgramDatabase.h"
#include "project/ProjectFiles.h"
#include "project/clsProjekt.h"

#include <QFileInfo>
#include <QSqlQuery>

namespace vemro {

namespace {

// Opens the program database of the program folder and gives the project folder.
bool openProgram(CliContext& ctx, DataEnvironment& env, QString* folder)
{
    const QString programFolder = ProgramFolder();
    QString error;
    const QString db = programFolder + QStringLiteral("/VEMRO.mdb");
    if (!EnsureProgramDatabase(db, &error)) {
        ctx.fail(error);
        return false;
    }
    env.setConnectionString(DataEnvironment::kDaten, DataEnvironment::connectionText(db));
    if (!env.open(DataEnvironment::kDaten, &error) ||
        !env.execute(QStringLiteral("cmdAllgemein"), {}, &error)) {
        ctx.fail(error);
        return false;
    }
    Recordset& settings = env.recordset(QStringLiteral("cmdAllgemein"));
    settings.moveFirst();
    const QVariant pfad = settings.value(QStringLiteral("ProjektPfad"));
    *folder = pfad.isNull() ? programFolder + QLatin1Char('/')
                            : JoinStoredPath(programFolder, pfad.toString());
    globals().Projektverzeichnis = *folder;
    return true;
}

int projectList(CliContext& ctx)
{
    if (!ctx.args.isEmpty())
        return ctx.usage(QStringLiteral("project list"));
    DataEnvironment& env = DataEnvironment::instance();
    QString folder;
    if (!openProgram(ctx, env, &folder))
        return 1;
    for (const QString& name : ProjectFiles::Entries(folder))
        ctx.out << name << '\n';
    return 0;
}

int projectNew(CliContext& ctx)
{
    if (ctx.args.size() != 1)
        return ctx.usage(QStringLiteral("project new NAME [--template VORLAGE]"));
    DataEnvironment& env = DataEnvironment::instance();
    QString folder;
    if (!openProgram(ctx, env, &folder))
        return 1;
    clsProjekt projekt(env);
    projekt.setBasispfad(folder);
    const QString name = ctx.args.first();
    const QString vorlage = ctx.option(QStringLiteral("template"), QStringLiteral("vx_standard"));
    switch (projekt.newProjekt(vorlage, name)) {
    case clsProjekt::NewResult::Created:
        ctx.out << projekt.ProjektDatei(name) << '\n';
        return 0;
    case clsProjekt::NewResult::KeptExisting:
        return ctx.fail(QStringLiteral("Projekt %1 besteht bereits und wurde nicht überschrieben").arg(name));
    case clsProjekt::NewResult::Failed:
        break;
    }
    return 1;
}

int projectDelete(CliContext& ctx)
{
    if (ctx.args.size() != 1)
        return ctx.usage(QStringLiteral("project delete NAME [--yes]"));
    DataEnvironment& env = DataEnvironment::instance();
    QString folder;
    if (!openProgram(ctx, env, &folder))
        return 1;
    clsProjekt projekt(env);
    projekt.setBasispfad(folder);
    return projekt.deleteProjekt(ctx.args.first()) ? 0 : 1;
}

QString text(const QVariant& v)
{
    return v.isNull() ? QStringLiteral("(leer)") : v.toString();
}

int count(DataEnvironment& env, const QString& sql)
{
    QSqlQuery q(env.database(DataEnvironment::kProjekt));
    if (q.exec(sql) && q.next())
        return q.value(0).toInt();
    return -1;
}

int projectInfo(CliContext& ctx)
{
    if (ctx.args.size() != 1)
        return ctx.usage(QStringLiteral("project info NAME"));
    DataEnvironment& env = DataEnvironment::instance();
    QString folder;
    if (!openProgram(ctx, env, &folder))
        return 1;
    clsProjekt projekt(env);
    projekt.setBasispfad(folder);
    const QString name = ctx.args.first();
    const QString file = projekt.ProjektDatei(name);
    // Only names inside the project folder.
    if (name.contains(QLatin1Char('/')) || name.startsWith(QLatin1Char('.')) ||
        !QFileInfo(file).isFile())
        return ctx.fail(QStringLiteral("Projektdatei nicht gefunden ") + file);
    QString error;
    if (!projekt.connectFile(file, &error) || !env.execute(QStringLiteral("cmdProjekt"), {}, &error))
        return ctx.fail(error);
    Recordset& header = env.recordset(QStringLiteral("cmdProjekt"));
    header.moveFirst();
    ctx.out << "Projekt: " << name << '\n'
            << "Datei: " << file << '\n'
            << "Hardware: " << text(header.value(QStringLiteral("RKHardwarebezeichnung"))) << '\n'
            << "DBVersion: " << text(header.value(QStringLiteral("DBVersion"))) << '\n'
            << "minProgversion: " << text(header.value(QStringLiteral("minProgversion"))) << '\n'
            << "lastComMode: " << text(header.value(QStringLiteral("lastComMode"))) << '\n';
    if (env.execute(QStringLiteral("cmdTerminaleinstellung"), {}, &error)) {
        Recordset& rs = env.recordset(QStringLiteral("cmdTerminaleinstellung"));
        rs.moveFirst();
        for (const char* column :
             {"ParameterMode", "SendMode", "Tastaturenabled", "IOPortsEnabled", "Einschaltmeldung",
              "Festtextmode", "FesttextPort", "Backlight", "Kontrast", "Display_Zeilen",
              "Display_Spalten", "Comsettings", "ComsettingsProg", "Users485"}) {
            const QString c = QString::fromLatin1(column);
            ctx.out << c << ": " << (rs.hasField(c) ? text(rs.value(c)) : QStringLiteral("(fehlt)"))
                    << '\n';
        }
    }
    const struct
    {
        const char* label;
        const char* sql;
    } counts[] = {
        {"Festtexte", "SELECT count(*) FROM Festtexte"},
        {"Tastencodes", "SELECT count(*) FROM Tastencodes"},
        {"Userzeichen", "SELECT count(*) FROM Userzeichen"},
        {"Seiten", "SELECT count(*) FROM Register WHERE visible"},
        {"Displaytypen", "SELECT count(*) FROM Display"},
        {"Befehle", "SELECT count(*) FROM Befehlssatz"},
        {"QM-Tests", "SELECT count(*) FROM QMTests"},
    };
    for (const auto& c : counts)
        ctx.out << c.label << ": " << count(env, QString::fromLatin1(c.sql)) << '\n';
    env.close(DataEnvironment::kProjekt);
    return 0;
}

} // namespace

void registerProjectLifecycleCommands(CliRegistry& registry)
{
    registry.addValueOption(QStringLiteral("template"));
    registry.add({QStringLiteral("project list"), QStringLiteral("project list"),
                  QStringLiteral("listet die Projekte des Projektverzeichnisses"), projectList});
    registry.add({QStringLiteral("project new"), QStringLiteral("project new NAME [--template VORLAGE]"),
                  QStringLiteral("legt ein Projekt aus einer Hardwarevorlage an (Standard vx_standard)"),
                  projectNew});
    registry.add({QStringLiteral("project info"), QStringLiteral("project info NAME"),
                  QStringLiteral("zeigt Kopf, Terminaleinstellungen und Anzahlen eines Projekts"),
                  projectInfo});
    registry.add({QStringLiteral("project delete"), QStringLiteral("project delete NAME [--yes]"),
                  QStringLiteral("löscht ein Projekt und seinen Eintrag der zuletzt benutzten"),
                  projectDelete});
}

} // namespace vemro
