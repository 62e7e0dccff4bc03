// End to end against vxsim: a real pseudo-terminal line with the terminal's speed check, and
// its network module over UDP loopback.
#include "PtyPeer.h"
#include "tests/common/TrafficLog.h"

#include "editors/ConsoleFrame.h"
#include "link/ComPort.h"
#include "link/PortProbe.h"
#include "link/TerminalSearch.h"
#include "link/clsVX.h"
#include "netmodule/clsNetModul.h"
#include "platform/Codepage.h"
#include "platform/ScriptedUserInterface.h"
#include "platform/clsInfo.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace vemro;
using namespace vemro::test;

namespace {

const QString kVxsim = QStringLiteral(VXSIM_PATH);

bool startSim(QProcess& sim, const QStringList& args)
{
    sim.setProgram(kVxsim);
    sim.setArguments(args);
    sim.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    sim.start();
    return sim.waitForStarted(5000);
}

void stopSim(QProcess& sim)
{
    if (sim.state() != QProcess::NotRunning) {
        sim.terminate();
        if (!sim.waitForFinished(3000)) {
            sim.kill();
            sim.waitForFinished(3000);
        }
    }
}

} // namespace

class tst_LinkVxsim : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QProcess m_sim;
    QString m_line;
    QString m_log;
    ScriptedUserInterface m_ui;
    ComPort m_port;
    clsVX m_vx;

    // The mode flag byte with or without the decimal form, sent and read back.
    void useForm(int parameterMode)
    {
        m_vx.GetMode();
        m_vx.ParameterMode = parameterMode;
        m_vx.SendMode = 2;
        m_vx.SetMode();
        m_vx.ParameterMode = parameterMode;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_line = m_dir.filePath(QStringLiteral("vx"));
        m_log = m_dir.filePath(QStringLiteral("verkehr.log"));
        QVERIFY(startSim(m_sim, {QStringLiteral("--pty-link"), m_line, QStringLiteral("--speed"),
                                 QStringLiteral("19200"), QStringLiteral("--log"), m_log}));
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(m_line), 10000);
        setUi(&m_ui);
        m_vx.setCtlcom(&m_port);
    }
    void cleanupTestCase()
    {
        m_port.close();
        stopSim(m_sim);
        setUi(nullptr);
    }

    // Port 2 is the terminal, 1 and 4 are missing, 3 is held by another program.
    void portList()
    {
        PtyPeer busy;
        SerialTransport holder;
        QCOMPARE(holder.open(busy.slavePath(), SerialSettings{}), SerialOpenError::None);
        m_port.setDeviceOverride(1, m_dir.filePath(QStringLiteral("missing1")));
        m_port.setDeviceOverride(2, m_line);
        m_port.setDeviceOverride(3, busy.slavePath());
        for (int n = 4; n <= 8; ++n)
            m_port.setDeviceOverride(n, m_dir.filePath(QStringLiteral("missing%1").arg(n)));
        const QStringList ports = FillComCombos(m_port).ports;
        QCOMPARE(ports.mid(0, 5),
                 (QStringList{"keine", "Com 1 (nicht vorhanden)", "Com 2", "Com 3 (bereits belegt)",
                              "Com 4 (nicht vorhanden)"}));
        m_port.setDeviceOverride(3, m_dir.filePath(QStringLiteral("missing3")));
    }

    // The search tries 9600 first, which the terminal at 19200 does not understand.
    void search()
    {
        QList<TerminalSearch::Row> rows;
        connect(&m_vx, &clsVX::searchStarted, this, [&rows](TerminalSearch* search) {
            connect(search, &TerminalSearch::rowChanged, search,
                    [&rows, search](int) { rows = search->rows(); });
        });
        QVERIFY(m_vx.Suchen());
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows.at(0).result, QStringLiteral(" (nicht vorhanden)"));
        QCOMPARE(rows.at(1).port, QStringLiteral("Com 2"));
        QCOMPARE(rows.at(1).result, QStringLiteral("nichts gefunden bei 9600,n,8,1"));
        QCOMPARE(rows.at(2).result, QStringLiteral("Terminal gefunden bei 19200,n,8,1"));
        QVERIFY(m_port.isOpen());
        QCOMPARE(m_port.CommPort(), 2);
        QCOMPARE(m_port.Settings(), QStringLiteral("19200,n,8,1"));
        QCOMPARE(m_vx.Version(), QStringLiteral("2.7"));
        QCOMPARE(m_vx.SerNr, QStringLiteral("004711"));
        QVERIFY(m_ui.texts().isEmpty());
    }

    void commands_data()
    {
        QTest::addColumn<int>("parameterMode");
        QTest::newRow("decimal") << 1;
        QTest::newRow("byte") << 0;
    }
    void commands()
    {
        QFETCH(int, parameterMode);
        QVERIFY(m_port.isOpen());
        useForm(parameterMode);
        m_vx.Keyboard()->enabled = true;
        m_vx.IOPortsEnabled = true;
        m_vx.Festtextmode = false;
        m_vx.Einschaltmeldung = true;
        const int flags = m_vx.modeFlags();
        m_vx.SetMode();
        m_vx.GetMode();
        QCOMPARE(m_vx.modeFlags(), flags);
        QCOMPARE(m_vx.ParameterMode, parameterMode);

        m_vx.Rows = 2;
        m_vx.Cols = 16;
        m_vx.SetDisplaySize();
        m_vx.Rows = 0;
        m_vx.Cols = 0;
        m_vx.GetDisplaySize();
        QCOMPARE(m_vx.Rows, qint16(2));
        QCOMPARE(m_vx.Cols, qint16(16));
        m_vx.Rows = 4;
        m_vx.Cols = 20;
        m_vx.SetDisplaySize();

        m_vx.SetDisplayBacklight(1);
        m_vx.SetDisplayKontrast(9);
        QCOMPARE(m_vx.GetIOPort(0) & 0x0F, 9); // contrast lives in port 0

        m_vx.SetIOPort(2, 170 + parameterMode);
        QCOMPARE(m_vx.GetIOPort(2), 170 + parameterMode);

        const qint16 analog = m_vx.Analog();
        QVERIFY(analog >= 0 && analog <= 1023);

        QVERIFY(m_vx.SetextEEZelle(1000, 65 + parameterMode));
        QCOMPARE(m_vx.lastError(), LinkError::None);
        QCOMPARE(m_vx.GetextEEZelle(1000), 65 + parameterMode);
        QCOMPARE(m_vx.CheckEEProm(), 4096);

        m_vx.SerNr = QStringLiteral("12") + QString::number(parameterMode);
        m_vx.SetSerNr();
        QCOMPARE(m_vx.SerNr, QStringLiteral("00012") + QString::number(parameterMode));
        // The version reply is text in both forms, and read as text in both.
        QCOMPARE(m_vx.Version(), QStringLiteral("2.7"));
        QCOMPARE(m_vx.ParameterMode, parameterMode);
        useForm(1);
        QCOMPARE(m_vx.Version(), QStringLiteral("2.7"));
        QCOMPARE(m_vx.SerNr, QStringLiteral("00012") + QString::number(parameterMode));
        useForm(parameterMode);

        // The stored port goes as its amount; fixed text 128 does not exist: nothing is sent.
        const qint64 mark = SettledLogSize(m_log);
        m_vx.FesttextPort = -3;
        m_vx.SetFesttextPort(-1);
        m_vx.ShowFesttext(0);
        m_vx.ShowFesttext(128);
        (void)SettledLogSize(m_log);
        const QByteArray fp = parameterMode ? QByteArray("3;") : QByteArray(1, '\x03');
        QCOMPARE(TrafficSince(m_log, mark).toTerminal, QByteArray("\x1b"
                                                                  "FP") +
                                                           fp +
                                                           QByteArray("\x1b"
                                                                      "FZ0;"));
        m_vx.SaveKonfig();
        QCOMPARE(m_vx.lastError(), LinkError::None);

        m_vx.Reset();
        useForm(1);
        QCOMPARE(m_vx.Version(), QStringLiteral("2.7"));
        QVERIFY(m_ui.texts().isEmpty());
    }

    // After "SG" and the reset the terminal listens at the new speed; the PC follows.
    void speedChange()
    {
        useForm(1);
        m_vx.SetCom(QStringLiteral("38400"));
        // A client that skips the reset still talks at the old speed.
        QCOMPARE(m_vx.Version(), QStringLiteral("2.7"));
        m_vx.Reset();
        QCOMPARE(m_vx.Version(), QStringLiteral("unbekannt"));
        m_port.close();
        QVERIFY(m_port.setSettings(SpeedSettings(2)));
        QVERIFY(m_port.open());
        QCOMPARE(m_vx.Version(), QStringLiteral("2.7"));
        m_vx.SetCom(QStringLiteral("19200"));
        m_vx.Reset();
        m_port.close();
        QVERIFY(m_port.setSettings(SpeedSettings(1)));
        QVERIFY(m_port.open());
        QCOMPARE(m_vx.Version(), QStringLiteral("2.7"));
    }

    void console()
    {
        ConsoleFrame frame(&m_vx);
        QTest::mouseClick(frame.cmdSenden(), Qt::LeftButton);
        QVERIFY(frame.txtTerminalAntwort()->text().startsWith(QStringLiteral("V:2.7,0001")));
        frame.txtBefehl()->setText(QStringLiteral("<ESC>E3,232,65;"));
        QTest::mouseClick(frame.cmdSenden(), Qt::LeftButton);
        QCOMPARE(frame.txtTerminalAntwort()->text(), QStringLiteral("\x06 dez 6, hex : 6"));
        frame.txtBefehl()->setText(QStringLiteral("<ESC>LL"));
        QTest::mouseClick(frame.cmdSenden(), Qt::LeftButton);
        QCOMPARE(frame.txtTerminalAntwort()->text(), QString());
    }

    // The terminal vanishes in the middle of an exchange: one clear failure, the port closed.
    void terminalVanishes()
    {
        QVERIFY(m_port.isOpen());
        QSignalSpy failures(&m_vx, &clsVX::linkFailed);
        m_vx.tmrTimeout()->setInterval(5000);
        QTimer::singleShot(100, this, [this] { m_sim.kill(); });
        QByteArray command("<ESC>LL"); // the terminal does not confirm it
        QVERIFY(m_vx.Send(command, true));
        QVERIFY(!command.isEmpty()); // the port's error, not a plain time-out
        QCOMPARE(m_vx.lastError(), LinkError::LinkBroken);
        QCOMPARE(failures.size(), 1);
        QVERIFY(!m_port.isOpen());
        QTest::qWait(300);
        QCOMPARE(failures.size(), 1);
        command = "<ESC>?V";
        QVERIFY(m_vx.Send(command, false));
        QCOMPARE(m_vx.lastError(), LinkError::LinkBroken);
        QCOMPARE(m_vx.Version(), QStringLiteral("unbekannt"));
        QCOMPARE(m_vx.lastError(), LinkError::LinkBroken);
        m_sim.waitForFinished(3000);
    }

    // The same terminal through its network module (ComMode 20).
    void network_data() { commands_data(); }
    void network()
    {
        QFETCH(int, parameterMode);
        QProcess sim;
        QVERIFY(startSim(sim, {QStringLiteral("--no-pty"), QStringLiteral("--udp"),
                               QStringLiteral("127.0.0.91")}));
        clsNetModul net;
        net.setLocalAddress(QHostAddress(QStringLiteral("127.0.0.90")));
        net.ClientIP = QStringLiteral("127.0.0.91");
        clsVX vx;
        vx.setCtlNetModul(&net);
        vx.setTmrTimeout(net.tmrTimeout());
        vx.ComMode = ComMode::Network;
        QByteArray said;
        QTRY_VERIFY_WITH_TIMEOUT((said += sim.readAllStandardOutput()).contains("Datenport"),
                                 10000);
        QCOMPARE(vx.Version(), QStringLiteral("2.7"));
        vx.ParameterMode = parameterMode;
        vx.SendMode = 2;
        vx.SetMode();
        vx.GetMode();
        QCOMPARE(vx.ParameterMode, parameterMode);
        QVERIFY(vx.SetextEEZelle(300, 7));
        QCOMPARE(vx.GetextEEZelle(300), 7);
        vx.SetIOPort(3, 99);
        QCOMPARE(vx.GetIOPort(3), 99);
        QCOMPARE(vx.CheckEEProm(), 4096);
        QVERIFY(vx.Analog() >= 0);
        vx.SaveKonfig();
        QCOMPARE(vx.lastError(), LinkError::None);
        stopSim(sim);
    }
};

QTEST_MAIN(tst_LinkVxsim)
#include "tst_link_vxsim.moc"
