#include "platform/LocalWait.h"

#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

// The vxsim program itself: start-up report, control socket, state file on SIGINT/SIGTERM.
class TestVxsimProcess : public QObject
{
    Q_OBJECT
private slots:
    void endsCleanlyOnSignal_data();
    void endsCleanlyOnSignal();
    void refusesBadOptions_data();
    void refusesBadOptions();
    void memoryFileSurvivesARestart();
};

void TestVxsimProcess::endsCleanlyOnSignal_data()
{
    QTest::addColumn<int>("signal");
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGINT") << int(SIGINT);
}

void TestVxsimProcess::endsCleanlyOnSignal()
{
    QFETCH(int, signal);
    QTemporaryDir dir;
    const QString link = dir.filePath("com1");
    const QString ctl = dir.filePath("ctl");
    const QString state = dir.filePath("state.txt");
    QProcess sim;
    sim.start(QStringLiteral(VXSIM),
              {"--pty-link", link, "--control", ctl, "--state", state, "--sernr", "000815"});
    QVERIFY(sim.waitForStarted(5000));
    QByteArray out;
    while (!out.contains("Steuerung")) {
        QVERIFY2(sim.waitForReadyRead(10000), out.constData());
        out += sim.readAllStandardOutput();
    }
    QVERIFY(out.contains("vxsim: Link " + link.toLocal8Bit()));
    QVERIFY(QFileInfo(link).isSymLink());

    QLocalSocket socket;
    socket.connectToServer(ctl);
    QVERIFY(socket.waitForConnected(5000));
    socket.write("analog 321\n");
    QVERIFY(socket.waitForReadyRead(5000));
    QCOMPARE(socket.readLine(), QByteArray("OK\n"));

    ::kill(static_cast<pid_t>(sim.processId()), signal);
    QVERIFY(sim.waitForFinished(10000));
    QCOMPARE(sim.exitStatus(), QProcess::NormalExit);
    QCOMPARE(sim.exitCode(), 0);
    QFile file(state);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    QVERIFY(text.contains("sernr=000815\n"));
    QVERIFY(text.contains("analog=321\n"));
    QVERIFY(!QFileInfo(link).isSymLink()); // the link goes with the simulator
}

void TestVxsimProcess::refusesBadOptions_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::newRow("speed") << QStringList{"--no-pty", "--speed", "57600"};
    QTest::newRow("rows") << QStringList{"--no-pty", "--rows", "0"};
    QTest::newRow("udp address") << QStringList{"--no-pty", "--udp", "not-an-address"};
}

void TestVxsimProcess::refusesBadOptions()
{
    QFETCH(QStringList, args);
    QProcess sim;
    sim.start(QStringLiteral(VXSIM), args);
    QVERIFY(sim.waitForFinished(10000));
    QVERIFY(sim.exitCode() != 0);
    QVERIFY(!sim.readAllStandardError().isEmpty());
}

void TestVxsimProcess::memoryFileSurvivesARestart()
{
    QTemporaryDir dir;
    const QString memory = dir.filePath("memory.txt");
    {
        QFile file(memory);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[terminal]\nsernr=000999\n[eeprom]\n03E0: 00 00 00 00 00 00 00 00 41\n");
    }
    const QString ctl = dir.filePath("ctl");
    QProcess sim;
    sim.start(QStringLiteral(VXSIM), {"--no-pty", "--control", ctl, "--memory", memory});
    QVERIFY(sim.waitForStarted(5000));
    QByteArray out;
    while (!out.contains("Steuerung")) {
        QVERIFY2(sim.waitForReadyRead(10000), out.constData());
        out += sim.readAllStandardOutput();
    }
    QLocalSocket socket;
    socket.connectToServer(ctl);
    QVERIFY(socket.waitForConnected(5000));
    socket.write("dump\n");
    QByteArray dump;
    while (!dump.endsWith("OK\n")) {
        QVERIFY(socket.waitForReadyRead(5000));
        dump += socket.readAll();
    }
    QVERIFY(dump.contains("sernr=000999\n"));
    QVERIFY(dump.contains("03E0: 00 00 00 00 00 00 00 00 41 FF"));
    ::kill(static_cast<pid_t>(sim.processId()), SIGTERM);
    QVERIFY(sim.waitForFinished(10000));
    QFile file(memory);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray kept = file.readAll();
    QVERIFY(kept.contains("[eeprom]"));
    QVERIFY(kept.contains("03E0: 00 00 00 00 00 00 00 00 41 FF"));

    // A file that is not a memory file is refused, not overwritten.
    QFile bad(dir.filePath("bad.txt"));
    QVERIFY(bad.open(QIODevice::WriteOnly));
    bad.write("not a memory file");
    bad.close();
    QProcess refused;
    refused.start(QStringLiteral(VXSIM), {"--no-pty", "--memory", bad.fileName()});
    QVERIFY(refused.waitForFinished(10000));
    QVERIFY(refused.exitCode() != 0);
    QVERIFY(bad.open(QIODevice::ReadOnly));
    QCOMPARE(bad.readAll(), QByteArray("not a memory file"));
}

QTEST_GUILESS_MAIN(TestVxsimProcess)
#include "tst_vxsim_process.moc"
