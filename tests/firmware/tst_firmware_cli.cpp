// vemro-cli firmware check / update / verify against vxsim.
#include "HexText.h"
#include "VxsimProcess.h"

#include "tests/common/CliRun.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

using namespace vemro::test;

namespace {
const QString kCli = QStringLiteral(CLI_PATH);
}

class tst_FirmwareCli : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_home;
    std::unique_ptr<Sim> m_sim;
    QString m_line;
    QString m_file;

    QString writeFile(const QByteArray& text, const QString& name)
    {
        const QString path = m_home.filePath(name);
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly))
            return {};
        f.write(text);
        return path;
    }
    CliResult cli(const QStringList& args) { return RunCli(kCli, m_home.path(), args); }
    QStringList device() const { return {QStringLiteral("--device"), m_line}; }

private slots:
    void initTestCase()
    {
        QVERIFY(m_home.isValid());
        m_line = m_home.filePath(QStringLiteral("vx"));
        m_sim = std::make_unique<Sim>(QStringList{QStringLiteral("--pty-link"), m_line},
                                      m_home.filePath(QStringLiteral("ctl")));
        QVERIFY(m_sim->waitReady("Link"));
        m_file = writeFile(hexFile(testImage(2048)), QStringLiteral("fw.hex"));
    }
    void cleanupTestCase() { m_sim.reset(); }
    void cleanup()
    {
        QVERIFY(m_sim->control("fault none").startsWith("OK"));
        QVERIFY(m_sim->bootloaderClosed());
    }

    void check_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        QTest::newRow("image at 0x100")
            << hexFile(testImage(100), 0x100) << 0
            << QStringLiteral("Startadresse: 0100\nLänge: 112 Bytes\nBlöcke: 7 zu 16 Bytes")
            << QString();
        QTest::newRow("descending records")
            << (hexRecord(0, 0x20, testImage(16)) + hexRecord(0, 0, testImage(16)) + hexEnd()) << 1
            << QString()
            << QStringLiteral("Die Einträge der Updatedatei müssen nach Adressen aufsteigen: "
                              "Zeile 2 (Adresse 0000) liegt unter der bisher erreichten Adresse "
                              "0030, Abbruch");
    }
    void check()
    {
        QFETCH(QByteArray, file);
        QFETCH(int, code);
        QFETCH(QString, out);
        QFETCH(QString, err);
        const CliResult r = cli({QStringLiteral("firmware"), QStringLiteral("check"),
                                 writeFile(file, QStringLiteral("check.hex"))});
        QCOMPARE(r.code, code);
        QCOMPARE(r.out, out);
        QCOMPARE(r.err, err);
    }

    void updateThenVerify()
    {
        CliResult r = cli(
            QStringList{QStringLiteral("firmware"), QStringLiteral("update"), m_file} + device());
        QCOMPARE(r.code, 0);
        QVERIFY(r.err.endsWith(QStringLiteral("Firmwareupdate abgeschlossen")));
        QVERIFY(r.err.contains(QStringLiteral("Programiervorgang....  50 %, noch ")));
        r = cli(QStringList{QStringLiteral("firmware"), QStringLiteral("verify"), m_file} +
                device());
        QCOMPARE(r.code, 0);
        QVERIFY(r.err.endsWith(QStringLiteral("Verify abgeschlossen")));
    }

    void verifyWithoutContact_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("questions");
        QTest::newRow("--no") << QStringList{QStringLiteral("--no")} << 1;
        QTest::newRow("--attempts 2")
            << QStringList{QStringLiteral("--attempts"), QStringLiteral("2")} << 3;
    }
    void verifyWithoutContact()
    {
        QFETCH(QStringList, options);
        QFETCH(int, questions);
        QCOMPARE(m_sim->control("fault silent"), QByteArray("OK\n"));
        const CliResult r =
            cli(QStringList{QStringLiteral("firmware"), QStringLiteral("verify"), m_file} +
                device() + options);
        QCOMPARE(r.code, 1);
        QCOMPARE(r.err.count(QStringLiteral("Zum Verify das Zielsystem zurücksetzen")), questions);
        QVERIFY(!r.err.contains(QStringLiteral("Verify abgeschlossen")));
    }

    void refused_data()
    {
        QTest::addColumn<QStringList>("simOptions");
        QTest::addColumn<QStringList>("cliOptions");
        QTest::addColumn<QString>("message");
        QTest::newRow("version 2.10")
            << QStringList{QStringLiteral("--firmware"), QStringLiteral("2.10")} << QStringList()
            << QStringLiteral("Aktualisierung erst ab Version 2.2 möglich. (aktuelle : 2.10)");
        QTest::newRow("port at 9600")
            << QStringList{QStringLiteral("--speed"), QStringLiteral("9600")}
            << QStringList{QStringLiteral("--speed"), QStringLiteral("9600")}
            << QStringLiteral("Stellen Sie bitte zuerst auf Baudrate 19200 um!");
    }
    // Nothing is started: not even the display is cleared.
    void refused()
    {
        QFETCH(QStringList, simOptions);
        QFETCH(QStringList, cliOptions);
        QFETCH(QString, message);
        const QString line = m_home.filePath(QStringLiteral("vx2"));
        Sim sim(QStringList{QStringLiteral("--pty-link"), line} + simOptions,
                m_home.filePath(QStringLiteral("ctl2")));
        QVERIFY(sim.waitReady("Link"));
        const CliResult r = cli(QStringList{QStringLiteral("firmware"), QStringLiteral("update"),
                                            m_file, QStringLiteral("--device"), line} +
                                cliOptions);
        QCOMPARE(r.code, 1);
        QCOMPARE(r.err, message);
        QVERIFY(sim.bootloaderClosed());
    }

    // Ctrl-C, a kill or a closed terminal window during the blocks: the session is still
    // closed with 237, and the exit code tells the signal.
    void interrupted_data()
    {
        QTest::addColumn<int>("signal");
        QTest::addColumn<int>("code");
        QTest::newRow("SIGINT") << int(SIGINT) << 130;
        QTest::newRow("SIGTERM") << int(SIGTERM) << 143;
        QTest::newRow("SIGHUP") << int(SIGHUP) << 129;
    }

    void interrupted()
    {
        QFETCH(int, signal);
        QFETCH(int, code);
        const QString big = writeFile(hexFile(testImage(8192)), QStringLiteral("big.hex"));
        QProcess p;
        p.start(kCli, QStringList{QStringLiteral("--home"), m_home.path(),
                                  QStringLiteral("firmware"), QStringLiteral("update"), big} +
                          device());
        QByteArray err;
        QTRY_VERIFY_WITH_TIMEOUT((err += p.readAllStandardError()).contains(" 10 %"), 20000);
        ::kill(static_cast<pid_t>(p.processId()), signal);
        QVERIFY(p.waitForFinished(10000));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), code);
        err += p.readAllStandardError();
        QVERIFY(err.contains("abgebrochen, Bootloader beendet"));
        QVERIFY(m_sim->bootloaderClosed());
        const CliResult r = cli(QStringList{QStringLiteral("info")} + device());
        QCOMPARE(r.code, 0);
    }
};

QTEST_MAIN(tst_FirmwareCli)
#include "tst_firmware_cli.moc"
