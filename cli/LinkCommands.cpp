#include "cli/LinkCommands.h"

#include "cli/CliRegistry.h"
#include "cli/CliSession.h"
#include "config/InterfaceSettingsCore.h"
#include "config/TerminalSettingsCore.h"
#include "link/ComPort.h"
#include "link/ComPortResolver.h"
#include "link/Notation.h"
#include "link/PortProbe.h"
#include "link/TerminalSearch.h"
#include "link/TimeoutTimer.h"
#include "link/clsVX.h"
#include "netmodule/clsNetModul.h"
#include "platform/Codepage.h"
#include "platform/ProgramInfo.h"
#include "platform/TextValue.h"
#include "project/DataEnvironment.h"
#include "project/ProgramDatabase.h"

#include <QTimer>

#include <cstdio>

namespace vemro {

namespace {

const QString kCount = QStringLiteral("count");

int ports(CliContext& ctx, clsVX& vx)
{
    if (!ctx.args.isEmpty())
        return ctx.usage(QStringLiteral("ports"));
    for (const QString& entry : FillComCombos(*vx.ctlcom()).ports)
        ctx.out << entry << '\n';
    return 0;
}

int portsMap(CliContext& ctx)
{
    qint64 n = 0;
    if (ctx.args.size() != 2 || !readNumber(ctx.args.at(0), 1, kComPortCount, &n))
        return ctx.usage(QStringLiteral("ports map N PFAD   (N = 1 bis 8)"));
    if (!ctx.session->openProgram())
        return 1;
    ComPortResolver& resolver = ctx.session->resolver();
    QString error;
    if (!resolver.setDevicePath(static_cast<int>(n), ctx.args.at(1), &error))
        return ctx.fail(error);
    ctx.out << QStringLiteral("Com %1 = %2\n").arg(n).arg(resolver.devicePath(static_cast<int>(n)));
    return 0;
}

int scan(CliContext& ctx, clsVX& vx)
{
    if (!ctx.args.isEmpty())
        return ctx.usage(QStringLiteral("scan"));
    QList<TerminalSearch::Row> rows;
    QObject::connect(&vx, &clsVX::searchStarted, &vx, [&rows](TerminalSearch* search) {
        auto keep = [&rows, search](int) { rows = search->rows(); };
        QObject::connect(search, &TerminalSearch::rowAdded, search, keep);
        QObject::connect(search, &TerminalSearch::rowChanged, search, keep);
    });
    const bool found = vx.Suchen();
    for (const TerminalSearch::Row& row : rows) {
        if (row.port.isEmpty() && row.result.isEmpty())
            continue;
        ctx.out << row.port << '\t' << row.result << '\n';
    }
    if (found)
        ctx.out << QStringLiteral("Com %1 %2\n")
                       .arg(vx.ctlcom()->CommPort())
                       .arg(vx.ctlcom()->Settings());
    return found ? 0 : 1;
}

int info(CliContext& ctx, clsVX& vx)
{
    if (!ctx.args.isEmpty())
        return ctx.usage(QStringLiteral("info"));
    (void)vx.lastError();
    const QString version = vx.Version();
    const LinkError code = vx.lastError();
    ctx.out << QStringLiteral("Version: ") << version << '\n'
            << QStringLiteral("SerNr: ") << vx.SerNr << '\n';
    if (version != QLatin1String("unbekannt"))
        return 0;
    return ctx.fail(code != LinkError::None ? vx.ErrorText(code)
                                            : QStringLiteral("Terminal meldet keine Version"));
}

int send(CliContext& ctx, clsVX& vx)
{
    if (ctx.args.size() != 1)
        return ctx.usage(QStringLiteral("send TEXT   (in Befehlsnotation, z.B. \"<ESC>?V\")"));
    QByteArray command = StringToAnsi(ctx.args.first());
    if (vx.Send(command, false)) {
        (void)vx.lastError();
        return ctx.fail(AnsiToString(command));
    }
    QByteArray reply;
    vx.Receive(reply, QByteArray());
    if (const LinkError code = vx.lastError(); code != LinkError::None)
        return ctx.fail(vx.ErrorText(code));
    ctx.out << AnsiToString(SteuerzeichenToText(reply)) << '\n';
    return 0;
}

int ioGet(CliContext& ctx, clsVX& vx)
{
    qint64 n = 0;
    if (ctx.args.size() != 1 || !readNumber(ctx.args.first(), 0, 8, &n))
        return ctx.usage(QStringLiteral("io get N   (N = 0 bis 8)"));
    (void)vx.lastError();
    const qint32 value = vx.GetIOPort(static_cast<int>(n));
    if (const LinkError code = vx.lastError(); code != LinkError::None)
        return ctx.fail(vx.ErrorText(code));
    ctx.out << value << '\n';
    return 0;
}

int ioSet(CliContext& ctx, clsVX& vx)
{
    qint64 n = 0;
    qint64 v = 0;
    if (ctx.args.size() != 2 || !readNumber(ctx.args.at(0), 0, 8, &n) ||
        !readNumber(ctx.args.at(1), 0, 255, &v))
        return ctx.usage(QStringLiteral("io set N WERT   (N = 0 bis 8, WERT = 0 bis 255)"));
    vx.SetIOPort(static_cast<int>(n), static_cast<int>(v));
    return 0;
}

int analog(CliContext& ctx, clsVX& vx)
{
    if (!ctx.args.isEmpty())
        return ctx.usage(QStringLiteral("analog"));
    const qint16 value = vx.Analog();
    if (value < 0)
        return ctx.fail(QStringLiteral("keine Antwort"));
    ctx.out << value << '\n';
    return 0;
}

int eepromSize(CliContext& ctx, clsVX& vx)
{
    if (!ctx.args.isEmpty())
        return ctx.usage(QStringLiteral("eeprom size"));
    (void)vx.lastError();
    const qint32 size = vx.CheckEEProm();
    const LinkError code = vx.lastError();
    if (code != LinkError::None)
        return ctx.fail(vx.ErrorText(code));
    ctx.out << size << '\n';
    return size == 0 ? ctx.fail(QStringLiteral("Terminal meldet keinen Speicher")) : 0;
}

int eepromGet(CliContext& ctx, clsVX& vx)
{
    qint64 address = 0;
    qint64 count = 1;
    if (ctx.args.size() != 1 || !readNumber(ctx.args.first(), 0, 65535, &address) ||
        (ctx.has(kCount) && !readNumber(ctx.option(kCount), 1, 65536 - address, &count)))
        return ctx.usage(
            QStringLiteral("eeprom get ADRESSE [--count N]   (0 bis 65535, N Zellen ab ADRESSE)"));
    // One exchange per cell, as the command set offers it.
    for (qint64 a = address; a < address + count; ++a) {
        const qint32 value = vx.GetextEEZelle(static_cast<int>(a));
        if (value < 0)
            return ctx.fail(QStringLiteral("keine Antwort (Adresse %1)").arg(a));
        ctx.out << value << '\n';
    }
    return 0;
}

int eepromSet(CliContext& ctx, clsVX& vx)
{
    qint64 address = 0;
    qint64 value = 0;
    if (ctx.args.size() != 2 || !readNumber(ctx.args.at(0), 0, 65535, &address) ||
        !readNumber(ctx.args.at(1), 0, 255, &value))
        return ctx.usage(QStringLiteral("eeprom set ADRESSE WERT   (0 bis 65535, 0 bis 255)"));
    if (vx.SetextEEZelle(static_cast<int>(address), static_cast<int>(value)))
        return 0;
    const LinkError code = vx.lastError();
    return ctx.fail(vx.ErrorText(code == LinkError::None ? LinkError::LinkBroken : code));
}

int reset(CliContext& ctx, clsVX& vx)
{
    if (!ctx.args.isEmpty())
        return ctx.usage(QStringLiteral("reset"));
    vx.Reset();
    return 0;
}

int speed(CliContext& ctx, clsVX& vx)
{
    if (ctx.args.size() != 1)
        return ctx.usage(QStringLiteral("speed 9600|19200|38400"));
    // An unknown speed is refused before anything reaches the terminal.
    if (!SpeedEntries().contains(ctx.args.first().trimmed()))
        return ctx.fail(QStringLiteral("ungültige Schnittstellengeschwindigkeit : ") +
                        ctx.args.first());
    InterfaceSettingsCore core(vx, ctx.session->env());
    QString error;
    if (!core.switchSpeed(ctx.args.first().trimmed(), &error))
        return ctx.fail(error);
    // Switched only when the terminal answers at the new speed.
    if (vx.Version() == QLatin1String("unbekannt"))
        return ctx.fail(QStringLiteral("Terminal nicht ansprechbar"));
    return 0;
}

int saveConfig(CliContext& ctx, clsVX& vx)
{
    if (!ctx.args.isEmpty())
        return ctx.usage(QStringLiteral("save-config"));
    TerminalSettingsCore core(vx, ctx.session->env());
    QString error;
    return core.keepConfiguration(&error) ? 0 : ctx.fail(error);
}

} // namespace

void registerLinkCommands(CliRegistry& registry)
{
    registry.addValueOption(kCount);
    registry.add({QStringLiteral("ports"),
                  QStringLiteral("ports"),
                  QStringLiteral("prüft Com 1 bis 8 und zeigt die Liste wie \"verfügbare Coms\""),
                  withTerminal(ports, false),
                  {},
                  true});
    registry.add({QStringLiteral("ports map"), QStringLiteral("ports map N PFAD"),
                  QStringLiteral("legt das Gerät von Com N fest (z.B. /dev/ttyUSB0)"), portsMap});
    registry.add({QStringLiteral("scan"),
                  QStringLiteral("scan"),
                  QStringLiteral("sucht das Terminal an Com 1 bis 4 (Exit 0 wenn gefunden)"),
                  withTerminal(scan, false),
                  {},
                  true});
    registry.add({QStringLiteral("info"),
                  QStringLiteral("info"),
                  QStringLiteral("Firmwareversion und Seriennummer"),
                  withTerminal(info),
                  {},
                  true});
    registry.add({QStringLiteral("send"),
                  QStringLiteral("send TEXT"),
                  QStringLiteral(
                      "sendet TEXT in Befehlsnotation und zeigt die Antwort (Exit 1 ohne Antwort)"),
                  withTerminal(send),
                  {},
                  true});
    registry.add({QStringLiteral("io get"),
                  QStringLiteral("io get N"),
                  QStringLiteral("liest I/O-Port N (0 bis 8)"),
                  withTerminal(ioGet),
                  {},
                  true});
    registry.add({QStringLiteral("io set"),
                  QStringLiteral("io set N WERT"),
                  QStringLiteral("setzt I/O-Port N auf WERT (0 bis 255)"),
                  withTerminal(ioSet),
                  {},
                  true});
    registry.add({QStringLiteral("analog"),
                  QStringLiteral("analog"),
                  QStringLiteral("liest den Analogeingang (0 bis 1023)"),
                  withTerminal(analog),
                  {},
                  true});
    registry.add({QStringLiteral("eeprom size"),
                  QStringLiteral("eeprom size"),
                  QStringLiteral("Größe des externen EEPROMs (negativ: unregelmäßige Seitenkarte)"),
                  withTerminal(eepromSize),
                  {},
                  true});
    registry.add(
        {QStringLiteral("eeprom get"),
         QStringLiteral("eeprom get ADRESSE [--count N]"),
         QStringLiteral("liest eine EEPROM-Zelle (mit --count N Zellen, je ein Austausch)"),
         withTerminal(eepromGet),
         {kCount},
         true});
    registry.add({QStringLiteral("eeprom set"),
                  QStringLiteral("eeprom set ADRESSE WERT"),
                  QStringLiteral("schreibt eine EEPROM-Zelle (mit Bestätigung)"),
                  withTerminal(eepromSet),
                  {},
                  true});
    registry.add({QStringLiteral("reset"),
                  QStringLiteral("reset"),
                  QStringLiteral("setzt das Terminal zurück"),
                  withTerminal(reset),
                  {},
                  true});
    registry.add({QStringLiteral("speed"),
                  QStringLiteral("speed S"),
                  QStringLiteral("stellt die Schnittstellengeschwindigkeit des Terminals um"),
                  withTerminal(speed),
                  {},
                  true});
    registry.add({QStringLiteral("save-config"),
                  QStringLiteral("save-config"),
                  QStringLiteral("Konfiguration im Terminal dauerhaft speichern"),
                  withTerminal(saveConfig),
                  {},
                  true});
}

} // namespace vemro
