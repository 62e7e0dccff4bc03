// The command builder's composition: labels, presets, range check and command text in
// both parameter forms; and the catalogue of the templates.
#include "link/Notation.h"
#include "platform/Codepage.h"
#include "platform/ScriptedUserInterface.h"
#include "project/BefehlComposer.h"
#include "project/Befehlskatalog.h"
#include "project/DataEnvironment.h"
#include "project/clsProjekt.h"

#include <QtTest>

using namespace vemro;

Q_DECLARE_METATYPE(vemro::Befehl)
Q_DECLARE_METATYPE(QList<vemro::ParameterEingabe>)

namespace {

Befehlsparameter par(int typ, QVariant min = {}, QVariant max = {}, QVariant def = {},
                     QVariant bez = QStringLiteral("P"), QVariant einheit = {})
{
    Befehlsparameter p = parameterOfTyp(typ);
    p.Min = min;
    p.Max = max;
    p.Default = def;
    p.Bezeichnung = bez;
    p.Einheit = einheit;
    return p;
}

Befehl cmd(const QString& sequenz, const QString& ende, QList<Befehlsparameter> pars)
{
    Befehl b;
    b.Sequenz = sequenz;
    b.Abschlusszeichen = ende;
    b.Parameter = pars;
    for (int i = 0; i < b.Parameter.size(); ++i)
        b.Parameter[i].Reihenfolge = i + 1;
    return b;
}

ParameterEingabe box(const QString& text)
{
    return ParameterEingabe{text, false};
}
ParameterEingabe flag(bool on)
{
    return ParameterEingabe{QString(), on};
}

} // namespace

class TstBefehle : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void compose_data();
    void compose();
    void byteValues();
    void check_data();
    void check();
    void labelsAndPresets();
    void catalogue();
};

void TstBefehle::compose_data()
{
    QTest::addColumn<Befehl>("befehl");
    QTest::addColumn<QList<ParameterEingabe>>("input");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("expected");
    const Befehl s = cmd("<ESC>XY", ";", {par(1, 0, 255, "0"), par(3)});
    QTest::newRow("text form") << s << QList<ParameterEingabe>{box("12"), box("AB")} << 1
                               << "<ESC>XY12,AB;";
    QTest::newRow("byte form") << s << QList<ParameterEingabe>{box("12"), box("AB")} << 0
                               << "<ESC>XY<012>AB";
    const Befehl group = cmd("<ESC>G", ";", {par(4), par(2, 0, 1), par(2, 0, 4), par(5)});
    QTest::newRow("flag group") << group << QList<ParameterEingabe>{{}, flag(true), flag(true), {}}
                                << 1 << "<ESC>G5;";
    QTest::newRow("flag group bytes")
        << group << QList<ParameterEingabe>{{}, flag(true), flag(true), {}} << 0 << "<ESC>G<005>";
    QTest::newRow("lone flag off") << cmd("<ESC>F", ";", {par(2, 0, 1)})
                                   << QList<ParameterEingabe>{flag(false)} << 1 << "<ESC>F0;";
    QTest::newRow("no parameters")
        << cmd("<ESC>?V", ";", {}) << QList<ParameterEingabe>{} << 1 << "<ESC>?V";
    QTest::newRow("button between numbers")
        << cmd("<ESC>B", ";", {par(1, 0, 9), par(6), par(1, 0, 9)})
        << QList<ParameterEingabe>{box("1"), {}, box("2")} << 1 << "<ESC>B1,,2;";
    // "<ESC>KM" is one byte whatever the form asked for.
    QTest::newRow("KM always bytes")
        << cmd("<ESC>KM", "", {par(4), par(2, 0, 1), par(2, 0, 2), par(2, 0, 8), par(5)})
        << QList<ParameterEingabe>{{}, flag(true), flag(true), flag(false), {}} << 1
        << "<ESC>KM<003>";
    QTest::newRow("number then group")
        << cmd("<ESC>P", ";", {par(1, 0, 8), par(4), par(2, 0, 1), par(2, 0, 128), par(5)})
        << QList<ParameterEingabe>{box("1"), {}, flag(false), flag(true), {}} << 1
        << "<ESC>P1,128;";
    QTest::newRow("choices in group")
        << cmd("<ESC>LB", ";", {par(4), par(7, 0, 0), par(7, 0, 1), par(5)})
        << QList<ParameterEingabe>{{}, flag(false), flag(true), {}} << 1 << "<ESC>LB1;";
    QTest::newRow("unknown type adds nothing")
        << cmd("<ESC>U", ";", {par(1, 0, 9), par(9), par(1, 0, 9)})
        << QList<ParameterEingabe>{box("1"), {}, box("2")} << 1 << "<ESC>U1,,2;";
    QTest::newRow("ansi byte") << cmd("<ESC>C", "", {par(1, 0, 255)})
                               << QList<ParameterEingabe>{box("228")} << 0
                               << QStringLiteral("<ESC>Cä");
}

void TstBefehle::compose()
{
    QFETCH(Befehl, befehl);
    QFETCH(QList<ParameterEingabe>, input);
    QFETCH(int, mode);
    QFETCH(QString, expected);
    QCOMPARE(BefehlComposer::CreateBefehlstext(befehl, input, mode), expected);
}

void TstBefehle::byteValues()
{
    // Every byte value composes to a text an editor holds unchanged (no control code, no
    // brace, no "<" that could start a code form) and that the link sends as that byte.
    const Befehl c = cmd("<ESC>C", "", {par(1, 0, 255)});
    for (int v = 0; v < 256; ++v) {
        const QString text = BefehlComposer::CreateBefehlstext(c, {box(QString::number(v))}, 0);
        const QString value = text.mid(6);
        QVERIFY2(!value.contains(QLatin1Char('{')) && !value.contains(QLatin1Char('}')),
                 qPrintable(text));
        for (QChar ch : value)
            QVERIFY2(ch.isPrint() && ch != QChar(0xA0), qPrintable(QString::number(v)));
        QVERIFY2(value.size() == 1 || value.startsWith(QLatin1Char('<')), qPrintable(text));
        QCOMPARE(FilterSteuerzeichen(StringToAnsi(text), false), QByteArray("\x1b"
                                                                            "C") +
                                                                     char(v));
    }
}

void TstBefehle::check_data()
{
    QTest::addColumn<Befehl>("befehl");
    QTest::addColumn<QList<ParameterEingabe>>("input");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QList<bool>>("bad");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("reason"); // the line after "einige Angaben ..."
    const Befehl two = cmd("<ESC>LC", ";", {par(1, 1, 4, {}, "Zeile"), par(1, 1, 40)});
    QTest::newRow("in range") << two << QList<ParameterEingabe>{box("4"), box("1")} << 1
                              << QList<bool>{false, false} << true << "";
    QTest::newRow("above max") << two << QList<ParameterEingabe>{box("5"), box("40")} << 1
                               << QList<bool>{true, false} << false
                               << "Zeile: \"5\" ist nicht zulässig, erlaubt ist 1 bis 4";
    QTest::newRow("no number is 0")
        << two << QList<ParameterEingabe>{box("abc"), box("2")} << 1 << QList<bool>{true, false}
        << false << "Zeile: \"abc\" ist nicht zulässig, erlaubt ist 1 bis 4";
    QTest::newRow("leading number") << two << QList<ParameterEingabe>{box("3x"), box("2.4")} << 1
                                    << QList<bool>{false, false} << true << "";
    QTest::newRow("beyond 16 bits")
        << cmd("<ESC>W", ";", {par(1, 0, QVariant())}) << QList<ParameterEingabe>{box("40000")} << 1
        << QList<bool>{true} << false << "P: \"40000\" ist nicht zulässig, erlaubt ist 0 bis 32767";
    const Befehl wide = cmd("<ESC>W", ";", {par(1, -1000, 1000)});
    QTest::newRow("text form wide")
        << wide << QList<ParameterEingabe>{box("300")} << 1 << QList<bool>{false} << true << "";
    // One character cannot carry 300 or -1.
    QTest::newRow("byte form 300")
        << wide << QList<ParameterEingabe>{box("300")} << 0 << QList<bool>{true} << false
        << "P: \"300\" ist nicht zulässig, erlaubt ist 0 bis 255";
    QTest::newRow("byte form -1") << wide << QList<ParameterEingabe>{box("-1")} << 0
                                  << QList<bool>{true} << false
                                  << "P: \"-1\" ist nicht zulässig, erlaubt ist 0 bis 255";
    QTest::newRow("limit beyond any integer")
        << cmd("<ESC>W", ";", {par(1, "1E30", QVariant())}) << QList<ParameterEingabe>{box("5")}
        << 1 << QList<bool>{true} << false
        << "P: \"5\" ist nicht zulässig, in dieser Parameterform ist kein Wert möglich";
    const Befehl big =
        cmd("<ESC>G", "", {par(4, {}, {}, {}, "Modus"), par(2, 0, 200), par(2, 0, 100), par(5)});
    QTest::newRow("byte sum too big")
        << big << QList<ParameterEingabe>{{}, flag(true), flag(true), {}} << 0
        << QList<bool>{false, false, false, false} << false
        << "Modus: Summe 300 ist nicht zulässig, erlaubt ist 0 bis 255";
    QTest::newRow("text sum fine") << big << QList<ParameterEingabe>{{}, flag(true), flag(true), {}}
                                   << 1 << QList<bool>{false, false, false, false} << true << "";
}

void TstBefehle::check()
{
    QFETCH(Befehl, befehl);
    QFETCH(QList<ParameterEingabe>, input);
    QFETCH(int, mode);
    QFETCH(QList<bool>, bad);
    QFETCH(bool, ok);
    QFETCH(QString, reason);
    QList<bool> marks;
    QCOMPARE(BefehlComposer::CheckParameter(befehl, input, mode, &marks), ok);
    QCOMPARE(marks, bad);
    QCOMPARE(BefehlComposer::Meldung(befehl, input, mode),
             ok ? QString() : BefehlComposer::kUnzulaessig + QLatin1Char('\n') + reason);
}

void TstBefehle::labelsAndPresets()
{
    QCOMPARE(BefehlComposer::Label(par(1, 0, 9, {}, "Zeit", "ms")), QStringLiteral("Zeit (ms)"));
    QCOMPARE(BefehlComposer::Label(par(2, 0, 1, {}, "Bit", "ms")), QStringLiteral("Bit"));
    QCOMPARE(BefehlComposer::Label(par(4, {}, {}, {}, QVariant(), "x")), QString());
    // Of several options preset, the last stays chosen; Null presets leave things unset.
    const Befehl b = cmd("<ESC>O", ";",
                         {par(7, 0, 1, "1"), par(7, 0, 2, "2"), par(7, 0, 3, "0"),
                          par(2, 0, 1, QVariant()), par(1, 0, 9, QVariant()), par(2, 0, 4, "4")});
    const QList<ParameterEingabe> v = BefehlComposer::Vorgaben(b);
    QCOMPARE(v.at(0).checked, false);
    QCOMPARE(v.at(1).checked, true);
    QCOMPARE(v.at(2).checked, false);
    QCOMPARE(v.at(3).checked, false);
    QCOMPARE(v.at(4).text, QString());
    QCOMPARE(v.at(5).checked, true);
}

void TstBefehle::catalogue()
{
    ScriptedUserInterface ui;
    setUi(&ui);
    DataEnvironment env;
    clsProjekt projekt(env);
    QString error;
    const QString file =
        qEnvironmentVariable("VEMRO_PROGRAM_DIR") + QStringLiteral("/Hardware/vx_standard.mdb");
    QVERIFY2(projekt.connectFile(file, &error), qPrintable(error));
    QList<Befehlsgruppe> groups;
    QVERIFY2(Befehlskatalog::load(env, groups, &error), qPrintable(error));
    QVERIFY(groups.size() >= 7);
    QStringList sequences;
    for (const Befehlsgruppe& g : groups) {
        for (const Befehl& b : g.Befehle) {
            sequences << b.Sequenz;
            // Every command composes from its presets in the text form.
            const QList<ParameterEingabe> v = BefehlComposer::Vorgaben(b);
            QVERIFY2(BefehlComposer::CheckParameter(b, v, 1), qPrintable(b.Bezeichnung));
            bool unknown = false;
            const QString text = BefehlComposer::CreateBefehlstext(b, v, 1, &unknown);
            QVERIFY(!unknown);
            QVERIFY(text.startsWith(QStringLiteral("<ESC>")));
        }
    }
    for (const char* s : {"<ESC>LL", "<ESC>LC", "<ESC>LZ", "<ESC>KM", "<ESC>P", "<ESC>FZ",
                          "<ESC>TK", "<ESC>TC", "<ESC>SG", "<ESC>E"})
        QVERIFY2(sequences.contains(QString::fromLatin1(s)), s);
    const Befehl* km = Befehlskatalog::find(groups, 701);
    QVERIFY(km);
    QCOMPARE(BefehlComposer::CreateBefehlstext(*km, BefehlComposer::Vorgaben(*km), 1),
             QStringLiteral("<ESC>KM;"));
    env.close(DataEnvironment::kProjekt);
    setUi(nullptr);
}

QTEST_GUILESS_MAIN(TstBefehle)
#include "tst_befehle.moc"
