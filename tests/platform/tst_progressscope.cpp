#include "platform/Bytes.h"
#include "platform/ProgressScope.h"

#include <QtTest>

using namespace vemro;

class TstProgressScope : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void steps_data();
    void steps();
    void hiddenOnEarlyReturn();
    void withoutDisplay();
    void byteOf_data();
    void byteOf();
};

void TstProgressScope::steps_data()
{
    QTest::addColumn<int>("maximum");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("steps");
    QTest::addColumn<int>("expected");
    QTest::newRow("from zero") << 10 << 0 << 3 << 3;
    QTest::newRow("from one") << 10 << 1 << 3 << 4;
    QTest::newRow("stops at the maximum") << 5 << 1 << 9 << 5;
    QTest::newRow("no steps") << 8 << 1 << 0 << 1;
}

void TstProgressScope::steps()
{
    QFETCH(int, maximum);
    QFETCH(int, start);
    QFETCH(int, steps);
    QFETCH(int, expected);
    NullProgress display;
    display.setValue(77);
    {
        ProgressScope progress(&display, maximum, start);
        QVERIFY(display.visible());
        QCOMPARE(display.minimum(), 0);
        QCOMPARE(display.maximum(), maximum);
        QCOMPARE(display.value(), start);
        for (int i = 0; i < steps; ++i)
            progress.step();
        QCOMPARE(display.value(), expected);
    }
    QVERIFY(!display.visible());
}

void TstProgressScope::hiddenOnEarlyReturn()
{
    NullProgress display;
    const auto transfer = [&display](bool fails) {
        ProgressScope progress(&display, 72);
        progress.set(40);
        if (fails)
            return false;
        progress.set(72);
        return true;
    };
    QVERIFY(!transfer(true));
    QVERIFY(!display.visible());
    QCOMPARE(display.value(), 40);
    QVERIFY(transfer(false));
    QVERIFY(!display.visible());
    QCOMPARE(display.value(), 72);
}

void TstProgressScope::withoutDisplay()
{
    ProgressScope progress(nullptr, 10, 1);
    progress.step();
    progress.set(5);
}

void TstProgressScope::byteOf_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("expected");
    QTest::newRow("zero") << 0 << 0x00;
    QTest::newRow("above 127") << 0xE4 << 0xE4;
    QTest::newRow("high byte of an address dropped") << 0x1234 << 0x34;
    QTest::newRow("minus one") << -1 << 0xFF;
}

void TstProgressScope::byteOf()
{
    QFETCH(int, value);
    QFETCH(int, expected);
    const QByteArray b = ByteOf(value);
    QCOMPARE(b.size(), 1);
    QCOMPARE(static_cast<int>(static_cast<uchar>(b.at(0))), expected);
}

QTEST_GUILESS_MAIN(TstProgressScope)
#include "tst_progressscope.moc"
