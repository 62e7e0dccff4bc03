#include "cli/ProjectLifecycleCommands.h"

#include "cli/CliRegistry.h"
#include "link/ComPort.h"
#include "link/TimeoutTimer.h"
#include "link/clsVX.h"
#include "netmodule/ModuleDiscovery.h"
#include "netmodule/ModuleSearch.h"
#include "netmodule/clsNetModul.h"
#include "platform/Globals.h"
#include "platform/ProgramInfo.h"
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
    DataEnvironment& env = DataEnvironment::instance();
    QString folder;
    if (!openProgram(ctx, env, &folder))
        return 1;
    clsProjekt projekt(env);
    projekt.setBasispfad(folder);
    return projekt.deleteProjekt(ctx.args.first()) ? 0 : 1;
}

int projectUse(CliContext& ctx)
{
    if (ctx.args.size() != 1)
        return ctx.usage(QStringLiteral("project use NAME"));
    DataEnvironment& env = DataEnvironment::instance();
    QString folder;
    if (!openProgram(ctx, env, &folder))
        return 1;
    clsProjekt projekt(env);
    projekt.setBasispfad(folder);
    const QString name = ctx.args.first();
    if (!ProjectFiles::Entries(folder).contains(name))
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
    if (!projekt.connectFile(file, &error) ||
        !env.execute(QStringLiteral("cmdProjekt"), {}, &error))
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

// The terminal link of one command, set up from the options --com N, --device PATH,
// --speed S, --rs485 and --net HOST[:PORT].
struct CliLink
{
    QTimer* timer = createTimeoutTimer(nullptr);
    ComPort port;
    clsNetModul net;
    clsVX vx;

    CliLink()
    {
        net.setTmrTimeout(timer);
        vx.setCtlcom(&port);
        vx.setTmrTimeout(timer);
        vx.setCtlNetModul(&net);
        vx.enabled = true;
    }
    ~CliLink()
    {
        port.close();
        delete timer;
    }
    CliLink(const CliLink&) = delete;
    CliLink& operator=(const CliLink&) = delete;

    bool open(const CliContext& ctx, QString* error)
    {
        if (ctx.has(QStringLiteral("net"))) {
            QString host = ctx.option(QStringLiteral("net"));
            int dataPort = clsVX::kNetworkDataPort;
            const int colon = host.lastIndexOf(QLatin1Char(':'));
            if (colon > 0) {
                dataPort = host.mid(colon + 1).toInt();
                host = host.left(colon);
            }
            if (ctx.has(QStringLiteral("local")))
                net.setLocalAddress(QHostAddress(ctx.option(QStringLiteral("local"))));
            else if (QHostAddress(host).isLoopback())
                net.setLocalAddress(QHostAddress::LocalHost);
            vx.ComMode = clsVX::kComModeNetwork;
            net.OpenUDPConn(dataPort, host);
            if (net.lastError() != 0) {
                *error = QStringLiteral("Netzwerkverbindung zu %1 nicht möglich").arg(host);
                return false;
            }
            return true;
        }
        const int com = ctx.option(QStringLiteral("com"), QStringLiteral("1")).toInt();
        if (com < 1 || com > 8) {
            *error = QStringLiteral("--com muss zwischen 1 und 8 liegen");
            return false;
        }
        port.setCommPort(com);
        if (ctx.has(QStringLiteral("device")))
            port.setDeviceOverride(com, ctx.option(QStringLiteral("device")));
        const QString speed = ctx.option(QStringLiteral("speed"), QStringLiteral("19200"));
        if (!port.setSettings(speed + QStringLiteral(",n,8,1"))) {
            *error = QStringLiteral("ungültige Geschwindigkeit : ") + speed;
            return false;
        }
        vx.ComMode = ctx.has(QStringLiteral("rs485")) ? clsVX::kComModeRs485 : clsVX::kComModeRs232;
        if (!port.open()) {
            *error = QStringLiteral("Schnittstelle kann nicht geöffnet werden : ") +
                     port.lastOpenErrorText();
            return false;
        }
        return true;
    }
};

int discover(CliContext& ctx)
{
    if (!ctx.args.isEmpty())
        return ctx.usage(QStringLiteral("discover [--broadcast ADRESSE] [--local ADRESSE]"));
    DataEnvironment& env = DataEnvironment::instance();
    QString folder;
    if (!openProgram(ctx, env, &folder))
        return 1;
    CliLink link;
    if (ctx.has(QStringLiteral("local")))
        link.net.setLocalAddress(QHostAddress(ctx.option(QStringLiteral("local"))));
    ModuleSearch search(link.net, env);
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

// Opens project NAME of the project folder for a configuration transfer.
bool openProjectFile(CliContext& ctx, DataEnvironment& env, clsProjekt& projekt,
                     const QString& name)
{
    const QString file = projekt.ProjektDatei(name);
    if (name.contains(QLatin1Char('/')) || name.startsWith(QLatin1Char('.')) ||
        !QFileInfo(file).isFile()) {
        ctx.fail(QStringLiteral("Projektdatei nicht gefunden ") + file);
        return false;
    }
    QString error;
    if (!projekt.connectFile(file, &error) ||
        !env.execute(QStringLiteral("cmdProjekt"), {}, &error)) {
        ctx.fail(error);
        return false;
    }
    if (!projekt.UpdateProjekt() || !projekt.CheckMinProgversion())
        return false;
    if (!env.execute(QStringLiteral("cmdTerminaleinstellung"), {}, &error)) {
        ctx.fail(error);
        return false;
    }
    return true;
}

void printSettings(CliContext& ctx, const clsVX& vx)
{
    ctx.out << "Modus: " << vx.modeFlags() << " (ParameterMode " << vx.ParameterMode
            << ", SendMode " << vx.SendMode << ", Tastatur " << int(vx.KeyboardEnabled)
            << ", IO-Ports " << int(vx.IOPortsEnabled) << ", Einschaltmeldung "
            << int(vx.Einschaltmeldung) << ", Festtextmodus " << int(vx.Festtextmode) << ")\n"
            << "Display: " << vx.Cols << "x" << vx.Rows << '\n'
            << "Beleuchtung: " << vx.Backlight << '\n'
            << "Kontrast: " << vx.Kontrast << '\n';
}

int configRead(CliContext& ctx)
{
    if (ctx.args.size() != 1)
        return ctx.usage(QStringLiteral(
            "config read NAME [--com N|--device PFAD|--net HOST] [--speed S] [--rs485]"));
    DataEnvironment& env = DataEnvironment::instance();
    QString folder;
    if (!openProgram(ctx, env, &folder))
        return 1;
    clsProjekt projekt(env);
    projekt.setBasispfad(folder);
    if (!openProjectFile(ctx, env, projekt, ctx.args.first()))
        return 1;
    CliLink link;
    QString error;
    if (!link.open(ctx, &error))
        return ctx.fail(error);
    clsVX& vx = link.vx;
    vx.GetMode();
    if (vx.ParameterList().size() != 1)
        return ctx.fail(QStringLiteral("Terminal antwortet nicht"));
    vx.GetDisplaySize();
    if (vx.ParameterList().size() != 2)
        return ctx.fail(QStringLiteral("Terminal antwortet nicht (Displaygröße)"));
    const qint32 port0 = vx.GetIOPort(0);
    if (vx.ParameterList().size() != 1)
        return ctx.fail(QStringLiteral("Terminal antwortet nicht (Port 0)"));
    vx.Backlight = (port0 & 16) != 0 ? 1 : 0;
    vx.Kontrast = static_cast<qint16>(port0 & 15);
    {
        QSqlDatabase db = env.database(DataEnvironment::kProjekt);
        const bool transaction = db.transaction();
        Recordset& rs = env.recordset(QStringLiteral("cmdTerminaleinstellung"));
        rs.moveFirst();
        const struct
        {
            const char* column;
            QVariant value;
        } values[] = {
            {"ParameterMode", vx.ParameterMode},
            {"SendMode", vx.SendMode},
            {"Tastaturenabled", int(vx.KeyboardEnabled)},
            {"IOPortsEnabled", int(vx.IOPortsEnabled)},
            {"Einschaltmeldung", int(vx.Einschaltmeldung)},
            {"Festtextmode", int(vx.Festtextmode)},
            {"Display_Zeilen", vx.Rows},
            {"Display_Spalten", vx.Cols},
            {"Backlight", vx.Backlight},
            {"Kontrast", vx.Kontrast},
        };
        bool ok = !rs.eof();
        for (const auto& v : values)
            ok = ok && rs.setValue(QString::fromLatin1(v.column), v.value);
        ok = ok && rs.update();
        if (!ok || (transaction && !db.commit())) {
            const QString reason = rs.lastError();
            if (transaction)
                db.rollback();
            return ctx.fail(QStringLiteral("Projekt konnte nicht gespeichert werden : ") + reason);
        }
    }
    printSettings(ctx, vx);
    env.close(DataEnvironment::kProjekt);
    return 0;
}

int configWrite(CliContext& ctx)
{
    if (ctx.args.size() != 1)
        return ctx.usage(QStringLiteral(
            "config write NAME [--com N|--device PFAD|--net HOST] [--speed S] [--rs485]"));
    DataEnvironment& env = DataEnvironment::instance();
    QString folder;
    if (!openProgram(ctx, env, &folder))
        return 1;
    clsProjekt projekt(env);
    projekt.setBasispfad(folder);
    if (!openProjectFile(ctx, env, projekt, ctx.args.first()))
        return 1;
    Recordset& rs = env.recordset(QStringLiteral("cmdTerminaleinstellung"));
    rs.moveFirst();
    if (rs.eof())
        return ctx.fail(QStringLiteral("Terminaleinstellungen: kein Datensatz"));
    CliLink link;
    QString error;
    if (!link.open(ctx, &error))
        return ctx.fail(error);
    clsVX& vx = link.vx;
    // The terminal still speaks its present parameter form: ask it first.
    vx.GetMode();
    if (vx.ParameterList().size() != 1)
        return ctx.fail(QStringLiteral("Terminal antwortet nicht"));
    vx.ParameterMode = rs.value(QStringLiteral("ParameterMode")).toInt();
    vx.SendMode = rs.value(QStringLiteral("SendMode")).toInt();
    vx.KeyboardEnabled = rs.value(QStringLiteral("Tastaturenabled")).toBool();
    vx.IOPortsEnabled = rs.value(QStringLiteral("IOPortsEnabled")).toBool();
    vx.Einschaltmeldung = rs.value(QStringLiteral("Einschaltmeldung")).toBool();
    vx.Festtextmode = rs.value(QStringLiteral("Festtextmode")).toBool();
    vx.FesttextPort = static_cast<qint16>(rs.value(QStringLiteral("FesttextPort")).toInt());
    vx.Rows = static_cast<qint16>(rs.value(QStringLiteral("Display_Zeilen")).toInt());
    vx.Cols = static_cast<qint16>(rs.value(QStringLiteral("Display_Spalten")).toInt());
    vx.Backlight = rs.value(QStringLiteral("Backlight")).toInt() > 0 ? 1 : 0;
    vx.Kontrast = static_cast<qint16>(rs.value(QStringLiteral("Kontrast")).toInt());
    env.close(DataEnvironment::kProjekt);
    const int wanted = vx.modeFlags();
    vx.SetMode();
    vx.SetFesttextPort(-1);
    vx.SetDisplaySize();
    vx.SetDisplayBacklight(-1);
    vx.SetDisplayKontrast(-1);
    // Read the mode back: a terminal that did not take it is a failure, not a success.
    const int sent = wanted;
    vx.GetMode();
    if (vx.ParameterList().size() != 1 || (vx.modeFlags() | 2) != (sent | 2))
        return ctx.fail(QStringLiteral("Terminal hat die Einstellungen nicht übernommen"));
    printSettings(ctx, vx);
    return 0;
}

} // namespace

void registerProjectLifecycleCommands(CliRegistry& registry)
{
    for (const char* option : {"template", "broadcast", "local", "com", "device", "speed", "net"})
        registry.addValueOption(QString::fromLatin1(option));
    registry.add(
        {QStringLiteral("discover"),
         QStringLiteral("discover [--broadcast ADRESSE] [--local ADRESSE]"),
         QStringLiteral("sucht Netzwerkmodule; je Modul: SerNr, Adresse, Name, Typ, Datenport"),
         discover});
    registry.add(
        {QStringLiteral("config read"),
         QStringLiteral(
             "config read NAME [--com N|--device PFAD|--net HOST[:PORT]] [--speed S] [--rs485]"),
         QStringLiteral(
             "liest Modus, Displaygröße, Beleuchtung und Kontrast vom Terminal ins Projekt"),
         configRead});
    registry.add(
        {QStringLiteral("config write"),
         QStringLiteral(
             "config write NAME [--com N|--device PFAD|--net HOST[:PORT]] [--speed S] [--rs485]"),
         QStringLiteral(
             "schreibt Modus, Displaygröße, Beleuchtung und Kontrast des Projekts ins Terminal"),
         configWrite});

    registry.add({QStringLiteral("project list"), QStringLiteral("project list"),
                  QStringLiteral("listet die Projekte des Projektverzeichnisses"), projectList});
    registry.add(
        {QStringLiteral("project new"), QStringLiteral("project new NAME [--template VORLAGE]"),
         QStringLiteral("legt ein Projekt aus einer Hardwarevorlage an (Standard vx_standard)"),
         projectNew});
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
