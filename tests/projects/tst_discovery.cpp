#include "link/MemoryTransport.h"
#include "link/TimeoutTimer.h"
#include "netmodule/ModuleDiscovery.h"
#include "netmodule/ModuleSearch.h"
#include "netmodule/clsNetModul.h"
#include "platform/ProgramInfo.h"
#include "platform/ScriptedUserInterface.h"
#include "project/DataEnvironment.h"
#include "project/ProgramDatabase.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace vemro;

namespace {

QByteArray answer(char letter, const QByteArray& serNr, const QByteArray& value)
{
    return QByteArray("CFG>") + letter + ' ' + serNr + ' ' + value;
}

QByteArray bytes(std::initializer_list<int> codes)
{
    QByteArray out;
    for (int c : codes)
        out.append(static_cast<char>(c));
    return out;
}

} // namespace

class TstDiscovery : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void parse_data();
    void parse();
    void twoModulesOrderedByTypeAndAddress();
    void answersInAnyOrderMeetInOneRow();
    void failingAnswerKeepsRow();
    void searchStartsEmptyAndIgnoresLateAnswers();
    void floodIsBounded_data();
    void floodIsBounded();

private:
    QStringList rows();
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<DataEnvironment> m_env;
};

void TstDiscovery::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    const QString db = m_dir->filePath(QStringLiteral("VEMRO.mdb"));
    QString error;
    QVERIFY2(EnsureProgramDatabase(db, &error), qPrintable(error));
    m_env = std::make_unique<DataEnvironment>();
    m_env->setConnectionString(DataEnvironment::kDaten, DataEnvironment::connectionText(db));
    QVERIFY2(m_env->open(DataEnvironment::kDaten, &error), qPrintable(error));
    QVERIFY(m_env->execute(QStringLiteral("cmdSuchergebnis")));
}

void TstDiscovery::cleanup()
{
    m_env.reset();
    m_dir.reset();
}

QStringList TstDiscovery::rows()
{
    QStringList out;
    Recordset& rs = m_env->recordset(QStringLiteral("cmdSuchergebnis"));
    (void)rs.requery();
    for (rs.moveFirst(); !rs.eof(); rs.moveNext()) {
        QStringList cells;
        for (const char* c : {"SerNr", "IPAdresse", "Bezeichnung", "Typ", "ZielIP", "UDPDatenport"})
            cells << rs.value(QString::fromLatin1(c)).toString();
        out << cells.join(QLatin1Char('|'));
    }
    return out;
}

void TstDiscovery::parse_data()
{
    QTest::addColumn<QByteArray>("datagram");
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("column");
    QTest::addColumn<QVariant>("value");
    const int ok = int(ModuleDiscovery::Parse::Ok);
    const int none = int(ModuleDiscovery::Parse::NotAnAnswer);
    const int err = int(ModuleDiscovery::Parse::Error);
    QTest::newRow("address") << answer('I', "004711", QByteArray("\x0a\x00\x00\x07", 4)) << ok
                             << "IPAdresse" << QVariant(QStringLiteral("10.0.0.7"));
    QTest::newRow("destination") << answer('D', "004711", "\xc0\xa8\x01\xff") << ok << "ZielIP"
                                 << QVariant(QStringLiteral("192.168.1.255"));
    QTest::newRow("name without commas")
        << answer('N', "004711", " Halle 1, Linie,2 ") << ok << "Bezeichnung"
        << QVariant(QStringLiteral(" Halle 1 Linie2 "));
    QTest::newRow("type") << answer('T', "004711", "VX-NET") << ok << "Typ"
                          << QVariant(QStringLiteral("VX-NET"));
    QTest::newRow("port") << answer('U', "004711", "\x0b\xb9") << ok << "UDPDatenport"
                          << QVariant(3001);
    QTest::newRow("port above 32767")
        << answer('U', "004711", "\xff\xff") << ok << "UDPDatenport" << QVariant(65535);
    QTest::newRow("unknown letter") << answer('X', "004711", "egal") << ok << "" << QVariant();
    QTest::newRow("letter only") << QByteArray("CFG>I") << none << "" << QVariant();
    QTest::newRow("other datagram") << QByteArray("V:1.30,004711;") << none << "" << QVariant();
    QTest::newRow("request") << QByteArray("CFG?") << none << "" << QVariant();
    QTest::newRow("address too short")
        << answer('I', "004711", "\x0a\x00") << err << "" << QVariant();
    QTest::newRow("port too short") << answer('U', "004711", "\x0b") << err << "" << QVariant();
    QTest::newRow("serial number cut short") << QByteArray("CFG>N 0047") << err << "" << QVariant();
    QTest::newRow("control character in serial number") << answer('N',
                                                                  QByteArray("00\0"
                                                                             "711",
                                                                             6),
                                                                  "Pumpe")
                                                        << err << "" << QVariant();
}

void TstDiscovery::parse()
{
    QFETCH(QByteArray, datagram);
    QFETCH(int, result);
    QFETCH(QString, column);
    QFETCH(QVariant, value);
    ModuleDiscovery::Answer a;
    QString error;
    QCOMPARE(int(ModuleDiscovery::parse(datagram, &a, &error)), result);
    if (result == int(ModuleDiscovery::Parse::Error)) {
        QVERIFY(!error.isEmpty());
        return;
    }
    if (result != int(ModuleDiscovery::Parse::Ok))
        return;
    QCOMPARE(a.serNr, QStringLiteral("004711"));
    QCOMPARE(a.column, column);
    QCOMPARE(a.value, value);
}

void TstDiscovery::twoModulesOrderedByTypeAndAddress()
{
    Recordset& rs = m_env->recordset(QStringLiteral("cmdSuchergebnis"));
    QString error;
    const QList<QByteArray> answers = {
        answer('I', "000002", bytes({10, 0, 0, 9})),
        answer('N', "000002", "Linie B"),
        answer('T', "000002", "VX-NET"),
        answer('U', "000002", "\x0b\xb9"),
        answer('I', "000001", bytes({10, 0, 0, 8})),
        answer('N', "000001", "Linie A"),
        answer('T', "000001", "VX-NET"),
        answer('U', "000001", bytes({128, 0})),
    };
    for (const QByteArray& d : answers)
        QVERIFY2(ModuleDiscovery::store(rs, d, &error), qPrintable(error));
    QCOMPARE(rows(), (QStringList{"000001|10.0.0.8|Linie A|VX-NET||32768",
                                  "000002|10.0.0.9|Linie B|VX-NET||3001"}));
}

void TstDiscovery::answersInAnyOrderMeetInOneRow()
{
    Recordset& rs = m_env->recordset(QStringLiteral("cmdSuchergebnis"));
    QString error;
    QVERIFY(ModuleDiscovery::store(rs, answer('N', "004711", "Pumpe"), &error));
    QVERIFY(ModuleDiscovery::store(rs, answer('I', "004711", bytes({10, 0, 0, 7})), &error));
    QVERIFY(ModuleDiscovery::store(rs, QByteArray("CFG>N"), &error));
    QCOMPARE(rows(), QStringList{"004711|10.0.0.7|Pumpe|||0"});
}

void TstDiscovery::failingAnswerKeepsRow()
{
    Recordset& rs = m_env->recordset(QStringLiteral("cmdSuchergebnis"));
    QString error;
    QVERIFY(ModuleDiscovery::store(rs, answer('N', "004711", "Pumpe"), &error));
    QVERIFY(!ModuleDiscovery::store(rs, answer('U', "004711", "\x0b"), &error));
    QVERIFY(!error.isEmpty());
    QCOMPARE(rows(), QStringList{"004711||Pumpe|||0"});
}

void TstDiscovery::searchStartsEmptyAndIgnoresLateAnswers()
{
    ScriptedUserInterface ui;
    setUi(&ui);
    std::unique_ptr<QTimer> timer(createTimeoutTimer(nullptr));
    clsNetModul net;
    net.setTmrTimeout(timer.get());
    // The modules on the far end of the broadcast channel: the answers of `module`.
    QByteArray module = "000001";
    QStringList requests;
    auto far = std::make_unique<MemoryTransport>();
    net.setOpener([&](quint16 port, const QString& host, QString&) {
        requests << QStringLiteral("%1:%2").arg(host).arg(port);
        auto pc = std::make_unique<MemoryTransport>();
        far = std::make_unique<MemoryTransport>();
        MemoryTransport::pair(*pc, *far);
        connect(far.get(), &Transport::bytesArrived, far.get(), [&](const QByteArray& request) {
            if (request != "CFG?")
                return;
            far->write(answer('I', module, bytes({10, 0, 0, 1})));
            far->write(answer('T', module, "VX-NET"));
        });
        return std::unique_ptr<Transport>(std::move(pc));
    });
    ModuleSearch search(net, *m_env);
    QString error;
    QVERIFY(search.run(ModuleDiscovery::kBroadcast, &error));
    QVERIFY(!search.SucheAktiv());
    QCOMPARE(requests, QStringList{QStringLiteral("255.255.255.255:10000")});
    QCOMPARE(rows(), QStringList{"000001|10.0.0.1||VX-NET||0"});
    QCOMPARE(timer->interval(), ModuleSearch::kWindowMs);
    // A second search starts from an empty result.
    module = "000002";
    QVERIFY(search.run(ModuleDiscovery::kBroadcast, &error));
    QCOMPARE(rows(), QStringList{"000002|10.0.0.1||VX-NET||0"});
    // An answer after the window lands in the receive slot only.
    far->write(answer('N', "000002", "spät"));
    QTRY_COMPARE(net.ReceiveSlot(), answer('N', "000002", "spät"));
    QCOMPARE(rows(), QStringList{"000002|10.0.0.1||VX-NET||0"});
    QVERIFY(ui.texts().isEmpty());
    setUi(nullptr);
}

// Thousands of made-up modules and malformed answers: the window still ends by the clock,
// the result holds at most kMaxModules rows, and one message reports what was dropped.
void TstDiscovery::floodIsBounded_data()
{
    QTest::addColumn<int>("windowMs");
    QTest::addColumn<int>("answers");
    QTest::newRow("the window ends by the clock") << int(ModuleSearch::kWindowMs) << 3000;
    QTest::newRow("the result is bounded") << 4000 << 1000;
}

void TstDiscovery::floodIsBounded()
{
    QFETCH(int, windowMs);
    QFETCH(int, answers);
    ScriptedUserInterface ui;
    setUi(&ui);
    std::unique_ptr<QTimer> timer(createTimeoutTimer(nullptr));
    clsNetModul net;
    net.setTmrTimeout(timer.get());
    std::unique_ptr<MemoryTransport> far;
    net.setOpener([&](quint16, const QString&, QString&) {
        auto pc = std::make_unique<MemoryTransport>();
        far = std::make_unique<MemoryTransport>();
        MemoryTransport::pair(*pc, *far);
        connect(far.get(), &Transport::bytesArrived, far.get(), [&](const QByteArray& request) {
            if (request != "CFG?")
                return;
            for (int i = 0; i < answers; ++i) {
                far->write(answer('N', QByteArray::number(100000 + i), "Flut"));
                if (i % 10 == 0)
                    far->write(answer('I', QByteArray::number(100000 + i), "\x0a"));
            }
        });
        return std::unique_ptr<Transport>(std::move(pc));
    });
    ModuleSearch search(net, *m_env);
    search.setWindowMs(windowMs);
    QElapsedTimer t;
    t.start();
    QString error;
    QVERIFY(search.run(ModuleDiscovery::kBroadcast, &error));
    const qint64 took = t.elapsed();
    QVERIFY2(took < windowMs + 1000, qPrintable(QString::number(took)));
    const int stored = static_cast<int>(rows().size());
    QVERIFY2(stored <= ModuleSearch::kMaxModules, qPrintable(QString::number(stored)));
    if (windowMs > int(ModuleSearch::kWindowMs)) {
        QCOMPARE(stored, int(ModuleSearch::kMaxModules));
        QCOMPARE(ui.texts().size(), 1);
        QVERIFY2(ui.texts().first().contains(QStringLiteral("verworfen")),
                 qPrintable(ui.texts().first()));
    } else {
        QVERIFY(ui.texts().size() <= 1);
    }
    setUi(nullptr);
}

QTEST_GUILESS_MAIN(TstDiscovery)
#include "tst_discovery.moc"
