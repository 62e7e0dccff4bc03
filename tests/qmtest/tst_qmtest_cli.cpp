// vemro-cli's production test against vxsim on a real pty with its test plugs: the list,
// runs that pass and fail, answers, serial number, log file and report.
#include "../projects/ProjectTestHome.h"
#include "../projects/SimProcess.h"
#include "tests/common/CliRun.h"

#include <QLocalSocket>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QUuid>
#include <QtTest>

#include <csignal>
#include <functional>

using vemro::test::CliResult;

class TstQmTestCli : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void list();
    void portChecksPassWithLogAndReport();
    void faultyPlugFails();
    void serialNumber_data();
    void serialNumber();
    void unknownStep();
    void projectWrite();
    void programsTextsCharsKeys_data();
    void programsTextsCharsKeys();
    void keyLedKeepsTerminalKeyboard();
    void wholeListLeavesTheProject();
    void stepsWithoutResult();
    void signalEndsCleanly_data();
    void signalEndsCleanly();

private:
    CliResult run(const QStringList& args) const
    {
        return vemro::test::RunCli(QStringLiteral(VEMRO_CLI), m_home->path(), args);
    }
    QString control(const QString& command);
    // vemro-cli running while the test acts on vxsim; `onOutput` sees standard output as it
    // grows and may act on it.
    struct Running
    {
        int code = -1;
        QProcess::ExitStatus status = QProcess::CrashExit;
        QString out;
        QString err;
    };
    Running runWhile(const QStringList& args, const std::function<void(const QString&)>& onOutput);
    std::unique_ptr<ProjectTestHome> m_home;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<SimProcess> m_sim;
    QString m_pty;
    QString m_ctl;
};

void TstQmTestCli::initTestCase()
{
    m_home = std::make_unique<ProjectTestHome>();
    QVERIFY(m_home->installTemplates());
    QVERIFY(m_home->makeProject(QStringLiteral("Linie1")));
}

void TstQmTestCli::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_pty = m_dir->filePath(QStringLiteral("vx"));
    m_ctl = m_dir->filePath(QStringLiteral("vx.ctl"));
    m_sim = std::make_unique<SimProcess>(
        QStringList{"--test-plugs", "--pty-link", m_pty, "--control", m_ctl});
    QVERIFY2(m_sim->waitFor(QStringLiteral("Steuerung")), qPrintable(m_sim->output()));
}

void TstQmTestCli::cleanup()
{
    m_sim.reset();
    m_dir.reset();
}

QString TstQmTestCli::control(const QString& command)
{
    QLocalSocket socket;
    socket.connectToServer(m_ctl);
    if (!socket.waitForConnected(5000))
        return QStringLiteral("keine Verbindung");
    socket.write(command.toUtf8() + '\n');
    socket.flush();
    QByteArray answer;
    while (!answer.contains("OK") && !answer.contains("ERR") && socket.waitForReadyRead(5000))
        answer += socket.readAll();
    return QString::fromUtf8(answer).trimmed();
}

void TstQmTestCli::list()
{
    const CliResult r = run({"qmtest", "list", "Linie1"});
    QCOMPARE(r.code, 0);
    const QStringList lines = r.out.split(QLatin1Char('\n'));
    QCOMPARE(lines.first(), QStringLiteral("Vorbereitung  [-, 1x]"));
    QVERIFY2(lines.contains(QStringLiteral("  Firmwareversion prüfen  [CheckVersion, 1x]")),
             qPrintable(r.out));
    QVERIFY(!r.out.contains(QStringLiteral("EEPROM Zellentest"))); // not active
    QCOMPARE(run({"qmtest", "list", "Linie1", "--hwtype", "7"}).code, 1);
    QCOMPARE(run({"qmtest", "list", "Linie1", "--hwtype", "x"}).code, 2);
}

void TstQmTestCli::portChecksPassWithLogAndReport()
{
    const QString logFile = m_dir->filePath(QStringLiteral("lauf.txt"));
    const QString report = m_dir->filePath(QStringLiteral("bericht.csv"));
    const CliResult r = run({"qmtest", "Linie1", "--device", m_pty, "--steps",
                             "Ein-/Ausgänge,CheckVersion", "--log", logFile, "--report", report});
    QVERIFY2(r.code == 0, qPrintable(r.out + r.err));
    for (const char* step :
         {"Firmwareversion prüfen", "Interner Port 0", "IO-Modul Transistor", "Analogeingang"})
        QVERIFY2(r.out.contains(QStringLiteral("bestanden: ") + QString::fromUtf8(step)),
                 qPrintable(r.out));
    QVERIFY(!r.out.contains(QStringLiteral("Displayausgabe")));
    QVERIFY(r.out.contains(QStringLiteral("Terminalversion : 2.7")));
    QFile log(logFile);
    QVERIFY(log.open(QIODevice::ReadOnly));
    QVERIFY(QString::fromUtf8(log.readAll()).contains(QStringLiteral("Terminalversion : 2.7")));
    QFile csv(report);
    QVERIFY(csv.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(csv.readAll());
    QVERIFY2(text.contains(QStringLiteral(";Firmwareversion prüfen;bestanden;Terminalversion")),
             qPrintable(text));
    QVERIFY(text.contains(QStringLiteral(";Analogeingang;bestanden;")));
}

void TstQmTestCli::faultyPlugFails()
{
    QCOMPARE(control(QStringLiteral("plugs break 1 0")), QStringLiteral("OK"));
    const QString report = m_dir->filePath(QStringLiteral("fehler.pdf"));
    const CliResult r = run({"qmtest", "Linie1", "--device", m_pty, "--steps",
                             "CheckIOModulTransistor", "--answers", "nein", "--report", report});
    QCOMPARE(r.code, 1);
    QVERIFY2(r.out.contains(QStringLiteral("Port-Fehler, Soll : h55, Ist : 54")),
             qPrintable(r.out));
    QVERIFY(r.out.contains(QStringLiteral("NICHT BESTANDEN: IO-Modul Transistor")));
    QVERIFY(r.err.contains(QStringLiteral("Fehler, evtl. fehlt Prüfstecker.Wiederholen?")));
    QFile pdf(report);
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    const QByteArray bytes = pdf.readAll();
    QVERIFY(bytes.contains("(Port-Fehler, Soll : h55, Ist : 54) Tj"));
    QVERIFY(bytes.contains("(Nicht bestandene Schritte :) Tj"));
    QVERIFY(
        bytes.contains("(Ergebnis : nicht bestanden \\(1 von 1 Schritten nicht bestanden\\)) Tj"));
}

void TstQmTestCli::serialNumber_data()
{
    QTest::addColumn<QString>("serial");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("terminal");
    QTest::newRow("in range") << "123456" << 0 << "123456";
    QTest::newRow("out of range") << "1234567" << 1 << "004711";
}

void TstQmTestCli::serialNumber()
{
    QFETCH(QString, serial);
    QFETCH(int, code);
    QFETCH(QString, terminal);
    const CliResult r = run({"qmtest", "Linie1", "--device", m_pty, "--steps", "SetSerNr",
                             "--serial", serial, "--answers", "nein"});
    QVERIFY2(r.code == code, qPrintable(r.out + r.err));
    QVERIFY2(r.out.contains(QStringLiteral("SerNr : ") + terminal), qPrintable(r.out));
    const CliResult info = run({"info", "--device", m_pty});
    QVERIFY2(info.out.contains(QStringLiteral("SerNr: ") + terminal), qPrintable(info.out));
}

void TstQmTestCli::unknownStep()
{
    const CliResult r = run({"qmtest", "Linie1", "--device", m_pty, "--steps", "Gibtsnicht"});
    QCOMPARE(r.code, 1);
    QVERIFY(r.err.contains(QStringLiteral("unbekannter Schritt : Gibtsnicht")));
    QCOMPARE(run({"qmtest", "Linie1", "--report", "x.txt"}).code, 2);
}

void TstQmTestCli::projectWrite()
{
    QVERIFY(ProjectTestHome::exec(
        m_home->projects() + QStringLiteral("Linie1.mdb"),
        {QStringLiteral("UPDATE Terminaleinstellungen SET Display_Zeilen=2, Display_Spalten=16, "
                        "Kontrast=5")}));
    const CliResult r = run({"project", "write", "Linie1", "--device", m_pty});
    QVERIFY2(r.out.contains(QStringLiteral("Terminalmodus, Display, Beleuchtung, Kontrast: "
                                           "geschrieben")),
             qPrintable(r.out + r.err));
    QVERIFY(r.out.contains(QStringLiteral("dauerhaft speichern: geschrieben")));
    const QString dump = control(QStringLiteral("dump"));
    for (const char* line : {"rows=2\n", "cols=16\n", "contrast=5\n"})
        QVERIFY2(dump.contains(QString::fromLatin1(line)), qPrintable(dump));
    // Every part must be written for a success.
    QVERIFY2(r.code == 0 && !r.out.contains(QStringLiteral("FEHLER")), qPrintable(r.out));
}

namespace {

// The bytes of the [eeprom] section of a vxsim dump ("ADDR: HH HH ...").
QByteArray eepromOf(const QString& dump)
{
    QByteArray bytes;
    const int start = dump.indexOf(QStringLiteral("[eeprom]"));
    if (start < 0)
        return bytes;
    for (const QString& line : dump.mid(start).split(QLatin1Char('\n'))) {
        const int colon = line.indexOf(QLatin1Char(':'));
        if (colon > 0)
            bytes += QByteArray::fromHex(line.mid(colon + 1).toLatin1());
    }
    return bytes;
}

} // namespace

void TstQmTestCli::programsTextsCharsKeys_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::newRow("project write") << QStringList{"project", "write", "Linie1"};
    // The characters follow the keyboard step before anything is kept: they must not reset
    // the terminal and lose the keyboard's configuration and codes.
    QTest::newRow("programming steps") << QStringList{
        "qmtest", "Linie1", "--steps", "SetTastatur,SetUserzeichen,SetFesttexte,SaveKonfig"};
}

void TstQmTestCli::programsTextsCharsKeys()
{
    QFETCH(QStringList, args);
    QVERIFY(ProjectTestHome::exec(
        m_home->projects() + QStringLiteral("Linie1.mdb"),
        {QStringLiteral("UPDATE Festtexte SET text='PRUEFTEXT AUS DEM PROJEKT', "
                        "TextRTF='PRUEFTEXT AUS DEM PROJEKT' WHERE DisplayNr=2"),
         QStringLiteral("UPDATE Userzeichen SET Zeichenbyte0=31, Zeichenbyte7=21 "
                        "WHERE CGRAMAdresse=7"),
         QStringLiteral("UPDATE Tastencodes SET Tastencode='$31', Tastencode_Shift='$32' "
                        "WHERE TastenNr=5"),
         QStringLiteral("UPDATE TastaturModus SET Mindestdauer=7")}));
    const CliResult r = run(args + QStringList{"--device", m_pty});
    QVERIFY2(r.code == 0, qPrintable(r.out + r.err));
    QVERIFY2(!r.out.contains(QStringLiteral("FEHLER")), qPrintable(r.out));
    // A reset brings back what was kept: everything written must survive it.
    QCOMPARE(control(QStringLiteral("reset")), QStringLiteral("OK"));
    const QString dump = control(QStringLiteral("dump"));
    for (const char* line : {"key05=31 32\n", "key01=61 41\n", "config=7,50,10,50,0\n",
                             "slot7=1F 12 12 0C 00 00 00 15 ", "slot0=0A 00 0E 01 0F 11 0F 00 "})
        QVERIFY2(dump.contains(QString::fromLatin1(line)), qPrintable(dump));
    const QByteArray eeprom = eepromOf(dump);
    QVERIFY2(eeprom.contains("PRUEFTEXT AUS DEM PROJEKT"), eeprom.toHex(' ').constData());
    QVERIFY(eeprom.contains("Willkommen!"));
}

void TstQmTestCli::keyLedKeepsTerminalKeyboard()
{
    // The terminal holds a configuration of its own with the LED off; the LED step must
    // change nothing but that flag.
    QVERIFY(ProjectTestHome::exec(
        m_home->projects() + QStringLiteral("Linie1.mdb"),
        {QStringLiteral("UPDATE TastaturModus SET Mindestdauer=9, Quittung_optisch=0")}));
    const CliResult write = run({"keys", "write", "Linie1", "--device", m_pty});
    QVERIFY2(write.code == 0, qPrintable(write.out + write.err));
    const QString before = control(QStringLiteral("dump"));
    const CliResult r = run(
        {"qmtest", "Linie1", "--device", m_pty, "--steps", "CheckKeyboardLED", "--answers", "ja"});
    QVERIFY2(r.code == 0, qPrintable(r.out + r.err));
    const auto configOf = [](const QString& dump) {
        const int at = dump.indexOf(QStringLiteral("config="));
        return dump.mid(at, dump.indexOf(QLatin1Char('\n'), at) - at).mid(7).split(',');
    };
    QStringList expected = configOf(before);
    QCOMPARE(expected.size(), 5);
    QCOMPARE(expected[0], QStringLiteral("9"));
    expected[3] = QString::number(expected[3].toInt() | 16);
    QCOMPARE(configOf(control(QStringLiteral("dump"))), expected);
}

TstQmTestCli::Running TstQmTestCli::runWhile(const QStringList& args,
                                             const std::function<void(const QString&)>& onOutput)
{
    QProcess p;
    p.start(QStringLiteral(VEMRO_CLI),
            QStringList{QStringLiteral("--home"), m_home->path()} + args);
    p.closeWriteChannel();
    Running r;
    QElapsedTimer t;
    t.start();
    while (p.state() != QProcess::NotRunning && t.elapsed() < 120000) {
        p.waitForReadyRead(200);
        r.out += QString::fromUtf8(p.readAllStandardOutput());
        if (onOutput)
            onOutput(r.out);
    }
    if (!p.waitForFinished(5000))
        p.kill();
    r.out += QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    r.status = p.exitStatus();
    r.code = p.exitCode();
    return r;
}

namespace {

// Rows of a project table, column values by name.
QList<QVariantMap> rowsOf(const QString& file, const QString& sql)
{
    QList<QVariantMap> rows;
    const QString conn = QUuid::createUuid().toString();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), conn);
        db.setDatabaseName(file);
        if (db.open()) {
            QSqlQuery q(db);
            q.exec(sql);
            while (q.next()) {
                QVariantMap row;
                for (int i = 0; i < q.record().count(); ++i)
                    row.insert(q.record().fieldName(i), q.value(i));
                rows << row;
            }
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(conn);
    return rows;
}

// A key code of the project as the terminal holds it: one character, "#n" (fixed text n,
// 128 + n) or "$hh".
QString keyByte(const QString& code)
{
    int v = 0;
    if (code.startsWith(QLatin1Char('#')) && code.size() > 1)
        v = 128 + code.mid(1).toInt();
    else if (code.startsWith(QLatin1Char('$')) && code.size() > 1)
        v = code.mid(1).toInt(nullptr, 16);
    else
        v = static_cast<uchar>(code.toLatin1().at(0));
    return QStringLiteral("%1").arg(v, 2, 16, QLatin1Char('0')).toUpper();
}

QString dumpValue(const QString& dump, const QString& key)
{
    const int at = dump.indexOf(QLatin1Char('\n') + key + QLatin1Char('='));
    if (at < 0)
        return QStringLiteral("(fehlt)");
    const int from = at + 2 + static_cast<int>(key.size());
    return dump.mid(from, dump.indexOf(QLatin1Char('\n'), from) - from).trimmed();
}

} // namespace

void TstQmTestCli::wholeListLeavesTheProject()
{
    // A tester's shift: every step of the standard list, the keys pressed, the questions
    // answered. Afterwards (and after a reset) the terminal holds exactly the project's
    // configuration, whatever test values the checks sent (contrast 7, backlight off) and
    // whatever mode a transfer read back. The project asks for another speed: the PC must
    // follow the terminal for the last step to be heard.
    QVERIFY(m_home->makeProject(QStringLiteral("Schicht")));
    const QString file = m_home->projects() + QStringLiteral("Schicht.mdb");
    QVERIFY(ProjectTestHome::exec(
        file, {QStringLiteral("UPDATE Terminaleinstellungen SET Kontrast=12, Backlight=1, "
                              "Einschaltmeldung=1, Festtextmode=0, FesttextPort=2, "
                              "Display_Zeilen=2, Display_Spalten=16, Comsettings='38400,N,8,1'"),
               QStringLiteral("UPDATE Festtexte SET text='{<ESC>LL}Schicht 3', "
                              "TextRTF='{<ESC>LL}Schicht 3' WHERE DisplayNr=2"),
               QStringLiteral("UPDATE Userzeichen SET Zeichenbyte0=31 WHERE CGRAMAdresse=6"),
               QStringLiteral("UPDATE Tastencodes SET Tastencode='$31' WHERE TastenNr=12"),
               QStringLiteral("UPDATE TastaturModus SET Mindestdauer=7")}));
    const QString report = m_dir->filePath(QStringLiteral("schicht.pdf"));
    bool pressed = false;
    const Running r = runWhile(
        {"qmtest", "Schicht", "--device", m_pty, "--answers", "ja,ja,ja,ja", "--serial", "123456",
         "--report", report},
        [&](const QString& out) {
            if (!pressed && out.contains(QStringLiteral("Bitte alle Tasten"))) {
                pressed = true;
                for (int k = 1; k <= 8; ++k)
                    QCOMPARE(control(QStringLiteral("key %1").arg(k)), QStringLiteral("OK"));
            }
        });
    QVERIFY2(r.code == 0, qPrintable(r.out + r.err));
    QVERIFY2(r.out.contains(QStringLiteral("Ergebnis: bestanden")), qPrintable(r.out));
    QVERIFY(!r.out.contains(QStringLiteral("NICHT BESTANDEN")));
    // The last step, after the speed switch, was heard.
    QVERIFY2(control(QStringLiteral("display")).contains(QStringLiteral("|Test Ende")),
             qPrintable(control(QStringLiteral("display"))));

    QCOMPARE(control(QStringLiteral("reset")), QStringLiteral("OK"));
    const QString dump = control(QStringLiteral("dump"));
    const QVariantMap t =
        rowsOf(file, QStringLiteral("SELECT * FROM Terminaleinstellungen")).value(0);
    const int mode = (t.value("ParameterMode").toInt() == 1 ? 1 : 0) +
                     (t.value("SendMode").toInt() == 2 ? 2 : 0) +
                     (t.value("Tastaturenabled").toBool() ? 8 : 0) +
                     (t.value("IOPortsEnabled").toBool() ? 16 : 0) +
                     (t.value("Einschaltmeldung").toBool() ? 32 : 0) +
                     (t.value("Festtextmode").toBool() ? 64 : 0);
    QMap<QString, QString> expected{
        {"mode", QString::number(mode)},
        {"parameterform", "decimal"},
        {"festtextport", t.value("FesttextPort").toString()},
        {"rows", t.value("Display_Zeilen").toString()},
        {"cols", t.value("Display_Spalten").toString()},
        {"contrast", t.value("Kontrast").toString()},
        {"backlight", t.value("Backlight").toString()},
        {"speed", "38400"},
        {"sernr", "123456"},
    };
    const QVariantMap k = rowsOf(file, QStringLiteral("SELECT * FROM TastaturModus")).value(0);
    expected.insert("config", QStringLiteral("%1,%2,%3,50,%4")
                                  .arg(k.value("Mindestdauer").toInt())
                                  .arg(k.value("Zeitbisrepeat").toInt())
                                  .arg(k.value("Wiederholrate").toInt())
                                  .arg(k.value("NrShifttaste").toInt()));
    for (const QVariantMap& key : rowsOf(file, QStringLiteral("SELECT * FROM Tastencodes")))
        expected.insert(
            QStringLiteral("key%1").arg(key.value("TastenNr").toInt(), 2, 10, QLatin1Char('0')),
            keyByte(key.value("Tastencode").toString()) + QLatin1Char(' ') +
                keyByte(key.value("Tastencode_Shift").toString()));
    for (const QVariantMap& c : rowsOf(file, QStringLiteral("SELECT * FROM Userzeichen"))) {
        QStringList bytes;
        for (int i = 0; i < 8; ++i)
            bytes << QStringLiteral("%1")
                         .arg(c.value(QStringLiteral("Zeichenbyte%1").arg(i)).toInt(), 2, 16,
                              QLatin1Char('0'))
                         .toUpper();
        expected.insert(QStringLiteral("slot") + c.value("CGRAMAdresse").toString(),
                        bytes.join(QLatin1Char(' ')));
    }
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        const QString held = dumpValue(dump, it.key());
        const bool same = it.key().startsWith(QLatin1String("slot")) ? held.startsWith(it.value())
                                                                     : held == it.value();
        QVERIFY2(same, qPrintable(it.key() + ": " + held + " statt " + it.value()));
    }
    // Every text of the project in the EEPROM (what follows its last command).
    const QByteArray eeprom = eepromOf(dump);
    for (const QVariantMap& text : rowsOf(file, QStringLiteral("SELECT text FROM Festtexte"))) {
        const QString plain = text.value("text").toString().section(QLatin1Char('}'), -1);
        QVERIFY2(eeprom.contains(plain.toLatin1()), qPrintable(plain));
    }

    // The report ends with the verdict and knows the serial number.
    QFile pdf(report);
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    const QByteArray bytes = pdf.readAll();
    QVERIFY(bytes.contains("(Seriennummer : 123456) Tj"));
    QVERIFY2(bytes.contains("(Ergebnis : bestanden \\("), bytes.right(600).constData());
}

void TstQmTestCli::stepsWithoutResult()
{
    // A step that prepares and gives no result is not a failed step.
    QVERIFY(ProjectTestHome::exec(
        m_home->projects() + QStringLiteral("Linie1.mdb"),
        {QStringLiteral("INSERT INTO QMTests (ID, Bezeichnung, Typ, Reihenfolge, aktiv, "
                        "Eintragstyp, Gruppe, Prozedurname, Durchgaenge) VALUES (90, "
                        "'Vorprogrammierung', 1, 15, 1, 2, '1', 'DoVorprogrammierung', 1)")}));
    const CliResult r =
        run({"qmtest", "Linie1", "--device", m_pty, "--steps", "DoVorprogrammierung,CheckVersion"});
    QVERIFY2(r.code == 0, qPrintable(r.out + r.err));
    QVERIFY(r.out.contains(QStringLiteral("ohne Ergebnis: Vorprogrammierung")));
    QVERIFY2(r.out.contains(QStringLiteral("Ergebnis: bestanden (1 Schritte)")), qPrintable(r.out));
}

void TstQmTestCli::signalEndsCleanly_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("signal");
    QTest::addColumn<int>("code");
    QTest::addColumn<QByteArray>("during"); // printed when the fixed texts begin
    const QStringList qmtest{"qmtest",   "Linie1", "--steps", "SetFesttexte,SetSerNr",
                             "--serial", "4711"};
    QTest::newRow("qmtest SIGTERM") << qmtest << int(SIGTERM) << 143 << QByteArray("Festtexte (");
    QTest::newRow("qmtest SIGINT") << qmtest << int(SIGINT) << 130 << QByteArray("Festtexte (");
    QTest::newRow("project write SIGHUP") << QStringList{"project", "write", "Linie1"}
                                          << int(SIGHUP) << 129 << QByteArray("Kontrast: ");
}

void TstQmTestCli::signalEndsCleanly()
{
    // Stopped during the fixed texts (a transfer in the byte form): the transfer ends, the
    // decimal form is back, nothing further is written and the terminal answers again.
    QFETCH(QStringList, args);
    QFETCH(int, signal);
    QFETCH(int, code);
    QFETCH(QByteArray, during);
    QStringList texts;
    for (int n = 10; n < 100; ++n)
        texts << QStringLiteral("INSERT INTO Festtexte (DisplayNr, text, TextRTF) VALUES (%1, "
                                "'Langer Text Nummer %1 .........', '')")
                     .arg(n);
    QVERIFY(
        ProjectTestHome::exec(m_home->projects() + QStringLiteral("Linie1.mdb"),
                              QStringList{"DELETE FROM Festtexte WHERE DisplayNr >= 10"} + texts));
    QProcess p;
    p.start(QStringLiteral(VEMRO_CLI),
            QStringList{"--home", m_home->path()} + args + QStringList{"--device", m_pty});
    p.closeWriteChannel();
    QByteArray out;
    QTRY_VERIFY_WITH_TIMEOUT((out += p.readAllStandardOutput()).contains(during) ||
                                 p.state() == QProcess::NotRunning,
                             30000);
    ::kill(static_cast<pid_t>(p.processId()), signal);
    QVERIFY(p.waitForFinished(60000));
    out += p.readAllStandardOutput();
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QVERIFY2(p.exitCode() == code, out.constData());
    QVERIFY(!out.contains("SerNr : 4711"));
    QVERIFY(!out.contains("dauerhaft speichern: geschrieben"));
    const QString dump = control(QStringLiteral("dump"));
    QCOMPARE(dumpValue(dump, QStringLiteral("parameterform")), QStringLiteral("decimal"));
    QCOMPARE(run({"info", "--device", m_pty}).code, 0);
}

QTEST_GUILESS_MAIN(TstQmTestCli)
#include "tst_qmtest_cli.moc"
