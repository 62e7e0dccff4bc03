#include "platform/ScriptedUserInterface.h"
#include "project/DataEnvironment.h"
#include "project/ProgramDatabase.h"
#include "project/clsProjekt.h"

#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

using namespace vemro;

namespace {

// A project file as the oldest program wrote it: schema 1.0, without the columns the
// upgrade steps add.
QString oldProject(const QString& version, const QString& minProg, const QString& extra = {})
{
    const auto lit = [](const QString& v) {
        return v.isNull() ? QStringLiteral("NULL") : QStringLiteral("'%1'").arg(v);
    };
    return QStringLiteral(
               "CREATE TABLE Allgemein (DBVersion TEXT, minProgversion TEXT, "
               "RKHardwarebezeichnung TEXT, lastComMode INTEGER);"
               "INSERT INTO Allgemein VALUES (%1, %2, 'VX', 0);"
               "CREATE TABLE Terminaleinstellungen (ParameterMode INTEGER, Comsettings TEXT);"
               "INSERT INTO Terminaleinstellungen VALUES (1, '19200,N,8,1');"
               "CREATE TABLE TastaturModus (Mindestdauer INTEGER);"
               "INSERT INTO TastaturModus VALUES (5);")
               .arg(lit(version), lit(minProg)) +
           extra;
}

QStringList columns(const QSqlDatabase& db, const QString& table)
{
    QStringList out;
    QSqlQuery q(db);
    q.exec(QStringLiteral("PRAGMA table_info(%1)").arg(table));
    while (q.next())
        out << q.value(1).toString();
    return out;
}

} // namespace

class TstSchemaUpgrade : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void upgrade_data();
    void upgrade();
    void minProgversion_data();
    void minProgversion();

private:
    void openFile(const QString& script);
    QTemporaryDir m_dir;
    ScriptedUserInterface m_ui;
    std::unique_ptr<DataEnvironment> m_env;
    int m_n = 0;
};

void TstSchemaUpgrade::init()
{
    setUi(&m_ui);
    m_ui.clear();
    m_env = std::make_unique<DataEnvironment>();
}

void TstSchemaUpgrade::cleanup()
{
    m_env.reset();
    setUi(nullptr);
}

void TstSchemaUpgrade::openFile(const QString& script)
{
    const QString file = m_dir.filePath(QStringLiteral("p%1.mdb").arg(++m_n));
    QString error;
    QVERIFY2(BuildDatabaseFile(file, {script}, &error), qPrintable(error));
    clsProjekt projekt(*m_env);
    QVERIFY2(projekt.connectFile(file, &error), qPrintable(error));
}

void TstSchemaUpgrade::upgrade_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("extra");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QStringList>("terminalColumns");
    QTest::addColumn<QStringList>("keyboardColumns");
    QTest::addColumn<bool>("failed");
    QTest::addColumn<QString>("written"); // every DBVersion written, in order
    const QStringList base{"ParameterMode", "Comsettings"};
    QTest::newRow("1.0 runs all four in order")
        << "1.0" << QString() << "1.4"
        << base + QStringList{"Terminaladresse", "ComSettingsProg", "UseRS485"}
        << QStringList{"Mindestdauer", "UseMatrix"} << false << "1.1,1.2,1.3,1.4";
    QTest::newRow("1.3 runs the last")
        << "1.3" << QString() << "1.4" << base + QStringList{"UseRS485"}
        << QStringList{"Mindestdauer"} << false << "1.4";
    QTest::newRow("1.4 runs nothing")
        << "1.4" << QString() << "1.4" << base << QStringList{"Mindestdauer"} << false << "";
    QTest::newRow("2.0 runs nothing")
        << "2.0" << QString() << "2.0" << base << QStringList{"Mindestdauer"} << false << "";
    QTest::newRow("Null runs nothing") << QString() << QString() << QString() << base
                                       << QStringList{"Mindestdauer"} << false << "";
    QTest::newRow("1.0 with blank differs")
        << "1.0 " << QString() << "1.0 " << base << QStringList{"Mindestdauer"} << false << "";
    // A kill between a column and its version left the column: the step records its version.
    QTest::newRow("column of 1.2 already there")
        << "1.2"
        << "ALTER TABLE Terminaleinstellungen ADD COLUMN ComSettingsProg TEXT;"
        << "1.4" << base + QStringList{"ComSettingsProg", "UseRS485"} << QStringList{"Mindestdauer"}
        << false << "1.3,1.4";
    QTest::newRow("missing table keeps 1.1") << "1.1"
                                             << "DROP TABLE TastaturModus;"
                                             << "1.1" << base << QStringList{} << true << "";
    // The version write fails: the column of the same step goes with it.
    QTest::newRow("failed version write keeps the schema")
        << "1.3"
        << "TRIGGER"
        << "1.3" << base << QStringList{"Mindestdauer"} << true << "";
}

void TstSchemaUpgrade::upgrade()
{
    QFETCH(QString, from);
    QFETCH(QString, extra);
    QFETCH(QString, expected);
    QFETCH(QStringList, terminalColumns);
    QFETCH(QStringList, keyboardColumns);
    QFETCH(bool, failed);
    QFETCH(QString, written);
    const bool trigger = extra == QLatin1String("TRIGGER");
    openFile(oldProject(from, QStringLiteral("1.0.0"), trigger ? QString() : extra));
    {
        // Every version written to the header is noted, so the steps between are seen too.
        QSqlQuery trace(m_env->database(DataEnvironment::kProjekt));
        QVERIFY(trace.exec(QStringLiteral("CREATE TABLE Geschrieben (v TEXT)")));
        QVERIFY(trace.exec(
            QStringLiteral("CREATE TRIGGER merken AFTER UPDATE OF DBVersion ON Allgemein "
                           "BEGIN INSERT INTO Geschrieben VALUES (NEW.DBVersion); END")));
    }
    if (trigger) {
        // One statement with its own ";" inside: run directly, not through the script.
        QSqlQuery q(m_env->database(DataEnvironment::kProjekt));
        QVERIFY(q.exec(QStringLiteral("CREATE TRIGGER lock BEFORE UPDATE ON Allgemein BEGIN "
                                      "SELECT RAISE(ABORT, 'gesperrt'); END")));
    }
    clsProjekt projekt(*m_env);
    QCOMPARE(projekt.UpdateProjekt(), !failed);
    QVERIFY(!m_ui.busy()); // the hourglass is gone again
    const QSqlDatabase db = m_env->database(DataEnvironment::kProjekt);
    QCOMPARE(columns(db, QStringLiteral("Terminaleinstellungen")), terminalColumns);
    QCOMPARE(columns(db, QStringLiteral("TastaturModus")), keyboardColumns);
    QSqlQuery q(db);
    QVERIFY(q.exec(QStringLiteral("SELECT DBVersion FROM Allgemein")) && q.next());
    QCOMPARE(q.value(0).toString(), expected);
    QCOMPARE(q.value(0).isNull(), expected.isNull());
    QStringList versions;
    QVERIFY(q.exec(QStringLiteral("SELECT v FROM Geschrieben ORDER BY rowid")));
    while (q.next())
        versions << q.value(0).toString();
    QCOMPARE(versions.join(QLatin1Char(',')), written);
    if (failed) {
        QCOMPARE(m_ui.texts().size(), 1);
        QVERIFY(m_ui.texts().first().startsWith(QStringLiteral("Fehler bei DB-Update : ")));
        // A German sentence naming the file, SQLite's reason after it.
        QVERIFY2(m_ui.texts().first().contains(db.databaseName()),
                 qPrintable(m_ui.texts().first()));
    } else {
        QVERIFY(m_ui.texts().isEmpty());
    }
}

void TstSchemaUpgrade::minProgversion_data()
{
    QTest::addColumn<QString>("minimum");
    QTest::addColumn<bool>("opens");
    QTest::newRow("equal") << "1.3.8" << true;
    QTest::newRow("one higher") << "1.3.9" << false;
    QTest::newRow("lower") << "1.2.0" << true;
    QTest::newRow("Null") << QString() << true;
    QTest::newRow("text order 1.10.0") << "1.10.0" << true;
    QTest::newRow("2") << "2" << false;
}

void TstSchemaUpgrade::minProgversion()
{
    QFETCH(QString, minimum);
    QFETCH(bool, opens);
    openFile(oldProject(QStringLiteral("1.4"), minimum));
    clsProjekt projekt(*m_env);
    QCOMPARE(projekt.CheckMinProgversion(), opens);
    if (opens)
        QVERIFY(m_ui.texts().isEmpty());
    else
        QCOMPARE(
            m_ui.texts(),
            QStringList{QStringLiteral("Projekt benötigt mindestens Programmversion ") + minimum});
}

QTEST_GUILESS_MAIN(TstSchemaUpgrade)
#include "tst_schemaupgrade.moc"
