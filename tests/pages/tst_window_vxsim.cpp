#include "../projects/ProjectTestHome.h"
#include "../projects/SimProcess.h"

#include "app/frmhaupt.h"
#include "commands/frmBefehle.h"
#include "editors/InterfaceSettings.h"
#include "editors/KonfigurationPage.h"
#include "editors/ProjektPage.h"
#include "editors/SchnittstellePage.h"
#include "editors/SelectComboEntry.h"
#include "editors/TastaturPage.h"
#include "editors/UserZeichenPage.h"
#include "editors/frmVerify.h"
#include "link/ComPort.h"
#include "link/clsVX.h"
#include "netmodule/clsNetModul.h"
#include "platform/Globals.h"
#include "platform/ScriptedUserInterface.h"
#include "project/clsProjekt.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocalSocket>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QTreeWidget>

using namespace vemro;

// The main window against vxsim: over the simulator's pseudo-terminal and its network module.
class TstWindowVxsim : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void readChangeSendReadBack();
    void setzenSwitchesSpeed();
    void discoveryAndConsoleOverUdp();
    void verifyShowsDifferences();
    void keyTestAndSwapCharacter();

private:
    // Starts the window on project Anlage1 with "Com 1" leading to `pty`.
    std::unique_ptr<frmhaupt> startWindow(const QString& pty);
    std::unique_ptr<ProjectTestHome> m_home;
    ScriptedUserInterface m_ui;
};

void TstWindowVxsim::init()
{
    m_home = std::make_unique<ProjectTestHome>();
    setUi(&m_ui);
    m_ui.clear();
    globals().ControlsUpdating = false;
}

void TstWindowVxsim::cleanup()
{
    setUi(nullptr);
    m_home.reset();
}

std::unique_ptr<frmhaupt> TstWindowVxsim::startWindow(const QString& pty)
{
    auto window = std::make_unique<frmhaupt>();
    // "Com 1" is the simulator; the other ports lead nowhere.
    window->ctlcom()->setDeviceOverride(1, pty);
    for (int n = 2; n <= 8; ++n)
        window->ctlcom()->setDeviceOverride(n, pty + QStringLiteral("-fehlt%1").arg(n));
    if (!window->Init())
        return nullptr;
    window->ctlcom()->setCommPort(1);
    (void)SelectComboEntry(window->projektPage()->cboProjekte(), QStringLiteral("Anlage1"), true);
    return window;
}

void TstWindowVxsim::readChangeSendReadBack()
{
    QTemporaryDir dir;
    const QString pty = dir.filePath(QStringLiteral("vx"));
    // The terminal's display differs from the project's 20x4: the read must show the
    // terminal's.
    SimProcess sim({QStringLiteral("--pty-link"), pty, QStringLiteral("--firmware"),
                    QStringLiteral("2.7"), QStringLiteral("--sernr"), QStringLiteral("004799"),
                    QStringLiteral("--rows"), QStringLiteral("2"), QStringLiteral("--cols"),
                    QStringLiteral("40")});
    QVERIFY2(sim.waitFor(pty), qPrintable(sim.output()));
    QVERIFY(m_home->makeProject(QStringLiteral("Anlage1")));
    auto window = startWindow(pty);
    QVERIFY(window);
    QVERIFY(window->ctlcom()->isOpen());
    KonfigurationPage* page = window->konfigurationPage();
    window->showPage(4);
    QVERIFY(window->cmdReadfromTerminal()->isEnabled());
    window->cmdReadfromTerminal()->click();
    QCOMPARE(window->projektPage()->lblTerminalVersion()->text(), QStringLiteral("2.7"));
    QCOMPARE(window->projektPage()->txtTerminalSerNr()->text(), QStringLiteral("004799"));
    QCOMPARE(page->cboDisplayTyp()->currentText(), QStringLiteral("40x2"));
    const int contrast = page->ctlDisplaykontrast()->value();
    // Change and send.
    page->ctlEinschaltmeldungEnabled()->setChecked(
        !page->ctlEinschaltmeldungEnabled()->isChecked());
    const bool einschalt = page->ctlEinschaltmeldungEnabled()->isChecked();
    page->ctlFesttextmodusenabled()->setChecked(true);
    {
        ControlsUpdatingGuard quiet;
        page->cboDisplayTyp()->setCurrentText(QStringLiteral("16x2"));
        page->ctlDisplayBacklight()->setChecked(false);
        page->ctlDisplaykontrast()->setValue(contrast == 4 ? 5 : 4);
    }
    const int sentContrast = page->ctlDisplaykontrast()->value();
    QVERIFY(window->cmdSaveinTerminal()->isEnabled());
    window->cmdSaveinTerminal()->click();
    // Scramble the controls, then read back from the terminal.
    page->ctlEinschaltmeldungEnabled()->setChecked(!einschalt);
    page->ctlFesttextmodusenabled()->setChecked(false);
    {
        ControlsUpdatingGuard quiet;
        page->cboDisplayTyp()->setCurrentText(QStringLiteral("40x4"));
        page->ctlDisplayBacklight()->setChecked(true);
        page->ctlDisplaykontrast()->setValue(15);
    }
    QVERIFY(window->cmdReadfromTerminal()->isEnabled());
    window->cmdReadfromTerminal()->click();
    QCOMPARE(page->ctlEinschaltmeldungEnabled()->isChecked(), einschalt);
    QVERIFY(page->ctlFesttextmodusenabled()->isChecked());
    QCOMPARE(page->cboDisplayTyp()->currentText(), QStringLiteral("16x2"));
    QVERIFY(!page->ctlDisplayBacklight()->isChecked());
    QCOMPARE(page->ctlDisplaykontrast()->value(), sentContrast);
    // The slider sends at once: the terminal's port 0 follows it.
    page->ctlDisplaykontrast()->setValue(9);
    QCOMPARE(window->terminal()->GetIOPort(0) & 15, 9);
    QCOMPARE(m_home
                 ->projectValue(QStringLiteral("Anlage1"),
                                QStringLiteral("SELECT Kontrast FROM Terminaleinstellungen"))
                 .toInt(),
             9);
    // Made permanent in the terminal and saved into the project.
    window->cmdSaveTerminalkonfiguration()->click();
    QCOMPARE(window->terminal()->lastError(), LinkError::None);
    QVERIFY(window->Projekt().SaveProjekt());
    QCOMPARE(
        m_home
            ->projectValue(QStringLiteral("Anlage1"),
                           QStringLiteral("SELECT Display_Spalten || 'x' || Display_Zeilen || '|' "
                                          "|| Festtextmode FROM Terminaleinstellungen"))
            .toString(),
        QStringLiteral("16x2|1"));
    QVERIFY2(m_ui.texts().isEmpty(), qPrintable(m_ui.texts().join('|')));
}

void TstWindowVxsim::setzenSwitchesSpeed()
{
    QTemporaryDir dir;
    const QString pty = dir.filePath(QStringLiteral("vx"));
    SimProcess sim(
        {QStringLiteral("--pty-link"), pty, QStringLiteral("--firmware"), QStringLiteral("2.7")});
    QVERIFY2(sim.waitFor(pty), qPrintable(sim.output()));
    QVERIFY(m_home->makeProject(QStringLiteral("Anlage1")));
    auto window = startWindow(pty);
    QVERIFY(window);
    window->showPage(1);
    SchnittstellePage* page = window->schnittstellePage();
    (void)SelectComboEntry(page->cboSpeed(), QStringLiteral("38400"));
    {
        ControlsUpdatingGuard quiet;
        page->cboComPort()->setCurrentIndex(1);
    }
    page->cmdSetSerCom()->click();
    QCOMPARE(m_ui.texts(), QStringList{QStringLiteral("Terminal erfolgreich umgestellt")});
    QCOMPARE(window->ctlcom()->Settings(), QStringLiteral("38400,n,8,1"));
    QCOMPARE(m_home
                 ->projectValue(QStringLiteral("Anlage1"),
                                QStringLiteral("SELECT Comsettings FROM Terminaleinstellungen"))
                 .toString(),
             QStringLiteral("38400,n,8,1"));
    // The terminal answers at the new speed.
    QCOMPARE(window->terminal()->Version(), QStringLiteral("2.7"));
}

void TstWindowVxsim::discoveryAndConsoleOverUdp()
{
    SimProcess a({QStringLiteral("--no-pty"), QStringLiteral("--udp"),
                  QStringLiteral("127.0.77.31"), QStringLiteral("--sernr"),
                  QStringLiteral("000031"), QStringLiteral("--module-type"),
                  QStringLiteral("VX-NET")});
    SimProcess b({QStringLiteral("--no-pty"), QStringLiteral("--udp"),
                  QStringLiteral("127.0.77.32"), QStringLiteral("--sernr"),
                  QStringLiteral("000032"), QStringLiteral("--module-type"),
                  QStringLiteral("VX-NET")});
    QVERIFY2(a.waitFor(QStringLiteral("Datenport")), qPrintable(a.output()));
    QVERIFY2(b.waitFor(QStringLiteral("Datenport")), qPrintable(b.output()));
    QVERIFY(m_home->makeProject(QStringLiteral("Anlage1")));
    frmhaupt window;
    for (int n = 1; n <= 8; ++n)
        window.ctlcom()->setDeviceOverride(n,
                                           m_home->path() + QStringLiteral("/keinport%1").arg(n));
    QVERIFY(window.Init());
    (void)SelectComboEntry(window.projektPage()->cboProjekte(), QStringLiteral("Anlage1"), true);
    // Answers come to this address only, even if other programs share the ports.
    window.netModul()->setLocalAddress(QHostAddress(QStringLiteral("127.0.77.30")));
    window.showPage(1);
    SchnittstellePage* page = window.schnittstellePage();
    page->ctlRegisterSchnittstelle()->setCurrentIndex(1);
    QCOMPARE(window.editMode(), EditMode::Netzwerk);
    QCOMPARE(window.terminal()->ComMode, ComMode::Network);
    auto* senden = window.findChild<QPushButton*>(QStringLiteral("cmdSenden"));
    QVERIFY(senden);
    // The search goes to 255.255.255.255 unless the user picks an interface's address.
    QComboBox* broadcast = page->cboBroadcast();
    QVERIFY(broadcast->count() >= 1);
    QCOMPARE(broadcast->currentText(), QStringLiteral("255.255.255.255"));
    for (int i = 0; i < broadcast->count(); ++i) {
        const QHostAddress address(broadcast->itemText(i));
        QCOMPARE(address.protocol(), QAbstractSocket::IPv4Protocol);
        QCOMPARE(broadcast->findText(broadcast->itemText(i)), i); // each once
    }
    page->cmdNetzwerkdurchsuchen()->click();
    QTableWidget* list = page->ctlListeTerminal();
    // Other simulators on this computer may answer the broadcast too: look for ours.
    int rowA = -1;
    int rowB = -1;
    for (int r = 0; r < list->rowCount(); ++r) {
        if (list->item(r, 1)->text() == QLatin1String("127.0.77.31"))
            rowA = r;
        if (list->item(r, 1)->text() == QLatin1String("127.0.77.32"))
            rowB = r;
    }
    QVERIFY(rowA >= 0 && rowB >= 0);
    QVERIFY(rowA < rowB); // ordered by type, then address
    QVERIFY(!senden->isEnabled());
    // Choosing a row opens the channel to it; the console talks to that terminal.
    list->setCurrentCell(rowB, 0);
    QCOMPARE(page->txtDestinationIP()->text(), QStringLiteral("127.0.77.32"));
    QVERIFY(senden->isEnabled());
    window.findChild<QLineEdit*>(QStringLiteral("txtBefehl"))->setText(QStringLiteral("<ESC>?V"));
    senden->click();
    QTRY_VERIFY(senden->isEnabled());
    const QString reply =
        window.findChild<QLineEdit*>(QStringLiteral("txtTerminalAntwort"))->text();
    QVERIFY2(reply.contains(QStringLiteral("000032")), qPrintable(reply));
    // "Befehl einfügen" opens the builder on the project's catalogue; its command goes into
    // the command line.
    auto* einfuegen = window.findChild<QPushButton*>(QStringLiteral("cmdBefehleinfuegen_B"));
    QVERIFY(einfuegen && einfuegen->isEnabled());
    QTimer::singleShot(0, this, [] {
        auto* dialog = qobject_cast<frmBefehle*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        QVERIFY(dialog->selectNode(QStringLiteral("B101")));
        dialog->OKButton()->click();
    });
    einfuegen->click();
    QCOMPARE(window.findChild<QLineEdit*>(QStringLiteral("txtBefehl"))->text(),
             QStringLiteral("<ESC>LL"));
    QCOMPARE(m_home
                 ->projectValue(QStringLiteral("Anlage1"),
                                QStringLiteral("SELECT lastComMode FROM Allgemein"))
                 .toInt(),
             20);
}

// "Terminal mit Projekt vergleichen": a fresh terminal differs from the template in its
// switch-on message; the list names it under its area, in red, and leaves the project alone.
void TstWindowVxsim::verifyShowsDifferences()
{
    QTemporaryDir dir;
    const QString pty = dir.filePath(QStringLiteral("vx"));
    SimProcess sim({QStringLiteral("--pty-link"), pty});
    QVERIFY2(sim.waitFor(pty), qPrintable(sim.output()));
    QVERIFY(m_home->makeProject(QStringLiteral("Anlage1")));
    auto window = startWindow(pty);
    QVERIFY(window);
    // As a user does: a click on the menu bar's "Terminal", a click on the item.
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QMenuBar* bar = window->menuBar();
    auto* menu = window->findChild<QMenu*>(QStringLiteral("mnuTerminal"));
    auto* action = window->findChild<QAction*>(QStringLiteral("mnuTerminalVergleichen"));
    QVERIFY(menu && action && action->isEnabled());
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(menu->menuAction()).center());
    QVERIFY(menu->isVisible());
    QVERIFY(QTest::qWaitForWindowExposed(menu));
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
    auto* dialog = window->findChild<frmVerify*>();
    QVERIFY(dialog);
    QTreeWidget* list = dialog->ctlVergleich();
    QCOMPARE(list->topLevelItemCount(), 12);
    const QList<QTreeWidgetItem*> mode =
        list->findItems(QStringLiteral("Terminalmodus"), Qt::MatchExactly);
    QCOMPARE(mode.size(), 1);
    QCOMPARE(mode.first()->text(1), QStringLiteral("verschieden"));
    QCOMPARE(mode.first()->foreground(0).color(), QColor(0xB0, 0x00, 0x00));
    QCOMPARE(mode.first()->childCount(), 1);
    QCOMPARE(mode.first()->child(0)->text(0), QStringLiteral("Einschaltmeldung"));
    QCOMPARE(mode.first()->child(0)->text(1), QStringLiteral("ein"));
    QCOMPARE(mode.first()->child(0)->text(2), QStringLiteral("aus"));
    const QList<QTreeWidgetItem*> display =
        list->findItems(QStringLiteral("Displaygeometrie"), Qt::MatchExactly);
    QCOMPARE(display.first()->text(1), QStringLiteral("gleich"));
    QVERIFY(window->centralWidget()->isEnabled());
    QCOMPARE(
        m_home
            ->projectValue(QStringLiteral("Anlage1"),
                           QStringLiteral("SELECT Einschaltmeldung FROM Terminaleinstellungen"))
            .toInt(),
        1);
}

namespace {

// One command to vxsim's control socket; its answer up to the "OK"/"ERR" line.
QByteArray control(const QString& path, const QByteArray& command)
{
    QLocalSocket socket;
    socket.connectToServer(path);
    if (!socket.waitForConnected(5000))
        return {};
    socket.write(command + '\n');
    QByteArray answer;
    while (!answer.contains("OK") && !answer.contains("ERR") && socket.waitForReadyRead(5000))
        answer += socket.readAll();
    return answer;
}

} // namespace

// The hex key test asks "?T" for every key the terminal sends, on the port's receive event;
// a swap character edited alone is saved by "Projekt speichern ?" -> Ja.
void TstWindowVxsim::keyTestAndSwapCharacter()
{
    QTemporaryDir dir;
    const QString pty = dir.filePath(QStringLiteral("vx"));
    const QString ctl = dir.filePath(QStringLiteral("ctl"));
    SimProcess sim({QStringLiteral("--pty-link"), pty, QStringLiteral("--control"), ctl});
    QVERIFY2(sim.waitFor(QStringLiteral("Steuerung")), qPrintable(sim.output()));
    QVERIFY(m_home->makeProject(QStringLiteral("Anlage1")));
    auto window = startWindow(pty);
    QVERIFY(window);
    QVERIFY(window->ctlcom()->isOpen());
    window->showPage(3);
    QCOMPARE(window->editMode(), EditMode::TastaturAllgemein);
    auto* keys = window->findChild<TastaturPage*>();
    QVERIFY(keys);
    keys->ctlshowTastencodeHex()->setChecked(true);
    keys->cmdGetLastKey()->click(); // the query opens the receive events
    keys->txtTastaturTest()->clear();
    QVERIFY(control(ctl, "key 5").startsWith("OK"));
    QTRY_COMPARE(keys->txtTastaturTest()->text(), QStringLiteral("$65"));
    QVERIFY(control(ctl, "key 6").startsWith("OK"));
    QTRY_COMPARE(keys->txtTastaturTest()->text(), QStringLiteral("$65$66"));

    window->showPage(6);
    auto* chars = window->findChild<UserZeichenPage*>();
    QVERIFY(chars);
    chars->ctlUserZeichenAuswahl(4)->click();
    chars->txtUserZeichenTauschcode(4)->setText(QStringLiteral("W"));
    window->show();
    m_ui.queueAnswer(UserInterface::Answer::Yes);
    window->close();
    QCOMPARE(m_home
                 ->projectValue(QStringLiteral("Anlage1"),
                                QStringLiteral("SELECT Tauschzeichen FROM Userzeichen WHERE "
                                               "CGRamAdresse = 4"))
                 .toString(),
             QStringLiteral("W"));
    QCOMPARE(m_ui.texts(), QStringList{QStringLiteral("Projekt speichern ?")});
}

QTEST_MAIN(TstWindowVxsim)
#include "tst_window_vxsim.moc"
