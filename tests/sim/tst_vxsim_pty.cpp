#include "sim/VxPtyTransport.h"
#include "sim/VxTerminal.h"

#include "platform/LocalWait.h"

#include <QElapsedTimer>
#include <QSerialPort>
#include <QTest>

#include <memory>

using namespace vemro;

namespace {

// One terminal on a pty, wired like vxsim wires it.
struct Line
{
    VxTerminal terminal;
    VxPtyTransport pty{&terminal};
    explicit Line(bool wireTiming = false, const VxTerminal::Options& options = {})
        : terminal(options)
    {
        QString error;
        pty.setWireTiming(wireTiming);
        const bool ok = pty.open(&error);
        Q_ASSERT(ok);
        QObject::connect(&terminal, &VxTerminal::transmit, &pty, &VxPtyTransport::send);
    }
};

std::unique_ptr<QSerialPort> openPc(const QString& path, int baud)
{
    auto port = std::make_unique<QSerialPort>(path);
    port->setBaudRate(baud);
    if (!port->open(QIODevice::ReadWrite))
        return nullptr;
    // QSerialPort applies the speed on open; set it again to be sure it is on the line.
    port->setBaudRate(baud);
    port->setDataBits(QSerialPort::Data8);
    port->setParity(QSerialPort::NoParity);
    port->setStopBits(QSerialPort::OneStop);
    port->setFlowControl(QSerialPort::NoFlowControl);
    return port;
}

// Sends and collects what comes back until `expected` bytes arrived or 400 ms of silence.
QByteArray ask(QSerialPort& port, const QByteArray& bytes, int expected)
{
    port.write(bytes);
    QByteArray got;
    while (got.size() < expected) {
        LocalWait wait;
        wait.wakeOn(&port, &QSerialPort::readyRead);
        if (!wait.run(std::chrono::milliseconds(400)))
            break;
        got += port.readAll();
    }
    return got;
}

const QByteArray kVersionQuery("\x1b?V");
const QByteArray kVersionReply("V:2.7,004711;");

} // namespace

class TestVxsimPty : public QObject
{
    Q_OBJECT
private slots:
    void answersOnlyAtItsSpeed_data();
    void answersOnlyAtItsSpeed();
    void speedSwitchMovesTheTerminal();
    void reopenAfterClose();
    void wireTimingDeliversEverything();
    void wireTimingNeverEarly_data();
    void wireTimingNeverEarly();
    void keyCodeReachesThePc();
    void nothingStaleForTheNextPc();
};

void TestVxsimPty::answersOnlyAtItsSpeed_data()
{
    QTest::addColumn<int>("pcBaud");
    QTest::addColumn<bool>("answered");
    QTest::newRow("9600") << 9600 << false;
    QTest::newRow("19200") << 19200 << true;
    QTest::newRow("38400") << 38400 << false;
}

void TestVxsimPty::answersOnlyAtItsSpeed()
{
    QFETCH(int, pcBaud);
    QFETCH(bool, answered);
    Line line;
    auto pc = openPc(line.pty.slavePath(), pcBaud);
    QVERIFY(pc);
    QCOMPARE(ask(*pc, kVersionQuery, kVersionReply.size()),
             answered ? kVersionReply : QByteArray());
}

void TestVxsimPty::speedSwitchMovesTheTerminal()
{
    Line line;
    auto pc = openPc(line.pty.slavePath(), 19200);
    QVERIFY(pc);
    QCOMPARE(ask(*pc, QByteArray("\x1bSG2"), 1), QByteArray());
    // Firmware 2.7 keeps listening at the old speed until the reset.
    QCOMPARE(ask(*pc, kVersionQuery, kVersionReply.size()), kVersionReply);
    QCOMPARE(ask(*pc, QByteArray("\x1bKr"), 1), QByteArray());
    QCOMPARE(line.terminal.baudRate(), 38400);
    QCOMPARE(ask(*pc, kVersionQuery, kVersionReply.size()), QByteArray());
    pc->close();
    pc = openPc(line.pty.slavePath(), 38400);
    QVERIFY(pc);
    QCOMPARE(ask(*pc, kVersionQuery, kVersionReply.size()), kVersionReply);
}

void TestVxsimPty::reopenAfterClose()
{
    Line line;
    for (int round = 0; round < 3; ++round) {
        auto pc = openPc(line.pty.slavePath(), 19200);
        QVERIFY(pc);
        QCOMPARE(ask(*pc, kVersionQuery, kVersionReply.size()), kVersionReply);
        pc->close();
        PauseMS(50);
    }
}

void TestVxsimPty::wireTimingDeliversEverything()
{
    Line line(true);
    auto pc = openPc(line.pty.slavePath(), 19200);
    QVERIFY(pc);
    QByteArray query;
    QByteArray expected;
    for (int i = 0; i < 20; ++i) {
        query += kVersionQuery;
        expected += kVersionReply;
    }
    QCOMPARE(ask(*pc, query, expected.size()), expected);
}

void TestVxsimPty::wireTimingNeverEarly_data()
{
    QTest::addColumn<int>("baud");
    QTest::addColumn<int>("queries");
    QTest::newRow("19200, one") << 19200 << 1;
    QTest::newRow("38400, one") << 38400 << 1;
    QTest::newRow("19200, twelve in one write") << 19200 << 12;
}

// The answer cannot be complete before the command and the answer have crossed the line:
// 10 bit times per byte in each direction. The line carries both directions at once, so with
// several queries in one write the answers go out while later queries still come in: the
// least is the first query and all answers. (The line may hand a byte on up to 0.2 ms early,
// its allowance for the machine's timer wake-ups.)
void TestVxsimPty::wireTimingNeverEarly()
{
    QFETCH(int, baud);
    QFETCH(int, queries);
    VxTerminal::Options options;
    options.speedCode = baud == 38400 ? 2 : 1;
    Line line(true, options);
    auto pc = openPc(line.pty.slavePath(), baud);
    QVERIFY(pc);
    const QByteArray query = kVersionQuery.repeated(queries);
    const QByteArray expected = kVersionReply.repeated(queries);
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(ask(*pc, query, expected.size()), expected);
    const qint64 elapsedUs = clock.nsecsElapsed() / 1000;
    const qint64 wireUs = (kVersionQuery.size() + expected.size()) * 10LL * 1000000 / baud;
    QVERIFY2(elapsedUs >= wireUs - 200,
             qPrintable(QStringLiteral("%1 us < %2 us").arg(elapsedUs).arg(wireUs)));
}

void TestVxsimPty::keyCodeReachesThePc()
{
    Line line;
    auto pc = openPc(line.pty.slavePath(), 19200);
    QVERIFY(pc);
    LocalWait wait;
    wait.wakeOn(pc.get(), &QSerialPort::readyRead);
    line.terminal.pressKey(3);
    line.terminal.releaseKey(3);
    QVERIFY(wait.run(std::chrono::milliseconds(2000)));
    QCOMPARE(pc->readAll(), QByteArray("c"));
}

void TestVxsimPty::nothingStaleForTheNextPc()
{
    Line line;
    {
        auto pc = openPc(line.pty.slavePath(), 19200);
        QVERIFY(pc);
        QCOMPARE(ask(*pc, kVersionQuery, kVersionReply.size()), kVersionReply);
    }
    PauseMS(100);              // the close is noticed through the event loop
    line.terminal.pressKey(1); // nobody listens
    line.terminal.releaseKey(1);
    auto pc = openPc(line.pty.slavePath(), 19200);
    QVERIFY(pc);
    PauseMS(100);
    QCOMPARE(pc->readAll(), QByteArray());
    QCOMPARE(ask(*pc, kVersionQuery, kVersionReply.size()), kVersionReply);
}

QTEST_GUILESS_MAIN(TestVxsimPty)
#include "tst_vxsim_pty.moc"
