#include "ProjectTestHome.h"
#include "SimProcess.h"
#include "tests/common/CliRun.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class TstCliVxsim : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void discoverTwoModules();
    void configRoundTrip_data();
    void configRoundTrip();
    void silentTerminalFails();

private:
    using Result = vemro::test::CliResult;
    Result run(const QStringList& args)
    {
        return vemro::test::RunCli(QStringLiteral(VEMRO_CLI), m_home->path(), args);
    }
    std::unique_ptr<ProjectTestHome> m_home;
};

namespace {

// Qt's complaint about a database connection removed while a handle on it was still alive.
const QString kStillInUse = QStringLiteral("still in use");

} // namespace

void TstCliVxsim::initTestCase()
{
    m_home = std::make_unique<ProjectTestHome>();
    QVERIFY(m_home->installTemplates());
}

void TstCliVxsim::discoverTwoModules()
{
    SimProcess b(
        {QStringLiteral("--no-pty"), QStringLiteral("--udp"), QStringLiteral("127.0.77.12"),
         QStringLiteral("--sernr"), QStringLiteral("000002"), QStringLiteral("--module-name"),
         QStringLiteral("Linie B"), QStringLiteral("--module-type"), QStringLiteral("VX-NET")});
    SimProcess a(
        {QStringLiteral("--no-pty"), QStringLiteral("--udp"), QStringLiteral("127.0.77.11"),
         QStringLiteral("--sernr"), QStringLiteral("000001"), QStringLiteral("--module-name"),
         QStringLiteral("Linie, A"), QStringLiteral("--module-type"), QStringLiteral("VX-NET")});
    QVERIFY2(a.waitFor(QStringLiteral("Datenport")), qPrintable(a.output()));
    QVERIFY2(b.waitFor(QStringLiteral("Datenport")), qPrintable(b.output()));
    // A local address of its own: answers reach this test even if others share the ports.
    const Result r =
        run({QStringLiteral("discover"), QStringLiteral("--local"), QStringLiteral("127.0.77.10")});
    QCOMPARE(r.code, 0);
    // Other simulators on this computer may answer the broadcast too: look at ours.
    const QStringList ours = r.out.split(QLatin1Char('\n')).filter(QStringLiteral("127.0.77.1"));
    QCOMPARE(ours, (QStringList{"000001\t127.0.77.11\tLinie A\tVX-NET\t3001",
                                "000002\t127.0.77.12\tLinie B\tVX-NET\t3001"}));
    // The result stays in the program database as the last search.
    QVERIFY(m_home->programValue(QStringLiteral("SELECT count(*) FROM Suchergebnis")).toInt() >= 2);
}

void TstCliVxsim::configRoundTrip_data()
{
    QTest::addColumn<bool>("network");
    QTest::newRow("serial") << false;
    QTest::newRow("network") << true;
}

void TstCliVxsim::configRoundTrip()
{
    QFETCH(bool, network);
    QTemporaryDir dir;
    const QString pty = dir.filePath(QStringLiteral("vx"));
    QStringList simArgs{QStringLiteral("--sernr"), QStringLiteral("004712")};
    if (network)
        simArgs << QStringLiteral("--no-pty") << QStringLiteral("--udp")
                << QStringLiteral("127.0.77.21");
    else
        simArgs << QStringLiteral("--pty-link") << pty;
    SimProcess sim(simArgs);
    QVERIFY2(sim.waitFor(network ? QStringLiteral("Datenport") : pty), qPrintable(sim.output()));
    const QStringList link =
        network ? QStringList{QStringLiteral("--net"), QStringLiteral("127.0.77.21"),
                              QStringLiteral("--local"), QStringLiteral("127.0.77.20")}
                : QStringList{QStringLiteral("--device"), pty};
    const QString source = QStringLiteral("Quelle%1").arg(network);
    const QString copy = QStringLiteral("Kopie%1").arg(network);
    QCOMPARE(
        run({QStringLiteral("project"), QStringLiteral("new"), source, QStringLiteral("--yes")})
            .code,
        0);
    QCOMPARE(
        run({QStringLiteral("project"), QStringLiteral("new"), copy, QStringLiteral("--yes")}).code,
        0);
    QVERIFY(ProjectTestHome::exec(
        m_home->projects() + source + QStringLiteral(".mdb"),
        {QStringLiteral(
            "UPDATE Terminaleinstellungen SET ParameterMode=1, SendMode=2, Tastaturenabled=0, "
            "IOPortsEnabled=1, Einschaltmeldung=1, Festtextmode=1, Display_Zeilen=2, "
            "Display_Spalten=16, Backlight=0, Kontrast=3")}));
    Result r = run(QStringList{QStringLiteral("config"), QStringLiteral("write"), source} + link);
    QVERIFY2(r.code == 0, qPrintable(r.err));
    QVERIFY2(!r.err.contains(kStillInUse), qPrintable(r.err));
    r = run(QStringList{QStringLiteral("config"), QStringLiteral("read"), copy} + link);
    QVERIFY2(r.code == 0, qPrintable(r.err));
    // The project connection is closed with no handle on it left.
    QVERIFY2(!r.err.contains(kStillInUse), qPrintable(r.err));
    QVERIFY2(r.out.contains(QStringLiteral("Display: 16x2")), qPrintable(r.out));
    const QString q = QStringLiteral(
        "SELECT ParameterMode||SendMode||Tastaturenabled||IOPortsEnabled||Einschaltmeldung||"
        "Festtextmode||'|'||Display_Spalten||'x'||Display_Zeilen||'|'||Backlight||'|'||Kontrast "
        "FROM Terminaleinstellungen");
    QCOMPARE(m_home->projectValue(copy, q).toString(), QStringLiteral("120111|16x2|0|3"));
}

void TstCliVxsim::silentTerminalFails()
{
    QTemporaryDir dir;
    const QString pty = dir.filePath(QStringLiteral("vx"));
    SimProcess sim(
        {QStringLiteral("--pty-link"), pty, QStringLiteral("--speed"), QStringLiteral("38400")});
    QVERIFY2(sim.waitFor(pty), qPrintable(sim.output()));
    QCOMPARE(run({QStringLiteral("project"), QStringLiteral("new"), QStringLiteral("Leise1"),
                  QStringLiteral("--yes")})
                 .code,
             0);
    // The PC at 19200, the terminal at 38400: nothing understood, nothing stored.
    const Result r = run({QStringLiteral("config"), QStringLiteral("read"),
                          QStringLiteral("Leise1"), QStringLiteral("--device"), pty});
    QCOMPARE(r.code, 1);
    QVERIFY2(r.err.contains(QStringLiteral("Terminal antwortet nicht")), qPrintable(r.err));
    QVERIFY2(!r.err.contains(kStillInUse), qPrintable(r.err));
}

QTEST_GUILESS_MAIN(TstCliVxsim)
#include "tst_cli_vxsim.moc"
