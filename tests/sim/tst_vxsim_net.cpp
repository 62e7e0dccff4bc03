#include "sim/VxNetModule.h"
#include "sim/VxTerminal.h"

#include "platform/LocalWait.h"

#include <QNetworkDatagram>
#include <QTest>
#include <QUdpSocket>

#include <memory>

using namespace vemro;

namespace {

// One simulated terminal with its network module on a loopback address.
struct Module
{
    VxTerminal terminal;
    std::unique_ptr<VxNetModule> net;
    Module(const QString& sernr, const QString& name)
        : terminal([&] {
              VxTerminal::Options o;
              o.serialNumber = sernr;
              return o;
          }())
    {
        VxNetModule::Identity id;
        id.name = name;
        net = std::make_unique<VxNetModule>(&terminal, id);
        QObject::connect(&terminal, &VxTerminal::transmit, net.get(), &VxNetModule::send);
    }
    bool start(const QString& address)
    {
        QString error;
        return net->start(QHostAddress(address), &error);
    }
};

// Datagrams arriving at `socket` within `ms` milliseconds.
QList<QNetworkDatagram> collect(QUdpSocket& socket, int ms)
{
    QList<QNetworkDatagram> got;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) {
        LocalWait wait;
        wait.wakeOn(&socket, &QUdpSocket::readyRead);
        wait.run(std::chrono::milliseconds(ms - clock.elapsed()));
        while (socket.hasPendingDatagrams())
            got << socket.receiveDatagram();
    }
    return got;
}

// Discovery answers grouped by serial number: letter -> value.
QMap<QByteArray, QMap<char, QByteArray>> bySerial(const QList<QNetworkDatagram>& datagrams)
{
    QMap<QByteArray, QMap<char, QByteArray>> out;
    for (const QNetworkDatagram& d : datagrams) {
        const QByteArray b = d.data();
        if (b.size() > 13 && b.startsWith("CFG>"))
            out[b.mid(6, 6)][b.at(4)] = b.mid(13);
    }
    return out;
}

} // namespace

class TestVxsimNet : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void discovery_data();
    void discovery();
    void dataPortCarriesCommands();

private:
    std::unique_ptr<Module> m_a;
    std::unique_ptr<Module> m_b;
};

void TestVxsimNet::initTestCase()
{
    m_a = std::make_unique<Module>(QStringLiteral("000002"), QStringLiteral("Halle, Tor 2"));
    m_b = std::make_unique<Module>(QStringLiteral("3"), QStringLiteral("Tor 3"));
    QVERIFY(m_a->start(QStringLiteral("127.0.0.2")));
    QVERIFY(m_b->start(QStringLiteral("127.0.0.3")));
}

void TestVxsimNet::discovery_data()
{
    QTest::addColumn<QStringList>("targets");
    QTest::addColumn<int>("localPort");
    QTest::newRow("unicast to each") << QStringList{"127.0.0.2", "127.0.0.3"} << 0;
    QTest::newRow("loopback broadcast") << QStringList{"127.255.255.255"} << 0;
    // The program sends from the configuration port itself, bound to every address.
    QTest::newRow("broadcast from port 10000")
        << QStringList{"127.255.255.255"} << int(VxNetModule::kConfigPort);
    // What the program sends: the limited broadcast, from port 10000 on every address.
    QTest::newRow("limited broadcast")
        << QStringList{"255.255.255.255"} << int(VxNetModule::kConfigPort);
}

void TestVxsimNet::discovery()
{
    QFETCH(QStringList, targets);
    QFETCH(int, localPort);
    QUdpSocket pc;
    if (localPort == 0)
        QVERIFY(pc.bind(QHostAddress(QStringLiteral("127.0.0.1")), 0));
    else
        QVERIFY(pc.bind(QHostAddress::AnyIPv4, static_cast<quint16>(localPort),
                        QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint));
    for (const QString& t : targets) {
        if (pc.writeDatagram("CFG?", QHostAddress(t), VxNetModule::kConfigPort) != 4) {
            if (t == QLatin1String("255.255.255.255"))
                QSKIP("no route for the limited broadcast on this host");
            QFAIL(qPrintable(pc.errorString()));
        }
    }
    const auto found = bySerial(collect(pc, 500));
    QVERIFY2(found.contains("000002") && found.contains("000003"),
             qPrintable(QStringLiteral("%1 modules answered").arg(found.size())));
    const auto& a = found.value("000002");
    QCOMPARE(a.value('I'), QByteArray("\x7f\x00\x00\x02", 4));
    QCOMPARE(a.value('N'), QByteArray("Halle, Tor 2"));
    QCOMPARE(a.value('T'), QByteArray("VX-NET"));
    QCOMPARE(a.value('U'), QByteArray("\x0b\xb9", 2)); // 3001
    QCOMPARE(a.value('D'), QByteArray(4, '\0'));
    QCOMPARE(found.value("000003").value('I'), QByteArray("\x7f\x00\x00\x03", 4));
}

void TestVxsimNet::dataPortCarriesCommands()
{
    QUdpSocket pc;
    QVERIFY(pc.bind(QHostAddress(QStringLiteral("127.0.0.1")), 0));
    pc.writeDatagram("\x1b?V", QHostAddress(QStringLiteral("127.0.0.3")), VxNetModule::kDataPort);
    auto got = collect(pc, 300);
    QCOMPARE(got.size(), 1);
    QCOMPARE(got.at(0).data(), QByteArray("V:2.7,3;"));
    QCOMPARE(got.at(0).senderAddress(), QHostAddress(QStringLiteral("127.0.0.3")));
    QCOMPARE(got.at(0).senderPort(), int(VxNetModule::kDataPort));
    // Several commands in one datagram are answered in one datagram.
    pc.writeDatagram("\x1b"
                     "E0,100,7;\x1b?E0,100;",
                     QHostAddress(QStringLiteral("127.0.0.2")), VxNetModule::kDataPort);
    got = collect(pc, 300);
    QCOMPARE(got.size(), 1);
    QCOMPARE(got.at(0).data(), QByteArray("\x06"
                                          "E:7;"));
}

QTEST_GUILESS_MAIN(TestVxsimNet)
#include "tst_vxsim_net.moc"
