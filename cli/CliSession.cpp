#include "cli/CliSession.h"

#include "cli/CliRegistry.h"
#include "config/TerminalSettingsCore.h"
#include "link/PortProbe.h"
#include "link/TimeoutTimer.h"
#include "platform/Globals.h"
#include "platform/ProgramInfo.h"
#include "project/DataEnvironment.h"
#include "project/DatabaseMessage.h"
#include "project/ProgramDatabase.h"
#include "project/ProjectFiles.h"
#include "project/clsProjekt.h"

#include <QFileInfo>
#include <QHostAddress>

namespace vemro {

namespace {

const QString kCom = QStringLiteral("com");
const QString kDevice = QStringLiteral("device");
const QString kNet = QStringLiteral("net");
const QString kLocal = QStringLiteral("local");
const QString kSpeed = QStringLiteral("speed");
const QString kRs485 = QStringLiteral("rs485");

} // namespace

CliSession::CliSession(CliContext& ctx) : m_ctx(ctx), m_timer(createTimeoutTimer(nullptr))
{
    m_vx.setCtlcom(&m_port);
    m_vx.setTmrTimeout(m_timer.get());
    m_net.setTmrTimeout(m_timer.get());
    m_vx.setCtlNetModul(&m_net);
    m_vx.enabled = true;
}

CliSession::~CliSession()
{
    m_port.close();
    m_port.setResolver(nullptr);
}

const QStringList& CliSession::linkOptions()
{
    static const QStringList options{kCom, kDevice, kNet, kLocal, kSpeed, kRs485};
    return options;
}

const QStringList& CliSession::linkValueOptions()
{
    static const QStringList options{kCom, kDevice, kNet, kLocal, kSpeed};
    return options;
}

QString CliSession::linkHelp()
{
    return QStringLiteral("--com N (1 bis 8, Standard 1) | --device PFAD | --net HOST[:PORT] "
                          "[--local ADRESSE], --speed S (9600, 19200, 38400; Standard 19200), "
                          "--rs485");
}

DataEnvironment& CliSession::env()
{
    return DataEnvironment::instance();
}

bool CliSession::openProgram()
{
    if (m_programTried)
        return m_programOpen;
    m_programTried = true;
    DataEnvironment& data = env();
    const QString programFolder = ProgramFolder();
    const QString db = programFolder + QStringLiteral("/VEMRO.mdb");
    QString error;
    if (!PrepareProgramFolder(&error) || !EnsureProgramDatabase(db, &error)) {
        m_ctx.fail(error);
        return false;
    }
    data.setConnectionString(DataEnvironment::kDaten, DataEnvironment::connectionText(db));
    if (!data.open(DataEnvironment::kDaten, &error) ||
        !data.execute(QStringLiteral("cmdAllgemein"), {}, &error)) {
        m_ctx.fail(error);
        return false;
    }
    Recordset& settings = data.recordset(QStringLiteral("cmdAllgemein"));
    settings.moveFirst();
    const QVariant pfad = settings.value(QStringLiteral("ProjektPfad"));
    m_projectFolder = ProjectFiles::ProjectFolder(programFolder, pfad);
    globals().Projektverzeichnis = m_projectFolder;
    m_programOpen = true;
    return true;
}

ComPortResolver& CliSession::resolver()
{
    if (!m_resolver) {
        // Without the program database the default map applies (the reason is shown).
        if (openProgram())
            m_resolver = std::make_unique<ComPortResolver>(env().database(DataEnvironment::kDaten));
        else
            m_resolver = std::make_unique<ComPortResolver>();
    }
    return *m_resolver;
}

bool CliSession::applyLocalAddress(int& code)
{
    if (!m_ctx.has(kLocal))
        return true;
    const QHostAddress local(m_ctx.option(kLocal));
    if (local.isNull()) {
        code = m_ctx.usage(QStringLiteral("... --local ADRESSE   (eine IP-Adresse)"));
        return false;
    }
    m_net.setLocalAddress(local);
    return true;
}

int CliSession::setUpLink(bool openPort)
{
    // Every value is checked before anything is opened.
    qint64 com = 1;
    if (m_ctx.has(kCom) && !readNumber(m_ctx.option(kCom), 1, kComPortCount, &com))
        return m_ctx.usage(QStringLiteral("... --com N   (N = 1 bis 8)"));
    if (m_ctx.has(kDevice) && m_ctx.option(kDevice).trimmed().isEmpty())
        return m_ctx.usage(QStringLiteral("... --device PFAD   (ein Gerätepfad)"));
    const QString speed = m_ctx.option(kSpeed, QStringLiteral("19200")).trimmed();
    if (!SpeedEntries().contains(speed))
        return m_ctx.usage(QStringLiteral("... --speed S   (9600, 19200 oder 38400)"));
    QString host;
    int dataPort = clsVX::kNetworkDataPort;
    if (m_ctx.has(kNet)) {
        if (m_ctx.has(kCom) || m_ctx.has(kDevice))
            return m_ctx.usage(QStringLiteral("... --net HOST[:PORT]   (ohne --com und --device)"));
        host = m_ctx.option(kNet).trimmed();
        const int colon = static_cast<int>(host.lastIndexOf(QLatin1Char(':')));
        if (colon >= 0) {
            qint64 p = 0;
            if (!readNumber(host.mid(colon + 1), 1, 65535, &p))
                return m_ctx.usage(QStringLiteral("... --net HOST[:PORT]   (PORT = 1 bis 65535)"));
            dataPort = static_cast<int>(p);
            host = host.left(colon);
        }
        if (host.isEmpty())
            return m_ctx.usage(QStringLiteral("... --net HOST[:PORT]   (HOST fehlt)"));
    } else if (m_ctx.has(kLocal)) {
        return m_ctx.usage(QStringLiteral("... --local ADRESSE   (nur mit --net)"));
    }
    int code = 0;
    if (!applyLocalAddress(code))
        return code;

    m_port.setResolver(&resolver());
    m_port.setCommPort(static_cast<int>(com));
    if (m_ctx.has(kDevice))
        m_port.setDeviceOverride(static_cast<int>(com), m_ctx.option(kDevice).trimmed());
    (void)m_port.setSettings(speed + QStringLiteral(",n,8,1"));

    if (!host.isEmpty()) {
        if (!m_ctx.has(kLocal) && QHostAddress(host).isLoopback())
            m_net.setLocalAddress(QHostAddress::LocalHost);
        m_vx.ComMode = ComMode::Network;
        m_net.OpenUDPConn(dataPort, host);
        if (m_net.lastError() != LinkError::None)
            return m_ctx.fail(QStringLiteral("Netzwerkverbindung zu %1 nicht möglich").arg(host));
        return 0;
    }
    m_vx.ComMode = m_ctx.has(kRs485) ? ComMode::Rs485 : ComMode::Rs232;
    if (openPort && !m_port.open())
        return m_ctx.fail(
            QStringLiteral("Com %1 (%2) lässt sich nicht öffnen: %3")
                .arg(com)
                .arg(m_port.devicePath(static_cast<int>(com)), m_port.lastOpenErrorText()));
    return 0;
}

clsVX* CliSession::terminal(int& code, bool openPort)
{
    if (!m_linkReady) {
        code = setUpLink(openPort);
        if (code != 0)
            return nullptr;
        m_linkReady = true;
    }
    code = 0;
    return &m_vx;
}

clsVX* CliSession::configuredTerminal(TerminalSettingsData& d, int& code, bool checked)
{
    clsVX* vx = terminal(code);
    if (!vx)
        return nullptr;
    TerminalSettingsCore core(*vx, env());
    QString error;
    if (!(checked ? core.loadCheckedFromProject(d, &error) : core.loadFromProject(d, &error))) {
        code = m_ctx.fail(error);
        return nullptr;
    }
    core.takeIntoTerminalObject(d);
    return vx;
}

bool CliSession::checkProjectName(const QString& name)
{
    const QStringList problems = ProjectFiles::NameProblems(name);
    for (const QString& problem : problems)
        m_ctx.fail(problem);
    return problems.isEmpty();
}

bool CliSession::openProject(const QString& name, clsProjekt& projekt, bool upgrade)
{
    if (!checkProjectName(name) || !openProgram())
        return false;
    projekt.setBasispfad(m_projectFolder);
    const QString file = projekt.ProjektDatei(name);
    const QFileInfo info(file);
    if (!info.isFile()) {
        m_ctx.fail(info.exists() || info.isSymLink()
                       ? DatabaseMessage::notAFile(file)
                       : QStringLiteral("Projektdatei nicht gefunden ") + file);
        return false;
    }
    DataEnvironment& data = env();
    QString error;
    bool connected = projekt.connectFile(file, &error);
    // Commands that only read take a write-protected project as it is: read-only, and
    // without the upgrade, which would have to write.
    bool readOnly = false;
    if (!connected && readsOnly()) {
        QString again;
        readOnly = connected = projekt.connectFile(file, &again, true);
    }
    if (!connected || !data.execute(QStringLiteral("cmdProjekt"), {}, &error)) {
        m_ctx.fail(error);
        return false;
    }
    if (readOnly)
        return projekt.CheckMinProgversion();
    return !upgrade || (projekt.UpdateProjekt() && projekt.CheckMinProgversion());
}

bool CliSession::readsOnly() const
{
    static const QStringList commands{
        QStringLiteral("texts show"),       QStringLiteral("texts export"),
        QStringLiteral("qmtest list"),      QStringLiteral("keys show"),
        QStringLiteral("chars show"),       QStringLiteral("commands list"),
        QStringLiteral("commands compose"),
    };
    return commands.contains(m_ctx.command);
}

bool CliSession::requireProjectData(const QStringList& commands)
{
    QString error;
    if (env().ensureOpen(commands, &error))
        return true;
    m_ctx.fail(error);
    return false;
}

std::function<int(CliContext&)> withTerminal(std::function<int(CliContext&, clsVX&)> action,
                                             bool openPort)
{
    return [action = std::move(action), openPort](CliContext& ctx) {
        int code = 0;
        clsVX* vx = ctx.session->terminal(code, openPort);
        return vx ? action(ctx, *vx) : code;
    };
}

std::function<int(CliContext&)> withProject(int args, const QString& usage,
                                            std::function<int(CliContext&)> action)
{
    return [args, usage, action = std::move(action)](CliContext& ctx) {
        if (ctx.args.size() != args)
            return ctx.usage(usage);
        clsProjekt projekt(ctx.session->env());
        if (!ctx.session->openProject(ctx.args.first(), projekt))
            return 1;
        return action(ctx);
    };
}

std::function<int(CliContext&)>
withProjectAndTerminal(int args, const QString& usage,
                       std::function<int(CliContext&, clsVX&)> action)
{
    return withProject(args, usage, withTerminal(std::move(action)));
}

} // namespace vemro
