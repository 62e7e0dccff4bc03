// The UDP channel to the network module, over loopback with a stand-in module.
#include "link/clsVX.h"
#include "netmodule/UdpTransport.h"
#include "netmodule/clsNetModul.h"
#include "platform/ScriptedUserInterface.h"

#include <QTest>
#include <QTimer>

#include <functional>

#include <unistd.h>

using namespace vemro;

namespace {

const QString kPc = QStringLiteral("127.0.0.80");
const QString kModule = QStringLiteral("127.0.0.81");

// A module on its own loopback address answering each datagram through `respond`.
struct FakeModule
{
    UdpTransport socket;
    QList<QByteArray> received;
    std::function<QList<QByteArray>(const QByteArray&)> respond;

    explicit FakeModule(quint16 port)
    {
        ok = socket.open(QHostAddress(kModule), port, kPc, port);
        QObject::connect(&socket, &Transport::bytesArrived, &socket, [this](const QByteArray& d) {
            received.append(d);
            if (respond) {
                for (const QByteArray& answer : respond(d))
                    socket.write(answer);
            }
        });
    }
    bool ok = false;
};

quint16 testPort()
{
    return static_cast<quint16>(43000 + (::getpid() % 1000) * 2);
}

} // namespace

class tst_NetModul : public QObject
{
    Q_OBJECT
private slots:
    void send_data()
    {
        QTest::addColumn<QList<QByteArray>>("answers");
        QTest::addColumn<bool>("failed");
        QTest::addColumn<int>("code");
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("ACK keeps the old code")
            << QList<QByteArray>{"\x06"} << false << 5 << QByteArray();
        QTest::newRow("NAK") << QList<QByteArray>{"\x15"} << true << 1 << QByteArray();
        QTest::newRow("ACK and more")
            << QList<QByteArray>{"\x06xy"} << true << 9 << QByteArray("6");
        QTest::newRow("silence") << QList<QByteArray>{} << true << 2 << QByteArray();
    }
    void send()
    {
        QFETCH(QList<QByteArray>, answers);
        QFETCH(bool, failed);
        QFETCH(int, code);
        QFETCH(QByteArray, text);
        FakeModule module(testPort());
        QVERIFY(module.ok);
        module.respond = [answers](const QByteArray&) { return answers; };
        clsNetModul net;
        net.setLocalAddress(QHostAddress(kPc));
        QString host = kModule;
        net.OpenUDPConn(testPort(), host);
        QCOMPARE(toStored(net.lastError()), 0);
        if (code == 5) {
            // leave an older code behind: a send nobody answers
            module.respond = nullptr;
            QByteArray first("x");
            QVERIFY(net.Send(first, true));
            QCOMPARE(toStored(net.lastError()), 2);
            module.respond = [answers](const QByteArray&) { return answers; };
            code = 2;
        }
        const int interval = net.tmrTimeout()->interval();
        QByteArray command("\x1bKS");
        QCOMPARE(net.Send(command, true), failed);
        QCOMPARE(command, text);
        QCOMPARE(toStored(net.lastError()), code);
        QCOMPARE(net.tmrTimeout()->interval(), interval);
        QCOMPARE(module.received.last(), QByteArray("\x1bKS"));
    }

    void receive_data()
    {
        QTest::addColumn<QList<QByteArray>>("answers");
        QTest::addColumn<QByteArray>("endChar");
        QTest::addColumn<bool>("failed");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("slot");
        QTest::newRow("end char, rest stays") << QList<QByteArray>{"12,34;XY"} << QByteArray(";")
                                              << false << QByteArray("12,34") << QByteArray("XY");
        QTest::newRow("no end char") << QList<QByteArray>{"V:1"} << QByteArray() << false
                                     << QByteArray("V:1") << QByteArray();
        QTest::newRow("without end char ignored")
            << QList<QByteArray>{"abc"} << QByteArray(";") << true << QByteArray("TimeOut /abc/")
            << QByteArray("abc");
        QTest::newRow("nothing") << QList<QByteArray>{} << QByteArray() << true
                                 << QByteArray("TimeOut //") << QByteArray();
    }
    void receive()
    {
        QFETCH(QList<QByteArray>, answers);
        QFETCH(QByteArray, endChar);
        QFETCH(bool, failed);
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, slot);
        FakeModule module(testPort());
        QVERIFY(module.ok);
        module.respond = [answers](const QByteArray&) { return answers; };
        clsNetModul net;
        net.setLocalAddress(QHostAddress(kPc));
        net.tmrTimeout()->setInterval(100); // four times: 400 ms
        QString host = kModule;
        net.OpenUDPConn(testPort(), host);
        QByteArray command("\x1b?V");
        QVERIFY(!net.Send(command, false));
        QByteArray got;
        QCOMPARE(net.Receive(got, endChar), failed);
        QCOMPARE(got, text);
        QCOMPARE(net.ReceiveSlot(), slot);
        QCOMPARE(toStored(net.lastError()), failed ? 2 : 0);
        QCOMPARE(net.tmrTimeout()->interval(), 100);
    }

    void reopenUsesLastModule()
    {
        clsNetModul net;
        net.setLocalAddress(QHostAddress(kPc));
        QString host = kModule;
        net.OpenUDPConn(testPort(), host);
        QString empty;
        net.OpenUDPConn(testPort(), empty);
        QCOMPARE(empty, kModule);
        net.ClientIP = QStringLiteral("127.0.0.82");
        QString again;
        net.OpenUDPConn(testPort(), again);
        QCOMPARE(again, QStringLiteral("127.0.0.82"));
        QString broadcast = QStringLiteral("255.255.255.255");
        net.OpenUDPConn(testPort(), broadcast);
        QCOMPARE(net.lastHost(), QStringLiteral("127.0.0.82"));
        QString bad = QStringLiteral("not an address");
        net.OpenUDPConn(testPort(), bad);
        QCOMPARE(toStored(net.lastError()), 9);
    }

    // clsVX with ComMode 20 opens the data port towards the module and talks through it.
    void terminalOverNetwork()
    {
        ScriptedUserInterface ui;
        setUi(&ui);
        FakeModule module(clsVX::kNetworkDataPort);
        if (!module.ok)
            QSKIP("data port 3001 on the loopback test address is taken");
        module.respond = [](const QByteArray& d) -> QList<QByteArray> {
            if (d == "\x1b?V")
                return {"V:1.30,004711;"};
            if (d == "\x1b?A")
                return {"A:200,3;"};
            if (d.startsWith("\x1b"
                             "E"))
                return {"\x06"};
            return {};
        };
        clsNetModul net;
        net.setLocalAddress(QHostAddress(kPc));
        net.ClientIP = kModule;
        clsVX vx;
        vx.setCtlNetModul(&net);
        vx.setTmrTimeout(net.tmrTimeout());
        vx.ComMode = ComMode::Network;
        QCOMPARE(net.state(), 0);
        QCOMPARE(vx.Version(), QStringLiteral("1.30"));
        QCOMPARE(vx.SerNr, QStringLiteral("004711"));
        QCOMPARE(net.state(), 1);
        QCOMPARE(vx.tmrTimeout()->interval(), 2000);
        QCOMPARE(vx.Analog(), 803);
        QVERIFY(vx.SetextEEZelle(1000, 65));
        QCOMPARE(module.received.last(), QByteArray("\x1b"
                                                    "E3,232,65;"));
        QVERIFY(ui.texts().isEmpty());
        setUi(nullptr);
    }
};

QTEST_GUILESS_MAIN(tst_NetModul)
#include "tst_netmodul.moc"
