// vemro-cli against a terminal that dies, a module that is not there, a port left locked by
// a killed program and damaged databases: each ends with a clear message and a non-zero
// exit, quickly and without spinning, and leaves the user's files as they were.
#include "ProjectTestHome.h"

#include "tests/common/CliRun.h"

#include <QCryptographicHash>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray digest(const QString& file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha1);
}

// Processor time of the reaped children so far, in seconds.
double childCpuSeconds()
{
    rusage u{};
    ::getrusage(RUSAGE_CHILDREN, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

QString lockFile(const QString& device)
{
    QString name = device;
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    return QStringLiteral("/var/lock/LCK..") + name;
}

} // namespace

class TstCliFaults : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void terminalKilled_data();
    void terminalKilled();
    void keysWriteLineLostOnce();
    void silentTerminalNamesReason_data();
    void silentTerminalNamesReason();
    void ownRequestIsNoAnswer();
    void staleLockRemoved_data();
    void staleLockRemoved();
    void liveLockNamesHolder();
    void damagedProject_data();
    void damagedProject();
    void damagedProgramDatabase_data();
    void damagedProgramDatabase();
    void deleteOutsideRefused_data();
    void deleteOutsideRefused();
    void configWriteRefused_data();
    void configWriteRefused();
    void missingColumnSendsNothing_data();
    void missingColumnSendsNothing();
    void outputTargetRefused_data();
    void outputTargetRefused();
    void projectFileKinds_data();
    void projectFileKinds();

private:
    using Result = vemro::test::CliResult;
    Result run(const QStringList& args)
    {
        return vemro::test::RunCli(QStringLiteral(VEMRO_CLI), m_home->path(), args);
    }
    bool startSim(const QStringList& extra = {});
    bool control(const QByteArray& command);
    QTemporaryDir m_dir;
    std::unique_ptr<ProjectTestHome> m_home;
    QProcess m_sim;
    QString m_pty;
    QString m_control;
    QString m_log;
};

void TstCliFaults::initTestCase()
{
    m_pty = m_dir.filePath(QStringLiteral("vx"));
    m_control = m_dir.filePath(QStringLiteral("vx.ctl"));
    m_log = m_dir.filePath(QStringLiteral("vx.log"));
}

void TstCliFaults::init()
{
    m_home = std::make_unique<ProjectTestHome>();
    QVERIFY(m_home->installTemplates({QStringLiteral("vx_standard")}));
}

void TstCliFaults::cleanup()
{
    if (m_sim.state() != QProcess::NotRunning) {
        m_sim.kill();
        m_sim.waitForFinished(5000);
    }
    QFile::remove(lockFile(m_pty));
    QFile::remove(lockFile(m_pty) + QStringLiteral(".rmlock"));
    m_home.reset();
}

bool TstCliFaults::startSim(const QStringList& extra)
{
    QFile::remove(m_log);
    m_sim.setProcessChannelMode(QProcess::MergedChannels);
    m_sim.start(QStringLiteral(VXSIM),
                QStringList{QStringLiteral("--pty-link"), m_pty, QStringLiteral("--control"),
                            m_control, QStringLiteral("--log"), m_log} +
                    extra);
    QByteArray said;
    QElapsedTimer t;
    t.start();
    while (!said.contains(m_pty.toLocal8Bit()) || !QFileInfo::exists(m_control)) {
        if (t.elapsed() > 20000 || m_sim.state() == QProcess::NotRunning)
            return false;
        m_sim.waitForReadyRead(200);
        said += m_sim.readAll();
    }
    return true;
}

bool TstCliFaults::control(const QByteArray& command)
{
    QLocalSocket socket;
    socket.connectToServer(m_control);
    if (!socket.waitForConnected(5000))
        return false;
    socket.write(command + '\n');
    socket.waitForBytesWritten(2000);
    QByteArray answer;
    while (!answer.contains('\n') && socket.waitForReadyRead(5000))
        answer += socket.readAll();
    return answer.startsWith("OK");
}

void TstCliFaults::terminalKilled_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("message");
    QTest::newRow("save-config, waiting for the ACK")
        << QStringList{QStringLiteral("save-config")} << "unterbrochen";
    QTest::newRow("eeprom set, waiting for the ACK")
        << QStringList{QStringLiteral("eeprom"), QStringLiteral("set"), QStringLiteral("10"),
                       QStringLiteral("7")}
        << "keine Antwort";
    QTest::newRow("info, waiting for the reply")
        << QStringList{QStringLiteral("info")} << "keine Antwort";
    QTest::newRow("config write") << QStringList{QStringLiteral("config"), QStringLiteral("write"),
                                                 QStringLiteral("Anlage1")}
                                  << "";
}

// The terminal stops answering, the PC starts its exchange, and then the terminal's
// program is killed.
void TstCliFaults::terminalKilled()
{
    QFETCH(QStringList, args);
    QFETCH(QString, message);
    QVERIFY(m_home->makeProject(QStringLiteral("Anlage1")));
    QVERIFY(startSim());
    QVERIFY(control("fault silent"));
    const double cpuBefore = childCpuSeconds();
    QProcess cli;
    cli.start(QStringLiteral(VEMRO_CLI), QStringList{QStringLiteral("--home"), m_home->path()} +
                                             args + QStringList{QStringLiteral("--device"), m_pty});
    // Killed once the PC has sent its first bytes.
    QElapsedTimer t;
    t.start();
    while (QFileInfo(m_log).size() == 0 && t.elapsed() < 20000)
        QTest::qWait(20);
    QVERIFY(QFileInfo(m_log).size() > 0);
    m_sim.kill();
    QElapsedTimer sinceKill;
    sinceKill.start();
    QVERIFY(m_sim.waitForFinished(5000));
    QVERIFY(cli.waitForFinished(20000));
    const double seconds = static_cast<double>(sinceKill.elapsed()) / 1000.0;
    const double cpu = childCpuSeconds() - cpuBefore;
    const QString err = QString::fromUtf8(cli.readAllStandardError());
    QVERIFY2(cli.exitCode() != 0, qPrintable(err));
    QVERIFY2(err.contains(message), qPrintable(err));
    QVERIFY2(seconds < 5.0, qPrintable(QString::number(seconds)));
    // No spinning: start-up under the sanitizers costs a little, a busy wait far more.
    QVERIFY2(cpu < 0.5 * (static_cast<double>(t.elapsed()) / 1000.0 + seconds) + 1.0,
             qPrintable(QStringLiteral("%1 s CPU").arg(cpu)));
}

void TstCliFaults::silentTerminalNamesReason_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::newRow("info") << QStringList{QStringLiteral("info")};
    QTest::newRow("eeprom size") << QStringList{QStringLiteral("eeprom"), QStringLiteral("size")};
    QTest::newRow("save-config") << QStringList{QStringLiteral("save-config")};
}

void TstCliFaults::silentTerminalNamesReason()
{
    QFETCH(QStringList, args);
    QVERIFY(startSim());
    QVERIFY(control("fault silent"));
    const Result r = run(args + QStringList{QStringLiteral("--device"), m_pty});
    QCOMPARE(r.code, 1);
    QVERIFY2(r.err.contains(QStringLiteral("keine Antwort vom Terminal (Zeitüberschreitung)")),
             qPrintable(r.err));
}

// Nothing listens at the module's address: the request that comes back is no answer.
void TstCliFaults::ownRequestIsNoAnswer()
{
    const Result r = run({QStringLiteral("eeprom"), QStringLiteral("get"), QStringLiteral("1"),
                          QStringLiteral("--net"), QStringLiteral("127.0.0.9")});
    QCOMPARE(r.code, 1);
    QCOMPARE(r.out, QString());
}

void TstCliFaults::staleLockRemoved_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("ageMs");
    // A pid that has ended (pid_max is far below this number).
    QTest::newRow("owner gone") << QByteArray("999999999\nvemro-cli\nvm\n") << 300;
    QTest::newRow("killed before writing its pid") << QByteArray() << 300;
    // Nobody holds the empty file open: stale at once, not only after a while.
    QTest::newRow("killed before writing its pid, just now") << QByteArray() << 0;
}

// A program killed while it held the port, and one killed while removing that lock.
void TstCliFaults::staleLockRemoved()
{
    QFETCH(QByteArray, content);
    QFETCH(int, ageMs);
    QVERIFY(startSim());
    QFile lock(lockFile(m_pty));
    QVERIFY(lock.open(QIODevice::WriteOnly));
    lock.write(content);
    lock.close();
    QFile rmlock(lockFile(m_pty) + QStringLiteral(".rmlock"));
    QVERIFY(rmlock.open(QIODevice::WriteOnly));
    rmlock.close();
    if (ageMs > 0)
        QTest::qWait(ageMs); // older than a lock that is still being written
    const Result r = run({QStringLiteral("info"), QStringLiteral("--device"), m_pty});
    QVERIFY2(r.code == 0, qPrintable(r.err));
    QVERIFY(r.out.contains(QStringLiteral("Version: 2.7")));
    QVERIFY(!QFileInfo::exists(lockFile(m_pty)));
    QVERIFY(!QFileInfo::exists(lockFile(m_pty) + QStringLiteral(".rmlock")));
}

void TstCliFaults::liveLockNamesHolder()
{
    QVERIFY(startSim());
    QProcess holder;
    holder.start(QStringLiteral("sleep"), {QStringLiteral("30")});
    QVERIFY(holder.waitForStarted(5000));
    const qint64 pid = holder.processId();
    QFile lock(lockFile(m_pty));
    QVERIFY(lock.open(QIODevice::WriteOnly));
    lock.write(QByteArray::number(pid) + "\nsleep\nvm\n");
    lock.close();
    const Result r = run({QStringLiteral("info"), QStringLiteral("--device"), m_pty});
    holder.kill();
    holder.waitForFinished(5000);
    QCOMPARE(r.code, 1);
    QVERIFY2(r.err.contains(QStringLiteral("vom Programm sleep (PID %1)").arg(pid)),
             qPrintable(r.err));
    QVERIFY(QFileInfo::exists(lockFile(m_pty))); // a live holder's lock stays
}

void TstCliFaults::damagedProject_data()
{
    QTest::addColumn<QString>("damage");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("expected");
    const QStringList info{QStringLiteral("project"), QStringLiteral("info"),
                           QStringLiteral("Defekt1")};
    const QStringList read{QStringLiteral("config"), QStringLiteral("read"),
                           QStringLiteral("Defekt1")};
    QTest::newRow("truncated, info") << "truncate" << info << "beschädigt";
    QTest::newRow("truncated, config read") << "truncate" << read << "beschädigt";
    QTest::newRow("missing table, config read")
        << "DROP TABLE Terminaleinstellungen" << read << "fehlt eine Tabelle";
    QTest::newRow("missing column, config read")
        << "ALTER TABLE Terminaleinstellungen DROP COLUMN Kontrast" << read << "Kontrast";
}

void TstCliFaults::damagedProject()
{
    QFETCH(QString, damage);
    QFETCH(QStringList, args);
    QFETCH(QString, expected);
    QVERIFY(m_home->makeProject(QStringLiteral("Defekt1")));
    const QString file = m_home->projects() + QStringLiteral("Defekt1.mdb");
    if (damage == QLatin1String("truncate"))
        QVERIFY(QFile(file).resize(QFileInfo(file).size() / 2));
    else
        QVERIFY(ProjectTestHome::exec(file, {damage}));
    QVERIFY(startSim());
    const QByteArray before = digest(file);
    const bool link = args.first() == QLatin1String("config");
    const Result r =
        run(args + (link ? QStringList{QStringLiteral("--device"), m_pty} : QStringList{}));
    QCOMPARE(r.code, 1);
    QVERIFY2(r.err.contains(file) && r.err.contains(expected), qPrintable(r.err));
    QCOMPARE(digest(file), before);
}

void TstCliFaults::damagedProgramDatabase_data()
{
    QTest::addColumn<QString>("damage");
    QTest::addColumn<QString>("expected");
    QTest::newRow("directory") << "directory"
                               << "Ordner";
    QTest::newRow("read-only") << "readonly"
                               << "schreibgeschützt";
    QTest::newRow("truncated") << "truncate"
                               << "beschädigt";
}

void TstCliFaults::damagedProgramDatabase()
{
    QFETCH(QString, damage);
    QFETCH(QString, expected);
    const QString db = m_home->path() + QStringLiteral("/VEMRO.mdb");
    QVERIFY(run({QStringLiteral("project"), QStringLiteral("list")}).code == 0); // creates it
    if (damage == QLatin1String("directory")) {
        QVERIFY(QFile::remove(db));
        QVERIFY(QDir().mkpath(db));
    } else if (damage == QLatin1String("readonly")) {
        QVERIFY(QFile(db).setPermissions(QFileDevice::ReadOwner | QFileDevice::ReadGroup));
    } else {
        QVERIFY(QFile(db).resize(QFileInfo(db).size() / 2));
    }
    const QByteArray before = digest(db);
    const Result r = run({QStringLiteral("project"), QStringLiteral("list")});
    QCOMPARE(r.code, 1);
    QVERIFY2(r.err.contains(db) && r.err.contains(expected), qPrintable(r.err));
    QCOMPARE(digest(db), before);
}

void TstCliFaults::deleteOutsideRefused_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("victim");
    QTest::newRow("program database") << "../VEMRO"
                                      << "VEMRO.mdb";
    QTest::newRow("template") << "../Hardware/vx_standard"
                              << "Hardware/vx_standard.mdb";
}

void TstCliFaults::deleteOutsideRefused()
{
    QFETCH(QString, name);
    QFETCH(QString, victim);
    QVERIFY(run({QStringLiteral("project"), QStringLiteral("list")}).code == 0); // VEMRO.mdb
    const QString file = m_home->path() + QLatin1Char('/') + victim;
    const QByteArray before = digest(file);
    QVERIFY(!before.isEmpty());
    const Result r =
        run({QStringLiteral("--yes"), QStringLiteral("project"), QStringLiteral("delete"), name});
    QCOMPARE(r.code, 1);
    QVERIFY2(r.err.contains(QStringLiteral("zulässig")), qPrintable(r.err));
    QCOMPARE(digest(file), before);
}

void TstCliFaults::configWriteRefused_data()
{
    QTest::addColumn<QString>("damage");
    QTest::addColumn<QString>("named");
    QTest::newRow("missing display rows")
        << "ALTER TABLE Terminaleinstellungen DROP COLUMN Display_Zeilen"
        << "Display_Zeilen";
    QTest::newRow("missing contrast") << "ALTER TABLE Terminaleinstellungen DROP COLUMN Kontrast"
                                      << "Kontrast";
    QTest::newRow("rows out of range") << "UPDATE Terminaleinstellungen SET Display_Zeilen=-31073"
                                       << "Display_Zeilen";
    QTest::newRow("fixed-text port out of range")
        << "UPDATE Terminaleinstellungen SET FesttextPort=4464"
        << "FesttextPort";
    QTest::newRow("contrast out of range") << "UPDATE Terminaleinstellungen SET Kontrast=16"
                                           << "Kontrast";
    QTest::newRow("contrast Null") << "UPDATE Terminaleinstellungen SET Kontrast=NULL"
                                   << "Kontrast";
}

// A damaged project must not reach the terminal: the display would go dark.
void TstCliFaults::configWriteRefused()
{
    QFETCH(QString, damage);
    QFETCH(QString, named);
    QVERIFY(m_home->makeProject(QStringLiteral("Defekt1")));
    QVERIFY(ProjectTestHome::exec(m_home->projects() + QStringLiteral("Defekt1.mdb"), {damage}));
    QVERIFY(startSim());
    const Result r = run({QStringLiteral("config"), QStringLiteral("write"),
                          QStringLiteral("Defekt1"), QStringLiteral("--device"), m_pty});
    QCOMPARE(r.code, 1);
    QVERIFY2(r.err.contains(named) && r.err.contains(QStringLiteral("nichts")), qPrintable(r.err));
    QCOMPARE(QFileInfo(m_log).size(), 0); // not one byte reached the terminal
}

// The terminal's program ends while the key codes go out: the lost line is said once, not
// once for every key that follows.
void TstCliFaults::keysWriteLineLostOnce()
{
    QVERIFY(m_home->makeProject(QStringLiteral("Anlage1")));
    QVERIFY(startSim());
    QProcess cli;
    cli.start(QStringLiteral(VEMRO_CLI),
              QStringList{QStringLiteral("--home"), m_home->path(), QStringLiteral("keys"),
                          QStringLiteral("write"), QStringLiteral("Anlage1"),
                          QStringLiteral("--device"), m_pty});
    // Killed once the first key code has reached the terminal.
    QElapsedTimer t;
    t.start();
    const auto logged = [this] {
        QFile f(m_log);
        return f.open(QIODevice::ReadOnly) && f.readAll().contains("54 43"); // "TC" in hex
    };
    while (!logged() && t.elapsed() < 20000)
        QTest::qWait(5);
    QVERIFY(logged());
    m_sim.kill();
    QVERIFY(m_sim.waitForFinished(5000));
    QVERIFY(cli.waitForFinished(20000));
    const QString err = QString::fromUtf8(cli.readAllStandardError());
    QVERIFY2(cli.exitCode() != 0, qPrintable(err));
    QVERIFY2(err.count(QStringLiteral("Taste ")) <= 1, qPrintable(err));
    QVERIFY2(err.contains(QStringLiteral("weitere Tasten nicht gesendet")), qPrintable(err));
}

void TstCliFaults::missingColumnSendsNothing_data()
{
    QTest::addColumn<QString>("damage");
    QTest::addColumn<QString>("command");
    const QString text = QStringLiteral("ALTER TABLE Festtexte RENAME COLUMN text TO Text_alt");
    const QString row3 =
        QStringLiteral("ALTER TABLE Userzeichen RENAME COLUMN Zeichenbyte3 TO Zeichenbyte_x");
    const QString code = QStringLiteral("ALTER TABLE Tastencodes RENAME COLUMN Tastencode TO Code");
    const QString shift =
        QStringLiteral("ALTER TABLE TastaturModus RENAME COLUMN NrShifttaste TO Shift");
    for (const QString& command : {"texts write", "texts export", "project write"})
        QTest::newRow(qPrintable("Festtexte.text, " + command)) << text << command;
    for (const QString& command : {"chars write", "project write"})
        QTest::newRow(qPrintable("Userzeichen.Zeichenbyte3, " + command)) << row3 << command;
    QTest::newRow("no table Userzeichen, chars write") << "DROP TABLE Userzeichen"
                                                       << "chars write";
    for (const QString& command : {"keys write", "keys show", "project write"})
        QTest::newRow(qPrintable("Tastencodes.Tastencode, " + command)) << code << command;
    QTest::newRow("TastaturModus.NrShifttaste, keys write") << shift << "keys write";
    QTest::newRow("QMTests.Prozedurname, qmtest list")
        << "ALTER TABLE QMTests RENAME COLUMN Prozedurname TO Proc"
        << "qmtest list";
}

// A project that lacks a column the transfer reads is refused with the damaged-project
// message before a byte goes out: empty texts or no keys must never be "geschrieben".
void TstCliFaults::missingColumnSendsNothing()
{
    QFETCH(QString, damage);
    QFETCH(QString, command);
    QVERIFY(m_home->makeProject(QStringLiteral("Defekt1")));
    const QString file = m_home->projects() + QStringLiteral("Defekt1.mdb");
    QVERIFY(ProjectTestHome::exec(file, {damage}));
    QVERIFY(startSim());
    QStringList args = command.split(QLatin1Char(' ')) + QStringList{QStringLiteral("Defekt1")};
    const QString exported = m_dir.filePath(QStringLiteral("export.txt"));
    QFile::remove(exported);
    if (command == QLatin1String("texts export"))
        args << exported;
    else if (command.endsWith(QLatin1String("write")))
        args << QStringLiteral("--device") << m_pty;
    const Result r = run(args);
    QVERIFY2(r.code != 0, qPrintable(r.out));
    QVERIFY2(r.err.contains(QStringLiteral("fehlt eine Tabelle oder Spalte")) &&
                 r.err.contains(file),
             qPrintable(r.err));
    QVERIFY(!r.out.contains(QStringLiteral("geschrieben")));
    QCOMPARE(QFileInfo(m_log).size(), 0); // not one byte reached the terminal
    QVERIFY(!QFileInfo::exists(exported));
}

void TstCliFaults::outputTargetRefused_data()
{
    QTest::addColumn<QString>("target"); // what stands under the name
    QTest::addColumn<QString>("option"); // "" for texts export, else qmtest --report / --log
    QTest::addColumn<QString>("expected");
    QTest::newRow("folder, export") << "folder"
                                    << ""
                                    << "Ordner";
    QTest::newRow("FIFO, export") << "fifo"
                                  << ""
                                  << "FIFO";
    QTest::newRow("device, export") << "/dev/null"
                                    << ""
                                    << "Gerät";
    QTest::newRow("program database, export") << "VEMRO.mdb"
                                              << ""
                                              << "Programmdatenbank";
    QTest::newRow("template, export") << "Hardware/vx_standard.mdb"
                                      << ""
                                      << "Hardwarevorlage";
    QTest::newRow("project, export") << "Projekte/Anderes1.mdb"
                                     << ""
                                     << "Projekt";
    QTest::newRow("link to project, export") << "symlink"
                                             << ""
                                             << "Projekt";
    QTest::newRow("hard link to project, export") << "hardlink"
                                                  << ""
                                                  << "Projekt";
    QTest::newRow("FIFO, report") << "fifo"
                                  << "report"
                                  << "FIFO";
    QTest::newRow("hard link to project, report") << "hardlink"
                                                  << "report"
                                                  << "Projekt";
    QTest::newRow("project, log") << "Projekte/Anderes1.mdb"
                                  << "log"
                                  << "Projekt";
    QTest::newRow("program database, log") << "VEMRO.mdb"
                                           << "log"
                                           << "Programmdatenbank";
    QTest::newRow("folder, log") << "folder"
                                 << "log"
                                 << "Ordner";
    QTest::newRow("missing folder, report") << "Fehlt/bericht.csv"
                                            << "report"
                                            << "gibt es nicht";
}

// An output never replaces what is not its own, judged by the file the name leads to; the
// test run is refused before its first step.
void TstCliFaults::outputTargetRefused()
{
    QFETCH(QString, target);
    QFETCH(QString, option);
    QFETCH(QString, expected);
    QVERIFY(run({QStringLiteral("project"), QStringLiteral("list")}).code == 0); // VEMRO.mdb
    QVERIFY(m_home->makeProject(QStringLiteral("Quelle1")));
    QVERIFY(m_home->makeProject(QStringLiteral("Anderes1")));
    const QString other = m_home->projects() + QStringLiteral("Anderes1.mdb");
    const QString suffix = option == QLatin1String("report") ? QStringLiteral(".csv") : QString();
    QString path = m_dir.filePath(QStringLiteral("ziel") + suffix);
    QFile::remove(path);
    QDir(path).removeRecursively();
    if (target == QLatin1String("folder")) {
        QVERIFY(QDir().mkpath(path));
    } else if (target == QLatin1String("fifo")) {
        QVERIFY(::mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
    } else if (target == QLatin1String("symlink")) {
        QVERIFY(QFile::link(other, path));
    } else if (target == QLatin1String("hardlink")) {
        QVERIFY(::link(QFile::encodeName(other).constData(), QFile::encodeName(path).constData()) ==
                0);
    } else {
        path = target.startsWith(QLatin1Char('/')) ? target
                                                   : m_home->path() + QLatin1Char('/') + target;
    }
    // (Reading a FIFO would wait for a writer.)
    const auto bytesOf = [&path] { return QFileInfo(path).isFile() ? digest(path) : QByteArray(); };
    const QByteArray before = bytesOf();
    QVERIFY(startSim());
    QStringList args{QStringLiteral("texts"), QStringLiteral("export"), QStringLiteral("Quelle1"),
                     path};
    if (!option.isEmpty())
        args = {QStringLiteral("qmtest"),     QStringLiteral("Quelle1"),
                QStringLiteral("--device"),   m_pty,
                QLatin1String("--") + option, path};
    const Result r = run(args);
    QCOMPARE(r.code, 1);
    QVERIFY2(r.err.contains(expected) && r.err.contains(QStringLiteral("nichts geschrieben")),
             qPrintable(r.err));
    QCOMPARE(bytesOf(), before);
    QCOMPARE(QFileInfo(m_log).size(), 0); // refused before the first step
    QFileInfo kept(path);
    if (target == QLatin1String("fifo"))
        QVERIFY(!kept.isFile() && kept.exists());
    QVERIFY(ProjectTestHome::exec(other, {QStringLiteral("SELECT count(*) FROM Festtexte")}));
}

void TstCliFaults::projectFileKinds_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QStringList>("command");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("expected"); // on standard error, "" when none
    const QStringList show{QStringLiteral("texts"), QStringLiteral("show"),
                           QStringLiteral("Schreib1"), QStringLiteral("0")};
    const QStringList exportTexts{QStringLiteral("texts"), QStringLiteral("export"),
                                  QStringLiteral("Schreib1")};
    const QStringList list{QStringLiteral("qmtest"), QStringLiteral("list"),
                           QStringLiteral("Schreib1")};
    const QStringList standard{QStringLiteral("keys"), QStringLiteral("standard"),
                               QStringLiteral("Schreib1")};
    QTest::newRow("read-only, texts show") << "readonly" << show << 0 << "";
    QTest::newRow("read-only, texts export") << "readonly" << exportTexts << 0 << "";
    QTest::newRow("read-only, qmtest list") << "readonly" << list << 0 << "";
    QTest::newRow("read-only, keys standard") << "readonly" << standard << 1 << "schreibgeschützt";
    QTest::newRow("folder, texts show") << "folder" << show << 1 << "Ordner";
    QTest::newRow("/dev/null link, texts show") << "devnull" << show << 1 << "/dev/null";
}

// Commands that only read take a write-protected project; what stands in place of a project
// file is named.
void TstCliFaults::projectFileKinds()
{
    QFETCH(QString, kind);
    QFETCH(QStringList, command);
    QFETCH(int, code);
    QFETCH(QString, expected);
    const QString file = m_home->projects() + QStringLiteral("Schreib1.mdb");
    if (kind == QLatin1String("readonly")) {
        QVERIFY(m_home->makeProject(QStringLiteral("Schreib1")));
        QVERIFY(QFile(file).setPermissions(QFileDevice::ReadOwner | QFileDevice::ReadGroup));
    } else if (kind == QLatin1String("folder")) {
        QVERIFY(QDir().mkpath(file));
    } else {
        QVERIFY(QFile::link(QStringLiteral("/dev/null"), file));
    }
    const QByteArray before = digest(file);
    if (command.at(1) == QLatin1String("export"))
        command << m_dir.filePath(QStringLiteral("texte.txt"));
    const Result r = run(command);
    QVERIFY2(r.code == code, qPrintable(r.err));
    if (expected.isEmpty())
        QVERIFY2(r.err.isEmpty(), qPrintable(r.err));
    else
        QVERIFY2(r.err.contains(expected) && !r.err.contains(QStringLiteral("nicht gefunden")),
                 qPrintable(r.err));
    if (kind == QLatin1String("readonly"))
        QCOMPARE(digest(file), before);
    QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

QTEST_GUILESS_MAIN(TstCliFaults)
#include "tst_cli_faults.moc"
