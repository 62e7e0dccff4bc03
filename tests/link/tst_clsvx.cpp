// clsVX transport over an in-memory channel: replies, error codes, long texts, waits.
#include "LinkFixture.h"

#include "link/Notation.h"
#include "platform/Codepage.h"
#include "platform/Globals.h"
#include "platform/clsInfo.h"

#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace vemro;
using namespace vemro::test;

class tst_clsVX : public QObject
{
    Q_OBJECT
private slots:
    void init() { globals().CommandBuffer.clear(); }

    void sendWithResponse_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<bool>("failed");
        QTest::addColumn<int>("code");
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("ACK") << QByteArray("\x06") << false << 0 << QByteArray();
        QTest::newRow("NAK") << QByteArray("\x15") << true << 1 << QByteArray();
        QTest::newRow("X") << QByteArray("X") << true << 9 << QByteArray("88");
        QTest::newRow("ACK and more") << QByteArray("\x06zz") << true << 9 << QByteArray("6");
        QTest::newRow("silence") << QByteArray() << true << 2 << QByteArray();
    }
    void sendWithResponse()
    {
        QFETCH(QByteArray, reply);
        QFETCH(bool, failed);
        QFETCH(int, code);
        QFETCH(QByteArray, text);
        MemoryLink link;
        FakeTerminal term;
        term.respond = [reply](const QByteArray&) { return reply; };
        link.attach(&term, &FakeTerminal::onBytes, &FakeTerminal::transmit);
        link.vx.tmrTimeout()->setInterval(300);
        QByteArray command("<ESC>KS");
        QCOMPARE(link.vx.Send(command, true), failed);
        QCOMPARE(command, text);
        QCOMPARE(toStored(link.vx.lastError()), code);
        QCOMPARE(toStored(link.vx.lastError()), 0); // read-and-clear
        QCOMPARE(term.all(), QByteArray("\x1bKS"));
        QVERIFY(link.port.receiveEvents());
    }

    void sendWithoutResponse()
    {
        MemoryLink link;
        FakeTerminal term;
        link.attach(&term, &FakeTerminal::onBytes, &FakeTerminal::transmit);
        QByteArray command("<ESC>LL");
        QVERIFY(!link.vx.Send(command, false));
        QCOMPARE(command, QByteArray());
        QCOMPARE(term.all(), QByteArray("\x1bLL"));
    }

    // Long texts go in pieces of 1000; only the last waits for the answer.
    void longTextPieces()
    {
        MemoryLink link;
        FakeTerminal term;
        term.respond = [](const QByteArray& b) {
            return b.size() == 500 ? QByteArray("\x06") : QByteArray();
        };
        link.attach(&term, &FakeTerminal::onBytes, &FakeTerminal::transmit);
        QByteArray text(2500, 'a');
        QVERIFY(!link.vx.Send(text, true, true));
        QCOMPARE(term.received.size(), 3);
        QCOMPARE(term.received.at(0).size(), 1000);
        QCOMPARE(term.received.at(1).size(), 1000);
        QCOMPARE(term.received.at(2).size(), 500);
    }

    // Raw bytes stay raw in every piece, and decoded text is not decoded a second time.
    void longTextFilteredOnce_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("raw");
        QTest::addColumn<QByteArray>("wire");
        QByteArray rawText =
            QByteArray(990, 'x') + "<ESC><065>{y}" + QByteArray(1200, 'z') + "<ESC>";
        QTest::newRow("raw across pieces") << rawText << true << rawText;
        const QByteArray decoded = QByteArray(1200, 'x') + "\x1b" + "<ESC>A";
        QTest::newRow("decoded once")
            << QByteArray(1200, 'x') + "<ESC><060>ESC><065>" << false << decoded;
        QByteArray codeAtBoundary = QByteArray(997, 'x') + "<ESC><066>" + QByteArray(300, 'y');
        QTest::newRow("code form at piece boundary")
            << codeAtBoundary << false
            << QByteArray(997, 'x') + "\x1b" + "B" + QByteArray(300, 'y');
    }
    void longTextFilteredOnce()
    {
        QFETCH(QByteArray, text);
        QFETCH(bool, raw);
        QFETCH(QByteArray, wire);
        MemoryLink link;
        FakeTerminal term;
        link.attach(&term, &FakeTerminal::onBytes, &FakeTerminal::transmit);
        QVERIFY(!link.vx.Send(text, false, raw));
        QTRY_COMPARE(term.all(), wire);
    }

    void badCodeSendsNothing()
    {
        MemoryLink link;
        FakeTerminal term;
        link.attach(&term, &FakeTerminal::onBytes, &FakeTerminal::transmit);
        QByteArray command("<ESC>A<300>");
        QVERIFY(link.vx.Send(command, false));
        QVERIFY(AnsiToString(command).contains(QStringLiteral("300")));
        QTest::qWait(20);
        QVERIFY(term.received.isEmpty());
    }

    void receive_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QByteArray>("endChar");
        QTest::addColumn<bool>("failed");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("code");
        QTest::newRow("silence, no end")
            << QByteArray() << QByteArray() << true << QByteArray("TimeOut") << 2;
        QTest::newRow("collected, no end")
            << QByteArray("A:12,3;") << QByteArray() << false << QByteArray("A:12,3;") << 0;
        QTest::newRow("end char") << QByteArray("V:1;") << QByteArray(";") << false
                                  << QByteArray("V:1") << 0;
        QTest::newRow("no end char in time")
            << QByteArray("V:1") << QByteArray(";") << true << QByteArray("V:1 / TimeOut") << 2;
    }
    void receive()
    {
        QFETCH(QByteArray, reply);
        QFETCH(QByteArray, endChar);
        QFETCH(bool, failed);
        QFETCH(QByteArray, text);
        QFETCH(int, code);
        MemoryLink link;
        FakeTerminal term;
        term.respond = [reply](const QByteArray&) { return reply; };
        link.attach(&term, &FakeTerminal::onBytes, &FakeTerminal::transmit);
        link.vx.tmrTimeout()->setInterval(300);
        QByteArray command("<ESC>?X");
        link.vx.Send(command, false);
        QByteArray got;
        QCOMPARE(link.vx.Receive(got, endChar), failed);
        QCOMPARE(got, text);
        QCOMPARE(toStored(link.vx.lastError()), code);
        QCOMPARE(link.vx.tmrTimeout()->interval(), 300); // restored after the 200 ms wait
    }

    // A terminal that sends without pause ends the reception after 64 KiB instead of never.
    void endlessReply_data()
    {
        QTest::addColumn<QByteArray>("endChar");
        QTest::addColumn<bool>("failed");
        QTest::newRow("no end character") << QByteArray() << false;
        QTest::newRow("end character never comes") << QByteArray(";") << true;
    }
    void endlessReply()
    {
        QFETCH(QByteArray, endChar);
        QFETCH(bool, failed);
        MemoryLink link;
        FakeTerminal term;
        term.respond = [](const QByteArray&) { return QByteArray(70000, 'x'); };
        link.attach(&term, &FakeTerminal::onBytes, &FakeTerminal::transmit);
        link.vx.tmrTimeout()->setInterval(60000);
        QByteArray command("<ESC>?V");
        link.vx.Send(command, false);
        QByteArray got;
        QCOMPARE(link.vx.Receive(got, endChar), failed);
        QVERIFY(got.startsWith(QByteArray(65536, 'x')));
        QCOMPARE(link.port.InBufferCount(), 70000 - 65536);
    }

    void getParameter_data()
    {
        QTest::addColumn<int>("parameterMode");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QList<QByteArray>>("items");
        QTest::newRow("decimal") << 1 << QByteArray("V:1.23,000123;")
                                 << QList<QByteArray>{"1.23", "000123"};
        QTest::newRow("decimal K:") << 1 << QByteArray("K:;") << QList<QByteArray>{""};
        QTest::newRow("decimal no colon") << 1 << QByteArray("abc;") << QList<QByteArray>{"abc"};
        QTest::newRow("byte") << 0 << QByteArray("M:\x41\x07") << QList<QByteArray>{"65", "7"};
        QTest::newRow("byte, nothing after colon") << 0 << QByteArray("M:") << QList<QByteArray>{};
    }
    void getParameter()
    {
        QFETCH(int, parameterMode);
        QFETCH(QByteArray, reply);
        QFETCH(QList<QByteArray>, items);
        MemoryLink link;
        FakeTerminal term;
        term.respond = [reply](const QByteArray&) { return reply; };
        link.attach(&term, &FakeTerminal::onBytes, &FakeTerminal::transmit);
        link.vx.ParameterMode = parameterMode;
        QByteArray query("?V");
        QList<QByteArray> list{"old"};
        QVERIFY(!link.vx.GetParameter(query, list, ";"));
        QCOMPARE(list, items);
        QCOMPARE(term.all(), QByteArray("\x1b?V"));
        QCOMPARE(link.vx.tmrTimeout()->interval(), 500);
    }

    void unknownComMode()
    {
        MemoryLink link;
        FakeTerminal term;
        link.attach(&term, &FakeTerminal::onBytes, &FakeTerminal::transmit);
        link.vx.ComMode = static_cast<ComMode>(7);
        QByteArray command("<ESC>LL");
        QVERIFY(!link.vx.Send(command, false));
        QByteArray got;
        QVERIFY(!link.vx.Receive(got, ";"));
        QByteArray query("?V");
        QList<QByteArray> list;
        QVERIFY(!link.vx.GetParameter(query, list, ";"));
        QTest::qWait(20);
        QVERIFY(term.received.isEmpty());
        QCOMPARE(link.ui.texts(), QStringList(3, clsVX::kNotImplemented));
    }

    // An exchange started from an event handler while another waits is refused, not interleaved.
    void refusesNestedExchange()
    {
        MemoryLink link;
        FakeTerminal term;
        link.attach(&term, &FakeTerminal::onBytes, &FakeTerminal::transmit);
        link.vx.tmrTimeout()->setInterval(300);
        bool nestedFailed = false;
        QByteArray nestedText;
        QTimer::singleShot(50, &link.vx, [&] {
            nestedText = "<ESC>LL";
            nestedFailed = link.vx.Send(nestedText, false);
        });
        QByteArray command("<ESC>KS");
        QVERIFY(link.vx.Send(command, true)); // silence
        QVERIFY(nestedFailed);
        QCOMPARE(AnsiToString(nestedText), clsVX::kBusy);
        QCOMPARE(term.all(), QByteArray("\x1bKS"));
        QVERIFY(!link.vx.busy());
    }

    // The channel breaking during a wait ends the exchange with its description, once.
    void channelBreaksDuringWait()
    {
        MemoryLink link;
        FakeTerminal term;
        link.attach(&term, &FakeTerminal::onBytes, &FakeTerminal::transmit);
        link.vx.tmrTimeout()->setInterval(5000);
        QSignalSpy failures(&link.vx, &clsVX::linkFailed);
        Info().setInfoLevel(9);
        QTimer::singleShot(50, &link.far,
                           [&link] { link.near->fail(QStringLiteral("Gerät weg")); });
        QByteArray command("<ESC>KS");
        QVERIFY(link.vx.Send(command, true));
        QCOMPARE(AnsiToString(command), QStringLiteral("Gerät weg"));
        QVERIFY(!link.port.isOpen());
        QCOMPARE(failures.size(), 1);
        command = "<ESC>LL";
        QVERIFY(link.vx.Send(command, false)); // the port stays closed
        QCOMPARE(failures.size(), 1);
        QCOMPARE(link.ui.texts().size(), 1);
        QVERIFY(link.ui.texts().first().endsWith(QStringLiteral("Gerät weg")));
        Info().setInfoLevel(0);
    }

    void waitMsEnds()
    {
        MemoryLink link;
        bool ticked = false;
        QTimer::singleShot(10, &link.vx, [&ticked] { ticked = true; });
        link.vx.WaitMS(30);
        QVERIFY(ticked); // the event loop ran during the wait
    }
};

QTEST_GUILESS_MAIN(tst_clsVX)
#include "tst_clsvx.moc"
