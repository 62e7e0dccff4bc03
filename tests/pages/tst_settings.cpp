#include "../projects/ProjectTestHome.h"
#include "FakeTerminal.h"

#include "app/frmhaupt.h"
#include "editors/InterfaceSettings.h"
#include "editors/KonfigurationPage.h"
#include "editors/ProjektPage.h"
#include "editors/QmTestPage.h"
#include "editors/SchnittstellePage.h"
#include "editors/SelectComboEntry.h"
#include "editors/TerminalSettings.h"
#include "link/MemoryTransport.h"
#include "link/clsVX.h"
#include "netmodule/clsNetModul.h"
#include "platform/Globals.h"
#include "platform/ScriptedUserInterface.h"
#include "project/DataEnvironment.h"
#include "project/clsProjekt.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>

using namespace vemro;

class TstSettings : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void readFromTerminal();
    void readFromSilentTerminal_data();
    void readFromSilentTerminal();
    void sendAndReadBack();
    void contrastSliderSendsAtOnce();
    void displayTypeWithoutX();
    void displayTypeSizesPreview();
    void invalidDataSide();
    void saveProjectStoresModeAndDisplay();
    void setzen_data();
    void setzen();
    void setzenNeedsSpeedAndPort();
    void networkProjectSelectsNetworkTab();
    void storedSearchResultAfterRestart();
    void nullComsettingsProg();
    void rs485StaysSelected();
    void qmTestSpeed();
    void nullFesttextPort();
    void keepConfiguration_data();
    void keepConfiguration();
    void serialSubTabDispatch();
    void readEnabledAfterFirstProject();
    void contrastStepsCoalesce();

private:
    void open(frmhaupt& window, const QString& name);
    std::unique_ptr<ProjectTestHome> m_home;
    ScriptedUserInterface m_ui;
    std::unique_ptr<FakeTerminal> m_fake;
};

void TstSettings::init()
{
    m_home = std::make_unique<ProjectTestHome>();
    setUi(&m_ui);
    m_ui.clear();
    globals().ControlsUpdating = false;
    m_fake = std::make_unique<FakeTerminal>();
}

void TstSettings::cleanup()
{
    setUi(nullptr);
    m_home.reset();
    m_fake.reset();
}

void TstSettings::open(frmhaupt& window, const QString& name)
{
    (void)SelectComboEntry(window.projektPage()->cboProjekte(), name, true);
    QCOMPARE(window.Projekt().Bezeichnung(), name);
}

void TstSettings::readFromTerminal()
{
    QVERIFY(m_home->makeProject(QStringLiteral("Anlage1")));
    frmhaupt window;
    m_fake->attach(*window.ctlcom());
    QVERIFY(window.Init());
    open(window, QStringLiteral("Anlage1"));
    m_fake->flags = 1 + 16 + 64;
    m_fake->rows = 2;
    m_fake->cols = 16;
    m_fake->backlight = 0;
    m_fake->contrast = 11;
    KonfigurationPage* page = window.konfigurationPage();
    window.showPage(4);
    window.cmdReadfromTerminal_Click();
    QVERIFY2(m_ui.texts().isEmpty(), qPrintable(m_ui.texts().join('|')));
    QVERIFY(page->ctlParameterSendmode(1)->isChecked());
    QVERIFY(page->ctlIOPortsEnable()->isChecked());
    QVERIFY(page->ctlFesttextmodusenabled()->isChecked());
    QVERIFY(!page->ctlTastaturEnable()->isChecked());
    QVERIFY(!page->ctlEinschaltmeldungEnabled()->isChecked());
    QCOMPARE(page->cboDisplayTyp()->currentText(), QStringLiteral("16x2"));
    QVERIFY(!page->ctlDisplayBacklight()->isChecked());
    QCOMPARE(page->ctlDisplaykontrast()->value(), 11);
    QCOMPARE(window.projektPage()->lblTerminalVersion()->text(), QStringLiteral("2.30"));
    QCOMPARE(window.projektPage()->txtTerminalSerNr()->text(), QStringLiteral("004711"));
    QCOMPARE(window.terminal()->Cols, 16);
    // Reading changes nothing in the terminal.
    for (const QByteArray& c : m_fake->commands)
        QVERIFY2(c.startsWith('?') || c.contains('?'), c.constData());
}

void TstSettings::readFromSilentTerminal_data()
{
    QTest::addColumn<QList<QByteArray>>("mute");
    QTest::newRow("silent") << QList<QByteArray>{QByteArray()};
    QTest::newRow("mode unanswered") << QList<QByteArray>{"K?M"};
    QTest::newRow("version unanswered") << QList<QByteArray>{"?V"};
    QTest::newRow("port 0 unanswered") << QList<QByteArray>{"?P"};
}

// A read that gets no valid answer says so and changes nothing: not the controls, not the
// terminal object (its parameter form stays decimal), not the terminal information shown.
void TstSettings::readFromSilentTerminal()
{
    QFETCH(QList<QByteArray>, mute);
    QVERIFY(m_home->makeProject(QStringLiteral("Anlage1")));
    frmhaupt window;
    m_fake->attach(*window.ctlcom());
    QVERIFY(window.Init());
    open(window, QStringLiteral("Anlage1"));
    KonfigurationPage* page = window.konfigurationPage();
    window.showPage(4);
    window.cmdReadfromTerminal_Click();
    QVERIFY2(m_ui.texts().isEmpty(), qPrintable(m_ui.texts().join('|')));

    // What the terminal would report now differs in every value.
    m_fake->flags = 16 + 64;
    m_fake->rows = 2;
    m_fake->cols = 16;
    m_fake->backlight = 0;
    m_fake->contrast = 3;
    m_fake->version = "9.99";
    m_fake->serNr = "000001";
    m_fake->mute = mute;
    const bool decimal = page->ctlParameterSendmode(1)->isChecked();
    const bool keyboard = page->ctlTastaturEnable()->isChecked();
    const QString type = page->cboDisplayTyp()->currentText();
    const bool backlight = page->ctlDisplayBacklight()->isChecked();
    const int contrast = page->ctlDisplaykontrast()->value();
    const QString version = window.projektPage()->lblTerminalVersion()->text();
    const QString serNr = window.projektPage()->txtTerminalSerNr()->text();
    clsVX* vx = window.terminal();
    const int parameterMode = vx->ParameterMode;
    const qint16 cols = vx->Cols;
    const QString vxSerNr = vx->SerNr;
    QCOMPARE(parameterMode, 1);

    m_ui.clear();
    window.cmdReadfromTerminal_Click();
    QCOMPARE(m_ui.texts(), QStringList{QStringLiteral("Terminal nicht ansprechbar")});
    QCOMPARE(page->ctlParameterSendmode(1)->isChecked(), decimal);
    QCOMPARE(page->ctlTastaturEnable()->isChecked(), keyboard);
    QCOMPARE(page->cboDisplayTyp()->currentText(), type);
    QCOMPARE(page->ctlDisplayBacklight()->isChecked(), backlight);
    QCOMPARE(page->ctlDisplaykontrast()->value(), contrast);
    QCOMPARE(window.projektPage()->lblTerminalVersion()->text(), version);
    QCOMPARE(window.projektPage()->txtTerminalSerNr()->text(), serNr);
    QCOMPARE(vx->ParameterMode, parameterMode);
    QCOMPARE(vx->Cols, cols);
    QCOMPARE(vx->SerNr, vxSerNr);
    // Nothing was sent to the terminal on the way.
    for (const QByteArray& c : m_fake->commands)
        QVERIFY2(c.contains('?'), c.constData());
}

void TstSettings::sendAndReadBack()
{
    QVERIFY(m_home->makeProject(QStringLiteral("Anlage1")));
    frmhaupt window;
    m_fake->attach(*window.ctlcom());
    QVERIFY(window.Init());
    open(window, QStringLiteral("Anlage1"));
    KonfigurationPage* page = window.konfigurationPage();
    window.showPage(4);
    page->ctlParameterSendmode(1)->setChecked(true);
    page->ctlTerminalAntwort(1)->setChecked(true); // CAN
    page->ctlTastaturEnable()->setChecked(true);
    page->ctlIOPortsEnable()->setChecked(true);
    page->ctlEinschaltmeldungEnabled()->setChecked(false);
    page->ctlFesttextmodusenabled()->setChecked(true);
    page->txtFesttextPort()->setText(QStringLiteral("3 Stück"));
    {
        ControlsUpdatingGuard quiet; // set the controls without the live handlers
        page->cboDisplayTyp()->setCurrentText(QStringLiteral("40x2"));
        page->ctlDisplayBacklight()->setChecked(false);
        page->ctlDisplaykontrast()->setValue(5);
    }
    m_fake->commands.clear();
    window.cmdSaveinTerminal_Click();
    QCOMPARE(m_fake->flags, 1 + 8 + 16 + 64); // CAN: the value-2 bit stays clear
    QCOMPARE(m_fake->festtextPort, 3);
    QCOMPARE(m_fake->rows, 2);
    QCOMPARE(m_fake->cols, 40);
    QCOMPARE(m_fake->backlight, 0);
    QCOMPARE(m_fake->contrast, 5);
    QCOMPARE(window.terminal()->SendMode, 4);
    // Read back: the answer channel reads as 0 and leaves the options as they were.
    page->ctlParameterSendmode(0)->setChecked(true);
    window.cmdReadfromTerminal_Click();
    QVERIFY(page->ctlParameterSendmode(1)->isChecked());
    QVERIFY(page->ctlTerminalAntwort(1)->isChecked());
    QCOMPARE(window.terminal()->SendMode, 0);
    QCOMPARE(page->cboDisplayTyp()->currentText(), QStringLiteral("40x2"));
    QCOMPARE(page->ctlDisplaykontrast()->value(), 5);
    QVERIFY(!page->ctlDisplayBacklight()->isChecked());
    QVERIFY(m_ui.texts().isEmpty());
}

// The display type chosen on page "Konfiguration" gives the fixed-text preview its size.
void TstSettings::displayTypeSizesPreview()
{
    QVERIFY(m_home->makeProject(QStringLiteral("Anlage1")));
    frmhaupt window;
    m_fake->attach(*window.ctlcom());
    QVERIFY(window.Init());
    open(window, QStringLiteral("Anlage1"));
    QComboBox* types = window.konfigurationPage()->cboDisplayTyp();
    auto* preview = window.findChild<QPlainTextEdit*>(QStringLiteral("txtFesttextVorschau"));
    QVERIFY(preview);
    types->setCurrentText(QStringLiteral("16x2"));
    const QSize small = preview->size();
    types->setCurrentText(QStringLiteral("40x4"));
    QVERIFY(preview->width() > small.width());
    QVERIFY(preview->height() > small.height());
    QCOMPARE(window.terminal()->Cols, 40);
    QVERIFY(m_ui.texts().isEmpty());
}

void TstSettings::contrastSliderSendsAtOnce()
{
    QVERIFY(
        m_home->makeProject(QStringLiteral("Anlage1"), QStringLiteral("vx_standard"),
                            {QStringLiteral("UPDATE Terminaleinstellungen SET Kontrast = 12")}));
    frmhaupt window;
    m_fake->attach(*window.ctlcom());
    QVERIFY(window.Init());
    open(window, QStringLiteral("Anlage1"));
    // Loading the project set the slider without sending.
    QCOMPARE(window.konfigurationPage()->ctlDisplaykontrast()->value(), 12);
    for (const QByteArray& c : m_fake->commands)
        QVERIFY2(!c.startsWith("LK"), c.constData());
    window.konfigurationPage()->ctlDisplaykontrast()->setValue(7);
    QTRY_COMPARE(m_fake->contrast, 7);
    QCOMPARE(m_home
                 ->projectValue(QStringLiteral("Anlage1"),
                                QStringLiteral("SELECT Kontrast FROM Terminaleinstellungen"))
                 .toInt(),
             7);
    window.konfigurationPage()->ctlDisplayBacklight()->setChecked(false);
    QTRY_COMPARE(m_fake->backlight, 0);
    QCOMPARE(m_home
                 ->projectValue(QStringLiteral("Anlage1"),
                                QStringLiteral("SELECT Backlight FROM Terminaleinstellungen"))
                 .toInt(),
             0);
}

void TstSettings::displayTypeWithoutX()
{
    QVERIFY(m_home->makeProject(QStringLiteral("Anlage1"), QStringLiteral("vx_standard"),
                                {QStringLiteral("INSERT INTO Display VALUES ('groß')")}));
    frmhaupt window;
    m_fake->attach(*window.ctlcom());
    QVERIFY(window.Init());
    open(window, QStringLiteral("Anlage1"));
    {
        ControlsUpdatingGuard quiet;
        window.konfigurationPage()->cboDisplayTyp()->setCurrentText(QStringLiteral("groß"));
    }
    m_ui.clear();
    m_fake->commands.clear();
    (void)window.terminalSettings()->SetDisplayAufloesung(DataSide::Terminal);
    QCOMPARE(m_ui.texts(),
             QStringList{QStringLiteral("ungültiger Eintrag in Displayauswahlliste")});
    QTRY_VERIFY(!m_fake->commands.isEmpty());
    QCOMPARE(m_fake->commands.last(), QByteArray("LA4,20;")); // sent with the sizes it had
}

void TstSettings::invalidDataSide()
{
    frmhaupt window;
    m_fake->attach(*window.ctlcom());
    QVERIFY(window.Init());
    TerminalSettings* t = window.terminalSettings();
    t->GetTerminalMode(static_cast<DataSide>(2));
    (void)t->SetTerminalmode(static_cast<DataSide>(-1));
    t->GetTerminalInfo(static_cast<DataSide>(3));
    (void)t->SetDisplayKontrast(static_cast<DataSide>(2));
    QCOMPARE(m_ui.texts(), QStringList(4, QStringLiteral("nicht implememtierte Datenquelle")));
    m_ui.clear();
    window.interfaceSettings()->SetRegisterSchnittstelleProps(5);
    QCOMPARE(m_ui.texts(), QStringList{QStringLiteral("Bearbeitungsmodus unbekannt")});
}

void TstSettings::saveProjectStoresModeAndDisplay()
{
    QVERIFY(m_home->makeProject(QStringLiteral("Anlage1")));
    frmhaupt window;
    m_fake->attach(*window.ctlcom());
    QVERIFY(window.Init());
    open(window, QStringLiteral("Anlage1"));
    KonfigurationPage* page = window.konfigurationPage();
    clsVX* vx = window.terminal();
    // A box ticked without sending keeps the terminal object's value; the port box and
    // the RS485 choice are taken from the window.
    const bool wasIo = vx->IOPortsEnabled;
    page->ctlIOPortsEnable()->setChecked(!wasIo);
    page->txtFesttextPort()->setText(QStringLiteral("6"));
    window.schnittstellePage()->ctlSchnittstelleMode(1)->setChecked(true);
    vx->Cols = 40;
    vx->Rows = 2;
    QVERIFY(window.Projekt().SaveProjekt());
    const QString q =
        QStringLiteral("SELECT IOPortsEnabled || '|' || FesttextPort || '|' || UseRS485 "
                       "|| '|' || Display_Spalten || 'x' || Display_Zeilen FROM "
                       "Terminaleinstellungen");
    QCOMPARE(m_home->projectValue(QStringLiteral("Anlage1"), q).toString(),
             QStringLiteral("%1|6|1|40x2").arg(wasIo ? 1 : 0));
}

void TstSettings::setzen_data()
{
    QTest::addColumn<QByteArray>("firmware");
    QTest::addColumn<int>("resets");
    QTest::newRow("2.2 without reset") << QByteArray("2.2") << 0;
    QTest::newRow("2.30 with reset") << QByteArray("2.30") << 1;
}

void TstSettings::setzen()
{
    QFETCH(QByteArray, firmware);
    QFETCH(int, resets);
    QVERIFY(m_home->makeProject(QStringLiteral("Anlage1")));
    frmhaupt window;
    m_fake->attach(*window.ctlcom());
    QVERIFY(window.Init());
    m_fake->version = firmware;
    m_fake->resets = 0;
    open(window, QStringLiteral("Anlage1"));
    window.showPage(1);
    QCOMPARE(window.editMode(), EditMode::Seriell);
    QVERIFY(!window.cmdReadfromTerminal()->isEnabled());
    SchnittstellePage* page = window.schnittstellePage();
    page->cboComPort()->setCurrentIndex(3);
    page->cboSpeed()->setCurrentText(QStringLiteral("38400"));
    m_ui.clear();
    page->cmdSetSerCom()->click();
    QCOMPARE(m_fake->speedCode, 2);
    QCOMPARE(m_fake->resets, resets);
    QCOMPARE(window.ctlcom()->Settings(), QStringLiteral("38400,n,8,1"));
    QVERIFY(window.ctlcom()->isOpen());
    QCOMPARE(m_ui.texts(), QStringList{QStringLiteral("Terminal erfolgreich umgestellt")});
    QCOMPARE(m_home->programValue(QStringLiteral("SELECT ComPort FROM Allgemein")).toInt(), 3);
    QCOMPARE(m_home
                 ->projectValue(QStringLiteral("Anlage1"),
                                QStringLiteral("SELECT Comsettings FROM Terminaleinstellungen"))
                 .toString(),
             QStringLiteral("38400,n,8,1"));
}

void TstSettings::setzenNeedsSpeedAndPort()
{
    frmhaupt window;
    m_fake->attach(*window.ctlcom());
    QVERIFY(window.Init());
    SchnittstellePage* page = window.schnittstellePage();
    page->cboSpeed()->setCurrentIndex(-1);
    page->cmdSetSerCom()->click();
    page->cboSpeed()->setCurrentIndex(0);
    page->cboComPort()->setCurrentIndex(-1);
    page->cmdSetSerCom()->click();
    window.terminal()->ComMode = ComMode::Network;
    (void)window.interfaceSettings()->SetSchnittstelle();
    window.terminal()->ComMode = static_cast<ComMode>(7);
    (void)window.interfaceSettings()->SetSchnittstelle();
    QCOMPARE(m_ui.texts(),
             (QStringList{QStringLiteral("Zuerst Schnittstellengeschwindigkeit wählen"),
                          QStringLiteral("Zuerst ComPort wählen"),
                          QStringLiteral("für Netzwerk noch nicht implementiert"),
                          QStringLiteral("ungültiger terminal.Commode")}));
}

void TstSettings::networkProjectSelectsNetworkTab()
{
    QVERIFY(m_home->makeProject(QStringLiteral("Netz1"), QStringLiteral("vx_standard"),
                                {QStringLiteral("UPDATE Allgemein SET lastComMode = 20")}));
    frmhaupt window;
    m_fake->attach(*window.ctlcom());
    QVERIFY(window.Init());
    m_fake->opens = 0; // the port probes of the start-up
    open(window, QStringLiteral("Netz1"));
    QCOMPARE(window.schnittstellePage()->ctlRegisterSchnittstelle()->currentIndex(), 1);
    QCOMPARE(window.terminal()->ComMode, ComMode::Network);
    QCOMPARE(m_fake->opens, 0); // the serial port is not touched
    QVERIFY(m_ui.texts().isEmpty());
    QCOMPARE(m_home
                 ->projectValue(QStringLiteral("Netz1"),
                                QStringLiteral("SELECT lastComMode FROM Allgemein"))
                 .toInt(),
             20);
    // Back to the serial sub-tab: written back at once.
    window.showPage(1);
    window.schnittstellePage()->ctlRegisterSchnittstelle()->setCurrentIndex(0);
    QCOMPARE(window.editMode(), EditMode::Seriell);
    QCOMPARE(m_home
                 ->projectValue(QStringLiteral("Netz1"),
                                QStringLiteral("SELECT lastComMode FROM Allgemein"))
                 .toInt(),
             0);
}

// After a restart the list shows the stored search result and the channel opens to its
// first row; the arrow keys choose another row as the mouse does; a row without a data
// port says so and leaves the channel as it was.
void TstSettings::storedSearchResultAfterRestart()
{
    QVERIFY(m_home->makeProject(QStringLiteral("Netz1"), QStringLiteral("vx_standard"),
                                {QStringLiteral("UPDATE Allgemein SET lastComMode = 20")}));
    {
        frmhaupt first;
        m_fake->attach(*first.ctlcom());
        QVERIFY(first.Init());
    }
    QVERIFY(ProjectTestHome::exec(
        m_home->path() + QStringLiteral("/VEMRO.mdb"),
        {QStringLiteral("DELETE FROM Suchergebnis"),
         QStringLiteral("INSERT INTO Suchergebnis (Typ, SerNr, IPAdresse, ZielIP, UDPDatenport, "
                        "Bezeichnung) VALUES ('VX', '1', '127.0.0.11', '127.0.0.1', 3001, 'A'), "
                        "('VX', '2', '127.0.0.12', '127.0.0.1', 3002, 'B'), "
                        "('VX', '3', '127.0.0.13', '127.0.0.1', NULL, 'C')")}));
    frmhaupt window;
    m_fake->attach(*window.ctlcom());
    QVERIFY(window.Init());
    QList<QPair<quint16, QString>> opened;
    window.netModul()->setOpener([&opened](quint16 port, const QString& host, QString&) {
        opened.append({port, host});
        return std::unique_ptr<Transport>(std::make_unique<MemoryTransport>());
    });
    open(window, QStringLiteral("Netz1"));
    window.showPage(1);
    QTableWidget* list = window.schnittstellePage()->ctlListeTerminal();
    QCOMPARE(window.schnittstellePage()->ctlRegisterSchnittstelle()->currentIndex(), 1);
    QCOMPARE(list->rowCount(), 3);
    QCOMPARE(list->item(1, 1)->text(), QStringLiteral("127.0.0.12"));
    QCOMPARE(list->currentRow(), 0);
    QVERIFY(!opened.isEmpty());
    QCOMPARE(opened.last(), qMakePair(quint16(3001), QStringLiteral("127.0.0.11")));
    QVERIFY2(m_ui.texts().isEmpty(), qPrintable(m_ui.texts().join('|')));

    list->setFocus();
    QTest::keyClick(list, Qt::Key_Down);
    QCOMPARE(list->currentRow(), 1);
    QCOMPARE(opened.last(), qMakePair(quint16(3002), QStringLiteral("127.0.0.12")));
    QCOMPARE(window.schnittstellePage()->txtDestinationIP()->text(), QStringLiteral("127.0.0.12"));

    const auto before = opened.size();
    QTest::keyClick(list, Qt::Key_Down);
    QCOMPARE(list->currentRow(), 2);
    QCOMPARE(opened.size(), before);
    QCOMPARE(m_ui.texts().size(), 1);
    QVERIFY2(m_ui.texts().first().contains(QStringLiteral("keinen UDP-Datenport")),
             qPrintable(m_ui.texts().first()));
    QCOMPARE(window.netModul()->lastHost(), QStringLiteral("127.0.0.12"));
}

void TstSettings::nullComsettingsProg()
{
    QVERIFY(m_home->makeProject(
        QStringLiteral("Anlage1"), QStringLiteral("vx_standard"),
        {QStringLiteral("UPDATE Terminaleinstellungen SET ComSettingsProg = NULL")}));
    frmhaupt window;
    m_fake->attach(*window.ctlcom());
    QVERIFY(window.Init());
    open(window, QStringLiteral("Anlage1"));
    QCOMPARE(m_home
                 ->projectValue(QStringLiteral("Anlage1"),
                                QStringLiteral("SELECT ComSettingsProg FROM Terminaleinstellungen"))
                 .toString(),
             QStringLiteral("19200,n,8n1"));
    QCOMPARE(window.qmTestPage()->cboComSpeedProg()->currentText(), QStringLiteral("19200"));
    QCOMPARE(window.schnittstellePage()->cboSpeed()->currentText(), QStringLiteral("19200"));
    QVERIFY(window.ctlcom()->isOpen());
}

void TstSettings::rs485StaysSelected()
{
    QVERIFY(m_home->makeProject(QStringLiteral("Bus485"), QStringLiteral("vx_standard"),
                                {QStringLiteral("UPDATE Terminaleinstellungen SET UseRS485 = 1")}));
    QVERIFY(
        m_home->makeProject(QStringLiteral("Anlage1"), QStringLiteral("vx_standard"),
                            {QStringLiteral("UPDATE Terminaleinstellungen SET UseRS485 = NULL")}));
    frmhaupt window;
    m_fake->attach(*window.ctlcom());
    QVERIFY(window.Init());
    open(window, QStringLiteral("Bus485"));
    QVERIFY(window.schnittstellePage()->ctlSchnittstelleMode(1)->isChecked());
    QCOMPARE(window.terminal()->ComMode, ComMode::Rs485);
    open(window, QStringLiteral("Anlage1"));
    QVERIFY(window.schnittstellePage()->ctlSchnittstelleMode(1)->isChecked());
    QCOMPARE(window.terminal()->ComMode, ComMode::Rs485);
}

void TstSettings::qmTestSpeed()
{
    QVERIFY(m_home->makeProject(QStringLiteral("Anlage1")));
    frmhaupt window;
    m_fake->attach(*window.ctlcom());
    QVERIFY(window.Init());
    open(window, QStringLiteral("Anlage1"));
    m_fake->commands.clear();
    window.qmTestPage()->cboComSpeedProg()->setCurrentText(QStringLiteral("9600"));
    window.qmTestPage()->cmdSetSerComProg()->click();
    QCOMPARE(window.ctlcom()->Settings(), QStringLiteral("9600,n,8,1"));
    QVERIFY(window.ctlcom()->isOpen());
    QVERIFY(m_fake->commands.isEmpty()); // the terminal is not told
    QCOMPARE(m_home
                 ->projectValue(QStringLiteral("Anlage1"),
                                QStringLiteral("SELECT ComSettingsProg FROM Terminaleinstellungen"))
                 .toString(),
             QStringLiteral("9600,n,8,1"));
}

void TstSettings::nullFesttextPort()
{
    QVERIFY(m_home->makeProject(
        QStringLiteral("Anlage1"), QStringLiteral("vx_standard"),
        {QStringLiteral("UPDATE Terminaleinstellungen SET FesttextPort = NULL")}));
    frmhaupt window;
    m_fake->attach(*window.ctlcom());
    QVERIFY(window.Init());
    window.konfigurationPage()->txtFesttextPort()->setText(QStringLiteral("5"));
    window.terminal()->FesttextPort = 5;
    open(window, QStringLiteral("Anlage1"));
    QCOMPARE(window.konfigurationPage()->txtFesttextPort()->text(), QStringLiteral("0"));
    QCOMPARE(window.terminal()->FesttextPort, 0);
}

void TstSettings::keepConfiguration_data()
{
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<bool>("leftover"); // an earlier exchange went unanswered
    QTest::newRow("ACK") << QByteArray(1, '\x06') << QStringList() << false;
    QTest::newRow("NAK") << QByteArray(1, '\x15')
                         << QStringList{"Das Terminal hat das dauerhafte Speichern abgelehnt (NAK)"}
                         << false;
    QTest::newRow("silent")
        << QByteArray()
        << QStringList{"Das Terminal hat das dauerhafte Speichern nicht bestätigt: "
                       "keine Antwort vom Terminal (Zeitüberschreitung)"}
        << false;
    QTest::newRow("ACK after an unanswered exchange")
        << QByteArray(1, '\x06') << QStringList() << true;
}

void TstSettings::keepConfiguration()
{
    QFETCH(QByteArray, answer);
    QFETCH(QStringList, messages);
    QFETCH(bool, leftover);
    QVERIFY(m_home->makeProject(QStringLiteral("Anlage1")));
    frmhaupt window;
    m_fake->attach(*window.ctlcom());
    QVERIFY(window.Init());
    open(window, QStringLiteral("Anlage1"));
    if (leftover) {
        // A confirmed write nobody answered leaves its code behind, unread.
        m_fake->saveAnswer = QByteArray();
        QByteArray save("\x1bKS");
        QVERIFY(window.terminal()->Send(save, true, true));
    }
    m_fake->saveAnswer = answer;
    m_ui.clear();
    window.cmdSaveTerminalkonfiguration()->click();
    QCOMPARE(m_fake->saves, leftover ? 2 : 1);
    QCOMPARE(m_ui.texts(), messages);
    QVERIFY(window.cmdSaveTerminalkonfiguration()->isEnabled());
}

// The first project of the run opens on a serial interface: page "Projekt" offers
// "vom Terminal lesen" at once, not only after the user switched pages.
void TstSettings::readEnabledAfterFirstProject()
{
    QVERIFY(m_home->makeProject(QStringLiteral("Anlage1")));
    frmhaupt window;
    m_fake->attach(*window.ctlcom());
    QVERIFY(window.Init());
    QVERIFY(!window.cmdReadfromTerminal()->isEnabled());
    open(window, QStringLiteral("Anlage1"));
    QCOMPARE(window.ctlRegister()->currentIndex(), 0);
    QVERIFY(window.cmdReadfromTerminal()->isEnabled());
}

// Dragging the slider: steps that come while one is being sent are not dropped; the
// terminal ends at the slider's last value.
void TstSettings::contrastStepsCoalesce()
{
    QVERIFY(m_home->makeProject(QStringLiteral("Anlage1")));
    frmhaupt window;
    m_fake->attach(*window.ctlcom());
    QVERIFY(window.Init());
    open(window, QStringLiteral("Anlage1"));
    QSlider* slider = window.konfigurationPage()->ctlDisplaykontrast();
    m_fake->commands.clear();
    // Two more steps arrive while the first is in its pause after sending.
    QTimer::singleShot(2, slider, [slider] { slider->setValue(4); });
    QTimer::singleShot(4, slider, [slider] { slider->setValue(11); });
    slider->setValue(2);
    QTRY_COMPARE(m_fake->contrast, 11);
    QTest::qWait(50);
    QCOMPARE(m_fake->contrast, 11);
    QVERIFY(m_ui.texts().isEmpty());
}

void TstSettings::serialSubTabDispatch()
{
    frmhaupt window;
    m_fake->attach(*window.ctlcom());
    QVERIFY(window.Init());
    window.setEditMode(EditMode::Seriell);
    window.cmdReadfromTerminal_Click();
    window.setEditMode(EditMode::Netzwerk);
    window.cmdReadfromTerminal_Click();
    window.cmdSaveinTerminal_Click();
    QCOMPARE(m_ui.texts(), (QStringList{QStringLiteral("nicht unterstützt"),
                                        QStringLiteral("unbekannte Bearbeitungsfunktion"),
                                        QStringLiteral("unbekannte Bearbeitungsfunktion")}));
}

QTEST_MAIN(TstSettings)
#include "tst_settings.moc"
