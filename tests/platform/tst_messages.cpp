#include "platform/ProgramInfo.h"
#include "platform/ScriptedUserInterface.h"
#include "platform/clsInfo.h"
#include "platform/modErrorHandling.h"

#include <QtTest>

using namespace vemro;

class TstMessages : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        setUi(&m_ui);
        m_ui.clear();
    }
    void cleanup() { setUi(nullptr); }
    void infoLevel_data();
    void infoLevel();
    void errorText();
    void raiseError();
    void versionAndPaths();
    void programFolder_data();
    void programFolder();
    void seed_data();
    void seed();

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

void TstMessages::programFolder_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("environment");
    QTest::addColumn<QString>("executable");
    QTest::addColumn<bool>("hasDatabase");
    QTest::addColumn<QString>("installed");
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("seedFrom");
    const QString usr = QStringLiteral("/usr/share/vemro");
    const QString user = QStringLiteral("/home/a/.local/share/vemro");
    QTest::newRow("--home wins") << "/c"
                                 << "/e"
                                 << "/usr/bin" << false << usr << user << "/c"
                                 << "";
    QTest::newRow("VEMRO_HOME before installed") << ""
                                                 << "/e"
                                                 << "/usr/bin" << false << usr << user << "/e"
                                                 << "";
    QTest::newRow("build folder") << ""
                                  << ""
                                  << "/b/bin" << true << "" << user << "/b/bin"
                                  << "";
    QTest::newRow("build folder before its database") << ""
                                                      << ""
                                                      << "/b/bin" << false << "" << user << "/b/bin"
                                                      << "";
    QTest::newRow("installed") << ""
                               << ""
                               << "/usr/bin" << false << usr << user << user << usr;
    QTest::newRow("own database beside an installed copy")
        << ""
        << ""
        << "/opt/v/bin" << true << "/opt/v/share/vemro" << user << "/opt/v/bin"
        << "";
    QTest::newRow("no home folder") << ""
                                    << ""
                                    << "/usr/bin" << false << usr << ""
                                    << "/usr/bin"
                                    << "";
}

void TstMessages::programFolder()
{
    QFETCH(QString, chosen);
    QFETCH(QString, environment);
    QFETCH(QString, executable);
    QFETCH(bool, hasDatabase);
    QFETCH(QString, installed);
    QFETCH(QString, user);
    QFETCH(QString, folder);
    QFETCH(QString, seedFrom);
    const ProgramFolderChoice c =
        ChooseProgramFolder({chosen, environment, executable, hasDatabase, installed, user});
    QCOMPARE(c.folder, folder);
    QCOMPARE(c.seedFrom, seedFrom);
}

void TstMessages::seed_data()
{
    QTest::addColumn<QString>("existing"); // files already in the user's folder
    QTest::addColumn<bool>("blocked");     // the folder cannot be made
    QTest::newRow("first start") << "" << false;
    QTest::newRow("user's files kept")
        << "VEMRO.mdb Hardware/vx_standard.mdb Projekte/Kunde.mdb" << false;
    QTest::newRow("cannot be made") << "" << true;
}

void TstMessages::seed()
{
    QFETCH(QString, existing);
    QFETCH(bool, blocked);
    QTemporaryDir tmp;
    QVERIFY(tmp.isValid());
    const QString source = tmp.filePath(QStringLiteral("share"));
    for (const char* name : {"VEMRO.mdb", "Hardware/vx_standard.mdb", "Hardware/vx_io.mdb"}) {
        QVERIFY(QDir().mkpath(QFileInfo(source + QLatin1Char('/') + QLatin1String(name)).path()));
        QFile f(source + QLatin1Char('/') + QLatin1String(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("installed");
    }
    // The installed program: no VEMRO_HOME, no database beside the test program.
    const QByteArray home = qgetenv("VEMRO_HOME");
    const QByteArray xdg = qgetenv("XDG_DATA_HOME");
    qunsetenv("VEMRO_HOME");
    const QString data = tmp.filePath(blocked ? QStringLiteral("file") : QStringLiteral("data"));
    if (blocked) {
        QFile f(data);
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    qputenv("XDG_DATA_HOME", data.toLocal8Bit());
    setInstalledDataFolder(source);
    const QString user = data + QStringLiteral("/vemro");
    const QStringList mine = existing.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (const QString& name : mine) {
        QVERIFY(QDir().mkpath(QFileInfo(user + QLatin1Char('/') + name).path()));
        QFile f(user + QLatin1Char('/') + name);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("mine");
    }
    const QString folder = ProgramFolder();
    QString error;
    const bool ok = PrepareProgramFolder(&error);
    setInstalledDataFolder(QString());
    qputenv("XDG_DATA_HOME", xdg);
    if (!home.isEmpty())
        qputenv("VEMRO_HOME", home);

    QCOMPARE(folder, user);
    QCOMPARE(ok, !blocked);
    if (blocked) {
        QVERIFY2(error.startsWith(QStringLiteral("Der Datenordner ")), qPrintable(error));
        return;
    }
    for (const char* name : {"VEMRO.mdb", "Hardware/vx_standard.mdb", "Hardware/vx_io.mdb"}) {
        QFile f(user + QLatin1Char('/') + QLatin1String(name));
        QVERIFY2(f.open(QIODevice::ReadWrite), name);
        QCOMPARE(f.readAll(),
                 mine.contains(QLatin1String(name)) ? QByteArray("mine") : QByteArray("installed"));
    }
    QVERIFY(QFileInfo(user + QStringLiteral("/Projekte")).isDir());
    if (!mine.isEmpty())
        QVERIFY(QFileInfo::exists(user + QStringLiteral("/Projekte/Kunde.mdb")));
}

QTEST_GUILESS_MAIN(TstMessages)
#include "tst_messages.moc"
