// What bad files and names must not do to projects: broken templates copied, the program
// database taken for a project, files outside the project folder deleted, half-made copies
// listed, and database failures reported in SQLite's English only.
#include "platform/ProgramInfo.h"
#include "platform/ScriptedUserInterface.h"
#include "platform/SqlTransaction.h"
#include "project/DataEnvironment.h"
#include "project/ProgramDatabase.h"
#include "project/ProjectFiles.h"
#include "project/ProjectWindow.h"
#include "project/clsProjekt.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

using namespace vemro;

namespace {

QByteArray digest(const QString& file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha1);
}

QString builtTemplate()
{
    return qEnvironmentVariable("VEMRO_PROGRAM_DIR") + QStringLiteral("/Hardware/vx_standard.mdb");
}

bool copyWritable(const QString& from, const QString& to)
{
    QFile::remove(to);
    if (!QFile::copy(from, to))
        return false;
    return QFile(to).setPermissions(QFile(to).permissions() | QFileDevice::WriteOwner);
}

bool exec(const QString& file, const QString& sql)
{
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("x"));
        db.setDatabaseName(file);
        ok = db.open() && QSqlQuery(db).exec(sql);
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("x"));
    return ok;
}

int rowsIn(const QString& file, const QString& table)
{
    int n = -1;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("r"));
        db.setDatabaseName(file);
        QSqlQuery q(db);
        if (db.open() && q.exec(QStringLiteral("SELECT COUNT(*) FROM ") + table) && q.next())
            n = q.value(0).toInt();
        q.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("r"));
    return n;
}

// A window whose save writes one row, the second part inside a transaction of its own.
class SavingWindow : public ProjectWindow
{
public:
    explicit SavingWindow(DataEnvironment& env, bool innerCommits)
        : m_env(env), m_innerCommits(innerCommits)
    {
    }
    bool FillRegisterTabs(QString*) override { return true; }
    void LoadFromProject(const QString&, QString&) override {}
    bool RestoreInterface(QString&) override { return true; }
    bool SaveToProject(QString*) override
    {
        ++saves;
        QSqlDatabase db = m_env.database(DataEnvironment::kProjekt);
        QSqlQuery(db).exec(QStringLiteral("INSERT INTO Probe VALUES (1)"));
        SqlTransaction inner(db);
        QSqlQuery(db).exec(QStringLiteral("INSERT INTO Probe VALUES (2)"));
        // Nothing is in the file before the outer transaction commits.
        seenInside = rowsIn(db.databaseName(), QStringLiteral("Probe"));
        return !m_innerCommits || inner.commit();
    }
    int saves = 0;
    int seenInside = -1;

private:
    DataEnvironment& m_env;
    bool m_innerCommits;
};

} // namespace

class TstProjectGuards : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void brokenTemplate_data();
    void brokenTemplate();
    void programDatabaseIsNoProject();
    void deleteStaysInProjectFolder_data();
    void deleteStaysInProjectFolder();
    void overwriteLeavesNoCopy();
    void badDatabase_data();
    void badDatabase();
    void saveInOneTransaction_data();
    void saveInOneTransaction();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    ScriptedUserInterface m_ui;
    std::unique_ptr<DataEnvironment> m_env;
    QString m_projects;
};

void TstProjectGuards::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    setProgramFolder(m_dir->path());
    QDir(m_dir->path()).mkpath(QStringLiteral("Hardware"));
    QDir(m_dir->path()).mkpath(QStringLiteral("Projekte"));
    m_projects = m_dir->filePath(QStringLiteral("Projekte/"));
    QVERIFY(
        copyWritable(builtTemplate(), m_dir->filePath(QStringLiteral("Hardware/vx_standard.mdb"))));
    QString error;
    QVERIFY2(EnsureProgramDatabase(ProjectFiles::ProgramDatabaseFile(), &error), qPrintable(error));
    setUi(&m_ui);
    m_ui.clear();
    m_env = std::make_unique<DataEnvironment>();
}

void TstProjectGuards::cleanup()
{
    m_env.reset();
    setUi(nullptr);
    setProgramFolder(QString());
    m_dir.reset();
}

void TstProjectGuards::brokenTemplate_data()
{
    QTest::addColumn<QByteArray>("content"); // empty: the built template, truncated
    QTest::addColumn<QString>("sql");        // applied to a copy of the built template
    QTest::newRow("text file") << QByteArray("kein Projekt\n").repeated(500) << QString();
    QTest::newRow("truncated") << QByteArray() << QString();
    QTest::newRow("no Terminaleinstellungen")
        << QByteArray() << QStringLiteral("DROP TABLE Terminaleinstellungen");
}

void TstProjectGuards::brokenTemplate()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, sql);
    const QString file = m_dir->filePath(QStringLiteral("Hardware/vx_kaputt.mdb"));
    if (!content.isEmpty()) {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
    } else {
        QVERIFY(copyWritable(builtTemplate(), file));
        if (sql.isEmpty())
            QVERIFY(QFile(file).resize(QFileInfo(file).size() / 2));
        else
            QVERIFY(exec(file, sql));
    }
    clsProjekt projekt(*m_env);
    projekt.setBasispfad(m_projects);
    QCOMPARE(projekt.newProjekt(QStringLiteral("vx_kaputt"), QStringLiteral("Anlage1")),
             clsProjekt::NewResult::Failed);
    QCOMPARE(m_ui.texts().size(), 1);
    QVERIFY2(m_ui.texts().first().contains(QStringLiteral("Hardwarevorlage vx_kaputt")),
             qPrintable(m_ui.texts().first()));
    QVERIFY(!QFileInfo::exists(projekt.ProjektDatei(QStringLiteral("Anlage1"))));
    QCOMPARE(QDir(m_projects).entryList(QDir::Files | QDir::Hidden), QStringList());
}

// With an empty ProjektPfad the project folder is the program folder.
void TstProjectGuards::programDatabaseIsNoProject()
{
    const QString folder = m_dir->path() + QLatin1Char('/');
    QVERIFY(copyWritable(builtTemplate(), folder + QStringLiteral("Anlage1.mdb")));
    QCOMPARE(ProjectFiles::Entries(folder), QStringList{QStringLiteral("Anlage1")});
    const QByteArray before = digest(ProjectFiles::ProgramDatabaseFile());
    clsProjekt projekt(*m_env);
    projekt.setBasispfad(folder);
    // Refused before any question is asked.
    QVERIFY(!projekt.deleteProjekt(QStringLiteral("VEMRO")));
    QCOMPARE(projekt.newProjekt(QStringLiteral("vx_standard"), QStringLiteral("VEMRO")),
             clsProjekt::NewResult::Failed);
    projekt.openProjekt(QStringLiteral("VEMRO"));
    QVERIFY(!projekt.isOpen());
    QCOMPARE(digest(ProjectFiles::ProgramDatabaseFile()), before);
    QCOMPARE(m_ui.texts().size(), 3);
}

void TstProjectGuards::deleteStaysInProjectFolder_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("victim"); // relative to the program folder
    QTest::newRow("program database") << "../VEMRO"
                                      << "VEMRO.mdb";
    QTest::newRow("template") << "../Hardware/vx_standard"
                              << "Hardware/vx_standard.mdb";
    QTest::newRow("link to a template") << "Verweis"
                                        << "Hardware/vx_standard.mdb";
}

void TstProjectGuards::deleteStaysInProjectFolder()
{
    QFETCH(QString, name);
    QFETCH(QString, victim);
    const QString target = m_dir->filePath(victim);
    QVERIFY(QFile::link(target, m_projects + QStringLiteral("Verweis.mdb")));
    clsProjekt projekt(*m_env);
    projekt.setBasispfad(m_projects);
    QVERIFY(!projekt.deleteProjekt(name));
    QVERIFY(QFileInfo(target).isFile());
    QCOMPARE(m_ui.texts().size(), 1); // refused before the question
}

void TstProjectGuards::overwriteLeavesNoCopy()
{
    clsProjekt projekt(*m_env);
    projekt.setBasispfad(m_projects);
    // A copy left by a program that was killed (a pid that cannot run).
    const QString stale = m_projects + QStringLiteral(".vemro-neu-999999999");
    QVERIFY(QFile::copy(builtTemplate(), stale));
    QCOMPARE(projekt.newProjekt(QStringLiteral("vx_standard"), QStringLiteral("Anlage1")),
             clsProjekt::NewResult::Created);
    const QString file = projekt.ProjektDatei(QStringLiteral("Anlage1"));
    QVERIFY(exec(file, QStringLiteral("UPDATE Allgemein SET RKHardwarebezeichnung='alt'")));
    m_ui.queueAnswer(UserInterface::Answer::Yes);
    QCOMPARE(projekt.newProjekt(QStringLiteral("vx_standard"), QStringLiteral("Anlage1")),
             clsProjekt::NewResult::Created);
    QCOMPARE(digest(file), digest(builtTemplate()));
    QCOMPARE(QDir(m_projects).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("Anlage1.mdb")});
}

void TstProjectGuards::badDatabase_data()
{
    QTest::addColumn<QString>("damage");
    QTest::addColumn<QString>("command"); // executed after the open; empty: the open fails
    QTest::addColumn<QString>("expected");
    QTest::newRow("truncated") << "truncate" << QString() << "beschädigt";
    QTest::newRow("directory") << "directory" << QString() << "Ordner";
    QTest::newRow("read-only") << "readonly" << QString() << "schreibgeschützt";
    QTest::newRow("empty file") << "empty" << QString() << "keine gültige Datenbank";
    QTest::newRow("missing table") << "DROP TABLE Terminaleinstellungen"
                                   << "cmdTerminaleinstellung"
                                   << "fehlt eine Tabelle";
}

void TstProjectGuards::badDatabase()
{
    QFETCH(QString, damage);
    QFETCH(QString, command);
    QFETCH(QString, expected);
    const QString file = m_projects + QStringLiteral("Defekt.mdb");
    if (damage == QLatin1String("directory")) {
        QVERIFY(QDir().mkpath(file));
    } else if (damage == QLatin1String("empty")) {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
    } else {
        QVERIFY(copyWritable(builtTemplate(), file));
        if (damage == QLatin1String("truncate"))
            QVERIFY(QFile(file).resize(QFileInfo(file).size() / 2));
        else if (damage == QLatin1String("readonly"))
            QVERIFY(QFile(file).setPermissions(QFileDevice::ReadOwner | QFileDevice::ReadGroup));
        else
            QVERIFY(exec(file, damage));
    }
    const QByteArray before = digest(file);
    clsProjekt projekt(*m_env);
    QString error;
    bool ok = projekt.connectFile(file, &error);
    if (!command.isEmpty()) {
        QVERIFY2(ok, qPrintable(error));
        ok = m_env->execute(command, {}, &error);
    }
    QVERIFY(!ok);
    // A German sentence naming the file comes first; SQLite's reason may follow.
    QVERIFY2(error.startsWith(QStringLiteral("Die ")) || error.startsWith(QStringLiteral("In ")) ||
                 error.startsWith(QStringLiteral("Unter ")),
             qPrintable(error));
    QVERIFY2(error.contains(file), qPrintable(error));
    QVERIFY2(error.contains(expected), qPrintable(error));
    m_env->close(DataEnvironment::kProjekt);
    QCOMPARE(digest(file), before);
}

void TstProjectGuards::saveInOneTransaction_data()
{
    QTest::addColumn<bool>("beginFails");   // a transaction left open on the connection
    QTest::addColumn<bool>("innerCommits"); // the joined transaction commits
    QTest::addColumn<int>("rows");          // in the file afterwards
    QTest::addColumn<QString>("message");   // empty: saved
    QTest::newRow("nested commits once") << false << true << 2 << QString();
    QTest::newRow("nested fails") << false << false << 0
                                  << QStringLiteral("Projekt konnte nicht gespeichert werden");
    QTest::newRow("begin fails") << true << true << 0
                                 << QStringLiteral("cannot start a transaction");
}

void TstProjectGuards::saveInOneTransaction()
{
    QFETCH(bool, beginFails);
    QFETCH(bool, innerCommits);
    QFETCH(int, rows);
    QFETCH(QString, message);
    const QString file = m_projects + QStringLiteral("Probe.mdb");
    QVERIFY(copyWritable(builtTemplate(), file));
    QVERIFY(exec(file, QStringLiteral("CREATE TABLE Probe (n INTEGER)")));
    clsProjekt projekt(*m_env);
    SavingWindow window(*m_env, innerCommits);
    projekt.setWindow(&window);
    QString error;
    QVERIFY2(projekt.connectFile(file, &error), qPrintable(error));
    QSqlDatabase db = m_env->database(DataEnvironment::kProjekt);
    if (beginFails)
        QVERIFY(QSqlQuery(db).exec(QStringLiteral("BEGIN")));
    QCOMPARE(projekt.SaveProjekt(), message.isEmpty());
    QCOMPARE(window.saves, beginFails ? 0 : 1);
    if (!beginFails)
        QCOMPARE(window.seenInside, 0);
    if (message.isEmpty()) {
        QVERIFY(m_ui.texts().isEmpty());
    } else {
        QCOMPARE(m_ui.texts().size(), 1);
        QVERIFY2(m_ui.texts().first().contains(message), qPrintable(m_ui.texts().first()));
    }
    if (beginFails)
        QVERIFY(QSqlQuery(db).exec(QStringLiteral("ROLLBACK")));
    db = QSqlDatabase();
    m_env->close(DataEnvironment::kProjekt);
    QCOMPARE(rowsIn(file, QStringLiteral("Probe")), rows);
}

QTEST_GUILESS_MAIN(TstProjectGuards)
#include "tst_projectguards.moc"
