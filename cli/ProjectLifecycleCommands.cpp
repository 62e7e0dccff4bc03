#include "cli/ProjectLifecycleCommands.h"

#include "cli/CliRegistry.h"
#include "cli/CliSession.h"
#include "config/TerminalSettingsCore.h"
#include "link/ComPort.h"
#include "link/TimeoutTimer.h"
#include "link/clsVX.h"
#include "netmodule/ModuleDiscovery.h"
#include "netmodule/ModuleSearch.h"
#include "netmodule/clsNetModul.h"
#include "platform/Globals.h"
#include "platform/ProgramInfo.h"
#include "platform/SqlTransaction.h"
#include "platform/UserInterface.h"
#include "project/DataEnvironment.h"
#include "project/ProgramDatabase.h"
#include "project/ProjectFiles.h"
#include "project/clsProjekt.h"

#include <QFileInfo>
#include <QHostAddress>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTimer>

#include <memory>

namespace vemro {

namespace {

int projectList(CliContext& ctx)
{
    if (!ctx.args.isEmpty())
        return ctx.usage(QStringLiteral("project list"));
    if (!ctx.session->openProgram())
        return 1;
    for (const QString& name : ProjectFiles::Entries(ctx.session->projectFolder()))
        ctx.out << name << '\n';
    return 0;
}

int projectNew(CliContext& ctx)
{
    if (ctx.args.size() != 1)
        return ctx.usage(QStringLiteral("project new NAME [--template VORLAGE]"));
    const QString name = ctx.args.first();
    if (!ctx.session->checkProjectName(name) || !ctx.session->openProgram())
        return 1;
    clsProjekt projekt(ctx.session->env());
    projekt.setBasispfad(ctx.session->projectFolder());
    const QString vorlage = ctx.option(QStringLiteral("template"), QStringLiteral("vx_standard"));
    switch (projekt.newProjekt(vorlage, name)) {
    case clsProjekt::NewResult::Created:
        ctx.out << projekt.ProjektDatei(name) << '\n';
        return 0;
    case clsProjekt::NewResult::KeptExisting:
        return ctx.fail(
            QStringLiteral("Projekt %1 besteht bereits und wurde nicht überschrieben").arg(name));
    case clsProjekt::NewResult::Failed:
        break;
    }
    return 1;
}

int projectDelete(CliContext& ctx)
{
    if (ctx.args.size() != 1)
        return ctx.usage(QStringLiteral("project delete NAME [--yes]"));
    const QString name = ctx.args.first();
    if (!ctx.session->checkProjectName(name) || !ctx.session->openProgram())
        return 1;
    clsProjekt projekt(ctx.session->env());
    projekt.setBasispfad(ctx.session->projectFolder());
    return projekt.deleteProjekt(name) ? 0 : 1;
}

int projectUse(CliContext& ctx)
{
    if (ctx.args.size() != 1)
        return ctx.usage(QStringLiteral("project use NAME"));
    const QString name = ctx.args.first();
    if (!ctx.session->checkProjectName(name) || !ctx.session->openProgram())
        return 1;
    clsProjekt projekt(ctx.session->env());
    projekt.setBasispfad(ctx.session->projectFolder());
    if (!ProjectFiles::Entries(ctx.session->projectFolder()).contains(name))
        return ctx.fail(QStringLiteral("Projektdatei nicht gefunden ") +
                        projekt.ProjektDatei(name));
    projekt.rememberRecentlyUsed(name);
    ctx.out << projekt.ProjektDatei(name) << '\n';
    return 0;
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
    DataEnvironment& env = ctx.session->env();
    clsProjekt projekt(env);
    const QString name = ctx.args.first();
    // Looking does not change the file: no schema upgrade here.
    if (!ctx.session->openProject(name, projekt, false))
        return 1;
    const QString file = projekt.ProjektDatei(name);
    QString error;
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

int discover(CliContext& ctx)
{
    if (!ctx.args.isEmpty())
        return ctx.usage(QStringLiteral("discover [--broadcast ADRESSE] [--local ADRESSE]"));
    if (!ctx.session->openProgram())
        return 1;
    int code = 0;
    if (!ctx.session->applyLocalAddress(code))
        return code;
    DataEnvironment& env = ctx.session->env();
    ModuleSearch search(ctx.session->net(), env);
    QString error;
    if (!search.run(ctx.option(QStringLiteral("broadcast"), ModuleDiscovery::kBroadcast), &error))
        return ctx.fail(error);
    Recordset& rs = env.recordset(QStringLiteral("cmdSuchergebnis"));
    (void)rs.requery();
    for (rs.moveFirst(); !rs.eof(); rs.moveNext()) {
        QStringList cells;
        for (const char* c : {"SerNr", "IPAdresse", "Bezeichnung", "Typ", "UDPDatenport"})
            cells << rs.value(QString::fromLatin1(c)).toString();
        ctx.out << cells.join(QLatin1Char('\t')) << '\n';
    }
    return 0;
}

void printSettings(CliContext& ctx, const TerminalSettingsData& d, int flags)
{
    ctx.out << "Modus: " << flags << " (ParameterMode " << d.ParameterMode << ", SendMode "
            << d.SendMode << ", Tastatur " << int(d.Tastaturenabled) << ", IO-Ports "
            << int(d.IOPortsEnabled) << ", Einschaltmeldung " << int(d.Einschaltmeldung)
            << ", Festtextmodus " << int(d.Festtextmode) << ")\n"
            << "Display: " << d.Cols << "x" << d.Rows << '\n'
            << "Beleuchtung: " << d.Backlight << '\n'
            << "Kontrast: " << d.Kontrast << '\n';
}

int configRead(CliContext& ctx)
{
    DataEnvironment& env = ctx.session->env();
    TerminalSettingsData d;
    int code = 0;
    clsVX* vx = ctx.session->configuredTerminal(d, code);
    if (!vx)
        return code;
    TerminalSettingsCore core(*vx, env);
    QString error;
    if (!core.readFromTerminal(d, &error))
        return ctx.fail(error); // nothing is written into the project
    {
        // One transaction: the record is written whole or not at all. The handle ends with
        // this block, before the connection is closed.
        SqlTransaction transaction(env.database(DataEnvironment::kProjekt));
        error = transaction.error();
        if (!transaction.ok() || !core.saveToProject(d, &error) || !transaction.commit()) {
            if (error.isEmpty())
                error = transaction.error();
            return ctx.fail(QStringLiteral("Projekt konnte nicht gespeichert werden : ") + error);
        }
    }
    printSettings(ctx, d, vx->modeFlags());
    env.close(DataEnvironment::kProjekt);
    return 0;
}

int configWrite(CliContext& ctx)
{
    DataEnvironment& env = ctx.session->env();
    TerminalSettingsData d;
    int code = 0;
    // For sending, the project's values are checked first.
    clsVX* vx = ctx.session->configuredTerminal(d, code, true);
    if (!vx)
        return code;
    env.close(DataEnvironment::kProjekt);
    TerminalSettingsCore core(*vx, env);
    QString error;
    // The core reads the mode back: a terminal that did not take it is a failure.
    if (!core.writeToTerminal(d, &error))
        return ctx.fail(QStringLiteral("Terminal hat die Einstellungen nicht übernommen"));
    printSettings(ctx, d, vx->modeFlags());
    return 0;
}

} // namespace

void registerProjectLifecycleCommands(CliRegistry& registry)
{
    for (const char* option : {"template", "broadcast"})
        registry.addValueOption(QString::fromLatin1(option));
    registry.add(
        {QStringLiteral("discover"),
         QStringLiteral("discover [--broadcast ADRESSE] [--local ADRESSE]"),
         QStringLiteral("sucht Netzwerkmodule; je Modul: SerNr, Adresse, Name, Typ, Datenport"),
         discover,
         {QStringLiteral("broadcast"), QStringLiteral("local")}});
    registry.add(
        {QStringLiteral("config read"),
         QStringLiteral("config read NAME"),
         QStringLiteral(
             "liest Modus, Displaygröße, Beleuchtung und Kontrast vom Terminal ins Projekt"),
         withProject(1, QStringLiteral("config read NAME [Verbindung]"), configRead),
         {},
         true});
    registry.add(
        {QStringLiteral("config write"),
         QStringLiteral("config write NAME"),
         QStringLiteral(
             "schreibt Modus, Displaygröße, Beleuchtung und Kontrast des Projekts ins Terminal"),
         withProject(1, QStringLiteral("config write NAME [Verbindung]"), configWrite),
         {},
         true});

    registry.add({QStringLiteral("project list"), QStringLiteral("project list"),
                  QStringLiteral("listet die Projekte des Projektverzeichnisses"), projectList});
    registry.add(
        {QStringLiteral("project new"),
         QStringLiteral("project new NAME [--template VORLAGE]"),
         QStringLiteral("legt ein Projekt aus einer Hardwarevorlage an (Standard vx_standard)"),
         projectNew,
         {QStringLiteral("template")}});
    registry.add({QStringLiteral("project info"), QStringLiteral("project info NAME"),
                  QStringLiteral("zeigt Kopf, Terminaleinstellungen und Anzahlen eines Projekts"),
                  projectInfo});
    registry.add({QStringLiteral("project use"), QStringLiteral("project use NAME"),
                  QStringLiteral("macht NAME zum zuletzt benutzten Projekt (Vemro öffnet es beim "
                                 "Start)"),
                  projectUse});
    registry.add({QStringLiteral("project delete"), QStringLiteral("project delete NAME [--yes]"),
                  QStringLiteral("löscht ein Projekt und seinen Eintrag der zuletzt benutzten"),
                  projectDelete});
}

} // namespace vemro
