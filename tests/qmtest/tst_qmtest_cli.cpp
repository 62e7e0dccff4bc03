// vemro-cli's production test against vxsim on a real pty with its test plugs: the list,
// runs that pass and fail, answers, serial number, log file and report.
#include "../projects/ProjectTestHome.h"
#include "../projects/SimProcess.h"
#include "tests/common/CliRun.h"

#include <QLocalSocket>
#include <QTemporaryDir>
#include <QtTest>

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

private:
    CliResult run(const QStringList& args) const
    {
        return vemro::test::RunCli(QStringLiteral(VEMRO_CLI), m_home->path(), args);
    }
    QString control(const QString& command);
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
    QVERIFY(pdf.readAll().contains("(Port-Fehler, Soll : h55, Ist : 54) Tj"));
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

QTEST_GUILESS_MAIN(TstQmTestCli)
#include "tst_qmtest_cli.moc"
