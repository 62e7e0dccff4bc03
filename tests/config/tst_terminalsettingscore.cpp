// The terminal settings core without a window: against a fake terminal on the serial port
// and a project file on disk.
#include "../pages/FakeTerminal.h"
#include "../projects/ProjectTestHome.h"

#include "config/TerminalSettingsCore.h"
#include "link/ComPort.h"
#include "link/clsVX.h"
#include "platform/Globals.h"
#include "platform/ScriptedUserInterface.h"
#include "project/DataEnvironment.h"
#include "project/clsProjekt.h"

using namespace vemro;

class TstTerminalSettingsCore : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void readFromTerminal();
    void silentTerminal();
    void writeToTerminal_data();
    void writeToTerminal();
    void projectRoundTrip();
    void openingTakesTheProject();
    void keepConfiguration_data();
    void keepConfiguration();

private:
    std::unique_ptr<ProjectTestHome> m_home;
    std::unique_ptr<DataEnvironment> m_env;
    ScriptedUserInterface m_ui;
    std::unique_ptr<FakeTerminal> m_fake;
    ComPort m_port;
    clsVX m_vx;
};

void TstTerminalSettingsCore::init()
{
    m_home = std::make_unique<ProjectTestHome>();
    m_env = std::make_unique<DataEnvironment>();
    setUi(&m_ui);
    m_ui.clear();
    globals().EscChar = QByteArray(1, '\x1b');
    m_fake = std::make_unique<FakeTerminal>();
    m_fake->attach(m_port);
    m_vx.setCtlcom(&m_port);
    m_vx.tmrTimeout()->setInterval(300);
    QVERIFY(m_port.open());
    QVERIFY(m_home->makeProject(QStringLiteral("Anlage1")));
    clsProjekt projekt(*m_env);
    QString error;
    QVERIFY2(projekt.connectFile(m_home->projects() + QStringLiteral("Anlage1.mdb"), &error),
             qPrintable(error));
}

void TstTerminalSettingsCore::cleanup()
{
    m_port.close();
    m_port.setOpener(nullptr);
    m_fake.reset();
    m_env.reset();
    setUi(nullptr);
    m_home.reset();
}

void TstTerminalSettingsCore::readFromTerminal()
{
    m_fake->flags = 1 + 16 + 64;
    m_fake->rows = 2;
    m_fake->cols = 16;
    m_fake->backlight = 0;
    m_fake->contrast = 11;
    TerminalSettingsCore core(m_vx, *m_env);
    TerminalSettingsData d;
    d.FesttextPort = 5; // only the project knows it: kept
    QString error;
    QVERIFY2(core.readFromTerminal(d, &error), qPrintable(error));
    QCOMPARE(d.ParameterMode, 1);
    QCOMPARE(d.SendMode, 0);
    QVERIFY(d.IOPortsEnabled && d.Festtextmode && !d.Tastaturenabled && !d.Einschaltmeldung);
    QCOMPARE(d.Cols, 16);
    QCOMPARE(d.Rows, 2);
    QCOMPARE(d.Backlight, 0);
    QCOMPARE(d.Kontrast, 11);
    QCOMPARE(d.Version, QStringLiteral("2.30"));
    QCOMPARE(d.SerNr, QStringLiteral("004711"));
    QCOMPARE(d.FesttextPort, 5);
    // The dispatch order of page "Konfiguration".
    QCOMPARE(m_fake->commands, (QList<QByteArray>{"K?M", "L?A", "?V", "?P0;", "?P0;"}));
}

// Nothing answers: every read says so and the first failure is named.
void TstTerminalSettingsCore::silentTerminal()
{
    m_port.close();
    m_port.setOpener([](int, const SerialSettings&, SerialOpenError&, QString&) {
        return std::unique_ptr<Transport>(new MemoryTransport);
    });
    QVERIFY(m_port.open());
    TerminalSettingsCore core(m_vx, *m_env);
    TerminalSettingsData d;
    QString error;
    QVERIFY(!core.readFromTerminal(d, &error));
    QCOMPARE(error, QStringLiteral("Terminal antwortet nicht (Modus)"));
    QVERIFY(!core.readKontrast(d, &error));
    QCOMPARE(error, QStringLiteral("Terminal antwortet nicht (Port 0)"));
}

void TstTerminalSettingsCore::writeToTerminal_data()
{
    QTest::addColumn<int>("backlight");
    QTest::addColumn<QList<QByteArray>>("mute");
    QTest::addColumn<bool>("taken");
    QTest::addColumn<QList<QByteArray>>("sent");
    const QByteArray mode = QByteArray("KM") + char(1 + 2 + 32);
    // A project value above 1 means on and is sent as 1.
    QTest::newRow("lit") << 7 << QList<QByteArray>{} << true
                         << QList<QByteArray>{mode,      "FP3;", "K?M",
                                              "LA2,16;", "LB1;", QByteArray("LK") + char(6)};
    QTest::newRow("dark") << 0 << QList<QByteArray>{} << true
                          << QList<QByteArray>{mode,      "FP3;", "K?M",
                                               "LA2,16;", "LB0;", QByteArray("LK") + char(6)};
    // The terminal keeps its old mode: the read-back tells, the rest still goes out.
    QTest::newRow("mode refused") << 1 << QList<QByteArray>{"KM"} << false
                                  << QList<QByteArray>{mode,   "FP3;",
                                                       "K?M",  "LA2,16;",
                                                       "LB1;", QByteArray("LK") + char(6)};
}

void TstTerminalSettingsCore::writeToTerminal()
{
    QFETCH(int, backlight);
    QFETCH(QList<QByteArray>, mute);
    QFETCH(bool, taken);
    QFETCH(QList<QByteArray>, sent);
    m_fake->mute = mute;
    TerminalSettingsCore core(m_vx, *m_env);
    TerminalSettingsData d;
    d.ParameterMode = 1;
    d.SendMode = 2;
    d.Einschaltmeldung = true;
    d.FesttextPort = 3;
    d.Rows = 2;
    d.Cols = 16;
    d.Backlight = backlight;
    d.Kontrast = 6;
    QString error;
    QCOMPARE(core.writeToTerminal(d, &error), taken);
    QCOMPARE(error,
             taken ? QString() : QStringLiteral("Terminal hat die Einstellungen nicht übernommen"));
    QTRY_COMPARE(m_fake->commands, sent);
    QCOMPARE(m_fake->rows, 2);
    QCOMPARE(m_fake->contrast, 6);
    // The terminal object carries what was sent.
    const TerminalSettingsData now = core.terminalObject();
    QCOMPARE(now.FesttextPort, 3);
    QCOMPARE(now.Cols, 16);
    QCOMPARE(now.Backlight, backlight > 0 ? 1 : 0);
    QCOMPARE(now.Kontrast, 6);
}

void TstTerminalSettingsCore::projectRoundTrip()
{
    TerminalSettingsCore core(m_vx, *m_env);
    TerminalSettingsData d;
    d.ParameterMode = 0;
    d.SendMode = 4;
    d.Tastaturenabled = false;
    d.IOPortsEnabled = true;
    d.Einschaltmeldung = true;
    d.Festtextmode = true;
    d.FesttextPort = 9;
    d.Users485 = true;
    d.Cols = 40;
    d.Rows = 2;
    d.Backlight = 0;
    d.Kontrast = 13;
    QString error;
    QVERIFY2(core.saveToProject(d, &error), qPrintable(error));
    m_env->close(DataEnvironment::kProjekt); // read back from the file
    clsProjekt projekt(*m_env);
    QVERIFY(projekt.connectFile(m_home->projects() + QStringLiteral("Anlage1.mdb"), &error));
    TerminalSettingsData back;
    QVERIFY(core.loadFromProject(back, &error));
    QCOMPARE(back.ParameterMode, 0);
    QCOMPARE(back.SendMode, 4);
    QVERIFY(!back.Tastaturenabled && back.IOPortsEnabled && back.Einschaltmeldung &&
            back.Festtextmode && back.Users485);
    QCOMPARE(back.FesttextPort, 9);
    QCOMPARE(back.Cols, 40);
    QCOMPARE(back.Rows, 2);
    QCOMPARE(back.Backlight, 0);
    QCOMPARE(back.Kontrast, 13);
    QVERIFY(m_fake->commands.isEmpty()); // the project side never talks to the terminal
}

// Opening a project copies the mode, port, size, backlight and contrast into clsVX; a Null
// fixed-text port becomes 0.
void TstTerminalSettingsCore::openingTakesTheProject()
{
    QVERIFY(ProjectTestHome::exec(
        m_home->projects() + QStringLiteral("Anlage1.mdb"),
        {QStringLiteral("UPDATE Terminaleinstellungen SET FesttextPort = NULL, Kontrast = 4, "
                        "Display_Spalten = 16, Display_Zeilen = 1, ParameterMode = 0")}));
    m_vx.FesttextPort = 7;
    TerminalSettingsCore core(m_vx, *m_env);
    TerminalSettingsData d;
    QVERIFY(core.loadFromProject(d));
    core.takeIntoTerminalObject(d);
    QCOMPARE(m_vx.FesttextPort, qint16(0));
    QCOMPARE(m_vx.Kontrast, qint16(4));
    QCOMPARE(m_vx.Cols, qint16(16));
    QCOMPARE(m_vx.Rows, qint16(1));
    QCOMPARE(m_vx.ParameterMode, 0);
}

void TstTerminalSettingsCore::keepConfiguration_data()
{
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("error");
    QTest::newRow("ACK") << QByteArray("\x06") << true << QString();
    QTest::newRow("NAK") << QByteArray("\x15") << false
                         << "Das Terminal hat das dauerhafte Speichern abgelehnt (NAK)";
    QTest::newRow("silence") << QByteArray() << false
                             << "Das Terminal hat das dauerhafte Speichern nicht bestätigt: "
                                "keine Antwort vom Terminal (Zeitüberschreitung)";
}

void TstTerminalSettingsCore::keepConfiguration()
{
    QFETCH(QByteArray, answer);
    QFETCH(bool, ok);
    QFETCH(QString, error);
    m_fake->saveAnswer = answer;
    TerminalSettingsCore core(m_vx, *m_env);
    QString text;
    QCOMPARE(core.keepConfiguration(&text), ok);
    QCOMPARE(text, error);
    QCOMPARE(m_fake->saves, 1);
}

QTEST_GUILESS_MAIN(TstTerminalSettingsCore)
#include "tst_terminalsettingscore.moc"
