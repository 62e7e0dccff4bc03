// The QM-Test panel's widgets offscreen: tree check boxes and colours, start and cancel
// buttons during a run, the log list, printing to PDF and the keyboard test dialog.
#include "QmFixture.h"

#include "editors/QmProtokollList.h"
#include "editors/QmTestPanel.h"
#include "editors/QmTestTreeWidget.h"
#include "editors/QtProtokollPrinter.h"
#include "editors/frmQMTestKeyboard.h"
#include "platform/ScriptedUserInterface.h"
#include "qmtest/QMKeyboardTest.h"
#include "qmtest/clsQMTest.h"

#include <QCheckBox>
#include <QPushButton>
#include <QtTest>

using namespace vemro;
using namespace vemro::test;

class TstQmPanel : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init() { setUi(&m_ui); }
    void cleanup() { setUi(nullptr); }
    void treeCheckBoxes();
    void runColoursAndButtons();
    void printToPdf();
    void keyboardDialog();

private:
    ScriptedUserInterface m_ui;
};

void TstQmPanel::treeCheckBoxes()
{
    QmProject project;
    QString error;
    QVERIFY(project.create({{"G", 1, {}, 1}, {"A", 2, "PA", 1}, {"B", 2, "PB", 1}}, &error));
    clsQMTest test(project.env());
    QmTestPanel panel(test);
    QVERIFY(test.FillTestListe(&error));
    QTreeWidget* tree = panel.ctlQMTests();
    QCOMPARE(tree->topLevelItemCount(), 1);
    QTreeWidgetItem* g = tree->topLevelItem(0);
    QCOMPARE(g->childCount(), 2);
    QVERIFY(g->isExpanded());
    // "einzeln auswählen" off: no check boxes, everything checked.
    QVERIFY(!panel.ctlQMEinzelauswahl()->isChecked());
    QVERIFY(!g->data(0, Qt::CheckStateRole).isValid());
    panel.ctlQMEinzelauswahl()->click();
    g = tree->topLevelItem(0);
    QCOMPARE(g->checkState(0), Qt::Checked);
    g->setCheckState(0, Qt::Unchecked); // as the tester's click
    QCOMPARE(g->child(0)->checkState(0), Qt::Unchecked);
    QCOMPARE(g->child(1)->checkState(0), Qt::Unchecked);
    g->child(1)->setCheckState(0, Qt::Checked);
    QCOMPARE(g->checkState(0), Qt::Checked);
    QVERIFY(!test.QMListe().find("A")->checked);
    panel.cmdQMTests_alle()->click();
    QVERIFY(test.QMListe().find("A")->checked);
    panel.cmdQMTests_keiner()->click();
    QCOMPARE(g->checkState(0), Qt::Unchecked);
}

void TstQmPanel::runColoursAndButtons()
{
    QmProject project;
    QString error;
    QVERIFY(project.create(
        {{"G", 1, {}, 1}, {"A", 2, "PA", 1}, {"B", 2, "PB", 1}, {"C", 2, "PC", 1}}, &error));
    clsQMTest test(project.env());
    QmTestPanel panel(test);
    bool prepared = false;
    panel.setPrepareRun([&] { prepared = true; });
    bool abbruchDuringRun = false;
    test.registerProcedure("PA", [&](QString*) {
        abbruchDuringRun = panel.cmdQMAbbruch()->isEnabled() &&
                           !panel.cmdQMEinzeltest()->isEnabled() &&
                           !panel.ctlQMTests()->isEnabled();
        test.QMProtokoll().add("Zeile A");
        return true;
    });
    test.registerProcedure("PB", [&](QString*) {
        test.QMProtokoll().add("Zeile B");
        panel.cmdQMAbbruch()->click();
        return false;
    });
    test.registerProcedure("PC", [](QString*) { return true; });
    QVERIFY(test.FillTestListe(&error));
    panel.cmdQMEinzeltest()->click();
    QVERIFY(prepared);
    QVERIFY(abbruchDuringRun);
    QVERIFY(panel.cmdQMEinzeltest()->isEnabled());
    QVERIFY(!panel.cmdQMAbbruch()->isEnabled());
    QVERIFY(panel.ctlQMTests()->isEnabled());
    QTreeWidgetItem* g = panel.ctlQMTests()->topLevelItem(0);
    QCOMPARE(g->foreground(0).color(), QColor(128, 128, 255));
    QCOMPARE(g->child(0)->foreground(0).color(), QColor(0, 192, 0));
    QCOMPARE(g->child(1)->foreground(0).color(), QColor(255, 0, 0));
    QCOMPARE(g->child(2)->foreground(0).color(), QColor(0, 0, 0)); // after the cancel
    QmProtokollList* list = panel.ctlQMProtokoll();
    QCOMPARE(list->count(), 2);
    QCOMPARE(list->item(1).at(2), QStringLiteral("Zeile B"));
    QVERIFY(!list->isColumnHidden(0)); // aktiv 6 shows date and time
}

void TstQmPanel::printToPdf()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("druck.pdf");
    QString error;
    QVERIFY2(QtProtokollPrinter::printToPdf(path, {"", "Protokoll von Vemro", "Zeile"}, &error),
             qPrintable(error));
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QVERIFY(f.read(5) == "%PDF-");
}

void TstQmPanel::keyboardDialog()
{
    auto* test = new QMKeyboardTest;
    QPointer<frmQMTestKeyboard> dialog = new frmQMTestKeyboard(*test);
    dialog->show();
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Test Tastaturmodul"));
    QVERIFY(!dialog->OKButton()->isEnabled());
    for (int k = 1; k <= 8; ++k) {
        test->markKey(k);
        QCOMPARE(test->CheckTasten(), k == 8);
        QCOMPARE(dialog->OKButton()->isEnabled(), k == 8);
    }
    QVERIFY(dialog->ctlTaste(0)->styleSheet().contains("0, 192, 0"));
    dialog->CancelButton()->click();
    QVERIFY(test->bCancel());
    // The step ends inside the run's waits (a nested event loop): the dialog must be gone
    // from the screen at once, not when the run ends.
    bool hiddenAtOnce = false;
    QEventLoop wait;
    QTimer::singleShot(0, &wait, [&] {
        delete test;
        hiddenAtOnce = dialog && !dialog->isVisible();
        wait.quit();
    });
    wait.exec();
    QVERIFY(hiddenAtOnce);
    QTRY_VERIFY(!dialog);
}

QTEST_MAIN(TstQmPanel)
#include "tst_qmpanel.moc"
