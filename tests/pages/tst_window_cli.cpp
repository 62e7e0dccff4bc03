// The window and vemro-cli on the same core: against one vxsim, reading and writing the
// terminal settings puts the same bytes on the wire and leaves the same project rows.
// Both find the simulator through the program database's port map ("Com 1").
#include "../projects/ProjectTestHome.h"
#include "../projects/SimProcess.h"
#include "tests/common/CliRun.h"
#include "tests/common/TrafficLog.h"

#include "app/frmhaupt.h"
#include "editors/KonfigurationPage.h"
#include "editors/ProjektPage.h"
#include "editors/SelectComboEntry.h"
#include "link/ComPort.h"
#include "platform/Globals.h"
#include "platform/ScriptedUserInterface.h"
#include "project/ProgramDatabase.h"
#include "project/clsProjekt.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>

using namespace vemro;
using vemro::test::SettledLogSize;
using vemro::test::Traffic;
using vemro::test::TrafficSince;

namespace {

QString rowText(const QString& file)
{
    // Every column but the production-test speed, which opening in the window fills in.
    return ProjectTestHome::query(
               file, QStringLiteral(
                         "SELECT ParameterMode||'|'||SendMode||'|'||Tastaturenabled||'|'||"
                         "IOPortsEnabled||'|'||Einschaltmeldung||'|'||Festtextmode||'|'||"
                         "FesttextPort||'|'||Backlight||'|'||Kontrast||'|'||Display_Zeilen||'|'||"
                         "Display_Spalten||'|'||ifnull(Comsettings,'-')||'|'||"
                         "ifnull(Terminaladresse,'-') FROM Terminaleinstellungen"))
        .toString();
}

QString settingsUpdate(int flagsOn, int port, int rows, int cols, int backlight, int kontrast)
{
    return QStringLiteral("UPDATE Terminaleinstellungen SET ParameterMode=1, SendMode=2, "
                          "Tastaturenabled=%1, IOPortsEnabled=%2, Einschaltmeldung=%3, "
                          "Festtextmode=%4, FesttextPort=%5, Display_Zeilen=%6, "
                          "Display_Spalten=%7, Backlight=%8, Kontrast=%9")
        .arg(flagsOn & 1)
        .arg((flagsOn >> 1) & 1)
        .arg((flagsOn >> 2) & 1)
        .arg((flagsOn >> 3) & 1)
        .arg(port)
        .arg(rows)
        .arg(cols)
        .arg(backlight)
        .arg(kontrast);
}

} // namespace

class TstWindowCli : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void windowOpensMappedDevice();
    void sameBytesAndRows_data();
    void sameBytesAndRows();

private:
    // The program database with "Com 1" mapped to `pty`, the other ports to missing devices,
    // and Com 1 as the chosen port.
    bool mapPorts(const QString& pty);
    std::unique_ptr<frmhaupt> openWindow(const QString& project);
    [[nodiscard]] vemro::test::CliResult cli(const QStringList& args) const
    {
        return vemro::test::RunCli(QStringLiteral(VEMRO_CLI), m_home->path(), args);
    }

    std::unique_ptr<ProjectTestHome> m_home;
    QTemporaryDir m_dir;
    ScriptedUserInterface m_ui;
};

void TstWindowCli::init()
{
    m_home = std::make_unique<ProjectTestHome>();
    setUi(&m_ui);
    m_ui.clear();
    globals().ControlsUpdating = false;
}

void TstWindowCli::cleanup()
{
    setUi(nullptr);
    m_home.reset();
}

bool TstWindowCli::mapPorts(const QString& pty)
{
    const QString db = m_home->path() + QStringLiteral("/VEMRO.mdb");
    QString error;
    if (!EnsureProgramDatabase(db, &error))
        return false;
    QStringList statements{
        QStringLiteral("UPDATE ComPortZuordnung SET Geraet = '%1' WHERE ComNr = 1").arg(pty),
        QStringLiteral("UPDATE Allgemein SET ComPort = 1")};
    for (int n = 2; n <= 8; ++n)
        statements << QStringLiteral("UPDATE ComPortZuordnung SET Geraet = '%1' WHERE ComNr = %2")
                          .arg(m_dir.filePath(QStringLiteral("fehlt%1").arg(n)))
                          .arg(n);
    return ProjectTestHome::exec(db, statements);
}

std::unique_ptr<frmhaupt> TstWindowCli::openWindow(const QString& project)
{
    auto window = std::make_unique<frmhaupt>();
    if (!window->Init())
        return nullptr;
    (void)SelectComboEntry(window->projektPage()->cboProjekte(), project, true);
    if (window->Projekt().Bezeichnung() != project)
        return nullptr;
    window->showPage(4);
    return window;
}

// "Com 1" mapped to the simulator in the program database: the window opens that device
// when it opens the last project, and talks to the terminal there.
void TstWindowCli::windowOpensMappedDevice()
{
    const QString pty = m_dir.filePath(QStringLiteral("vx"));
    SimProcess sim(
        {QStringLiteral("--pty-link"), pty, QStringLiteral("--sernr"), QStringLiteral("004801")});
    QVERIFY2(sim.waitFor(pty), qPrintable(sim.output()));
    QVERIFY(mapPorts(pty));
    QVERIFY(m_home->makeProject(QStringLiteral("Anlage1")));
    QVERIFY(ProjectTestHome::exec(
        m_home->path() + QStringLiteral("/VEMRO.mdb"),
        {QStringLiteral("INSERT INTO ProjekteLRU VALUES ('Anlage1', '2026-01-01 10:00:00', 1)")}));
    frmhaupt window;
    QVERIFY(window.Init()); // reopens Anlage1, whose interface opens Com 1
    QCOMPARE(window.Projekt().Bezeichnung(), QStringLiteral("Anlage1"));
    QCOMPARE(window.ctlcom()->CommPort(), 1);
    QCOMPARE(window.ctlcom()->devicePath(1), pty);
    QVERIFY(window.ctlcom()->isOpen());
    window.showPage(0);
    QVERIFY(window.cmdReadfromTerminal()->isEnabled());
    window.cmdReadfromTerminal()->click();
    QCOMPARE(window.projektPage()->txtTerminalSerNr()->text(), QStringLiteral("004801"));
}

void TstWindowCli::sameBytesAndRows_data()
{
    QTest::addColumn<QString>("config");
    QTest::addColumn<QString>("other");
    QTest::addColumn<QString>("display");
    // flags: 1 keyboard, 2 I/O ports, 4 switch-on message, 8 fixed-text mode
    QTest::newRow("16x2, dark, switch-on message")
        << settingsUpdate(4 | 8, 3, 2, 16, 0, 6) << settingsUpdate(1, 3, 4, 20, 1, 12) << "16x2";
    QTest::newRow("40x4, lit, keyboard and ports")
        << settingsUpdate(1 | 2, 0, 4, 40, 1, 15) << settingsUpdate(4, 0, 2, 16, 0, 2) << "40x4";
}

void TstWindowCli::sameBytesAndRows()
{
    QFETCH(QString, config);
    QFETCH(QString, other);
    QFETCH(QString, display);
    const QString pty = m_dir.filePath(QStringLiteral("vx"));
    const QString log =
        m_dir.filePath(QStringLiteral("verkehr-%1.log").arg(QTest::currentDataTag()));
    SimProcess sim({QStringLiteral("--pty-link"), pty, QStringLiteral("--log"), log});
    QVERIFY2(sim.waitFor(pty), qPrintable(sim.output()));
    QVERIFY(mapPorts(pty));
    const QString fenster = m_home->projects() + QStringLiteral("Fenster.mdb");
    const QString konsole = m_home->projects() + QStringLiteral("Konsole.mdb");
    QVERIFY(
        m_home->makeProject(QStringLiteral("Fenster"), QStringLiteral("vx_standard"), {config}));
    QVERIFY(
        m_home->makeProject(QStringLiteral("Konsole"), QStringLiteral("vx_standard"), {config}));

    // "an Terminal senden" on page "Konfiguration" against "config write".
    Traffic windowSend;
    {
        auto window = openWindow(QStringLiteral("Fenster"));
        QVERIFY(window);
        QCOMPARE(window->konfigurationPage()->cboDisplayTyp()->currentText(), display);
        const qint64 before = SettledLogSize(log);
        QVERIFY(window->cmdSaveinTerminal()->isEnabled());
        window->cmdSaveinTerminal()->click();
        (void)SettledLogSize(log);
        windowSend = TrafficSince(log, before);
    }
    qint64 before = SettledLogSize(log);
    auto r = cli({QStringLiteral("config"), QStringLiteral("write"), QStringLiteral("Konsole"),
                  QStringLiteral("--com"), QStringLiteral("1")});
    QVERIFY2(r.code == 0, qPrintable(r.err));
    (void)SettledLogSize(log);
    const Traffic cliSend = TrafficSince(log, before);
    const QStringList size = display.split(QLatin1Char('x'));
    QVERIFY(windowSend.toTerminal.contains(QStringLiteral("\x1b"
                                                          "LA%1,%2;")
                                               .arg(size.at(1), size.at(0))
                                               .toLatin1()));
    // Both read the mode back: the same bytes either way.
    QCOMPARE(cliSend.toTerminal, windowSend.toTerminal);
    QCOMPARE(windowSend.fromTerminal, cliSend.fromTerminal);

    // Both projects forget the configuration; "vom Terminal lesen" and saving the project
    // against "config read".
    QVERIFY(ProjectTestHome::exec(fenster, {other}));
    QVERIFY(ProjectTestHome::exec(konsole, {other}));
    const QString expected = rowText(m_home->projects() + QStringLiteral("Konsole.mdb"));
    Traffic windowRead;
    {
        auto window = openWindow(QStringLiteral("Fenster"));
        QVERIFY(window);
        before = SettledLogSize(log);
        QVERIFY(window->cmdReadfromTerminal()->isEnabled());
        window->cmdReadfromTerminal()->click();
        (void)SettledLogSize(log);
        windowRead = TrafficSince(log, before);
        QCOMPARE(window->konfigurationPage()->cboDisplayTyp()->currentText(), display);
        QVERIFY(window->Projekt().SaveProjekt());
    }
    before = SettledLogSize(log);
    r = cli({QStringLiteral("config"), QStringLiteral("read"), QStringLiteral("Konsole"),
             QStringLiteral("--com"), QStringLiteral("1")});
    QVERIFY2(r.code == 0, qPrintable(r.err));
    (void)SettledLogSize(log);
    const Traffic cliRead = TrafficSince(log, before);
    QVERIFY(windowRead.toTerminal.startsWith("\x1bK?M"));
    QCOMPARE(cliRead.toTerminal, windowRead.toTerminal);
    QCOMPARE(cliRead.fromTerminal, windowRead.fromTerminal);
    const QString windowRow = rowText(fenster);
    QCOMPARE(rowText(konsole), windowRow);
    QVERIFY(windowRow != expected); // the read changed the rows
    // Equal to the configuration first written.
    QVERIFY(ProjectTestHome::exec(konsole, {config}));
    QCOMPARE(windowRow, rowText(konsole));
    QVERIFY2(m_ui.texts().isEmpty(), qPrintable(m_ui.texts().join(QLatin1Char('\n'))));
}

QTEST_MAIN(TstWindowCli)
#include "tst_window_cli.moc"
