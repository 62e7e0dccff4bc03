// Keyboard, key codes, user characters and demos end to end: the PC side over an in-memory
// line to the virtual terminal, the project in an SQLite file on disk.
#include "../link/LinkFixture.h"
#include "../projects/ProjectTestHome.h"

#include "config/DisplayDemo.h"
#include "config/KeyboardSettings.h"
#include "config/UserCharacters.h"
#include "platform/Codepage.h"
#include "platform/Globals.h"
#include "platform/ProgressIndicator.h"
#include "project/DataEnvironment.h"
#include "sim/VxTerminal.h"

#include <QTest>

using namespace vemro;
using namespace vemro::test;

namespace {

const QByteArray E(1, '\x1b');

struct SimLink
{
    MemoryLink link;
    VxTerminal terminal;
    NullProgress progress;

    SimLink()
    {
        link.attach(&terminal, &VxTerminal::receive, &VxTerminal::transmit);
        link.vx.setCtlFortschritt(&progress);
        link.vx.ParameterMode = terminal.decimalForm() ? 1 : 0;
    }
    void send(const QByteArray& text)
    {
        globals().CommandBuffer = text;
        link.vx.Send(globals().CommandBuffer, false, true);
    }
};

} // namespace

class tst_KeyboardSim : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<ProjectTestHome> m_home;
    QString m_file;

    KeyCodeTable projectTable()
    {
        KeyCodeTable t;
        clsVX vx;
        if (!KeyboardSettings(vx, DataEnvironment::instance()).loadCodesFromProject(t))
            qWarning("table not loaded");
        return t;
    }

private slots:
    void init()
    {
        globals().CommandBuffer.clear();
        m_home = std::make_unique<ProjectTestHome>();
        QVERIFY(m_home->makeProject(QStringLiteral("kb")));
        m_file = m_home->projects() + QStringLiteral("kb.mdb");
        DataEnvironment& env = DataEnvironment::instance();
        env.close(DataEnvironment::kProjekt);
        env.setConnectionString(DataEnvironment::kProjekt, DataEnvironment::connectionText(m_file));
        QString error;
        QVERIFY2(env.open(DataEnvironment::kProjekt, &error), qPrintable(error));
    }
    void cleanup()
    {
        DataEnvironment::instance().close(DataEnvironment::kProjekt);
        m_home.reset();
    }

    void keyCodesWriteAndReadBack()
    {
        SimLink s;
        const KeyCodeTable original = projectTable();
        QCOMPARE(original.size(), 32);
        QString error;
        KeyboardSettings keys(s.link.vx, DataEnvironment::instance());
        QVERIFY2(keys.writeCodes(&error), qPrintable(error));
        QVERIFY(!s.progress.visible());
        QCOMPARE(int(s.terminal.keyCode(1)), int('a'));
        QCOMPARE(int(s.terminal.shiftCode(26)), int('Z'));
        QCOMPARE(int(s.terminal.keyCode(27)), 13);
        QCOMPARE(int(s.terminal.shiftCode(28)), 127);
        QCOMPARE(int(s.terminal.keyCode(31)), 128);
        QCOMPARE(int(s.terminal.shiftCode(32)), 131);

        QVERIFY(keys.storeCodesToProject(KeyboardSettings::standardTable(), &error));
        QVERIFY(keys.readCodesIntoProject(&error));
        QCOMPARE(projectTable(), original);
    }

    void silentKeyReadKeepsTable()
    {
        SimLink s;
        KeyCodeTable mine = KeyboardSettings::standardTable();
        mine[4].Tastencode = QStringLiteral("#15");
        QString error;
        KeyboardSettings keys(s.link.vx, DataEnvironment::instance());
        QVERIFY(keys.storeCodesToProject(mine, &error));
        s.terminal.setFault(VxTerminal::Fault::Silent);
        QVERIFY(!keys.readCodesIntoProject(&error));
        QCOMPARE(error, QStringLiteral("Verbindungsfehler"));
        QCOMPARE(projectTable(), mine);
        QVERIFY(!s.progress.visible());
    }

    void refusedShiftCodeIsNotSent()
    {
        SimLink s;
        KeyCodeTable t{{5, QStringLiteral("x"), QStringLiteral("#200")},
                       {6, QStringLiteral("y"), QStringLiteral("Y")}};
        QString error;
        QVERIFY(!s.link.vx.SaveTastaturcodes(t, &error));
        QVERIFY2(error.contains(QStringLiteral("Taste 5")), qPrintable(error));
        // Nothing is sent, not even the keys that could be.
        QCOMPARE(int(s.terminal.keyCode(5)), int('e'));
        QCOMPARE(int(s.terminal.keyCode(6)), int('f'));
    }

    void configWriteAndRead_data()
    {
        QTest::addColumn<int>("mode");
        QTest::newRow("decimal") << 1;
        QTest::newRow("byte") << 0;
    }
    void configWriteAndRead()
    {
        QFETCH(int, mode);
        SimLink s;
        const int flags = (s.terminal.modeFlags() & ~1) | mode;
        s.send(E + "KM" + QByteArray(1, static_cast<char>(flags)));
        s.link.vx.ParameterMode = mode;
        KeyboardConfig c;
        c.MinPress = 7;
        c.TimeUntilRepeat = 60;
        c.TimeBetweenRepeat = 12;
        c.Repeat = true;
        c.Key_Beep = true;
        c.ShiftKey = 32;
        clsVXKeyboard& k = *s.link.vx.Keyboard();
        KeyboardSettings keys(s.link.vx, DataEnvironment::instance());
        KeyboardSettings::toKeyboard(c, k);
        keys.writeConfig();
        const VxTerminal::KeyboardConfig t = s.terminal.keyboardConfig();
        QCOMPARE(t.minPress, 7);
        QCOMPARE(t.flags, 2 + 32);
        QCOMPARE(t.shiftKey, 32);
        KeyboardSettings::toKeyboard(KeyboardConfig{}, k);
        QString error;
        QVERIFY(keys.readConfig(&error));
        QCOMPARE(KeyboardSettings::fromKeyboard(k), c);

        s.terminal.setFault(VxTerminal::Fault::Silent);
        QVERIFY(!keys.readConfig(&error));
        QCOMPARE(error, QStringLiteral("Verbindungsfehler"));
        QCOMPARE(KeyboardSettings::fromKeyboard(k), c);
    }

    void configProjectRoundTrip()
    {
        clsVX vx;
        clsVXKeyboard& k = *vx.Keyboard();
        KeyboardSettings keys(vx, DataEnvironment::instance());
        QVERIFY(keys.loadConfig());
        QCOMPARE(k.MinPress, qint16(5));
        QVERIFY(k.Repeat && k.Key_LED && k.Key_Beep && !k.Polling);
        k.ShiftKey = 9;
        k.UseMatrix = true;
        QVERIFY(keys.storeConfig());
        QCOMPARE(
            ProjectTestHome::query(m_file, QStringLiteral("SELECT NrShifttaste FROM TastaturModus"))
                .toInt(),
            9);
        QCOMPARE(
            ProjectTestHome::query(m_file, QStringLiteral("SELECT UseMatrix FROM TastaturModus"))
                .toInt(),
            1);
    }

    void keyPressedOnTerminal()
    {
        SimLink s;
        s.terminal.pressKey(3);
        s.terminal.releaseKey(3);
        QCOMPARE(s.link.vx.Keyboard()->LastKeyCode(), QByteArray("c"));
        QCOMPARE(s.link.vx.Keyboard()->LastKeyCode(), QByteArray());
    }

    void userCharsAppearAfterReset()
    {
        SimLink s;
        QString error;
        QVERIFY2(UserCharacters(s.link.vx, DataEnvironment::instance()).writeToTerminal(&error),
                 qPrintable(error));
        QVERIFY(!s.progress.visible());
        QCOMPARE(s.terminal.display().userCharRows(0),
                 (std::array<uchar, 8>{10, 0, 14, 1, 15, 17, 15, 0}));
        QCOMPARE(int(s.terminal.display().swapCode(7)), 176); // "°"
        s.send(E + "LL" + StringToAnsi(QStringLiteral("Maß: 5°")));
        QCOMPARE(s.terminal.displayLine(0).left(15), QStringLiteral("Ma<003>: 5<007>"));
    }

    void nakAtTheTenthCell()
    {
        SimLink s;
        s.terminal.setFault(VxTerminal::Fault::NakEvery, 10);
        QString error;
        QVERIFY(!UserCharacters(s.link.vx, DataEnvironment::instance()).writeToTerminal(&error));
        QCOMPARE(error, QStringLiteral("Fehler beim Schreiben in EEProm"));
        QVERIFY(s.link.ui.texts().contains(error));
        QCOMPARE(int(s.terminal.eepromCell(8)), 10); // slot 1 row 0: written
        QCOMPARE(int(s.terminal.eepromCell(9)), 0);  // refused
        QCOMPARE(int(s.terminal.eepromCell(10)), 0); // never sent
        // The reset ran: the terminal loaded what reached its EEPROM.
        QCOMPARE(s.terminal.display().userCharRows(0),
                 (std::array<uchar, 8>{10, 0, 14, 1, 15, 17, 15, 0}));
        QVERIFY(!s.progress.visible());
    }

    void projectWithoutSlotRecord()
    {
        QVERIFY(ProjectTestHome::exec(
            m_file, {QStringLiteral("DELETE FROM Userzeichen WHERE CGRAMAdresse = 4")}));
        DataEnvironment::instance().recordset(QStringLiteral("cmdUserzeichen")).close();
        SimLink s;
        s.terminal.setEepromCell(32, 0x1F);
        QString error;
        UserCharSet chars;
        QVERIFY(UserCharacters(s.link.vx, DataEnvironment::instance()).loadFromProject(chars));
        QVERIFY(!chars[4].present);
        QVERIFY2(s.link.vx.SaveUserzeichen(chars, &error), qPrintable(error));
        QCOMPARE(int(s.terminal.eepromCell(32)), 0);
        QCOMPARE(int(s.terminal.eepromCell(68)), 0);
    }

    void storeSlot()
    {
        UserChar c;
        c.present = true;
        c.rows = {1, 2, 3, 4, 5, 6, 7, 40};
        c.Tauschzeichen = QStringLiteral("x");
        clsVX vx;
        UserCharacters core(vx, DataEnvironment::instance());
        QVERIFY(core.storeSlot(6, c));
        UserCharSet all;
        QVERIFY(core.loadFromProject(all));
        QCOMPARE(all[6].rows, (std::array<int, 8>{1, 2, 3, 4, 5, 6, 7, 8}));
        QCOMPARE(all[6].Tauschzeichen, QStringLiteral("x"));
        QCOMPARE(all[5].Tauschzeichen, QStringLiteral("Ö"));
    }

    void demosDriveTerminal()
    {
        SimLink s;
        DisplayDemo demo(&s.link.vx);
        s.terminal.setAnalog(95);
        demo.tick(0, 0);
        QCOMPARE(s.terminal.portOutput(0), 7);
        demo.tick(1, 10);
        QCOMPARE(s.terminal.portOutput(0), 255);
        QCOMPARE(s.terminal.portOutput(1), 3);
        s.terminal.setAnalog(260);
        demo.start(3);
        demo.tick(3, 0);
        const QString line = s.terminal.displayLine(1);
        QCOMPARE(line.left(50), QStringLiteral("<000>").repeated(10));
        QCOMPARE(s.terminal.displayLine(0).left(6), QStringLiteral("Wert :"));
        QCOMPARE(s.terminal.display().userCharRows(0),
                 (std::array<uchar, 8>{0, 16, 31, 31, 31, 16, 0, 0}));
        demo.start(2);
        demo.tick(2, 0);
        QCOMPARE(s.terminal.displayLine(1).left(8), QStringLiteral("Wichtig "));
        QCOMPARE(s.terminal.display().userCharRows(0),
                 (std::array<uchar, 8>{2, 6, 14, 30, 14, 6, 2, 1}));
    }
};

QTEST_GUILESS_MAIN(tst_KeyboardSim)
#include "tst_keyboard_sim.moc"
