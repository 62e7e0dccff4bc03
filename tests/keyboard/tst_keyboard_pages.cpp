// The pages "Tastatur", "User-Zeichen" and "Demos/Beispiele" as a user drives them, offscreen,
// on the virtual terminal in process and a project file on disk.
#include "../link/LinkFixture.h"
#include "../projects/ProjectTestHome.h"

#include "config/KeyboardSettings.h"
#include "config/UserCharacters.h"
#include "editors/DemoPage.h"
#include "editors/PageHost.h"
#include "editors/TastaturPage.h"
#include "editors/UserZeichenPage.h"
#include "platform/Globals.h"
#include "project/DataEnvironment.h"
#include "sim/VxTerminal.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

using namespace vemro;
using namespace vemro::test;

namespace {

struct Host : PageHost
{
    std::optional<EditMode> mode;
    [[nodiscard]] std::optional<EditMode> editMode() const override { return mode; }
    void setEditMode(EditMode m) override { mode = m; }
    void setReadEnabled(bool) override {}
    void setSendEnabled(bool) override {}
    void setProjectFrameVisible(bool) override {}
};

} // namespace

class tst_KeyboardPages : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<ProjectTestHome> m_home;
    std::unique_ptr<MemoryLink> m_link;
    std::unique_ptr<VxTerminal> m_terminal;
    QString m_file;

    QVariant db(const QString& sql) { return ProjectTestHome::query(m_file, sql); }

private slots:
    void init()
    {
        globals().CommandBuffer.clear();
        m_home = std::make_unique<ProjectTestHome>();
        QVERIFY(m_home->makeProject(QStringLiteral("pg")));
        m_file = m_home->projects() + QStringLiteral("pg.mdb");
        DataEnvironment& env = DataEnvironment::instance();
        env.close(DataEnvironment::kProjekt);
        env.setConnectionString(DataEnvironment::kProjekt, DataEnvironment::connectionText(m_file));
        QVERIFY(env.open(DataEnvironment::kProjekt, nullptr));
        m_link = std::make_unique<MemoryLink>();
        m_terminal = std::make_unique<VxTerminal>();
        m_link->attach(m_terminal.get(), &VxTerminal::receive, &VxTerminal::transmit);
    }
    void cleanup()
    {
        m_link.reset();
        m_terminal.reset();
        DataEnvironment::instance().close(DataEnvironment::kProjekt);
        m_home.reset();
    }

    void savingProjectTakesPageValues()
    {
        TastaturPage page(&m_link->vx, DataEnvironment::instance());
        page.loadFromProject();
        QCOMPARE(page.ctlTastaturMinPress()->value(), 5);
        QCOMPARE(page.ctlListeTastencodes()->rowCount(), 32);
        page.ctlTastaturMinPress()->setValue(42);
        page.check("ctlTastaturPolling")->setChecked(true);
        page.txtTastaturNrShifttaste()->setText(QStringLiteral("12"));
        QString error;
        QVERIFY2(page.saveToProject(&error), qPrintable(error));
        QCOMPARE(db(QStringLiteral("SELECT Mindestdauer FROM TastaturModus")).toInt(), 42);
        QCOMPARE(db(QStringLiteral("SELECT Polling FROM TastaturModus")).toInt(), 1);
        QCOMPARE(db(QStringLiteral("SELECT NrShifttaste FROM TastaturModus")).toInt(), 12);
    }

    void configToTerminalAndBack()
    {
        TastaturPage page(&m_link->vx, DataEnvironment::instance());
        page.ctlTastaturMinPress()->setValue(9);
        page.check("ctlTastaturTastenHupe")->setChecked(true);
        page.txtTastaturNrShifttaste()->setText(QStringLiteral("31"));
        QVERIFY(page.SetTastaturConfig(DataSide::Terminal));
        QCOMPARE(m_terminal->keyboardConfig().minPress, 9);
        QCOMPARE(m_terminal->keyboardConfig().shiftKey, 31);
        page.ctlTastaturMinPress()->setValue(1);
        QVERIFY(page.GetTastaturConfig(DataSide::Terminal));
        QCOMPARE(page.ctlTastaturMinPress()->value(), 9);
        QVERIFY(page.check("ctlTastaturTastenHupe")->isChecked());
        page.txtTastaturNrShifttaste()->setText(QStringLiteral("40"));
        QVERIFY(!page.SetTastaturConfig(DataSide::Terminal));
        QVERIFY(m_link->ui.texts().last().contains(QStringLiteral("Shift-Taste")));
        QVERIFY(!page.GetTastaturConfig(static_cast<DataSide>(2)));
        QCOMPARE(m_link->ui.texts().last(), QStringLiteral("nicht implememtierte Datenquelle"));
    }

    void gridRefusesCodeWithoutByte()
    {
        TastaturPage page(&m_link->vx, DataEnvironment::instance());
        page.GetTastaturcodes(DataSide::Projekt);
        QTableWidget* grid = page.ctlListeTastencodes();
        grid->item(4, 2)->setText(QStringLiteral("#200"));
        QVERIFY(m_link->ui.texts().last().contains(QStringLiteral("#0 bis #127")));
        QCOMPARE(grid->item(4, 2)->text(), QStringLiteral("E"));
        grid->item(4, 1)->setText(QStringLiteral("#15"));
        QCOMPARE(
            db(QStringLiteral("SELECT Tastencode FROM Tastencodes WHERE TastenNr = 5")).toString(),
            QStringLiteral("#15"));
        QVERIFY(page.SetTastaturcodes(DataSide::Terminal));
        QCOMPARE(int(m_terminal->keyCode(5)), 143);
    }

    void standardReplacesTable()
    {
        TastaturPage page(&m_link->vx, DataEnvironment::instance());
        page.GetTastaturcodes(DataSide::Projekt);
        QTest::mouseClick(page.cmdTastaturStandard(), Qt::LeftButton);
        QCOMPARE(db(QStringLiteral("SELECT COUNT(*) FROM Tastencodes")).toInt(), 32);
        QCOMPARE(
            db(QStringLiteral("SELECT Tastencode FROM Tastencodes WHERE TastenNr = 31")).toString(),
            QStringLiteral("\u007f"));
        QCOMPARE(page.ctlListeTastencodes()->item(0, 1)->text(), QStringLiteral("a"));
        QVERIFY(page.cmdTastaturStandard()->isEnabled());
    }

    void subTabsSetEditMode()
    {
        TastaturPage page(&m_link->vx, DataEnvironment::instance());
        Host host;
        page.setHost(&host);
        page.ctlRegisterTastatur()->setCurrentIndex(1);
        QCOMPARE(host.mode, EditMode::Tastencodes);
        page.ctlRegisterTastatur()->setCurrentIndex(0);
        QCOMPARE(host.mode, EditMode::TastaturAllgemein);
        host.mode = EditMode::Tastatur;
        page.pageShown();
        QCOMPARE(host.mode, EditMode::TastaturAllgemein);
        QCOMPARE(page.transfers().size(), 2);
    }

    void keyTest()
    {
        TastaturPage page(&m_link->vx, DataEnvironment::instance());
        Host host;
        host.mode = EditMode::TastaturAllgemein;
        page.setHost(&host);
        m_terminal->setKeyCodes(4, 10, 'X');
        page.ctlshowTastencodeHex()->setChecked(true);
        m_terminal->pressKey(4);
        m_terminal->releaseKey(4);
        QTest::mouseClick(page.cmdGetLastKey(), Qt::LeftButton);
        QCOMPARE(page.txtTastaturTest()->text(), QStringLiteral("$0A"));
        // Plain mode: a key pressed later arrives by itself.
        page.ctlshowTastencodeHex()->setChecked(false);
        page.txtTastaturTest()->clear();
        m_terminal->pressKey(2);
        m_terminal->releaseKey(2);
        QTRY_COMPARE(page.txtTastaturTest()->text(), QStringLiteral("b"));
        host.mode = EditMode::Tastencodes;
        m_terminal->pressKey(3);
        m_terminal->releaseKey(3);
        QTest::qWait(100);
        QCOMPARE(page.txtTastaturTest()->text(), QStringLiteral("b"));
    }

    void pixelsAndRowCodes()
    {
        UserZeichenPage page(&m_link->vx, DataEnvironment::instance());
        page.loadFromProject();
        QCOMPARE(page.lblHexCode(0)->text(), QStringLiteral("&H0A"));
        page.cmdCGclear_Click();
        QTest::mouseClick(page.cmdPixel(0), Qt::LeftButton);
        QTest::mouseClick(page.cmdPixel(4), Qt::LeftButton);
        QCOMPARE(page.lblHexCode(0)->text(), QStringLiteral("&H11"));
        QTest::mouseClick(page.cmdPixel(0), Qt::LeftButton);
        QCOMPARE(page.lblHexCode(0)->text(), QStringLiteral("&H01"));
        QVERIFY(page.changed());
        // Another slot: "No" discards the edit.
        m_link->ui.queueAnswer(UserInterface::Answer::No);
        QTest::mouseClick(page.ctlUserZeichenAuswahl(1), Qt::LeftButton);
        QCOMPARE(m_link->ui.texts().last(),
                 QStringLiteral("geändertes Zeichen in Projekt speichern ?"));
        QCOMPARE(page.currentSlot(), 1);
        QCOMPARE(db(QStringLiteral("SELECT Zeichenbyte0 FROM Userzeichen WHERE CGRAMAdresse = 0"))
                     .toInt(),
                 10);
        // "Yes" stores into the slot being left.
        page.cmdCGinvert_Click();
        m_link->ui.queueAnswer(UserInterface::Answer::Yes);
        QTest::mouseClick(page.ctlUserZeichenAuswahl(2), Qt::LeftButton);
        QCOMPARE(db(QStringLiteral("SELECT Zeichenbyte0 FROM Userzeichen WHERE CGRAMAdresse = 1"))
                     .toInt(),
                 21);
    }

    void swapBoxesMirror()
    {
        UserZeichenPage page(&m_link->vx, DataEnvironment::instance());
        QTest::keyClicks(page.txtUserZeichenTauschcode(3), QStringLiteral("AB"));
        QCOMPARE(page.txtUserZeichenTauschcode(3)->text(), QStringLiteral("A"));
        QCOMPARE(page.txtUserZeichenTauschcodeASCII(3)->text(), QStringLiteral("65"));
        page.txtUserZeichenTauschcodeASCII(3)->setText(QStringLiteral("300"));
        QCOMPARE(page.txtUserZeichenTauschcodeASCII(3)->text(), QStringLiteral("0"));
        QCOMPARE(page.txtUserZeichenTauschcode(3)->text(), QString(QChar(0)));
        page.txtUserZeichenTauschcodeASCII(3)->setText(QStringLiteral("228"));
        QCOMPARE(page.txtUserZeichenTauschcode(3)->text(), QStringLiteral("ä"));
    }

    // A swap character edited alone is an edit of the character: saved with the project,
    // discarded by "No" when leaving the slot.
    void swapEditIsSaved()
    {
        UserZeichenPage page(&m_link->vx, DataEnvironment::instance());
        page.loadFromProject();
        QVERIFY(!page.changed());
        auto swapOf = [this](int slot) {
            return db(QStringLiteral("SELECT Tauschzeichen FROM Userzeichen WHERE CGRAMAdresse = "
                                     "%1")
                          .arg(slot))
                .toString();
        };
        const QVariant rowsOf5 =
            db(QStringLiteral("SELECT Zeichenbyte0 || ',' || Zeichenbyte7 FROM Userzeichen WHERE "
                              "CGRAMAdresse = 5"));
        QTest::mouseClick(page.ctlUserZeichenAuswahl(2), Qt::LeftButton);
        page.txtUserZeichenTauschcode(2)->setText(QStringLiteral("Q"));
        QVERIFY(page.changed());
        // A slot's box changed without choosing the slot keeps that slot's pattern.
        page.txtUserZeichenTauschcodeASCII(5)->setText(QStringLiteral("90"));
        QString error;
        QVERIFY2(page.saveToProject(&error), qPrintable(error));
        QVERIFY(!page.changed());
        QCOMPARE(swapOf(2), QStringLiteral("Q"));
        QCOMPARE(swapOf(5), QStringLiteral("Z"));
        QCOMPARE(db(QStringLiteral("SELECT Zeichenbyte0 || ',' || Zeichenbyte7 FROM Userzeichen "
                                   "WHERE CGRAMAdresse = 5")),
                 rowsOf5);
        page.txtUserZeichenTauschcode(2)->setText(QStringLiteral("R"));
        m_link->ui.queueAnswer(UserInterface::Answer::No);
        QTest::mouseClick(page.ctlUserZeichenAuswahl(3), Qt::LeftButton);
        QCOMPARE(m_link->ui.texts().last(),
                 QStringLiteral("geändertes Zeichen in Projekt speichern ?"));
        QCOMPARE(page.txtUserZeichenTauschcode(2)->text(), QStringLiteral("Q"));
        QCOMPARE(page.txtUserZeichenTauschcodeASCII(2)->text(), QStringLiteral("81"));
        QVERIFY(!page.changed());
        QCOMPARE(swapOf(2), QStringLiteral("Q"));
    }

    void directLoadAndTransfer()
    {
        UserZeichenPage page(&m_link->vx, DataEnvironment::instance());
        page.loadFromProject();
        page.ctlUserzeichenanzeigen()->setChecked(true);
        page.cmdSaveUserzeichendirekt_Click();
        QCOMPARE(m_terminal->display().userCharRows(0),
                 (std::array<uchar, 8>{10, 0, 14, 1, 15, 17, 15, 0}));
        QCOMPARE(m_terminal->displayLine(0).left(5), QStringLiteral("<000>"));
        QCOMPARE(int(m_terminal->eepromCell(0)), 0); // nothing stored in the EEPROM
        page.txtUserZeichenTauschcode(0)->clear();
        page.cmdSaveUserzeichendirekt_Click();
        QCOMPARE(m_link->ui.texts().last(), QStringLiteral("Bitte gültiges Tauschzeichen angeben"));
        page.ReadUserzeichenfromRK();
        QCOMPARE(m_link->ui.texts().last(), QStringLiteral("noch nicht implementiert"));

        page.txtUserZeichenTauschcode(0)->setText(QStringLiteral("#"));
        page.sendToTerminal();
        QCOMPARE(db(QStringLiteral("SELECT Tauschzeichen FROM Userzeichen WHERE CGRAMAdresse = 0"))
                     .toString(),
                 QStringLiteral("#"));
        QCOMPARE(int(m_terminal->eepromCell(64)), int('#'));
        QCOMPARE(int(m_terminal->display().swapCode(0)), int('#')); // loaded by the reset
    }

    void demoStartStop()
    {
        QTimer timer;
        DemoPage page(&m_link->vx, &timer);
        m_terminal->setAnalog(95);
        QVERIFY(!page.cmdStopDemo()->isEnabled());
        QTest::mouseClick(page.cmdStartDemo(), Qt::LeftButton);
        QVERIFY(timer.isActive());
        QVERIFY(!page.cmdStartDemo()->isEnabled());
        QTRY_COMPARE(m_terminal->portOutput(0), 7);
        QTest::mouseClick(page.ctlAuswahlDemo(1), Qt::LeftButton);
        QVERIFY(!timer.isActive());
        QVERIFY(page.cmdStartDemo()->isEnabled());
        page.ctlPortDemo()->setValue(10);
        QTest::mouseClick(page.cmdStartDemo(), Qt::LeftButton);
        QTRY_COMPARE(m_terminal->portOutput(1), 3);
        QTest::mouseClick(page.cmdStopDemo(), Qt::LeftButton);
        QVERIFY(!timer.isActive());
        QVERIFY(!page.cmdStopDemo()->isEnabled());
    }
};

QTEST_MAIN(tst_KeyboardPages)
#include "tst_keyboard_pages.moc"
