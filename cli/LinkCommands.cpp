#include "cli/LinkCommands.h"

#include "cli/CliRegistry.h"
#include "link/ComPort.h"
#include "link/ComPortMap.h"
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

const QString kCom = QStringLiteral("com");
const QString kDevice = QStringLiteral("device");
const QString kSpeed = QStringLiteral("speed");
const QString kNet = QStringLiteral("net");

// Opens the program database for the port map; without it the default map applies.
bool openProgramDatabase(QString* error)
{
    DataEnvironment& env = DataEnvironment::instance();
    if (env.isOpen(DataEnvironment::kDaten))
        return true;
    const QString db = ProgramFolder() + QStringLiteral("/VEMRO.mdb");
    if (!EnsureProgramDatabase(db, error))
        return false;
    env.setConnectionString(DataEnvironment::kDaten, DataEnvironment::connectionText(db));
    return env.open(DataEnvironment::kDaten, error);
}

bool readInt(const QString& text, qint64 low, qint64 high, qint64* value)
{
    bool ok = false;
    const qint64 v = text.trimmed().toLongLong(&ok);
    if (!ok || v < low || v > high)
        return false;
    *value = v;
    return true;
}

// The terminal, its port and its network module as the options describe them.
class Session
{
public:
    Session() : m_timer(createTimeoutTimer(nullptr))
    {
        m_vx.setCtlcom(&m_port);
        m_vx.setTmrTimeout(m_timer.get());
        m_net.setTmrTimeout(m_timer.get());
        m_vx.setCtlNetModul(&m_net);
        m_vx.enabled = true;
    }

    // Sets the link up; `open` opens the serial port. Returns an exit code, or -1 to go on.
    int setUp(CliContext& ctx, bool open)
    {
        QString error;
        if (!openProgramDatabase(&error))
            std::fprintf(stderr, "%s\n", qPrintable(error)); // the default port map applies
        qint64 com = 1;
        if (ctx.has(kCom) && !readInt(ctx.option(kCom), 1, kComPortCount, &com))
            return ctx.fail(QStringLiteral("--com muss zwischen 1 und 8 liegen"));
        m_port.setCommPort(static_cast<int>(com));
        if (ctx.has(kDevice))
            m_port.setDeviceOverride(static_cast<int>(com), ctx.option(kDevice));
        const QString speed = ctx.option(kSpeed, QStringLiteral("19200"));
        if (!SpeedEntries().contains(speed.trimmed()))
            return ctx.fail(QStringLiteral("--speed muss 9600, 19200 oder 38400 sein"));
        m_port.setSettings(speed.trimmed() + QStringLiteral(",n,8,1"));
        if (ctx.has(kNet)) {
            m_vx.ComMode = clsVX::kComModeNetwork;
            m_net.ClientIP = ctx.option(kNet);
            return -1;
        }
        m_vx.ComMode =
            ctx.has(QStringLiteral("rs485")) ? clsVX::kComModeRs485 : clsVX::kComModeRs232;
        if (open && !m_port.open()) {
            return ctx.fail(
                QStringLiteral("Com %1 (%2) lässt sich nicht öffnen: %3")
                    .arg(com)
                    .arg(m_port.devicePath(static_cast<int>(com)), m_port.lastOpenErrorText()));
        }
        return -1;
    }

    clsVX& vx() { return m_vx; }
    ComPort& port() { return m_port; }

private:
    std::unique_ptr<QTimer> m_timer;
    ComPort m_port;
    clsNetModul m_net;
    clsVX m_vx;
};

using Action = std::function<int(CliContext&, Session&)>;

// Runs `action` on a set-up link.
std::function<int(CliContext&)> withLink(Action action, bool openPort = true)
{
    return [action, openPort](CliContext& ctx) {
        Session session;
        const int code = session.setUp(ctx, openPort);
        if (code >= 0)
            return code;
        return action(ctx, session);
    };
}

int ports(CliContext& ctx, Session& s)
{
    if (!ctx.args.isEmpty())
        return ctx.usage(QStringLiteral("ports"));
    for (const QString& entry : FillComCombos(s.port()).ports)
        ctx.out << entry << '\n';
    return 0;
}

int portsMap(CliContext& ctx)
{
    qint64 n = 0;
    if (ctx.args.size() != 2 || !readInt(ctx.args.at(0), 1, kComPortCount, &n))
        return ctx.usage(QStringLiteral("ports map N GERAET   (N = 1 bis 8)"));
    QString error;
    if (!openProgramDatabase(&error))
        return ctx.fail(error);
    if (!ComPortMap::setDevicePath(static_cast<int>(n), ctx.args.at(1), &error))
        return ctx.fail(error);
    ctx.out
        << QStringLiteral("Com %1 = %2\n").arg(n).arg(ComPortMap::devicePath(static_cast<int>(n)));
    return 0;
}

int scan(CliContext& ctx, Session& s)
{
    if (!ctx.args.isEmpty())
        return ctx.usage(QStringLiteral("scan"));
    QList<TerminalSearch::Row> rows;
    QObject::connect(&s.vx(), &clsVX::searchStarted, &s.vx(), [&rows](TerminalSearch* search) {
        auto keep = [&rows, search](int) { rows = search->rows(); };
        QObject::connect(search, &TerminalSearch::rowAdded, search, keep);
        QObject::connect(search, &TerminalSearch::rowChanged, search, keep);
    });
    const bool found = s.vx().Suchen();
    for (const TerminalSearch::Row& row : rows) {
        if (row.port.isEmpty() && row.result.isEmpty())
            continue;
        ctx.out << row.port << '\t' << row.result << '\n';
    }
    if (found)
        ctx.out << QStringLiteral("Com %1 %2\n").arg(s.port().CommPort()).arg(s.port().Settings());
    return found ? 0 : 1;
}

int info(CliContext& ctx, Session& s)
{
    if (!ctx.args.isEmpty())
        return ctx.usage(QStringLiteral("info"));
    const QString version = s.vx().Version();
    const int code = s.vx().lastError();
    ctx.out << QStringLiteral("Version: ") << version << '\n'
            << QStringLiteral("SerNr: ") << s.vx().SerNr << '\n';
    if (version != QLatin1String("unbekannt"))
        return 0;
    return ctx.fail(code != 0 ? s.vx().ErrorText(code)
                              : QStringLiteral("Terminal meldet keine Version"));
}

int send(CliContext& ctx, Session& s)
{
    if (ctx.args.size() != 1)
        return ctx.usage(QStringLiteral("send TEXT   (in Befehlsnotation, z.B. \"<ESC>?V\")"));
    QByteArray command = StringToAnsi(ctx.args.first());
    if (s.vx().Send(command, false)) {
        (void)s.vx().lastError();
        return ctx.fail(AnsiToString(command));
    }
    QByteArray reply;
    s.vx().Receive(reply, QByteArray());
    if (s.vx().lastError() == 2)
        return ctx.fail(QStringLiteral("keine Antwort"));
    ctx.out << AnsiToString(SteuerzeichenToText(reply)) << '\n';
    return 0;
}

int ioGet(CliContext& ctx, Session& s)
{
    qint64 n = 0;
    if (ctx.args.size() != 1 || !readInt(ctx.args.first(), 0, 8, &n))
        return ctx.usage(QStringLiteral("io get N   (N = 0 bis 8)"));
    const qint32 value = s.vx().GetIOPort(static_cast<int>(n));
    if (s.vx().lastError() == 2)
        return ctx.fail(QStringLiteral("keine Antwort"));
    ctx.out << value << '\n';
    return 0;
}

int ioSet(CliContext& ctx, Session& s)
{
    qint64 n = 0;
    qint64 v = 0;
    if (ctx.args.size() != 2 || !readInt(ctx.args.at(0), 0, 8, &n) ||
        !readInt(ctx.args.at(1), 0, 255, &v))
        return ctx.usage(QStringLiteral("io set N WERT   (N = 0 bis 8, WERT = 0 bis 255)"));
    s.vx().SetIOPort(static_cast<int>(n), static_cast<int>(v));
    return 0;
}

int analog(CliContext& ctx, Session& s)
{
    if (!ctx.args.isEmpty())
        return ctx.usage(QStringLiteral("analog"));
    const qint16 value = s.vx().Analog();
    if (value < 0)
        return ctx.fail(QStringLiteral("keine Antwort"));
    ctx.out << value << '\n';
    return 0;
}

int eepromSize(CliContext& ctx, Session& s)
{
    if (!ctx.args.isEmpty())
        return ctx.usage(QStringLiteral("eeprom size"));
    const qint32 size = s.vx().CheckEEProm();
    const int code = s.vx().lastError();
    if (code != 0)
        return ctx.fail(s.vx().ErrorText(code));
    ctx.out << size << '\n';
    return size == 0 ? ctx.fail(QStringLiteral("Terminal meldet keinen Speicher")) : 0;
}

int eepromGet(CliContext& ctx, Session& s)
{
    qint64 address = 0;
    if (ctx.args.size() != 1 || !readInt(ctx.args.first(), 0, 65535, &address))
        return ctx.usage(QStringLiteral("eeprom get ADRESSE   (0 bis 65535)"));
    const qint32 value = s.vx().GetextEEZelle(static_cast<int>(address));
    if (value < 0)
        return ctx.fail(QStringLiteral("keine Antwort"));
    ctx.out << value << '\n';
    return 0;
}

int eepromSet(CliContext& ctx, Session& s)
{
    qint64 address = 0;
    qint64 value = 0;
    if (ctx.args.size() != 2 || !readInt(ctx.args.at(0), 0, 65535, &address) ||
        !readInt(ctx.args.at(1), 0, 255, &value))
        return ctx.usage(QStringLiteral("eeprom set ADRESSE WERT   (0 bis 65535, 0 bis 255)"));
    if (s.vx().SetextEEZelle(static_cast<int>(address), static_cast<int>(value)))
        return 0;
    const int code = s.vx().lastError();
    return ctx.fail(s.vx().ErrorText(code == 0 ? clsVX::kErrLinkBroken : code));
}

int reset(CliContext& ctx, Session& s)
{
    if (!ctx.args.isEmpty())
        return ctx.usage(QStringLiteral("reset"));
    s.vx().Reset();
    return 0;
}

int speed(CliContext& ctx, Session& s)
{
    if (ctx.args.size() != 1)
        return ctx.usage(QStringLiteral("speed 9600|19200|38400"));
    s.vx().SetCom(ctx.args.first());
    return SpeedEntries().contains(ctx.args.first().trimmed()) ? 0 : 1;
}

int saveConfig(CliContext& ctx, Session& s)
{
    if (!ctx.args.isEmpty())
        return ctx.usage(QStringLiteral("save-config"));
    s.vx().SaveKonfig();
    const int code = s.vx().lastError();
    if (code != 0)
        return ctx.fail(QStringLiteral("Konfiguration nicht gespeichert: ") +
                        s.vx().ErrorText(code));
    return 0;
}

} // namespace

void registerLinkCommands(CliRegistry& registry)
{
    for (const QString& option : {kCom, kDevice, kSpeed, kNet})
        registry.addValueOption(option);
    const QString link =
        QStringLiteral(" [--com N | --device GERAET] [--speed S] [--rs485] [--net HOST]");
    registry.add({QStringLiteral("ports"), QStringLiteral("ports"),
                  QStringLiteral("prüft Com 1 bis 8 und zeigt die Liste wie \"verfügbare Coms\""),
                  withLink(ports, false)});
    registry.add({QStringLiteral("ports map"), QStringLiteral("ports map N GERAET"),
                  QStringLiteral("legt das Gerät von Com N fest (z.B. /dev/ttyUSB0)"), portsMap});
    registry.add({QStringLiteral("scan"), QStringLiteral("scan") + link,
                  QStringLiteral("sucht das Terminal an Com 1 bis 4 (Exit 0 wenn gefunden)"),
                  withLink(scan, false)});
    registry.add({QStringLiteral("info"), QStringLiteral("info") + link,
                  QStringLiteral("Firmwareversion und Seriennummer"), withLink(info)});
    registry.add({QStringLiteral("send"), QStringLiteral("send TEXT") + link,
                  QStringLiteral(
                      "sendet TEXT in Befehlsnotation und zeigt die Antwort (Exit 1 ohne Antwort)"),
                  withLink(send)});
    registry.add({QStringLiteral("io get"), QStringLiteral("io get N") + link,
                  QStringLiteral("liest I/O-Port N (0 bis 8)"), withLink(ioGet)});
    registry.add({QStringLiteral("io set"), QStringLiteral("io set N WERT") + link,
                  QStringLiteral("setzt I/O-Port N auf WERT (0 bis 255)"), withLink(ioSet)});
    registry.add({QStringLiteral("analog"), QStringLiteral("analog") + link,
                  QStringLiteral("liest den Analogeingang (0 bis 1023)"), withLink(analog)});
    registry.add({QStringLiteral("eeprom size"), QStringLiteral("eeprom size") + link,
                  QStringLiteral("Größe des externen EEPROMs (negativ: unregelmäßige Seitenkarte)"),
                  withLink(eepromSize)});
    registry.add({QStringLiteral("eeprom get"), QStringLiteral("eeprom get ADRESSE") + link,
                  QStringLiteral("liest eine EEPROM-Zelle"), withLink(eepromGet)});
    registry.add({QStringLiteral("eeprom set"), QStringLiteral("eeprom set ADRESSE WERT") + link,
                  QStringLiteral("schreibt eine EEPROM-Zelle (mit Bestätigung)"),
                  withLink(eepromSet)});
    registry.add({QStringLiteral("reset"), QStringLiteral("reset") + link,
                  QStringLiteral("setzt das Terminal zurück"), withLink(reset)});
    registry.add({QStringLiteral("speed"), QStringLiteral("speed S") + link,
                  QStringLiteral("stellt die Schnittstellengeschwindigkeit des Terminals um"),
                  withLink(speed)});
    registry.add({QStringLiteral("save-config"), QStringLiteral("save-config") + link,
                  QStringLiteral("Konfiguration im Terminal dauerhaft speichern"),
                  withLink(saveConfig)});
}

} // namespace vemro
