// The test runner with procedures of the test's own: passes, colours, cancel, critical
// errors, the tree's check rules and how entries are found again.
#include "QmFixture.h"

#include "platform/ScriptedUserInterface.h"
#include "qmtest/clsQMTest.h"

#include <QtTest>

using namespace vemro;
using namespace vemro::test;
using Farbe = QMNode::Farbe;

Q_DECLARE_METATYPE(QList<vemro::test::QmRow>)

namespace {

// Fake procedures: each returns its queued results in turn (true when the queue is empty)
// and records the order of the calls.
struct Fakes
{
    QStringList calls;
    QHash<QString, QList<bool>> results;
    QHash<QString, std::function<void(clsQMTest&)>> effects;

    void install(clsQMTest& test, const QStringList& names)
    {
        for (const QString& name : names) {
            test.registerProcedure(name, [this, name, &test](QString*) {
                calls << name;
                if (effects.contains(name))
                    effects[name](test);
                QList<bool>& queue = results[name];
                return queue.isEmpty() ? true : queue.takeFirst();
            });
        }
    }
};

QmRow group(const QString& name, int passes = 1)
{
    return {name, 1, QString(), passes};
}

QmRow testRow(const QString& name, const QString& proc, int passes = 1)
{
    return {name, 2, proc, passes};
}

QString farben(clsQMTest& test)
{
    QStringList out;
    for (QMNode* n : test.QMListe().allNodes()) {
        const char* f = "schwarz";
        switch (n->farbe) {
        case Farbe::Hellblau:
            f = "hellblau";
            break;
        case Farbe::Gruen:
            f = "gruen";
            break;
        case Farbe::Rot:
            f = "rot";
            break;
        case Farbe::Schwarz:
            break;
        }
        out << n->text + QLatin1Char('=') + QLatin1String(f);
    }
    return out.join(QLatin1Char(' '));
}

} // namespace

class TstQmRunner : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init() { setUi(&m_ui); }
    void cleanup()
    {
        setUi(nullptr);
        m_ui.clear();
    }
    void run_data();
    void run();
    void cancelStopsAfterRunningProcedure();
    void criticalErrorInGroupWithPassesLeft();
    void unknownProcedure();
    void checkRules();
    void einzelauswahlOffChecksAll();
    void listForHardwareType();

private:
    ScriptedUserInterface m_ui;
};

void TstQmRunner::run_data()
{
    QTest::addColumn<QList<QmRow>>("rows");
    QTest::addColumn<QStringList>("unchecked");
    QTest::addColumn<QStringList>("fails"); // procedure:result,result,...
    QTest::addColumn<QStringList>("calls");
    QTest::addColumn<QString>("colours");

    QTest::newRow("three passes, coloured by the third (fail)")
        << QList<QmRow>{group("G"), testRow("T", "P", 3)} << QStringList() << QStringList{"P:1,1,0"}
        << QStringList{"P", "P", "P"} << "G=hellblau T=rot";
    QTest::newRow("three passes, coloured by the third (pass)")
        << QList<QmRow>{group("G"), testRow("T", "P", 3)} << QStringList() << QStringList{"P:0,0,1"}
        << QStringList{"P", "P", "P"} << "G=hellblau T=gruen";
    QTest::newRow("group with two passes runs its tests twice in order")
        << QList<QmRow>{group("G", 2), testRow("A", "PA"), testRow("B", "PB")} << QStringList()
        << QStringList() << QStringList{"PA", "PB", "PA", "PB"} << "G=hellblau A=gruen B=gruen";
    QTest::newRow("entry without procedure stays light blue")
        << QList<QmRow>{group("G"), testRow("leer", QString()), testRow("B", "PB")} << QStringList()
        << QStringList() << QStringList{"PB"} << "G=hellblau leer=hellblau B=gruen";
    QTest::newRow("unchecked entry stays black")
        << QList<QmRow>{group("G"), testRow("A", "PA"), testRow("B", "PB")} << QStringList{"A"}
        << QStringList() << QStringList{"PB"} << "G=hellblau A=schwarz B=gruen";
    QTest::newRow("unchecked group is not run")
        << QList<QmRow>{group("G"), testRow("A", "PA"), group("H"), testRow("B", "PB")}
        << QStringList{"G", "A"} << QStringList() << QStringList{"PB"}
        << "G=schwarz A=schwarz H=hellblau B=gruen";
    QTest::newRow("failure does not stop the run")
        << QList<QmRow>{group("G"), testRow("A", "PA"), testRow("B", "PB")} << QStringList()
        << QStringList{"PA:0"} << QStringList{"PA", "PB"} << "G=hellblau A=rot B=gruen";
    QTest::newRow("entries before any group are not shown")
        << QList<QmRow>{testRow("frei", "PF"), group("G"), testRow("A", "PA")} << QStringList()
        << QStringList() << QStringList{"PA"} << "G=hellblau A=gruen";
    QTest::newRow("name with an apostrophe")
        << QList<QmRow>{group("Gruppe 'eins'"), testRow("Peter's Test", "PA"),
                        testRow("x' OR '1'='1", "PB")}
        << QStringList() << QStringList{"PB:0"} << QStringList{"PA", "PB"}
        << "Gruppe 'eins'=hellblau Peter's Test=gruen x' OR '1'='1=rot";
    // A group with a procedure is coloured by the result its tests leave.
    QTest::newRow("group with a procedure of its own")
        << QList<QmRow>{{"G", 1, "PG", 1}, testRow("A", "PA")} << QStringList()
        << QStringList{"PA:0"} << QStringList{"PG", "PA"} << "G=rot A=rot";
}

void TstQmRunner::run()
{
    QFETCH(QList<QmRow>, rows);
    QFETCH(QStringList, unchecked);
    QFETCH(QStringList, fails);
    QFETCH(QStringList, calls);
    QFETCH(QString, colours);

    QmProject project;
    QString error;
    QVERIFY2(project.create(rows, &error), qPrintable(error));
    clsQMTest test(project.env());
    Fakes fakes;
    fakes.install(test, {"P", "PA", "PB", "PF", "PG"});
    for (const QString& f : fails) {
        const QStringList parts = f.split(QLatin1Char(':'));
        for (const QString& r : parts.at(1).split(QLatin1Char(',')))
            fakes.results[parts.at(0)] << (r == QLatin1String("1"));
    }
    QVERIFY(test.FillTestListe(&error));
    for (const QString& name : unchecked) {
        QMNode* node = test.QMListe().find(name);
        QVERIFY(node);
        node->checked = false;
    }
    test.Start();
    QCOMPARE(fakes.calls, calls);
    QCOMPARE(farben(test), colours);
    QVERIFY(test.QMListe().enabled());
    QVERIFY(m_ui.texts().isEmpty());
}

void TstQmRunner::cancelStopsAfterRunningProcedure()
{
    QmProject project;
    QString error;
    QVERIFY2(project.create({group("G"), testRow("A", "PA", 3), testRow("B", "PB"), group("H"),
                             testRow("C", "PC")},
                            &error),
             qPrintable(error));
    clsQMTest test(project.env());
    Fakes fakes;
    fakes.install(test, {"PA", "PB", "PC"});
    fakes.effects["PA"] = [](clsQMTest& t) { t.Abbruch(); };
    QVERIFY(test.FillTestListe(&error));
    test.Start();
    QCOMPARE(fakes.calls, QStringList{"PA"});
    QCOMPARE(farben(test), QStringLiteral("G=hellblau A=gruen B=schwarz H=schwarz C=schwarz"));

    // The next "Start" clears the cancel.
    fakes.calls.clear();
    fakes.effects.clear();
    test.Start();
    QCOMPARE(fakes.calls, (QStringList{"PA", "PA", "PA", "PB", "PC"}));
}

void TstQmRunner::criticalErrorInGroupWithPassesLeft()
{
    QmProject project;
    QString error;
    QVERIFY2(project.create({group("G", 2), testRow("A", "PA"), testRow("B", "PB"), group("H"),
                             testRow("C", "PC")},
                            &error),
             qPrintable(error));
    clsQMTest test(project.env());
    Fakes fakes;
    fakes.install(test, {"PA", "PB", "PC"});
    fakes.effects["PA"] = [](clsQMTest& t) { t.kritischerFehler = true; };
    fakes.results["PA"] = {false, false};
    QVERIFY(test.FillTestListe(&error));
    test.Start();
    // The critical error stops the group's level; its second pass starts again with the
    // flag cleared; after it nothing runs.
    QCOMPARE(fakes.calls, (QStringList{"PA", "PA"}));
    QCOMPARE(farben(test), QStringLiteral("G=hellblau A=rot B=schwarz H=schwarz C=schwarz"));
    QVERIFY(!test.allePassed());
}

void TstQmRunner::unknownProcedure()
{
    QmProject project;
    QString error;
    QVERIFY2(project.create({group("G"), testRow("A", "GibtEsNicht"), testRow("B", "PB")}, &error),
             qPrintable(error));
    clsQMTest test(project.env());
    Fakes fakes;
    fakes.install(test, {"PB"});
    QVERIFY(test.FillTestListe(&error));
    test.Start();
    QCOMPARE(m_ui.texts(),
             QStringList{clsQMTest::kAufrufFehler + "GibtEsNicht\r\n" + clsQMTest::kUnbekannt});
    QCOMPARE(fakes.calls, QStringList{"PB"});
    QCOMPARE(farben(test), QStringLiteral("G=hellblau A=rot B=gruen"));
}

void TstQmRunner::checkRules()
{
    QMTestTree tree;
    QMNode* g = tree.addGroup("G");
    QMNode* a = tree.addTest(g, "A");
    QMNode* b = tree.addTest(g, "B");
    QMNode* h = tree.addGroup("H");
    tree.NodeCheck(g, false);
    QVERIFY(!g->checked && !a->checked && !b->checked);
    QVERIFY(h->checked);
    tree.NodeCheck(a, true);
    QVERIFY(g->checked && a->checked);
    QVERIFY(!b->checked); // checking one test checks its group, not its siblings
    tree.NodeCheck(b, false);
    QVERIFY(g->checked); // unchecking a test leaves its group
    tree.setAllChecked(false);
    for (QMNode* n : tree.allNodes())
        QVERIFY(!n->checked);
    tree.setAllChecked(true);
    for (QMNode* n : tree.allNodes())
        QVERIFY(n->checked);
}

void TstQmRunner::einzelauswahlOffChecksAll()
{
    QMTestTree tree;
    QMNode* g = tree.addGroup("G");
    QMNode* a = tree.addTest(g, "A");
    tree.NodeCheck(g, false);
    tree.setCheckboxes(false);
    QVERIFY(!tree.checkboxes());
    QVERIFY(g->checked && a->checked);
}

void TstQmRunner::listForHardwareType()
{
    QmProject project;
    QString error;
    QmRow other = group("Andere");
    other.typ = 2;
    QmRow inactive = testRow("aus", "PA");
    inactive.aktiv = false;
    QVERIFY2(project.create({group("G"), inactive, testRow("A", "PA"), other}, &error),
             qPrintable(error));
    clsQMTest test(project.env());
    QVERIFY(test.FillTestListe(&error));
    QCOMPARE(test.QMListe().allNodes().size(), size_t(2));
    test.aktHWTyp = 2;
    QVERIFY(test.FillTestListe(&error));
    QCOMPARE(test.QMListe().allNodes().size(), size_t(1));
    QCOMPARE(test.QMListe().first()->text, QStringLiteral("Andere"));
}

QTEST_GUILESS_MAIN(TstQmRunner)
#include "tst_qmrunner.moc"
