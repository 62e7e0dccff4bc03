// The fixed-text transfer end to end against the virtual terminal (in process): both
// writers, the read by address table, a fresh project receiving the texts, faults.
#include "LinkFixture.h"

#include "config/FesttextTable.h"
#include "config/FesttexteCore.h"
#include "link/FesttextLayout.h"
#include "link/Notation.h"
#include "platform/Codepage.h"
#include "platform/ProgressIndicator.h"
#include "project/DataEnvironment.h"
#include "project/clsProjekt.h"
#include "sim/VxTerminal.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace vemro;
using namespace vemro::test;

namespace {

const QString kSaveFailed = QStringLiteral("Fehler beim Speichern Festtexte");
const QString kTableFailed = QStringLiteral("Fehler beim Speichern im EE-Prom des Terminals");
const QString kModeUnread = QStringLiteral(
    "Das Terminal hat seinen Betriebsmodus nicht gemeldet: die Festtexte wurden nicht "
    "übertragen, der Modus des Terminals bleibt, wie er ist.");

// 128 texts with embedded commands, line breaks and an umlaut: about 3.5 KB.
FesttextRows fullSet()
{
    FesttextRows rows;
    for (int n = 0; n < kFesttextCount; ++n) {
        QByteArray text = "{<ESC>LL}Text " + QByteArray::number(n) + " \xe4\r\n{<ESC>LC2,1;}#";
        text += QByteArray(n % 5, 'x');
        rows.append(FesttextRow{n, text});
    }
    return rows;
}

// What the project holds after a text went into the terminal and came back.
QString afterTransfer(const QByteArray& text, bool block)
{
    return AnsiToString(FesttextFromBytes(FesttextToBytes(text, block)));
}

struct Rig
{
    MemoryLink link;
    VxTerminal term;
    NullProgress progress;
    QTemporaryDir dir;
    DataEnvironment env;
    clsProjekt projekt{env};

    explicit Rig(const QString& firmware = QStringLiteral("2.7"))
        : term(VxTerminal::Options{4096, 4, 20, firmware, QStringLiteral("004711"), 1, 2000, 32768})
    {
        link.attach(&term, &VxTerminal::receive, &VxTerminal::transmit);
        link.vx.setCtlFortschritt(&progress);
    }

    // A fresh project from the standard template.
    bool freshProject(const QString& name)
    {
        const QString file = dir.filePath(name + QStringLiteral(".mdb"));
        const QString tmpl =
            qEnvironmentVariable("VEMRO_PROGRAM_DIR") + QStringLiteral("/Hardware/vx_standard.mdb");
        QString error;
        env.close(DataEnvironment::kProjekt);
        if (!QFile::copy(tmpl, file) || !projekt.connectFile(file, &error)) {
            qWarning() << "project" << file << error;
            return false;
        }
        return true;
    }

    QList<FesttextTable::Entry> entries()
    {
        QList<FesttextTable::Entry> list;
        QString error;
        if (!FesttextTable(env).entries(list, &error))
            qWarning() << error;
        return list;
    }
};

} // namespace

class TstFesttexteVxsim : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void roundTrip_data();
    void roundTrip();
    void gapsKeepTheirNumbers();
    void oldLayoutFallsBack();
    void versionChoosesWriter_data();
    void versionChoosesWriter();
    void memorySize_data();
    void memorySize();
    void modeUnanswered_data();
    void modeUnanswered();
    void corruptMemory();
    void outsideCodePage();
    void faults_data();
    void faults();
    void showOnTerminal();
};

void TstFesttexteVxsim::roundTrip_data()
{
    QTest::addColumn<bool>("block");
    QTest::newRow("byte writer") << false;
    QTest::newRow("block writer") << true;
}

void TstFesttexteVxsim::roundTrip()
{
    QFETCH(bool, block);
    Rig rig;
    const FesttextRows rows = fullSet();
    // The user's configuration (switch-on message on) differs from the terminal's mode: the
    // transfer keeps the terminal's and does not take it into the terminal object.
    rig.link.vx.Einschaltmeldung = true;
    const int terminalMode = rig.term.modeFlags();
    std::optional<LinkError> outcome;
    connect(&rig.link.vx, &clsVX::exchangeFinished, this,
            [&outcome](LinkError code) { outcome = code; });
    const bool written = block ? rig.link.vx.SaveFesttexteBlockweise(rows)
                               : rig.link.vx.SaveFesttexteByteweise(rows);
    QVERIFY2(written, qPrintable(rig.link.ui.texts().join('|')));
    QCOMPARE(rig.term.modeFlags(), terminalMode);
    QVERIFY(rig.link.vx.Einschaltmeldung);
    // The status bar's last outcome is the transfer's: answered, not "unerwartete Antwort".
    QCOMPARE(outcome, LinkError::None);
    QVERIFY(!rig.progress.visible());
    // One step per table entry and text byte, or per block.
    FesttextLayout layout;
    QVERIFY(LayoutFesttexte(rows, block, layout, nullptr));
    const int steps = block ? static_cast<int>(FesttextBlockImage(layout).size() / 8)
                            : kFesttextCount + layout.textBytes;
    QCOMPARE(rig.progress.value(), 1 + steps);
    QVERIFY(rig.term.decimalForm());
    QCOMPARE(rig.link.vx.ParameterMode, 1);

    QVERIFY(rig.freshProject(QStringLiteral("fresh")));
    QList<int> shown;
    connect(&rig.link.vx, &clsVX::festtextGelesen, this, [&](int n) { shown << n; });
    rig.link.ui.queueAnswer(UserInterface::Answer::Yes);
    QVERIFY(FesttexteCore(rig.link.vx, rig.env).readFromTerminal());
    QVERIFY(!rig.progress.visible());
    QCOMPARE(shown.size(), kFesttextCount);
    const QList<FesttextTable::Entry> back = rig.entries();
    QCOMPARE(back.size(), kFesttextCount);
    for (int n = 0; n < kFesttextCount; ++n) {
        QCOMPARE(back.at(n).DisplayNr, n);
        QCOMPARE(back.at(n).text, afterTransfer(rows.at(n).text, block));
    }
    QCOMPARE(rig.link.ui.texts(),
             QStringList{QStringLiteral("Achtung, alle bisherigen Festtexte werden überschrieben. "
                                        "Forfahren ?")});
}

void TstFesttexteVxsim::gapsKeepTheirNumbers()
{
    Rig rig;
    // 0, 1 and 5 with an empty text at 1: each comes back under its own number.
    const FesttextRows rows{{0, "null"}, {1, ""}, {5, "#5 \r\nf\xfcnf"}};
    QVERIFY(rig.link.vx.SaveFesttexteByteweise(rows));
    QVERIFY(rig.freshProject(QStringLiteral("gaps")));
    QString error;
    FesttextTable table(rig.env);
    QVERIFY(table.clearAll(&error));
    QVERIFY(table.store(9, QStringLiteral("bleibt"), QStringLiteral("bleibt"), &error));
    rig.link.ui.queueAnswer(UserInterface::Answer::Yes);
    QVERIFY(FesttexteCore(rig.link.vx, rig.env).readFromTerminal());
    const QList<FesttextTable::Entry> back = rig.entries();
    QCOMPARE(back.size(), 4);
    QCOMPARE(back.at(0).DisplayNr, 0);
    QCOMPARE(back.at(0).text, QStringLiteral("null"));
    QCOMPARE(back.at(1).DisplayNr, 1);
    QCOMPARE(back.at(1).text, QString());
    QCOMPARE(back.at(2).DisplayNr, 5);
    QCOMPARE(back.at(2).text, QStringLiteral("#5 \r\nfünf"));
    QCOMPARE(back.at(3).DisplayNr, 9); // no text in the terminal: stays as it was
    QCOMPARE(back.at(3).text, QStringLiteral("bleibt"));
}

void TstFesttexteVxsim::oldLayoutFallsBack()
{
    Rig rig;
    // An erased table with texts from 0x0201 on: read in stored order.
    const QByteArray texts("eins\0zwei\0\0drei\0", 16);
    for (int i = 0; i < texts.size(); ++i)
        rig.term.setEepromCell(kFesttextFirst + i, static_cast<uchar>(texts.at(i)));
    QVERIFY(rig.freshProject(QStringLiteral("old")));
    QString error;
    QVERIFY(FesttextTable(rig.env).clearAll(&error));
    rig.link.ui.queueAnswer(UserInterface::Answer::Yes);
    QVERIFY(FesttexteCore(rig.link.vx, rig.env).readFromTerminal());
    const QList<FesttextTable::Entry> back = rig.entries();
    QCOMPARE(back.size(), 2); // the empty text ends the sequential read
    QCOMPARE(back.at(1).text, QStringLiteral("zwei"));

    // Declined: nothing is read, nothing changes.
    rig.link.ui.queueAnswer(UserInterface::Answer::No);
    QVERIFY(!FesttexteCore(rig.link.vx, rig.env).readFromTerminal());
    QCOMPARE(rig.entries().size(), 2);
}

void TstFesttexteVxsim::versionChoosesWriter_data()
{
    QTest::addColumn<QString>("firmware");
    QTest::addColumn<int>("answer"); // -1 none, 0 No, 1 Yes
    QTest::addColumn<bool>("block");
    QTest::newRow("2.10 bytes") << "2.10" << -1 << false;
    QTest::newRow("3.0 blocks") << "3.0" << -1 << true;
    QTest::newRow("2.6 yes") << "2.6" << 1 << true;
    QTest::newRow("2.6 no") << "2.6" << 0 << false;
}

void TstFesttexteVxsim::versionChoosesWriter()
{
    QFETCH(QString, firmware);
    QFETCH(int, answer);
    QFETCH(bool, block);
    Rig rig(firmware);
    if (answer >= 0)
        rig.link.ui.queueAnswer(answer ? UserInterface::Answer::Yes : UserInterface::Answer::No);
    QVERIFY(rig.link.vx.SaveFesttexte(FesttextRows{{0, "a\r\nb"}}));
    QCOMPARE(rig.link.ui.texts().size(), answer >= 0 ? 1 : 0);
    const QByteArray stored = rig.term.eeprom().mid(kFesttextFirst, block ? 4 : 5);
    QCOMPARE(stored, block ? QByteArray("a\rb\0", 4) : QByteArray("a\r\nb\0", 5));
}

void TstFesttexteVxsim::memorySize_data()
{
    QTest::addColumn<QString>("firmware");
    QTest::addColumn<int>("end");
    QTest::addColumn<bool>("asked");
    QTest::newRow("block 4096 asks nothing") << "3.0" << 4096 << false;
    QTest::newRow("block 4097 queries") << "3.0" << 4097 << true;
    QTest::newRow("byte 4097 queries") << "2.5" << 4097 << true;
}

void TstFesttexteVxsim::memorySize()
{
    QFETCH(QString, firmware);
    QFETCH(int, end);
    QFETCH(bool, asked);
    Rig rig(firmware);
    // One text whose terminator ends at `end`; the question is answered No.
    const FesttextRows rows{{0, QByteArray(end - kFesttextFirst - 1, 'x')}};
    rig.link.ui.queueAnswer(UserInterface::Answer::No);
    // Declined is not written: nothing sent, no error message, and false.
    QCOMPARE(rig.link.vx.SaveFesttexte(rows), !asked);
    QCOMPARE(rig.link.vx.festtexteDeclined(), asked);
    const QStringList texts = rig.link.ui.texts();
    if (asked) {
        QCOMPARE(texts, QStringList{QStringLiteral("Festtexte überschreiten die Speichergröße um "
                                                   "1 Zeichen. Trotzdem übertragen?")});
        QCOMPARE(rig.term.eepromCell(kFesttextTable), uchar(0xFF)); // nothing written
        QCOMPARE(rig.term.eepromCell(0), uchar(0));                 // user characters kept
    } else {
        QVERIFY(texts.isEmpty());
        QCOMPARE(rig.term.eepromCell(kFesttextFirst), uchar('x'));
    }
    QVERIFY(rig.term.decimalForm());
    QVERIFY(!rig.progress.visible());
}

void TstFesttexteVxsim::modeUnanswered_data()
{
    QTest::addColumn<bool>("block");
    QTest::newRow("byte writer") << false;
    QTest::newRow("block writer") << true;
}

void TstFesttexteVxsim::modeUnanswered()
{
    QFETCH(bool, block);
    Rig rig;
    const int mode = rig.term.modeFlags();
    // The terminal hears everything but answers nothing: the object's flags are not its.
    rig.term.setFault(VxTerminal::Fault::MuteAfter, 0);
    QVERIFY(!rig.link.vx.SaveFesttexte(fullSet(), block));
    QCOMPARE(rig.term.modeFlags(), mode);
    QCOMPARE(rig.term.eepromCell(kFesttextTable), uchar(0xFF));
    QCOMPARE(rig.link.ui.texts(), (QStringList{kModeUnread, kSaveFailed}));
}

void TstFesttexteVxsim::corruptMemory()
{
    Rig rig;
    // Every entry points at 0x0201 and no text ends: each address is asked once, the read
    // stops at the memory's end and stores nothing.
    for (int n = 0; n < kFesttextCount; ++n) {
        rig.term.setEepromCell(kFesttextTable + 2 * n, 0x02);
        rig.term.setEepromCell(kFesttextTable + 2 * n + 1, 0x01);
    }
    for (int a = kFesttextFirst; a < 4096; ++a)
        rig.term.setEepromCell(a, 'x');
    QVERIFY(rig.freshProject(QStringLiteral("corrupt")));
    const QList<FesttextTable::Entry> before = rig.entries();
    int exchanges = 0;
    connect(&rig.link.vx, &clsVX::exchangeFinished, this, [&exchanges] { ++exchanges; });
    rig.link.ui.queueAnswer(UserInterface::Answer::Yes);
    QVERIFY(!FesttexteCore(rig.link.vx, rig.env).readFromTerminal());
    QCOMPARE(exchanges, 2 * kFesttextCount + 4096 - kFesttextFirst);
    QCOMPARE(rig.link.ui.texts().last().left(33),
             QStringLiteral("Festtext 0 endet nicht im Speiche"));
    QCOMPARE(rig.entries().size(), before.size());
}

void TstFesttexteVxsim::outsideCodePage()
{
    Rig rig;
    QVERIFY(rig.freshProject(QStringLiteral("omega")));
    QString error;
    QVERIFY(FesttextTable(rig.env).store(3, QStringLiteral("10 kΩ"), QString(), &error));
    QVERIFY(!FesttexteCore(rig.link.vx, rig.env).writeToTerminal(true, &error));
    QVERIFY2(error.contains(QStringLiteral("Festtext 3")) && error.contains(QStringLiteral("„Ω“")),
             qPrintable(error));
    QCOMPARE(rig.term.eepromCell(kFesttextTable), uchar(0xFF));
}

void TstFesttexteVxsim::faults_data()
{
    QTest::addColumn<bool>("block");
    QTest::addColumn<int>("fault");
    QTest::addColumn<int>("n");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<bool>("answersAfter");
    const auto nak = static_cast<int>(VxTerminal::Fault::NakEvery);
    const auto silent = static_cast<int>(VxTerminal::Fault::Silent);
    const auto drop = static_cast<int>(VxTerminal::Fault::DropAfter);
    QTest::newRow("byte NAK in table")
        << false << nak << 40 << QStringList{kTableFailed, kSaveFailed} << true;
    QTest::newRow("byte NAK in texts") << false << nak << 400 << QStringList{kSaveFailed} << true;
    QTest::newRow("block NAK") << true << nak << 7 << QStringList{kSaveFailed} << true;
    // A silent terminal has no version: the question decides the writer.
    const QString ask = QStringLiteral("Zeilenumbruch filtern?");
    QTest::newRow("byte silence") << false << silent << 0
                                  << QStringList{ask, kModeUnread, kSaveFailed} << false;
    QTest::newRow("block silence")
        << true << silent << 0 << QStringList{ask, kModeUnread, kSaveFailed} << false;
    QTest::newRow("byte dropped line")
        << false << drop << 2000 << QStringList{kSaveFailed} << false;
    QTest::newRow("block dropped line")
        << true << drop << 1000 << QStringList{kSaveFailed} << false;
}

void TstFesttexteVxsim::faults()
{
    QFETCH(bool, block);
    QFETCH(int, fault);
    QFETCH(int, n);
    QFETCH(QStringList, messages);
    QFETCH(bool, answersAfter);
    Rig rig(block ? QStringLiteral("3.0") : QStringLiteral("2.5"));
    rig.term.setFault(static_cast<VxTerminal::Fault>(fault), n);
    rig.link.ui.queueAnswer(block ? UserInterface::Answer::Yes : UserInterface::Answer::No);
    QVERIFY(!rig.link.vx.SaveFesttexte(fullSet()));
    QCOMPARE(rig.link.ui.texts(), messages);
    QVERIFY(!rig.progress.visible());
    QCOMPARE(rig.link.vx.ParameterMode, 1);
    if (answersAfter)
        QVERIFY(rig.term.decimalForm());
}

void TstFesttexteVxsim::showOnTerminal()
{
    Rig rig;
    QVERIFY(rig.link.vx.SaveFesttexteBlockweise(fullSet()));
    rig.link.vx.ShowFesttext(42);
    QTRY_COMPARE(rig.term.displayLine(0).trimmed(), QStringLiteral("Text 42 ä"));
    QCOMPARE(rig.term.displayLine(1).trimmed(), QStringLiteral("#xx"));
}

QTEST_GUILESS_MAIN(TstFesttexteVxsim)
#include "tst_festtexte_vxsim.moc"
