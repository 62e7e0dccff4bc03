#include "editors/SelectComboEntry.h"
#include "platform/Globals.h"

#include <QComboBox>
#include <QtTest>

using namespace vemro;

class TstWidgetHelpers : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void selectComboEntry_data();
    void selectComboEntry();
};

void TstWidgetHelpers::selectComboEntry_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("asUser");
    QTest::addColumn<bool>("found");
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("handlerRuns"); // runs of a handler that honours ControlsUpdating
    QTest::newRow("program fills quietly") << 0 << "20x4" << false << true << 2 << 0;
    QTest::newRow("as the user's choice") << 0 << "20x4" << true << true << 2 << 1;
    QTest::newRow("user's choice of the selected entry runs again")
        << 2 << "20x4" << true << true << 2 << 1;
    QTest::newRow("exact text only") << 0 << "20X4" << false << false << 0 << 0;
    QTest::newRow("no prefix match") << 0 << "20" << true << false << 0 << 0;
    QTest::newRow("empty text") << 1 << "" << false << false << 1 << 0;
}

void TstWidgetHelpers::selectComboEntry()
{
    QFETCH(int, start);
    QFETCH(QString, text);
    QFETCH(bool, asUser);
    QFETCH(bool, found);
    QFETCH(int, index);
    QFETCH(int, handlerRuns);
    QComboBox combo;
    combo.addItems({QStringLiteral("16x2"), QStringLiteral("20x2"), QStringLiteral("20x4")});
    combo.setCurrentIndex(start);
    int runs = 0;
    bool flagSeen = false;
    connect(&combo, &QComboBox::currentIndexChanged, this, [&] {
        flagSeen = flagSeen || globals().ControlsUpdating;
        if (!globals().ControlsUpdating)
            ++runs;
    });
    QCOMPARE(SelectComboEntry(&combo, text, asUser), found);
    QCOMPARE(combo.currentIndex(), index);
    QCOMPARE(runs, handlerRuns);
    QVERIFY(!globals().ControlsUpdating); // lowered again afterwards
    if (found && !asUser)
        QVERIFY(flagSeen);
}

QTEST_MAIN(TstWidgetHelpers)
#include "tst_widgethelpers.moc"
