// One conformance suite for every transport under the link: memory, serial (pty), UDP.
#include "PtyPeer.h"

#include "link/MemoryTransport.h"
#include "link/SerialTransport.h"
#include "netmodule/UdpTransport.h"

#include <QSignalSpy>
#include <QTest>

#include <functional>
#include <memory>

using namespace vemro;
using namespace vemro::test;

namespace {

struct Pair
{
    std::unique_ptr<Transport> near; // the transport under test
    std::unique_ptr<Transport> far;
    std::function<void()> breakFar; // empty where the far end cannot vanish (UDP)
};

Pair makePair(const QString& kind)
{
    Pair p;
    if (kind == QLatin1String("memory")) {
        auto a = std::make_unique<MemoryTransport>();
        auto b = std::make_unique<MemoryTransport>();
        MemoryTransport::pair(*a, *b);
        MemoryTransport* near = a.get();
        p.breakFar = [near] { near->fail(QStringLiteral("Gegenstelle weg")); };
        p.near = std::move(a);
        p.far = std::move(b);
    } else if (kind == QLatin1String("serial")) {
        auto peer = std::make_unique<PtyPeer>();
        auto serial = std::make_unique<SerialTransport>();
        SerialSettings settings;
        settings.baudRate = 19200;
        if (serial->open(peer->slavePath(), settings) != SerialOpenError::None)
            return p;
        peer->rearm();
        PtyPeer* far = peer.get();
        p.breakFar = [far] { far->close(); };
        p.near = std::move(serial);
        p.far = std::move(peer);
    } else {
        const quint16 base = static_cast<quint16>(42000 + (::getpid() % 1000) * 2);
        auto a = std::make_unique<UdpTransport>();
        auto b = std::make_unique<UdpTransport>();
        if (!a->open(QHostAddress(QStringLiteral("127.0.0.71")), base, QStringLiteral("127.0.0.72"),
                     base + 1) ||
            !b->open(QHostAddress(QStringLiteral("127.0.0.72")), base + 1,
                     QStringLiteral("127.0.0.71"), base))
            return p;
        p.near = std::move(a);
        p.far = std::move(b);
    }
    return p;
}

} // namespace

class tst_Transport : public QObject
{
    Q_OBJECT
private slots:
    void kinds_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("memory") << QStringLiteral("memory");
        QTest::newRow("serial") << QStringLiteral("serial");
        QTest::newRow("udp") << QStringLiteral("udp");
    }

    void bytesBothWays_data() { kinds_data(); }
    void bytesBothWays()
    {
        QFETCH(QString, kind);
        Pair p = makePair(kind);
        QVERIFY(p.near && p.near->isOpen());
        QByteArray every;
        for (int i = 0; i < 1200; ++i)
            every.append(static_cast<char>(i % 256));
        QByteArray got;
        QObject ctx;
        connect(p.far.get(), &Transport::bytesArrived, &ctx,
                [&got](const QByteArray& b) { got += b; });
        QVERIFY(p.near->write(every));
        QTRY_COMPARE_WITH_TIMEOUT(got, every, 5000);
        QByteArray back;
        connect(p.near.get(), &Transport::bytesArrived, &ctx,
                [&back](const QByteArray& b) { back += b; });
        QVERIFY(p.far->write(QByteArrayLiteral("V:1.30,004711;")));
        QTRY_COMPARE_WITH_TIMEOUT(back, QByteArrayLiteral("V:1.30,004711;"), 5000);
    }

    void closedRefusesWrite_data() { kinds_data(); }
    void closedRefusesWrite()
    {
        QFETCH(QString, kind);
        Pair p = makePair(kind);
        QVERIFY(p.near);
        p.near->close();
        QVERIFY(!p.near->isOpen());
        QVERIFY(!p.near->write(QByteArrayLiteral("x")));
    }

    // A vanished far end is reported once and leaves the transport closed (and quiet).
    void farEndVanishes_data() { kinds_data(); }
    void farEndVanishes()
    {
        QFETCH(QString, kind);
        Pair p = makePair(kind);
        QVERIFY(p.near);
        if (!p.breakFar)
            QSKIP("a datagram channel has no far end that could vanish");
        QSignalSpy errors(p.near.get(), &Transport::errorOccurred);
        p.breakFar();
        if (kind == QLatin1String("serial"))
            p.near->write(QByteArrayLiteral("?"));
        QTRY_COMPARE_WITH_TIMEOUT(errors.size(), 1, 5000);
        QVERIFY(!p.near->isOpen());
        QTest::qWait(200);
        QCOMPARE(errors.size(), 1);
        QVERIFY(!errors.first().first().toString().isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_Transport)
#include "tst_transport.moc"
