// vemro-cli's link commands against vxsim on a pseudo-terminal.
#include "tests/common/TrafficLog.h"

#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {
const QString kVxsim = QStringLiteral(VXSIM_PATH);
const QString kCli = QStringLiteral(CLI_PATH);
} // namespace

class tst_LinkCli : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_home;
    QProcess m_sim;
    QString m_line;
    QString m_log;

    // Runs vemro-cli with --home; gives the exit code, standard output in `out`.
    int cli(const QStringList& args, QString* out = nullptr, QString* err = nullptr)
    {
        QProcess p;
        p.start(kCli, QStringList{QStringLiteral("--home"), m_home.path()} + args);
        if (!p.waitForFinished(60000))
            return -1;
        if (out)
            *out = QString::fromUtf8(p.readAllStandardOutput());
        if (err)
            *err = QString::fromUtf8(p.readAllStandardError());
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    }
    QStringList line() const { return {QStringLiteral("--com"), QStringLiteral("2")}; }

private slots:
    void initTestCase()
    {
        QVERIFY(m_home.isValid());
        m_line = m_home.filePath(QStringLiteral("vx"));
        m_sim.setProgram(kVxsim);
        m_log = m_home.filePath(QStringLiteral("verkehr.log"));
        m_sim.setArguments({QStringLiteral("--pty-link"), m_line, QStringLiteral("--log"), m_log});
        m_sim.start();
        QVERIFY(m_sim.waitForStarted(5000));
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(m_line), 10000);
    }
    void cleanupTestCase()
    {
        m_sim.terminate();
        if (!m_sim.waitForFinished(3000))
            m_sim.kill();
        m_sim.waitForFinished(3000);
    }

    void portsMapAndList()
    {
        for (int n = 1; n <= 8; ++n) {
            const QString device =
                n == 2 ? m_line : m_home.filePath(QStringLiteral("none%1").arg(n));
            QString out;
            QCOMPARE(
                cli({QStringLiteral("ports"), QStringLiteral("map"), QString::number(n), device},
                    &out),
                0);
            QCOMPARE(out.trimmed(), QStringLiteral("Com %1 = %2").arg(n).arg(device));
        }
        QCOMPARE(cli({QStringLiteral("ports"), QStringLiteral("map"), QStringLiteral("9"), m_line}),
                 2);
        QString out;
        QCOMPARE(cli({QStringLiteral("ports")}, &out), 0);
        QCOMPARE(
            out.split(QLatin1Char('\n'), Qt::SkipEmptyParts).mid(0, 4),
            (QStringList{"keine", "Com 1 (nicht vorhanden)", "Com 2", "Com 3 (nicht vorhanden)"}));
    }

    void scan()
    {
        QString out;
        QCOMPARE(cli({QStringLiteral("scan")}, &out), 0);
        QVERIFY2(out.contains(QStringLiteral("Com 2\tnichts gefunden bei 9600,n,8,1")),
                 qPrintable(out));
        QVERIFY(out.contains(QStringLiteral("\tTerminal gefunden bei 19200,n,8,1")));
    }

    void commands_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("output");
        QTest::addColumn<QByteArray>("wire"); // what the terminal got, where it matters
        QTest::newRow("info") << QStringList{"info"} << 0 << "Version: 2.7\nSerNr: 004711"
                              << QByteArray("-");
        QTest::newRow("send") << QStringList{"send", "<ESC>?V"} << 0 << "V:2.7,004711;"
                              << QByteArray("-");
        QTest::newRow("send, silence")
            << QStringList{"send", "<ESC>LL"} << 1 << "" << QByteArray("-");
        QTest::newRow("send, bad code")
            << QStringList{"send", "<ESC><300>"} << 1 << "" << QByteArray("-");
        QTest::newRow("io set") << QStringList{"io", "set", "3", "77"} << 0 << ""
                                << QByteArray("-");
        QTest::newRow("io get") << QStringList{"io", "get", "3"} << 0 << "77" << QByteArray("-");
        QTest::newRow("io get 9") << QStringList{"io", "get", "9"} << 2 << "" << QByteArray("-");
        QTest::newRow("eeprom set")
            << QStringList{"eeprom", "set", "1000", "65"} << 0 << "" << QByteArray("-");
        QTest::newRow("eeprom get")
            << QStringList{"eeprom", "get", "1000"} << 0 << "65" << QByteArray("-");
        QTest::newRow("eeprom size")
            << QStringList{"eeprom", "size"} << 0 << "4096" << QByteArray("-");
        QTest::newRow("save-config") << QStringList{"save-config"} << 0 << "" << QByteArray("-");
        QTest::newRow("reset") << QStringList{"reset"} << 0 << ""
                               << QByteArray("\x1b"
                                             "Kr");
        QTest::newRow("speed invalid") << QStringList{"speed", "57600"} << 1 << "" << QByteArray();
        // Through the interface core: version, the speed, the reset that makes firmware 2.3
        // and later take it, then the version at the new speed.
        QTest::newRow("rs485 speed code") << QStringList{"speed", "19200", "--rs485"} << 0 << ""
                                          << QByteArray("\x1b?V\x1bSG5\x1bKr\x1b?V");
        QTest::newRow("back to RS232")
            << QStringList{"speed", "19200"} << 0 << "" << QByteArray("\x1b?V\x1bSG1\x1bKr\x1b?V");
        QTest::newRow("info after")
            << QStringList{"info"} << 0 << "Version: 2.7\nSerNr: 004711" << QByteArray("-");
    }
    void commands()
    {
        QFETCH(QStringList, args);
        QFETCH(int, code);
        QFETCH(QString, output);
        QFETCH(QByteArray, wire);
        const qint64 mark = vemro::test::SettledLogSize(m_log);
        QString out;
        QCOMPARE(cli(args + line(), &out), code);
        if (code == 0)
            QCOMPARE(out.trimmed(), output);
        if (wire != "-") {
            (void)vemro::test::SettledLogSize(m_log);
            QCOMPARE(vemro::test::TrafficSince(m_log, mark).toTerminal, wire);
        }
    }

    void analog()
    {
        QString out;
        QCOMPARE(cli(QStringList{QStringLiteral("analog")} + line(), &out), 0);
        bool ok = false;
        const int value = out.trimmed().toInt(&ok);
        QVERIFY(ok && value >= 0 && value <= 1023);
    }

    void deviceOption()
    {
        QString out;
        QCOMPARE(cli({QStringLiteral("info"), QStringLiteral("--com"), QStringLiteral("4"),
                      QStringLiteral("--device"), m_line},
                     &out),
                 0);
        QVERIFY(out.startsWith(QStringLiteral("Version: 2.7")));
        QString err;
        QCOMPARE(
            cli({QStringLiteral("info"), QStringLiteral("--com"), QStringLiteral("4")}, &out, &err),
            1);
        QVERIFY(err.contains(QStringLiteral("Com 4")));
    }
};

QTEST_GUILESS_MAIN(tst_LinkCli)
#include "tst_link_cli.moc"
