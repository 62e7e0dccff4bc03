// The test procedures against the simulated terminal (in memory) with its test plugs:
// every check passes with correct plugs and fails with its log lines against a faulty one.
#include "QmFixture.h"

#include "qmtest/ProgrammingSeam.h"
#include "qmtest/ProtokollView.h"
#include "qmtest/QMKeyboardTest.h"
#include "qmtest/QMProcedures.h"
#include "qmtest/clsQMTest.h"
#include "sim/VxTerminal.h"
#include "tests/link/LinkFixture.h"

#include <QSqlQuery>
#include <QTimer>
#include <QtTest>

using namespace vemro;
using namespace vemro::test;
using Answer = UserInterface::Answer;

namespace {

// Records what the programming steps asked of the other subsystems.
class FakeSeam : public ProgrammingSeam
{
public:
    QStringList calls;
    bool ok = true;
    bool SaveUserzeichen(QString* e) override { return call("Userzeichen", e); }
    bool SaveFesttexte(QString* e) override { return call("Festtexte", e); }
    bool SaveTastaturConfig(QString* e) override { return call("Config", e); }
    bool SaveTastaturcodes(QString* e) override { return call("Codes", e); }
    bool SetKeyLed(bool on, QString* e) override { return call(on ? "LED an" : "LED aus", e); }

private:
    bool call(const char* what, QString* error)
    {
        calls << QLatin1String(what);
        if (!ok)
            *error = QStringLiteral("geht nicht");
        return ok;
    }
};

// The simulated terminal with plugs, linked in memory to clsVX, and the procedures on it.
struct Bench
{
    MemoryLink link;
    VxTerminal term;
    QmProject project;
    std::unique_ptr<clsQMTest> test;
    FakeSeam seam;
    std::unique_ptr<QMProcedures> procs;
    MemoryProtokollView view;
    QByteArray ignored; // a command the terminal does not take (its first bytes)

    Bench()
    {
        QObject::connect(&link.far, &Transport::bytesArrived, &term, [this](const QByteArray& b) {
            if (ignored.isEmpty() || !b.startsWith(ignored))
                term.receive(b);
        });
        QObject::connect(&term, &VxTerminal::transmit, &link.far,
                         [this](const QByteArray& b) { link.far.write(b); });
        term.setTestPlugs(true);
        QString error;
        if (!project.create({}, &error))
            qFatal("%s", qPrintable(error));
        test = std::make_unique<clsQMTest>(project.env());
        procs = std::make_unique<QMProcedures>(*test, link.vx, project.env(), seam);
        procs->registerAll();
        test->QMProtokoll().setListView(&view);
        test->QMProtokoll().setAktiv(clsProtokoll::kListe | clsProtokoll::kDatumZeit);
    }
    bool call(const QString& name)
    {
        QString error;
        const bool ok = test->callProcedure(name, &error);
        if (!error.isEmpty())
            qWarning("%s: %s", qPrintable(name), qPrintable(error));
        return ok;
    }
    [[nodiscard]] QStringList logTexts() const
    {
        QStringList out;
        for (int i = 0; i < view.count(); ++i)
            out << view.item(i).at(2);
        return out;
    }
    [[nodiscard]] QStringList questions() const
    {
        QStringList out;
        for (const auto& s : link.ui.shown()) {
            if (s.kind == QLatin1String("ask"))
                out << s.text;
        }
        return out;
    }
};

} // namespace

class TstQmProcedures : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void portChecks_data();
    void portChecks();
    void retryRepeatsTheCycle();
    void analog_data();
    void analog();
    void extEE();
    void extEELong_data();
    void extEELong();
    void serNr_data();
    void serNr();
    void versionThroughRunner_data();
    void versionThroughRunner();
    void keyboard_data();
    void keyboard();
    void keyboardLed();
    void operatorChecks_data();
    void operatorChecks();
    void programming();
    void programmingReadBack_data();
    void programmingReadBack();
    void programmingFailureIsCritical();
};

void TstQmProcedures::portChecks_data()
{
    QTest::addColumn<QString>("procedure");
    QTest::addColumn<int>("port");
    QTest::addColumn<int>("bit"); // -1: plug correct
    QTest::addColumn<QStringList>("log");
    QTest::addColumn<QString>("question");

    const QString plug = QMProcedures::kWiederholen;
    QTest::newRow("transistor ok") << "CheckIOModulTransistor" << 1 << -1 << QStringList() << "";
    QTest::newRow("transistor reads 0xAA then 0x54")
        << "CheckIOModulTransistor" << 1 << 0 << QStringList{"Port-Fehler, Soll : h55, Ist : 54"}
        << plug;
    QTest::newRow("relay ok") << "CheckIOModulRelais4" << 1 << -1 << QStringList() << "";
    QTest::newRow("relay wire broken") << "CheckIOModulRelais4" << 1 << 0
                                       << QStringList{"Port-Fehler, Soll : h5x, Ist : 4"} << plug;
    QTest::newRow("internal port ok") << "CheckInternport" << 0 << -1 << QStringList() << "";
    QTest::newRow("internal port bit 7 clear")
        << "CheckInternport" << 0 << 7
        << QStringList{"Port-Fehler, Soll : h55, Ist : 55", "Port-Fehler, Soll : h2A, Ist : 2A"}
        << plug;
    QTest::newRow("Brenmoor ok") << "CheckinternPort_Brenmoor" << 0 << -1 << QStringList() << "";
    QTest::newRow("Brenmoor bit 0 open") << "CheckinternPort_Brenmoor" << 0 << 0
                                         << QStringList{"Port-Fehler, Soll : h03, Ist : 82",
                                                        "Port-Fehler X2/Y2, Soll : h01, Ist : 80"}
                                         << QMProcedures::kWiederholenBrenmoor;
}

void TstQmProcedures::portChecks()
{
    QFETCH(QString, procedure);
    QFETCH(int, port);
    QFETCH(int, bit);
    QFETCH(QStringList, log);
    QFETCH(QString, question);
    Bench b;
    if (bit >= 0)
        b.term.breakPlugWire(port, bit);
    b.link.ui.queueAnswer(Answer::No);
    QCOMPARE(b.call(procedure), bit < 0);
    QCOMPARE(b.logTexts(), log);
    QCOMPARE(b.questions(), question.isEmpty() ? QStringList() : QStringList{question});
    if (procedure.startsWith(QLatin1String("CheckIOModul")))
        QCOMPARE(b.term.portOutput(1), 0); // port 1 := 0 after each cycle
    if (procedure == QLatin1String("CheckinternPort_Brenmoor"))
        QCOMPARE(b.term.keyboardConfig().timeUntilRepeat, 50);
}

void TstQmProcedures::retryRepeatsTheCycle()
{
    Bench b;
    b.term.breakPlugWire(1, 0);
    b.link.ui.queueAnswer(Answer::Yes);
    b.link.ui.queueAnswer(Answer::No);
    QVERIFY(!b.call("CheckIOModulTransistor"));
    QCOMPARE(b.logTexts().size(), 2);
    QCOMPARE(b.questions().size(), 2);
    // Mended before the repeat: Yes runs the cycle again and it passes.
    Bench c;
    c.term.breakPlugWire(1, 0);
    bool mended = false;
    QObject::connect(&c.term, &VxTerminal::transmit, &c.term, [&] {
        if (!mended && c.logTexts().size() == 1) {
            c.term.mendPlugs();
            mended = true;
        }
    });
    c.link.ui.queueAnswer(Answer::Yes);
    QVERIFY(c.call("CheckIOModulTransistor"));
}

void TstQmProcedures::analog_data()
{
    QTest::addColumn<QString>("procedure");
    QTest::addColumn<QList<int>>("levels"); // empty: the plug's steps
    QTest::addColumn<int>("step");
    QTest::addColumn<QStringList>("log");
    QTest::newRow("steps of 256") << "CheckAnalog" << QList<int>() << 256 << QStringList();
    QTest::newRow("3/258/507/775 inside")
        << "CheckAnalog" << QList<int>{3, 258, 507, 775} << 256 << QStringList();
    QTest::newRow("259 at level 1") << "CheckAnalog" << QList<int>{3, 259, 507, 775} << 256
                                    << QStringList{"Fehler AD : Soll 256, Ist  259"};
    QTest::newRow("5 at level 0") << "CheckAnalog" << QList<int>{5, 256, 512, 768} << 256
                                  << QStringList{"Fehler AD : Soll 0, Ist  5"};
    QTest::newRow("all four measured")
        << "CheckAnalog" << QList<int>{0, 0, 0, 0} << 256
        << QStringList{"Fehler AD : Soll 256, Ist  0", "Fehler AD : Soll 512, Ist  0",
                       "Fehler AD : Soll 768, Ist  0"};
    QTest::newRow("16x2 with steps of 341")
        << "CheckAnalog_16x2" << QList<int>() << 341 << QStringList();
    QTest::newRow("16x2 against the 256 plug")
        << "CheckAnalog_16x2" << QList<int>() << 256
        << QStringList{"Fehler AD : Soll 341, Ist  256", "Fehler AD : Soll 682, Ist  512",
                       "Fehler AD : Soll 1023, Ist  768"};
}

void TstQmProcedures::analog()
{
    QFETCH(QString, procedure);
    QFETCH(QList<int>, levels);
    QFETCH(int, step);
    QFETCH(QStringList, log);
    Bench b;
    b.term.setTestPlugs(true, step);
    b.term.setPlugAnalogLevels(levels);
    QCOMPARE(b.call(procedure), log.isEmpty());
    QCOMPARE(b.logTexts(), log);
    QCOMPARE(b.term.portOutput(0) & 3, 3); // port 0 stays at 3
    QCOMPARE(b.term.displayLines().value(0).trimmed(), QStringLiteral("Test Analogeingang"));
}

void TstQmProcedures::extEE()
{
    Bench b;
    QVERIFY(b.call("CheckExtEE"));
    QCOMPARE(b.logTexts(), QStringList{"Ermittelter Speicher : 4096"});
    b.term.setFault(VxTerminal::Fault::Silent);
    QVERIFY(!b.call("CheckExtEE"));
    QCOMPARE(b.logTexts().last(), QStringLiteral("Speicherfehler, ermittelt wurde 0"));
}

void TstQmProcedures::extEELong_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");
    QTest::addColumn<bool>("nak");
    QTest::addColumn<QStringList>("log");
    QTest::newRow("end below start")
        << "2000"
        << "1990" << false << QStringList{"Adresse ok :   2000", "Adresse ok :   2001"};
    QTest::newRow("three cells") << "10"
                                 << "12" << false
                                 << QStringList{"Adresse ok :   10", "Adresse ok :   11",
                                                "Adresse ok :   12"};
    QTest::newRow("empty start is 0")
        << ""
        << "1" << false << QStringList{"Adresse ok :   0", "Adresse ok :   1"};
    QTest::newRow("not acknowledged")
        << "5"
        << "6" << true << QStringList{"Speicherfehler 5 (NACK)", "Speicherfehler 6 (NACK)"};
}

void TstQmProcedures::extEELong()
{
    QFETCH(QString, start);
    QFETCH(QString, end);
    QFETCH(bool, nak);
    QFETCH(QStringList, log);
    Bench b;
    const int first = start.toInt();
    b.term.setEepromCell(first, 250);
    if (nak)
        b.term.setFault(VxTerminal::Fault::NakEvery, 1);
    b.link.ui.queueInput(start);
    b.link.ui.queueInput(end);
    QCOMPARE(b.call("CheckExtEE_long"), !nak);
    QCOMPARE(b.logTexts(), log);
    if (!nak)
        QCOMPARE(int(b.term.eepromCell(first)), 4); // (250 + 10) mod 256
    const auto& shown = b.link.ui.shown();
    QCOMPARE(shown.at(1).text, QStringLiteral("Endadresse"));
}

void TstQmProcedures::serNr_data()
{
    QTest::addColumn<QStringList>("inputs");
    QTest::addColumn<QList<int>>("answers"); // 1 yes, 0 no
    QTest::addColumn<bool>("passed");
    QTest::addColumn<QString>("terminal");
    QTest::addColumn<int>("questions");
    QTest::newRow("in range") << QStringList{"123456"} << QList<int>() << true << "123456" << 0;
    QTest::newRow("out of range, no retry")
        << QStringList{"1234567"} << QList<int>{0} << false << "004711" << 1;
    QTest::newRow("out of range, then in range")
        << QStringList{"1234567", "42"} << QList<int>{1} << true << "000042" << 1;
    QTest::newRow("not a number") << QStringList{"12a"} << QList<int>{0} << false << "004711" << 1;
    QTest::newRow("empty answer") << QStringList{""} << QList<int>() << false << "004711" << 0;
}

void TstQmProcedures::serNr()
{
    QFETCH(QStringList, inputs);
    QFETCH(QList<int>, answers);
    QFETCH(bool, passed);
    QFETCH(QString, terminal);
    QFETCH(int, questions);
    Bench b;
    for (const QString& i : inputs)
        b.link.ui.queueInput(i);
    for (int a : answers)
        b.link.ui.queueAnswer(a ? Answer::Yes : Answer::No);
    QCOMPARE(b.call("SetSerNr"), passed);
    QCOMPARE(b.term.serialNumber(), terminal);
    QCOMPARE(b.questions().size(), questions);
    if (questions)
        QCOMPARE(b.questions().first(),
                 QStringLiteral("SerNr nicht im gültigen Bereich. Wiederholen ?"));
    // The input box offers the terminal's number.
    QCOMPARE(b.link.ui.shown().first().text, QStringLiteral("SerNr eingeben :"));
    if (!inputs.first().isEmpty())
        QCOMPARE(b.logTexts().last(), QStringLiteral("SerNr : ") + b.link.vx.SerNr);
}

void TstQmProcedures::versionThroughRunner_data()
{
    QTest::addColumn<double>("min");
    QTest::addColumn<bool>("silent");
    QTest::addColumn<bool>("passed");
    QTest::addColumn<QString>("message");
    QTest::newRow("2.7 >= 2.3") << 2.3 << false << true << "";
    QTest::newRow("2.7 < 2.9") << 2.9 << false << false << "Version muss mindestens V2.9 sein!";
    QTest::newRow("no answer") << 2.3 << true << false << "";
}

void TstQmProcedures::versionThroughRunner()
{
    QFETCH(double, min);
    QFETCH(bool, silent);
    QFETCH(bool, passed);
    QFETCH(QString, message);
    Bench b;
    QString error;
    QVERIFY(b.project.create({{"G", 1, {}, 1},
                              {"Version", 2, "CheckVersion", 1, 1, true, min},
                              {"EE", 2, "CheckExtEE", 1}},
                             &error));
    clsQMTest test(b.project.env());
    QMProcedures procs(test, b.link.vx, b.project.env(), b.seam);
    procs.registerAll();
    test.QMProtokoll().setListView(&b.view);
    if (silent) {
        b.term.setFault(VxTerminal::Fault::Silent);
        b.link.ui.queueAnswer(Answer::No);
    }
    QVERIFY(test.FillTestListe(&error));
    test.Start();
    QCOMPARE(test.Schritte().size(), passed ? 2 : 1); // a critical error stops the run
    QCOMPARE(test.Schritte().first().bestanden, passed);
    QStringList messages;
    for (const auto& s : b.link.ui.shown()) {
        if (s.kind == QLatin1String("message"))
            messages << s.text;
    }
    QCOMPARE(messages, message.isEmpty() ? QStringList() : QStringList{message});
    if (silent)
        QCOMPARE(b.questions(), QStringList{"Terminal nicht ansprechbar, wiederholen?"});
    QCOMPARE(b.logTexts().value(0),
             QStringLiteral("Terminalversion : ") +
                 (silent ? QStringLiteral("unbekannt") : QStringLiteral("2.7")));
}

void TstQmProcedures::keyboard_data()
{
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<bool>("cancel");
    QTest::addColumn<bool>("passed");
    QTest::addColumn<QStringList>("log");
    QTest::newRow("a to h") << QList<int>{1, 2, 3, 4, 5, 6, 7, 8} << false << true << QStringList();
    QTest::newRow("a to h in any order, repeated")
        << QList<int>{8, 1, 1, 7, 2, 6, 3, 5, 4} << false << true << QStringList();
    QTest::newRow("z first: fails, waits on")
        << QList<int>{26, 1, 2, 3, 4, 5, 6, 7, 8} << false << false << QStringList();
    QTest::newRow("cancelled") << QList<int>{1, 2} << true << false
                               << QStringList{"Fehler bei Tastaturmodul"};
}

void TstQmProcedures::keyboard()
{
    QFETCH(QList<int>, keys);
    QFETCH(bool, cancel);
    QFETCH(bool, passed);
    QFETCH(QStringList, log);
    Bench b;
    QPointer<QMKeyboardTest> shown;
    int marked = 0;
    b.procs->setKeyboardView([&](QMKeyboardTest& t) {
        shown = &t;
        QObject::connect(&t, &QMKeyboardTest::keyMarked, &t, [&marked] { ++marked; });
    });
    // The tester presses the keys one after the other while the test waits.
    int delay = 300;
    for (int k : keys) {
        QTimer::singleShot(delay, &b.term, [&b, k] {
            b.term.pressKey(k);
            b.term.releaseKey(k);
        });
        delay += 250;
    }
    if (cancel) {
        QTimer::singleShot(delay + 300, &b.term, [&shown] {
            if (shown)
                shown->cancel();
        });
    }
    QCOMPARE(b.call("CheckKeyboard"), passed);
    QCOMPARE(b.logTexts(), log);
    QCOMPARE(marked, cancel ? 2 : 8);
    QVERIFY(!shown); // the dialog's state ends with the test
    QCOMPARE(b.term.displayLines().value(0).trimmed(), QStringLiteral("Test Tastatur-Modul"));
}

void TstQmProcedures::keyboardLed()
{
    Bench b;
    b.link.ui.queueAnswer(Answer::Yes);
    QVERIFY(b.call("CheckKeyboardLED"));
    QCOMPARE(b.seam.calls, (QStringList{"LED aus", "LED an"}));
    QCOMPARE(b.term.portOutput(1), 255);
    QCOMPARE(b.questions(), QStringList{"Sind alle LED eingeschaltet ?"});
    b.link.ui.queueAnswer(Answer::No);
    QVERIFY(!b.call("CheckKeyboardLED"));
    QCOMPARE(b.logTexts(), QStringList{"Fehler bei Tasten-LED"});
}

void TstQmProcedures::operatorChecks_data()
{
    QTest::addColumn<QString>("procedure");
    QTest::addColumn<bool>("yes");
    QTest::addColumn<QString>("question");
    QTest::addColumn<QString>("failLog");
    QTest::addColumn<QStringList>("display");
    const QString kontrast = "Das Poti so einstellen, dass der Text auf dem Display lesbar ist"
                             "\r\nIst dies gelungen ?";
    for (bool yes : {true, false}) {
        const char* s = yes ? " yes" : " no";
        QTest::addRow("backlight%s", s)
            << "CheckBacklight" << yes << "Ist die Beleuchtung ein ?"
            << "Backlight lässt sich nicht einschalten" << QStringList{"Test Backlight"};
        QTest::addRow("contrast%s", s)
            << "CheckKontrast" << yes << kontrast << "Fehler bei Kontrasteinstellung"
            << QStringList{"Kontrasteinstellung", "Display"};
        QTest::addRow("display%s", s)
            << "CheckDisplay" << yes << "Ist auf dem Display ein Text zu sehen?"
            << "Displaydarstellung fehlt/fehlerhaft" << QStringList{"Testausgabe", "Zeile 2"};
    }
}

void TstQmProcedures::operatorChecks()
{
    QFETCH(QString, procedure);
    QFETCH(bool, yes);
    QFETCH(QString, question);
    QFETCH(QString, failLog);
    QFETCH(QStringList, display);
    Bench b;
    b.link.ui.queueAnswer(yes ? Answer::Yes : Answer::No);
    QCOMPARE(b.call(procedure), yes);
    QCOMPARE(b.questions(), QStringList{question});
    QCOMPARE(b.logTexts(), yes ? QStringList() : QStringList{failLog});
    const QStringList lines = b.term.displayLines();
    for (int i = 0; i < display.size(); ++i)
        QCOMPARE(lines.value(i).trimmed(), display.at(i));
    if (procedure == QLatin1String("CheckBacklight"))
        QCOMPARE(b.term.backlight(), !yes); // off again after Yes
    else
        QCOMPARE(b.term.contrast(), 7);
}

void TstQmProcedures::programming()
{
    Bench b;
    // The project's configuration is what gets programmed, not what the terminal object was
    // left with by the checks (contrast 7, backlight off) or by a mode read back.
    QSqlQuery update(b.project.env().database(DataEnvironment::kProjekt));
    QVERIFY(update.exec("UPDATE Terminaleinstellungen SET Display_Zeilen=2, Display_Spalten=16, "
                        "Kontrast=9, Backlight=1, FesttextPort=3, Einschaltmeldung=1, "
                        "Tastaturenabled=1, IOPortsEnabled=1"));
    b.link.ui.queueAnswer(Answer::Yes);
    b.link.ui.queueAnswer(Answer::Yes);
    QVERIFY(b.call("CheckBacklight"));
    QVERIFY(b.call("CheckKontrast"));
    b.link.vx.Einschaltmeldung = false;
    b.link.vx.FesttextPort = 0;
    b.view.clear();
    for (const char* p : {"SetDisplay", "SetTerminalmode", "SetTastatur", "SetUserzeichen",
                          "SetFesttexte", "SaveKonfig", "CreateDBGruppeneintrag"})
        QVERIFY2(b.call(QLatin1String(p)), p);
    QCOMPARE(b.term.display().rows(), 2);
    QCOMPARE(b.term.display().cols(), 16);
    QCOMPARE(b.term.contrast(), 9);
    QVERIFY(b.term.backlight());
    QCOMPARE(b.term.festtextPort(), 3);
    QVERIFY(b.term.modeFlags() & 32);
    QCOMPARE(b.seam.calls, (QStringList{"Config", "Codes", "Userzeichen", "Festtexte"}));
    QCOMPARE(b.logTexts(),
             (QStringList{"Displaygeometrie, Kontrast, Backlight eingestellt",
                          "Terminalmodus und Festtextport eingestellt", "Tastatur konfiguriert",
                          "Userdefinierte Zeichen programmiert", "Festtexte programmiert"}));
    // A terminal that does not confirm "KS" does not pass.
    b.term.setFault(VxTerminal::Fault::Silent);
    QVERIFY(!b.call("SaveKonfig"));
    QVERIFY(!b.test->kritischerFehler);
}

void TstQmProcedures::programmingReadBack_data()
{
    QTest::addColumn<QString>("procedure");
    QTest::addColumn<QByteArray>("ignored");
    QTest::addColumn<QString>("log");
    const QString display = "Displaygeometrie, Kontrast, Backlight vom Terminal nicht übernommen:";
    QTest::newRow("display size") << "SetDisplay" << QByteArray("\x1bLA")
                                  << display + "  Anzeige: Projekt 16x2, Terminal 20x4";
    QTest::newRow("contrast") << "SetDisplay" << QByteArray("\x1bLK")
                              << display + "  Kontrast: Projekt 9, Terminal 7";
    QTest::newRow("backlight") << "SetDisplay" << QByteArray("\x1bLB")
                               << display + "  Beleuchtung: Projekt aus, Terminal ein";
    QTest::newRow("mode") << "SetTerminalmode" << QByteArray("\x1bKM")
                          << "Terminalmodus vom Terminal nicht übernommen:  Einschaltmeldung: "
                             "Projekt ein, Terminal aus;  Festtextmodus: Projekt ein, Terminal aus";
}

// A terminal that does not take a setting fails the step, which names what differs and
// keeps nothing (no "KS").
void TstQmProcedures::programmingReadBack()
{
    QFETCH(QString, procedure);
    QFETCH(QByteArray, ignored);
    QFETCH(QString, log);
    Bench b;
    QSqlQuery update(b.project.env().database(DataEnvironment::kProjekt));
    QVERIFY(update.exec("UPDATE Terminaleinstellungen SET Display_Zeilen=2, Display_Spalten=16, "
                        "Kontrast=9, Backlight=0, Einschaltmeldung=1, Festtextmode=1, "
                        "Tastaturenabled=1, IOPortsEnabled=1"));
    b.ignored = ignored;
    QVERIFY(!b.call(procedure));
    QCOMPARE(b.logTexts(), QStringList{log});
    b.ignored.clear();
    QVERIFY(b.call(procedure));
}

void TstQmProcedures::programmingFailureIsCritical()
{
    Bench b;
    b.seam.ok = false;
    QVERIFY(!b.call("SetUserzeichen"));
    QVERIFY(b.test->kritischerFehler);
    b.test->kritischerFehler = false;
    QVERIFY(!b.call("SetFesttexte"));
    QVERIFY(b.test->kritischerFehler);
    QVERIFY(!b.call("SetTastatur"));
    QCOMPARE(b.logTexts(),
             (QStringList{"Fehler beim programmieren der Userzeichen : geht nicht",
                          "Fehler beim programmieren der Festtexte : geht nicht", "geht nicht"}));
}

QTEST_GUILESS_MAIN(TstQmProcedures)
#include "tst_qmprocedures.moc"
