#include "sim/VxControlServer.h"
#include "sim/VxTerminal.h"
#include "sim/VxTrafficLog.h"

#include "platform/LocalWait.h"

#include <QLocalSocket>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace vemro;

class TestVxsimControl : public QObject
{
    Q_OBJECT
private slots:
    void commands_data();
    void commands();
    void overTheSocketWithStateFile();
    void leavesOtherFilesAlone();
    void logLine_data();
    void logLine();
};

void TestVxsimControl::commands_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QByteArray>("query"); // a command to the terminal afterwards
    QTest::addColumn<QByteArray>("reply");

    QTest::newRow("analog") << "analog 803"
                            << "OK" << QByteArray("\x1b?A") << QByteArray("A:200,3;");
    QTest::newRow("analog too high") << "analog 1024"
                                     << "ERR" << QByteArray("\x1b?A") << QByteArray("A:128,0;");
    QTest::newRow("port input") << "port 3 0x42"
                                << "OK" << QByteArray("\x1b?P3;") << QByteArray("P:66;");
    QTest::newRow("port 9") << "port 9 1"
                            << "ERR" << QByteArray() << QByteArray();
    QTest::newRow("key sends its code") << "key 2"
                                        << "OK" << QByteArray() << QByteArray("b");
    QTest::newRow("key 33") << "key 33"
                            << "ERR" << QByteArray() << QByteArray();
    QTest::newRow("plugs") << "plugs on"
                           << "OK" << QByteArray("\x1bP1,85;\x1b?P1;") << QByteArray("P:170;");
    QTest::newRow("plugs with step")
        << "plugs on 341"
        << "OK" << QByteArray("\x1bP0,3;\x1b?A") << QByteArray("A:255,3;");
    QTest::newRow("fault silent") << "fault silent"
                                  << "OK" << QByteArray("\x1b?V") << QByteArray();
    QTest::newRow("fault nak") << "fault nak 1"
                               << "OK" << QByteArray("\x1bKS") << QByteArray("\x15");
    QTest::newRow("fault drop") << "fault drop 2"
                                << "OK" << QByteArray("\x1b?V") << QByteArray();
    QTest::newRow("fault unknown") << "fault maybe"
                                   << "ERR" << QByteArray() << QByteArray();
    QTest::newRow("display") << "display"
                             << "|" << QByteArray() << QByteArray();
    QTest::newRow("dump") << "dump"
                          << "[terminal]" << QByteArray() << QByteArray();
    QTest::newRow("nonsense") << "fly away"
                              << "ERR" << QByteArray() << QByteArray();
}

void TestVxsimControl::commands()
{
    QFETCH(QString, line);
    QFETCH(QString, answer);
    QFETCH(QByteArray, query);
    QFETCH(QByteArray, reply);
    VxTerminal terminal;
    VxControlServer control(&terminal);
    QByteArray sent;
    connect(&terminal, &VxTerminal::transmit, this, [&sent](const QByteArray& b) { sent += b; });
    QVERIFY2(control.execute(line).startsWith(answer), qPrintable(control.execute(line)));
    sent.clear();
    if (line.startsWith("key"))
        (void)control.execute(line);
    if (!query.isEmpty())
        terminal.receive(query);
    QCOMPARE(sent, reply);
}

void TestVxsimControl::overTheSocketWithStateFile()
{
    QTemporaryDir dir;
    VxTerminal terminal;
    VxControlServer control(&terminal);
    const QString state = dir.filePath("state.txt");
    control.setStateFile(state);
    QString error;
    QVERIFY2(control.listen(dir.filePath("ctl"), &error), qPrintable(error));
    terminal.receive("Hallo\x1b"
                     "E0,100,171;");
    QLocalSocket socket;
    socket.connectToServer(dir.filePath("ctl"));
    QVERIFY(socket.waitForConnected(2000));
    socket.write("dump\n");
    QByteArray answer;
    while (!answer.endsWith("OK\n")) {
        LocalWait wait;
        wait.wakeOn(&socket, &QLocalSocket::readyRead);
        QVERIFY(wait.run(std::chrono::milliseconds(2000)));
        answer += socket.readAll();
    }
    QVERIFY(answer.contains("line1=|Hallo"));
    QFile file(state);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    QVERIFY(text.contains("sernr=004711"));
    QVERIFY(text.contains("0060: FF FF FF FF AB"));
    QVERIFY(text.contains("key01=61 41"));
    QSignalSpy quit(&control, &VxControlServer::quitRequested);
    socket.write("quit\n");
    QVERIFY(quit.wait(2000));
}

void TestVxsimControl::leavesOtherFilesAlone()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("notes.txt");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("wichtig");
    file.close();
    VxTerminal terminal;
    VxControlServer control(&terminal);
    QString error;
    QVERIFY(!control.listen(path, &error));
    QVERIFY(error.contains("kein Socket"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("wichtig"));
    // A socket left behind by an earlier run is taken over.
    const QString socketPath = dir.filePath("ctl");
    {
        VxControlServer first(&terminal);
        QVERIFY(first.listen(socketPath, &error));
    }
    VxControlServer second(&terminal);
    QVERIFY2(second.listen(socketPath, &error), qPrintable(error));
}

void TestVxsimControl::logLine_data()
{
    QTest::addColumn<qint64>("ms");
    QTest::addColumn<QByteArray>("arrow");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("line");
    QTest::newRow("to terminal") << qint64(12) << QByteArray("->") << QByteArray("\x1b?V")
                                 << "12 -> 1B 3F 56";
    QTest::newRow("to pc") << qint64(0) << QByteArray("<-") << QByteArray("\x06\xea")
                           << "0 <- 06 EA";
}

void TestVxsimControl::logLine()
{
    QFETCH(qint64, ms);
    QFETCH(QByteArray, arrow);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, line);
    QCOMPARE(VxTrafficLog::line(ms, arrow.constData(), bytes), line);
}

QTEST_GUILESS_MAIN(TestVxsimControl)
#include "tst_vxsim_control.moc"
