#include "platform/ScriptedUserInterface.h"
#include "platform/clsInfo.h"
#include "platform/modErrorHandling.h"
#include "platform/ProgramInfo.h"

#include <QtTest>

using namespace vemro;

class TstMessages : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init() { setUi(&m_ui); m_ui.clear(); }
    void cleanup() { setUi(nullptr); }
    void infoLevel_data();
    void infoLevel();
    void errorText();
    void raiseError();
    void versionAndPaths();

private:
    ScriptedUserInterface m_ui;
};

void TstMessages::infoLevel_data()
{
    QTest::addColumn<int>("infoLevel");
    QTest::addColumn<int>("level");
    QTest::addColumn<QStringList>("shown");
    const QString t = QStringLiteral("Hallo");
    const QString bad = QStringLiteral("ungültiger Infolevel / clsInfo.show");
    QTest::newRow("start-up hides level 1") << 0 << 1 << QStringList();
    QTest::newRow("start-up shows level 0") << 0 << 0 << QStringList{t};
    QTest::newRow("normal shows level 9") << 9 << 9 << QStringList{t};
    QTest::newRow("normal hides level 10") << 9 << 10 << QStringList();
    QTest::newRow("level 11 is invalid") << 9 << 11 << QStringList{bad};
    QTest::newRow("level 11 shown at 11") << 11 << 11 << QStringList{bad, t};
    QTest::newRow("negative level shows") << 0 << -1 << QStringList{t};
}

void TstMessages::infoLevel()
{
    QFETCH(int, infoLevel);
    QFETCH(int, level);
    QFETCH(QStringList, shown);
    clsInfo info;
    QCOMPARE(info.InfoLevel(), 0);
    info.setInfoLevel(static_cast<qint16>(infoLevel));
    info.show(QStringLiteral("Hallo"), static_cast<qint16>(level));
    QCOMPARE(m_ui.texts(), shown);
    if (!shown.isEmpty() && shown.last() == QLatin1String("Hallo"))
        QCOMPARE(m_ui.shown().last().title, QStringLiteral("bitte beachten :"));
}

void TstMessages::errorText()
{
    for (qint32 n : {0, 1, 9999, -5, std::numeric_limits<qint32>::max()})
        QCOMPARE(ErrorText(n), QStringLiteral("Ein unbekannter Fehler ist aufgetreten!"));
}

void TstMessages::raiseError()
{
    const QString source = QStringLiteral("clsProjekt:Bezeichnung Property Let");
    try {
        RaiseError(9999, source);
        QFAIL("RaiseError returned");
    } catch (const VemroError& e) {
        QCOMPARE(e.code(), -2147221504 + 9999);
        QCOMPARE(e.source(), source);
        QCOMPARE(e.description(), QStringLiteral("Ein unbekannter Fehler ist aufgetreten!"));
    }
    // A number that would overflow 32 bits still raises instead of invoking undefined behaviour.
    QVERIFY_THROWS_EXCEPTION(VemroError, RaiseError(-2147483647, source));
}

void TstMessages::versionAndPaths()
{
    QCOMPARE(ProgramVersionText(), QStringLiteral("1.3.8"));
    QCOMPARE(JoinStoredPath(QStringLiteral("/opt/vemro"), QStringLiteral("\\Projekte\\")),
             QStringLiteral("/opt/vemro/Projekte/"));
    QCOMPARE(JoinStoredPath(QStringLiteral("/opt/vemro"), QStringLiteral("/QM/")),
             QStringLiteral("/opt/vemro/QM/"));
    QCOMPARE(JoinStoredPath(QStringLiteral("/opt/vemro"), QStringLiteral("\\Hardware")),
             QStringLiteral("/opt/vemro/Hardware"));
    QCOMPARE(JoinStoredPath(QStringLiteral("/opt/vemro"), QString()), QStringLiteral("/opt/vemro"));
}

QTEST_GUILESS_MAIN(TstMessages)
#include "tst_messages.moc"
