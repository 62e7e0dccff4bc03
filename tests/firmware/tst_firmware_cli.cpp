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

// What "firmware check" prints for an image.
QString checkOutput(const QByteArray& image, int start)
{
    QByteArray padded = image;
    while (padded.size() % 16 != 0)
        padded += QByteArray("\xFF\x3F", 2);
    const auto hex4 = [](int v) {
        return QString::number(v, 16).toUpper().rightJustified(4, QLatin1Char('0'));
    };
    return QStringLiteral("Startadresse: %1\nLänge: %2 Bytes\nBlöcke: %3 zu 16 Bytes\n"
                          "Prüfsumme (CRC-16): %4")
        .arg(hex4(start))
        .arg(padded.size())
        .arg(padded.size() / 16)
        .arg(hex4(qChecksum(padded)));
}
} // namespace

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
        QTest::newRow("image at 0x100") << hexFile(testImage(100), 0x100) << 0
                                        << checkOutput(testImage(100), 0x100) << QString();
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
        QVERIFY(r.err.startsWith(QStringLiteral("Das Terminal wird für das Firmwareupdate "
                                                "zurückgesetzt: Einstellungen, die nicht "
                                                "dauerhaft gespeichert sind, gehen dabei "
                                                "verloren.\n")));
        QVERIFY(r.err.endsWith(QStringLiteral("Firmwareupdate abgeschlossen")));
        QVERIFY(r.err.contains(QStringLiteral("Programiervorgang....  50 %, noch ")));
        r = cli(QStringList{QStringLiteral("firmware"), QStringLiteral("verify"), m_file} +
                device());
        QCOMPARE(r.code, 0);
        QVERIFY(r.err.endsWith(QStringLiteral("Verify abgeschlossen")));
    }

    // Update files as Debian's srecord and binutils write them from one binary: every record
    // length and line end gives the same image; the srec_cat defaults (LF, 32-byte records)
    // and an image at 0x0100 are programmed and verified.
    void toolFiles_data()
    {
        QTest::addColumn<QString>("command"); // IN: the binary, OUT: the update file
        QTest::addColumn<int>("start");
        QTest::addColumn<bool>("transfer");
        QTest::newRow("srec_cat defaults: LF, 32 bytes, type 4")
            << "srec_cat IN -binary -o OUT -intel" << 0 << true;
        QTest::newRow("srec_cat 16 bytes")
            << "srec_cat IN -binary -o OUT -intel -line-length=44" << 0 << false;
        QTest::newRow("srec_cat 255 bytes")
            << "srec_cat IN -binary -o OUT -intel -obs=255" << 0 << false;
        QTest::newRow("srec_cat CR LF") << "srec_cat IN -binary -o OUT -intel -crlf" << 0 << false;
        QTest::newRow("srec_cat without type 4, 255 bytes, CR LF")
            << "srec_cat IN -binary -o OUT -intel -address-length=2 -obs=255 -crlf" << 0 << false;
        QTest::newRow("objcopy: CR LF, 16 bytes")
            << "objcopy -I binary -O ihex IN OUT" << 0 << false;
        QTest::newRow("srec_cat at 0x0100")
            << "srec_cat IN -binary -offset 0x100 -o OUT -intel" << 0x100 << true;
    }
    void toolFiles()
    {
        QFETCH(QString, command);
        QFETCH(int, start);
        QFETCH(bool, transfer);
        // Over the 2048 bytes of updateThenVerify, and ending in erased memory at 0x0100
        // (the verify compares the padding up to the block's end).
        const QByteArray binary = testImage(2302);
        const QString in = writeFile(binary, QStringLiteral("fw.bin"));
        const QString out = m_home.filePath(QStringLiteral("tool.hex"));
        QFile::remove(out);
        QStringList args = command.split(QLatin1Char(' '));
        const QString tool = args.takeFirst();
        args.replaceInStrings(QStringLiteral("IN"), in);
        args.replaceInStrings(QStringLiteral("OUT"), out);
        QProcess p;
        p.start(tool, args);
        QVERIFY2(p.waitForFinished(10000), qPrintable(tool + " fehlt? (scripts/deps.sh)"));
        QVERIFY2(p.exitCode() == 0, p.readAllStandardError().constData());

        CliResult r = cli({QStringLiteral("firmware"), QStringLiteral("check"), out});
        QCOMPARE(r.err, QString());
        QCOMPARE(r.out, checkOutput(binary, start));
        if (!transfer)
            return;
        r = cli(QStringList{QStringLiteral("firmware"), QStringLiteral("update"), out,
                            QStringLiteral("--yes")} +
                device());
        QCOMPARE(r.code, 0);
        QVERIFY(r.err.endsWith(QStringLiteral("Firmwareupdate abgeschlossen")));
        r = cli(QStringList{QStringLiteral("firmware"), QStringLiteral("verify"), out} + device());
        QCOMPARE(r.code, 0);
        QVERIFY(r.err.endsWith(QStringLiteral("Verify abgeschlossen")));
        QVERIFY(!r.err.contains(QStringLiteral("Fehler beim Verify")));
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
        QTest::newRow("--no at the reset warning")
            << QStringList() << QStringList{QStringLiteral("--no")}
            << QStringLiteral("Das Terminal wird für das Firmwareupdate zurückgesetzt: "
                              "Einstellungen, die nicht dauerhaft gespeichert sind, gehen dabei "
                              "verloren. Update starten? nein\nFirmwareupdate nicht gestartet");
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
