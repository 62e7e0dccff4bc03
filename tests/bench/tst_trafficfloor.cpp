// The floor of a logged transfer: commands cut where the PC paused or the terminal answered,
// each costing the longer of its wire time and its pause, plus the wait after it.
#include "bench/BenchTable.h"
#include "bench/TrafficFloor.h"

#include <QTest>

using vemro::bench::BenchTable;
using vemro::bench::TrafficFloor;

class TstTrafficFloor : public QObject
{
    Q_OBJECT

private slots:
    void floor_data();
    void floor();
    void badLines();
    void table();
};

void TstTrafficFloor::floor_data()
{
    QTest::addColumn<QString>("log");
    QTest::addColumn<int>("baud");
    QTest::addColumn<QString>("rules");
    QTest::addColumn<int>("commands");
    QTest::addColumn<double>("floorMs");

    // ESC "?V" and "V:2.7,004711;" are 16 bytes, 8.3 ms at 19200: a query waits for its
    // reply, not a pause.
    QTest::newRow("answered decimal query")
        << "1000 -> 1B 3F 56\n9000 <- 56 3A 32 2E 37 2C 30 30 34 37 31 31 3B\n"
        << 19200 << QString() << 1 << 16 * 10000.0 / 19200;
    QTest::newRow("query in pieces is one command")
        << "1000 -> 1B 3F\n2000 -> 56\n9000 <- 56 3A 32 2E 37 2C 30 30 34 37 31 31 3B\n"
        << 19200 << QString() << 1 << 16 * 10000.0 / 19200;
    QTest::newRow("unanswered query waits the reply timeout")
        << "1000 -> 1B 3F 56\n"
        << 19200 << QString() << 1 << 3 * 10000.0 / 19200 + 500;
    QTest::newRow("byte-form reply ends after silence")
        << "1000 -> 1B 4B 3F 4D\n5000 <- 4D 3A 1B\n"
        << 19200 << QString() << 1 << 7 * 10000.0 / 19200 + 200;
    QTest::newRow("analog always ends after silence")
        << "1000 -> 1B 3F 41\n5000 <- 41 3A 32 30 30 2C 33 3B\n"
        << 38400 << QString() << 1 << 11 * 10000.0 / 38400 + 200;
    // "SG1" at the wrong speed, then at the right one: two commands of 10 + 1000 ms.
    QTest::newRow("speed switch waits a second")
        << "1000 -> ? 1B 53 47 30\n1012000 -> 1B 53 47 31\n"
        << 19200 << QString() << 2 << 2020.0;
    // ESC "E3,232,65;" and the ACK: 12 bytes at 19200 = 6.25 ms, no pause.
    QTest::newRow("acknowledged write costs its wire time")
        << "1000 -> 1B 45 33 2C 32 33 32 2C 36 35 3B\n8000 <- 06\n"
        << 19200 << QString() << 1 << 12 * 10000.0 / 19200;
    QTest::newRow("saving the configuration waits a second")
        << "1000 -> 1B 4B 53\n4000 <- 06\n"
        << 19200 << QString() << 1 << 4 * 10000.0 / 19200 + 1000;
    QTest::newRow("sends without answer pause each")
        << "1000 -> 1B 4B 4D 1B\n13000 -> 1B 4C 4B 07\n"
        << 38400 << QString() << 2 << 20.0;
    // A loaded simulator may deliver two commands in one line, or one in several lines.
    QTest::newRow("two commands in one line") << "1000 -> 1B 46 50 30 3B 1B 4C 41 34 2C 32 30 3B\n"
                                              << 19200 << QString() << 2 << 20.0;
    QTest::newRow("late pieces of one command")
        << "1000 -> 1B 3F 45 30\n9000 -> 2C 31 3B\n12000 <- 45 3A 30 3B\n"
        << 38400 << QString() << 1 << 11 * 10000.0 / 38400;
    QTest::newRow("mode flags 27 are no command") << "1000 -> 1B 4B 4D 1B 1B 46 50 30 3B\n"
                                                  << 19200 << QString() << 2 << 20.0;
    QTest::newRow("mode flags 27 in the next line") << "1000 -> 1B 4B 4D\n1500 -> 1B\n"
                                                    << 19200 << QString() << 1 << 10.0;
    // Raw ESC bytes of the byte-form write and of a block are parameters, not commands.
    QTest::newRow("ESC as EEPROM data") << "1000 -> 1B 45 02 1B 1B\n2000 <- 06\n"
                                        << 19200 << QString() << 1 << 6 * 10000.0 / 19200;
    QTest::newRow("ESC in a block") << "1000 -> 1B 65 1B 4C 4C 41 1B 4C 43 32 6F\n7000 <- 30\n"
                                    << 19200 << "e=0+0" << 1 << 12 * 10000.0 / 19200;
    QTest::newRow("after a block a new command")
        << "1000 -> 1B 65 41 41 41 41 41 41 41 41 08\n1500 -> 1B 4B 4D 01\n"
        << 19200 << "e=0+0" << 2 << 11 * 10000.0 / 19200 + 10;
    QTest::newRow("wire time longer than the pause")
        << QStringLiteral("1000 -> 1B 4C 5A %1\n").arg(QStringLiteral("41 ").repeated(60)) << 19200
        << QString() << 1 << 63 * 10000.0 / 19200;
    QTest::newRow("rule of the benchmark wins") << "1000 -> 1B 46 5A 33 3B\n"
                                                << 19200 << "FZ=10+50 X=1" << 1 << 60.0;
    QTest::newRow("rule without after-wait") << "1000 -> 1B 3F 56\n"
                                             << 19200 << "?V=25" << 1 << 25.0;
    QTest::newRow("empty log") << QString() << 19200 << QString() << 0 << 0.0;
}

void TstTrafficFloor::floor()
{
    QFETCH(QString, log);
    QFETCH(int, baud);
    QFETCH(QString, rules);
    QFETCH(int, commands);
    QFETCH(double, floorMs);
    TrafficFloor f;
    QString error;
    QVERIFY2(f.parse(log, &error), qPrintable(error));
    QList<TrafficFloor::Rule> ruleList;
    QVERIFY2(TrafficFloor::parseRules(rules, &ruleList, &error), qPrintable(error));
    const TrafficFloor::Result r = f.compute(baud, ruleList);
    QCOMPARE(r.commands, commands);
    QVERIFY2(qAbs(r.floorSeconds * 1000 - floorMs) < 0.01,
             qPrintable(QStringLiteral("%1 ms").arg(r.floorSeconds * 1000)));
}

void TstTrafficFloor::badLines()
{
    TrafficFloor f;
    QString error;
    QVERIFY(!f.parse(QStringLiteral("12 => 1B\n"), &error));
    QVERIFY(error.contains(QLatin1String("Zeile 1")));
    QVERIFY(!f.parse(QStringLiteral("12 -> 1B\nx <- 06\n"), &error));
    QVERIFY(error.contains(QLatin1String("Zeile 2")));
    QVERIFY(!f.parse(QStringLiteral("12 -> 1G\n"), &error));
    QList<TrafficFloor::Rule> rules;
    for (const char* bad : {"SG", "=10", "SG=x", "SG=10+", "SG=1+2+3", "SG=-1"})
        QVERIFY2(!TrafficFloor::parseRules(QString::fromLatin1(bad), &rules, &error), bad);
}

void TstTrafficFloor::table()
{
    BenchTable t;
    QString error;
    QVERIFY2(t.parse(QStringLiteral("# comment\nsetup: project new Bench\n"
                                    "a | --firmware 2.2 | info --speed {speed} | KS=0+900\n"),
                     &error),
             qPrintable(error));
    QCOMPARE(t.setup().size(), 1);
    QCOMPARE(t.benchmarks().size(), 1);
    QCOMPARE(t.benchmarks().first().simOptions,
             QStringList({QStringLiteral("--firmware"), QStringLiteral("2.2")}));
    QCOMPARE(
        BenchTable::withSpeed(t.benchmarks().first().cliArguments, 38400),
        QStringList({QStringLiteral("info"), QStringLiteral("--speed"), QStringLiteral("38400")}));
    QCOMPARE(t.benchmarks().first().rules.first().afterMs, 900);
    QVERIFY(!t.parse(QStringLiteral("a | | info\n"), &error));
    QVERIFY(!t.parse(QStringLiteral("a | | | \n"), &error));
    QVERIFY(!t.parse(QStringLiteral("a | | info | SG\n"), &error));
}

QTEST_GUILESS_MAIN(TstTrafficFloor)
#include "tst_trafficfloor.moc"
