#include "platform/TextValue.h"

#include <QtTest>

using namespace vemro;

class TstTextValue : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void value_data();
    void value();
    void integer_data();
    void integer();
};

void TstTextValue::value_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");
    QTest::newRow("plain") << "42" << 42.0;
    QTest::newRow("blanks inside") << " 1 2 3 " << 123.0;
    QTest::newRow("negative") << "-17" << -17.0;
    QTest::newRow("sign with blank") << "- 4" << -4.0;
    QTest::newRow("plus") << "+8" << 8.0;
    QTest::newRow("fraction") << "3.25" << 3.25;
    QTest::newRow("leading point") << ".5" << 0.5;
    QTest::newRow("exponent") << "1.5e3" << 1500.0;
    QTest::newRow("negative exponent") << "25E-1" << 2.5;
    QTest::newRow("exponent letter D") << "2d2" << 200.0;
    QTest::newRow("dangling exponent") << "7e" << 7.0;
    QTest::newRow("stops at letter") << "12abc" << 12.0;
    QTest::newRow("stops at second point") << "1.2.3" << 1.2;
    QTest::newRow("stops at comma") << "1,5" << 1.0;
    QTest::newRow("hex") << "&HFF" << 255.0;
    QTest::newRow("hex lower") << "&h1a" << 26.0;
    QTest::newRow("hex stops") << "&H1G" << 1.0;
    QTest::newRow("octal") << "&O17" << 15.0;
    QTest::newRow("octal stops at 8") << "&O78" << 7.0;
    QTest::newRow("bare prefix") << "&H" << 0.0;
    QTest::newRow("unknown prefix") << "&X12" << 0.0;
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("only blanks") << "   " << 0.0;
    QTest::newRow("no number") << "abc" << 0.0;
    QTest::newRow("only sign") << "-" << 0.0;
    QTest::newRow("only point") << "." << 0.0;
    QTest::newRow("huge exponent saturates") << "1e999" << std::numeric_limits<double>::max();
    QTest::newRow("tiny exponent") << "1e-999" << 0.0;
}

void TstTextValue::value()
{
    QFETCH(QString, text);
    QFETCH(double, expected);
    QCOMPARE(TextValue(text), expected);
    QCOMPARE(TextValue(text.toLatin1()), expected);
}

void TstTextValue::integer_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint64>("expected");
    QTest::newRow("half to even down") << "2.5" << qint64(2);
    QTest::newRow("half to even up") << "3.5" << qint64(4);
    QTest::newRow("negative half") << "-2.5" << qint64(-2);
    QTest::newRow("above half") << "2.51" << qint64(3);
    QTest::newRow("below half") << "2.49" << qint64(2);
    QTest::newRow("half zero") << "0.5" << qint64(0);
    QTest::newRow("empty") << "" << qint64(0);
    QTest::newRow("clamped") << "1e30" << std::numeric_limits<qint64>::max();
    QTest::newRow("clamped negative") << "-1e30" << std::numeric_limits<qint64>::min();
}

void TstTextValue::integer()
{
    QFETCH(QString, text);
    QFETCH(qint64, expected);
    QCOMPARE(TextValueInt(text), expected);
}

QTEST_GUILESS_MAIN(TstTextValue)
#include "tst_textvalue.moc"
