// Every terminal read of the settings cores against the virtual terminal on a pseudo-terminal
// line. A read the terminal does not answer (silent from the start, or falling silent in the
// middle) reports failure and leaves what the user has exactly as it was: the caller's values,
// the terminal object and the project's tables. An answered read changes them, so the
// comparison sees a change where there is one.
#include "../projects/ProjectTestHome.h"

#include "config/FesttextTable.h"
#include "config/FesttexteCore.h"
#include "config/KeyboardSettings.h"
#include "config/TerminalSettingsCore.h"
#include "link/ComPort.h"
#include "link/FesttextLayout.h"
#include "link/clsVX.h"
#include "platform/Globals.h"
#include "platform/ScriptedUserInterface.h"
#include "project/DataEnvironment.h"
#include "project/clsProjekt.h"
#include "sim/VxPtyTransport.h"
#include "sim/VxTerminal.h"

using namespace vemro;

namespace {

// Bytes of the EEPROM query for one cell in the decimal form: ESC "?E" high "," low ";".
int cellQueryBytes(int address)
{
    return 5 + static_cast<int>(QByteArray::number((address >> 8) & 0xFF).size() +
                                QByteArray::number(address & 0xFF).size());
}

// The terminal on a pty, the PC's port opened on its slave side, a project on disk.
struct Rig
{
    VxTerminal term;
    VxPtyTransport pty{&term};
    ComPort port;
    clsVX vx;
    ProjectTestHome home;
    DataEnvironment env;
    TerminalSettingsData d;
    KeyCodeTable codes;

    bool open()
    {
        QString error;
        if (!pty.open(&error)) {
            qWarning() << error;
            return false;
        }
        QObject::connect(&term, &VxTerminal::transmit, &pty, &VxPtyTransport::send);
        port.setDeviceOverride(1, pty.slavePath());
        port.setCommPort(1);
        if (!port.setSettings(QStringLiteral("19200,n,8,1")) || !port.open())
            return false;
        vx.setCtlcom(&port);
        if (!home.makeProject(QStringLiteral("Anlage1")))
            return false;
        clsProjekt projekt(env);
        if (!projekt.connectFile(home.projects() + QStringLiteral("Anlage1.mdb"), &error)) {
            qWarning() << error;
            return false;
        }
        return true;
    }

    // What the user has before the read, each value other than the terminal's.
    bool prepare()
    {
        // Fixed texts in the terminal, another one in the project.
        if (!vx.SaveFesttexteBlockweise(
                {{0, "null"}, {1, "eins"}, {2, "zwei"}, {3, "drei"}, {4, "vier"}}))
            return false;
        QString error;
        FesttextTable table(env);
        if (!table.clearAll(&error) ||
            !table.store(3, QStringLiteral("meins"), QStringLiteral("meins"), &error)) {
            qWarning() << error;
            return false;
        }
        KeyCodeTable mine = KeyboardSettings::standardTable();
        mine[4].Tastencode = QStringLiteral("#15");
        if (!KeyboardSettings(vx, env).storeCodesToProject(mine, &error))
            return false;
        codes = mine;

        d.ParameterMode = 1;
        d.SendMode = 4;
        d.Tastaturenabled = false;
        d.IOPortsEnabled = false;
        d.Einschaltmeldung = true;
        d.Festtextmode = true;
        d.FesttextPort = 5;
        d.Cols = 40;
        d.Rows = 1;
        d.Backlight = 1;
        d.Kontrast = 9;
        d.Version = QStringLiteral("1.0");
        d.SerNr = QStringLiteral("000815");
        // The terminal object holds values of its own.
        TerminalSettingsData object = d;
        object.SendMode = 2;
        object.FesttextPort = 3;
        object.Cols = 16;
        object.Rows = 2;
        object.Backlight = 0;
        object.Kontrast = 3;
        TerminalSettingsCore(vx, env).takeIntoTerminalObject(object);
        vx.SerNr = d.SerNr;
        clsVXKeyboard& k = *vx.Keyboard();
        k.MinPress = 9;
        k.TimeUntilRepeat = 8;
        k.TimeBetweenRepeat = 7;
        k.setFlags(1 + 4);
        k.ShiftKey = 2;
        return true;
    }

    // Everything a read may touch, one line each, so that a difference names its field.
    QStringList state()
    {
        const clsVXKeyboard& k = *vx.Keyboard();
        QStringList s{
            QStringLiteral("d: mode %1 send %2 kb %3 io %4 on %5 ft %6 port %7")
                .arg(d.ParameterMode)
                .arg(d.SendMode)
                .arg(d.Tastaturenabled)
                .arg(d.IOPortsEnabled)
                .arg(d.Einschaltmeldung)
                .arg(d.Festtextmode)
                .arg(d.FesttextPort),
            QStringLiteral("d: %1x%2 light %3 contrast %4 version %5 sernr %6")
                .arg(d.Cols)
                .arg(d.Rows)
                .arg(d.Backlight)
                .arg(d.Kontrast)
                .arg(d.Version, d.SerNr),
            QStringLiteral("vx: mode %1 send %2 kb %3 io %4 on %5 ft %6 port %7")
                .arg(vx.ParameterMode)
                .arg(vx.SendMode)
                .arg(k.enabled)
                .arg(vx.IOPortsEnabled)
                .arg(vx.Einschaltmeldung)
                .arg(vx.Festtextmode)
                .arg(vx.FesttextPort),
            QStringLiteral("vx: %1x%2 light %3 contrast %4 sernr %5")
                .arg(vx.Cols)
                .arg(vx.Rows)
                .arg(vx.Backlight)
                .arg(vx.Kontrast)
                .arg(vx.SerNr),
            QStringLiteral("keyboard: %1/%2/%3 flags %4 shift %5")
                .arg(k.MinPress)
                .arg(k.TimeUntilRepeat)
                .arg(k.TimeBetweenRepeat)
                .arg(k.flags())
                .arg(k.ShiftKey),
        };
        for (const KeyCodeRow& r : codes)
            s << QStringLiteral("codes: %1 %2 %3")
                     .arg(r.TastenNr)
                     .arg(r.Tastencode, r.Tastencode_Shift);
        KeyCodeTable stored;
        if (!KeyboardSettings(vx, env).loadCodesFromProject(stored))
            s << QStringLiteral("project codes unreadable");
        for (const KeyCodeRow& r : stored)
            s << QStringLiteral("project codes: %1 %2 %3")
                     .arg(r.TastenNr)
                     .arg(r.Tastencode, r.Tastencode_Shift);
        QList<FesttextTable::Entry> texts;
        if (!FesttextTable(env).entries(texts, nullptr))
            s << QStringLiteral("project texts unreadable");
        for (const FesttextTable::Entry& e : texts)
            s << QStringLiteral("project text: %1 %2").arg(e.DisplayNr).arg(e.text);
        return s;
    }

    bool read(const QString& op, ScriptedUserInterface& answers, QString* error)
    {
        TerminalSettingsCore core(vx, env);
        if (op == QLatin1String("mode"))
            return core.readMode(d, error);
        if (op == QLatin1String("info"))
            return core.readInfo(d, error);
        if (op == QLatin1String("backlight"))
            return core.readBacklight(d, error);
        if (op == QLatin1String("contrast"))
            return core.readKontrast(d, error);
        if (op == QLatin1String("settings"))
            return core.readFromTerminal(d, error);
        if (op == QLatin1String("keyboard"))
            return KeyboardSettings(vx, env).readConfig(error);
        if (op == QLatin1String("codes"))
            return KeyboardSettings(vx, env).readCodes(codes, error);
        if (op == QLatin1String("codes into project"))
            return KeyboardSettings(vx, env).readCodesIntoProject(error);
        if (op == QLatin1String("fixed texts")) {
            answers.queueAnswer(UserInterface::Answer::Yes);
            return FesttexteCore(vx, env).readFromTerminal(error);
        }
        *error = QStringLiteral("unknown read ") + op;
        return false;
    }
};

} // namespace

class TstSilentReads : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void readKeepsOnFailure_data();
    void readKeepsOnFailure();

private:
    ScriptedUserInterface m_ui;
};

void TstSilentReads::init()
{
    setUi(&m_ui);
    m_ui.clear();
    globals().EscChar = QByteArray(1, '\x1b');
}

void TstSilentReads::cleanup()
{
    setUi(nullptr);
}

void TstSilentReads::readKeepsOnFailure_data()
{
    QTest::addColumn<QString>("op");
    QTest::addColumn<int>("fault");
    QTest::addColumn<int>("n"); // MuteAfter: the byte sent whose answer is the first lost
    QTest::addColumn<bool>("ok");
    const int none = static_cast<int>(VxTerminal::Fault::None);
    const int silent = static_cast<int>(VxTerminal::Fault::Silent);
    const int mute = static_cast<int>(VxTerminal::Fault::MuteAfter);
    for (const char* op : {"mode", "info", "backlight", "contrast", "settings", "keyboard", "codes",
                           "codes into project", "fixed texts"}) {
        QTest::addRow("%s, silent", op) << QString::fromLatin1(op) << silent << 0 << false;
    }
    // Queries: ESC "K?M", ESC "L?A", ESC "?V", ESC "?P0;" twice.
    QTest::newRow("info, version unanswered") << "info" << mute << 4 + 3 << false;
    QTest::newRow("settings, contrast unanswered")
        << "settings" << mute << 4 + 4 + 3 + 5 + 5 << false;
    // ESC "T?C" n ";": keys 1 to 4 answered, key 5 not.
    QTest::newRow("codes, fifth key unanswered") << "codes" << mute << 5 * 6 << false;
    QTest::newRow("codes into project, fifth key unanswered")
        << "codes into project" << mute << 5 * 6 << false;
    // The address table, texts 0 and 1 (five cells each with the terminator), then silence
    // in the middle of text 2.
    int table = 0;
    for (int i = 0; i < 2 * kFesttextCount; ++i)
        table += cellQueryBytes(kFesttextTable + i);
    int texts = 0;
    for (int a = kFesttextFirst; a < kFesttextFirst + 10; ++a)
        texts += cellQueryBytes(a);
    QTest::newRow("fixed texts, broken off in text 2")
        << "fixed texts" << mute << table + texts + 10 << false;
    // Answered: the same comparison sees the change.
    for (const char* op : {"mode", "info", "settings", "keyboard", "fixed texts"})
        QTest::addRow("%s, answered", op) << QString::fromLatin1(op) << none << 0 << true;
}

void TstSilentReads::readKeepsOnFailure()
{
    QFETCH(QString, op);
    QFETCH(int, fault);
    QFETCH(int, n);
    QFETCH(bool, ok);
    Rig rig;
    QVERIFY(rig.open());
    QVERIFY2(rig.prepare(), qPrintable(m_ui.texts().join('|')));
    m_ui.clear();
    const QStringList before = rig.state();
    rig.term.setFault(static_cast<VxTerminal::Fault>(fault), n);
    QString error;
    QCOMPARE(rig.read(op, m_ui, &error), ok);
    const QStringList after = rig.state();
    if (ok) {
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QVERIFY(after != before);
        return;
    }
    QVERIFY(!error.isEmpty());
    for (qsizetype i = 0; i < qMax(before.size(), after.size()); ++i)
        QCOMPARE(after.value(i), before.value(i));
}

QTEST_GUILESS_MAIN(TstSilentReads)
#include "tst_silentreads.moc"
