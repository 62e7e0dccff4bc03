#include "app/frmhaupt.h"

#include "app/LinkStatusPanel.h"
#include "app/MainMenu.h"
#include "app/ProgressBarIndicator.h"
#include "app/QmTestBinding.h"
#include "app/RegisterFrame.h"
#include "app/frmStart.h"
#include "editors/ConsoleFrame.h"
#include "editors/DemoPage.h"
#include "editors/FesttextePage.h"
#include "editors/FirmwareTools.h"
#include "editors/InterfaceSettings.h"
#include "editors/IoPortsPage.h"
#include "editors/KonfigurationPage.h"
#include "editors/ProjektPage.h"
#include "editors/QmTestPage.h"
#include "editors/SchnittstellePage.h"
#include "editors/TastaturPage.h"
#include "editors/TerminalSettings.h"
#include "editors/UserZeichenPage.h"
#include "editors/frmVXSuchen.h"
#include "editors/frmVerify.h"
#include "link/ComPort.h"
#include "link/ComPortResolver.h"
#include "link/TimeoutTimer.h"
#include "link/clsVX.h"
#include "netmodule/clsNetModul.h"
#include "platform/Globals.h"
#include "platform/LocalWait.h"
#include "platform/ProgramInfo.h"
#include "platform/UserInterface.h"
#include "platform/clsInfo.h"
#include "project/DataEnvironment.h"
#include "project/ProgramDatabase.h"
#include "project/ProjectFiles.h"
#include "project/clsProjekt.h"
#include "qmtest/CoreProgrammingSeam.h"

#include <QAction>
#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTabBar>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace vemro {

namespace {

constexpr int kStatusPanelMinWidth = 160;

} // namespace

frmhaupt::frmhaupt(frmStart* start, QWidget* parent) : QMainWindow(parent), m_start(start)
{
    setObjectName(QStringLiteral("frmhaupt"));
    setWindowTitle(kProductName);

    m_tmrTimeout = new QTimer(this);
    m_tmrTimeout->setObjectName(QStringLiteral("tmrTimeout"));
    m_tmrTimeout->setInterval(2000);
    m_tmrTimeout->setSingleShot(true);
    connect(m_tmrTimeout, &QTimer::timeout, this, &frmhaupt::tmrTimeout_Timer);

    m_tmrDemo = new QTimer(this);
    m_tmrDemo->setObjectName(QStringLiteral("tmrDemo"));
    m_tmrDemo->setInterval(100);

    // The serial port is a control of the window, there before the start-up binds it.
    m_ctlcom = new ComPort(this);
    m_ctlcom->setObjectName(QStringLiteral("ctlcom"));

    buildPages();
    auto* menu = new MainMenu(*this, *m_projektPage);
    connect(menu, &MainMenu::compareRequested, this, &frmhaupt::mnuTerminalVergleichen_Click);
    m_registerFrame->buildDesignTabs();
    addPage(*m_projektPage);
}

frmhaupt::~frmhaupt()
{
    // The port (a child) outlives the resolver (a member): it must not look "Com n" up in
    // a program database that is gone.
    if (m_ctlcom)
        m_ctlcom->setResolver(nullptr);
    // The test binding (a child) outlives the programming transfers (a member).
    if (m_qmTest)
        m_qmTest->setSeam(nullptr);
}

void frmhaupt::buildPages()
{
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("frHaupt"));
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(8, 6, 8, 6);
    layout->setSpacing(6);

    m_registerFrame = new RegisterFrame(central);
    layout->addWidget(m_registerFrame, 1);
    connect(m_registerFrame, &RegisterFrame::tabChosen, this, &frmhaupt::ctlRegister_Click);

    m_projektPage = new ProjektPage(frRegister(EditMode::Projekt));
    pageLayout(EditMode::Projekt)->addWidget(m_projektPage);
    connect(m_projektPage, &ProjektPage::listingProjects, this, [this](const QString& folder) {
        if (m_start)
            m_start->setDetail(folder);
    });
    // The open project was deleted: the window is left without one, as at a start without one.
    connect(m_projektPage, &ProjektPage::projectClosed, this, [this] {
        m_registerFrame->buildDesignTabs();
        setPanelText(2, QStringLiteral("kein Projekt geöffnet"));
        for (QPushButton* b : {m_cmdRead, m_cmdSend, m_cmdKeep})
            b->setEnabled(false);
    });

    m_schnittstellePage = new SchnittstellePage(frRegister(EditMode::Schnittstelle));
    pageLayout(EditMode::Schnittstelle)->addWidget(m_schnittstellePage);
    m_konfigurationPage = new KonfigurationPage(frRegister(EditMode::Konfiguration));
    pageLayout(EditMode::Konfiguration)->addWidget(m_konfigurationPage);
    m_qmTestPage = new QmTestPage(frRegister(EditMode::QmTest));
    pageLayout(EditMode::QmTest)->addWidget(m_qmTestPage);

    m_frProjekt = new QGroupBox(QStringLiteral("aktuelles Projekt"), central);
    m_frProjekt->setObjectName(QStringLiteral("frProjekt"));
    auto* buttons = new QHBoxLayout(m_frProjekt);
    m_cmdRead = new QPushButton(QStringLiteral("vom Terminal lesen"), m_frProjekt);
    m_cmdRead->setObjectName(QStringLiteral("cmdReadfromTerminal"));
    m_cmdSend = new QPushButton(QStringLiteral("an Terminal senden"), m_frProjekt);
    m_cmdSend->setObjectName(QStringLiteral("cmdSaveinTerminal"));
    m_cmdKeep = new QPushButton(QStringLiteral("Konfiguration im Terminal dauerhaft speichern"),
                                m_frProjekt);
    m_cmdKeep->setObjectName(QStringLiteral("cmdSaveTerminalkonfiguration"));
    for (QPushButton* b : {m_cmdRead, m_cmdSend, m_cmdKeep}) {
        b->setEnabled(false); // usable once a project is open
        buttons->addWidget(b);
    }
    connect(m_cmdRead, &QPushButton::clicked, this, &frmhaupt::cmdReadfromTerminal_Click);
    connect(m_cmdSend, &QPushButton::clicked, this, &frmhaupt::cmdSaveinTerminal_Click);
    connect(m_cmdKeep, &QPushButton::clicked, this, &frmhaupt::cmdSaveTerminalkonfiguration_Click);
    buttons->addStretch(1);
    layout->addWidget(m_frProjekt);
    setCentralWidget(central);

    m_fortschritt = new QProgressBar(this);
    m_fortschritt->setObjectName(QStringLiteral("ctlFortschritt"));
    m_fortschritt->setMaximumWidth(220);
    m_fortschritt->setVisible(false);
    for (size_t i = 0; i < m_panels.size(); ++i) {
        m_panels[i] = new QLabel(this);
        m_panels[i]->setObjectName(QStringLiteral("stbPanel%1").arg(i + 1));
        m_panels[i]->setMinimumWidth(i == 0 ? kStatusPanelMinWidth : 120);
    }
    statusBar()->setObjectName(QStringLiteral("ctlStatusBar"));
    statusBar()->addWidget(m_panels[0], 2);
    statusBar()->addWidget(m_panels[1], 1);
    statusBar()->addWidget(m_panels[2], 1);
    statusBar()->addPermanentWidget(m_fortschritt);
    m_panels[1]->setText(QStringLiteral("kein Projekt geöffnet"));
}

void frmhaupt::showPage(int nr)
{
    const int tab = m_registerFrame->tabOf(nr);
    if (tab < 0)
        return;
    if (ctlRegister()->currentIndex() == tab)
        ctlRegister_Click();
    else
        ctlRegister()->setCurrentIndex(tab);
}

void frmhaupt::setPanelText(int panel, const QString& text)
{
    if (panel < 1 || panel > static_cast<int>(m_panels.size()))
        return;
    QLabel* label = m_panels[static_cast<size_t>(panel - 1)];
    label->setText(text);
    // Panel 1 carries the status of long actions ("Programiervorgang.... noch 1:23 min"):
    // it is shown whole, the other panels and the link's give way.
    if (panel == 1)
        label->setMinimumWidth(std::max(kStatusPanelMinWidth, label->sizeHint().width()));
}

QString frmhaupt::panelText(int panel) const
{
    if (panel >= 1 && panel <= static_cast<int>(m_panels.size()))
        return m_panels[static_cast<size_t>(panel - 1)]->text();
    return QString();
}

void frmhaupt::tmrTimeout_Timer()
{
    globals().TimeoutFlag = true;
    m_tmrTimeout->stop();
}

void frmhaupt::step(const QString& detail, int steps)
{
    if (!m_start)
        return;
    m_start->advance(steps);
    if (!detail.isNull())
        m_start->setDetail(detail);
}

bool frmhaupt::Init()
{
    // 1. The demo timer rests until the demo page starts it; the window gets its height.
    m_tmrDemo->stop();
    resize(qMax(width(), 1000), qMax(kHeightPx, sizeHint().height()));

    // 2.-4. The program-wide objects.
    (void)Info(); // created here, before anything can report
    if (!m_env) {
        m_envOwned = std::make_unique<DataEnvironment>();
        m_env = m_envOwned.get();
    }
    bindTimeoutTimer(m_tmrTimeout);
    m_net = new clsNetModul(this);
    m_net->setObjectName(QStringLiteral("ctlNetModul"));
    m_net->setTmrTimeout(m_tmrTimeout);
    m_net->UDPBefehlsport = 10000;
    m_net->UDPDatenport = 3001;
    m_progress = std::make_unique<ProgressBarIndicator>(m_fortschritt);
    m_vx = new clsVX(this);
    m_vx->setCtlcom(m_ctlcom);
    m_vx->setTmrTimeout(m_tmrTimeout);
    m_vx->setCtlNetModul(m_net);
    m_vx->setCtlFortschritt(m_progress.get());
    m_vx->enabled = true;
    // Which port or module, and how the last exchange went, always in view.
    statusBar()->addPermanentWidget(new LinkStatusPanel(*m_vx, *m_ctlcom, m_net, this));
    m_projekt = std::make_unique<clsProjekt>(*m_env);
    m_projekt->setWindow(this);
    m_projektPage->setProjekt(m_projekt.get());
    bindPages();

    // 5.
    step(QStringLiteral("DB init"), 2);
    setWindowTitle(kProductName);
    Info().setInfoLevel(0);
    globals().EscChar = QByteArray(1, '\x1b');

    // 6.-10. A failing step is skipped and the next one runs.
    const QString programFolder = ProgramFolder();
    const QString programDb = programFolder + QStringLiteral("/VEMRO.mdb");
    QString error;
    // Installed: the user's data folder, made and seeded on the first start.
    if (!PrepareProgramFolder(&error))
        Info().show(error, 0);
    if (!EnsureProgramDatabase(programDb, &error))
        Info().show(error, 0);
    m_env->close(DataEnvironment::kDaten);
    m_env->setConnectionString(
        DataEnvironment::kDaten,
        DataEnvironment::connectionText(programFolder + QStringLiteral("\\VEMRO.mdb")));
    if (!m_env->open(DataEnvironment::kDaten, &error))
        Info().show(error, 0);
    // "Com n" is looked up in this program database from here on.
    m_resolver = std::make_unique<ComPortResolver>(m_env->database(DataEnvironment::kDaten));
    m_ctlcom->setResolver(m_resolver.get());

    if (!m_env->execute(QStringLiteral("cmdAllgemein"), {}, &error)) {
        Info().show(error + QStringLiteral("es wird MDAC 2.7 oder höher benötigt"), 0);
        if (m_start)
            m_start->close();
        return false;
    }
    Recordset& settings = m_env->recordset(QStringLiteral("cmdAllgemein"));
    settings.moveFirst();

    const QString folder =
        ProjectFiles::ProjectFolder(programFolder, settings.value(QStringLiteral("ProjektPfad")));
    globals().Projektverzeichnis = folder;
    m_projekt->setBasispfad(folder);
    step(QStringLiteral("Projektpfad festlegen :") + folder);

    const int comPort = settings.value(QStringLiteral("ComPort")).toInt();
    step(QStringLiteral("Schnittstelle init"));
    m_interface->FillComCombos([this](const QString& text) {
        if (m_start)
            m_start->setDetail(text);
    });
    step(QStringLiteral("Schnittstelle setzen Com:") + QString::number(comPort), 0);
    m_interface->selectComPort(comPort);
    m_ctlcom->setCommPort(comPort);
    PauseMS(1); // let the window paint the progress
    step(QStringLiteral("Projektliste"));
    m_projektPage->FillProjektCombo();

    // 11.-12. From here on errors are not skipped.
    step(QStringLiteral("letztes Projekt öffen"));
    // Selected as the user's choice: the list's handler opens the project.
    const QString last = m_projekt->recentlyUsed();
    if (!last.isEmpty())
        m_projektPage->selectProject(last);

    // 13.
    step(QString());
    if (ctlRegister()->count() > 0) {
        if (ctlRegister()->currentIndex() == 0)
            ctlRegister_Click();
        else
            ctlRegister()->setCurrentIndex(0);
    }

    // 14.
    Info().setInfoLevel(9);
    if (m_start)
        m_start->finish();
    return true;
}

void frmhaupt::readTerminalInfoAtStart()
{
    const bool serial =
        m_vx && (m_vx->ComMode == ComMode::Rs232 || m_vx->ComMode == ComMode::Rs485);
    if (!m_projekt || !m_projekt->isOpen() || !serial || !m_ctlcom || !m_ctlcom->isOpen() ||
        !m_terminal)
        return;
    (void)m_terminal->ShowTerminalVersion();
}

void frmhaupt::closeEvent(QCloseEvent* event)
{
    const auto answer = ui().ask(QStringLiteral("Projekt speichern ?"),
                                 UserInterface::Buttons::YesNoCancel, kProductName);
    if (answer == UserInterface::Answer::Cancel) {
        // The window stays open, and so does the serial port: the link keeps working.
        event->ignore();
        return;
    }
    if (answer == UserInterface::Answer::Yes && m_projekt && m_projekt->isOpen())
        (void)m_projekt->SaveProjekt();
    if (m_ctlcom)
        m_ctlcom->close();
    event->accept();
}

void frmhaupt::mnuTerminalVergleichen_Click()
{
    if (!m_projekt || !m_projekt->isOpen()) {
        ui().message(QStringLiteral("kein Projekt geöffnet"), kProductName);
        return;
    }
    // Compared with the project as saved; the dialog runs its reads with the window locked.
    auto* dialog = new frmVerify(*m_vx, *m_env, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setLock([this](bool locked) {
        centralWidget()->setEnabled(!locked);
        menuBar()->setEnabled(!locked);
    });
    dialog->show();
    (void)dialog->vergleichen();
}

// ---- Pages and dispatch ----

void frmhaupt::bindPages()
{
    m_terminal = new TerminalSettings(*m_konfigurationPage, *m_vx, *m_env, this);
    m_interface = new InterfaceSettings(*m_schnittstellePage, *m_vx, *m_net, *m_env, this);
    connect(m_interface, &InterfaceSettings::speedsListed, m_qmTestPage, &QmTestPage::setSpeeds);
    connect(m_interface, &InterfaceSettings::progSpeedRestored, m_qmTestPage,
            &QmTestPage::selectSpeed);
    connect(m_qmTestPage, &QmTestPage::programmingSpeedRequested, m_interface,
            &InterfaceSettings::cmdSetSerComProg_Click);
    m_terminal->setRs485Selected(m_schnittstellePage->rs485Selected());
    connect(m_schnittstellePage, &SchnittstellePage::rs485Changed, m_terminal,
            &TerminalSettings::setRs485Selected);
    connect(m_terminal, &TerminalSettings::terminalInfoRead, m_projektPage,
            &ProjektPage::showTerminalInfo);
    connect(m_projektPage, &ProjektPage::terminalInfoRequested, m_terminal,
            &TerminalSettings::readTerminalInfo);
    auto* firmware = new FirmwareTools(*m_vx, m_konfigurationPage);
    firmware->setStatusText([this](const QString& text) { setPanelText(1, text); });
    // Nothing else may talk to the terminal during a bootloader session; "Beenden" stays (it
    // ends the session first).
    firmware->setWindowLock(
        [this, held = std::make_shared<QList<QPointer<QAction>>>()](bool locked) {
            centralWidget()->setEnabled(!locked);
            if (locked) {
                for (QAction* a : menuBar()->findChildren<QAction*>()) {
                    if (a->isEnabled() && !a->menu() &&
                        a->objectName() != QLatin1String("mnuDateiEnde")) {
                        a->setEnabled(false);
                        held->append(a);
                    }
                }
            } else {
                for (const QPointer<QAction>& a : *held)
                    if (a)
                        a->setEnabled(true);
                held->clear();
            }
        });
    m_konfigurationPage->toolsLayout()->addWidget(firmware);

    auto* console = new ConsoleFrame(m_vx, m_schnittstellePage);
    m_schnittstellePage->direktbefehleLayout()->addWidget(console);
    m_schnittstellePage->direktbefehleLayout()->addStretch(1);
    m_interface->setConsoleSendButton(console->cmdSenden());
    console->setBefehlskatalog(m_env);
    auto* festtexte = new FesttextePage(m_vx, *m_env, frRegister(EditMode::Festtexte));
    festtexte->setProgress(m_progress.get());
    pageLayout(EditMode::Festtexte)->addWidget(festtexte);
    connect(m_terminal, &TerminalSettings::displayTypeChanged, festtexte,
            &FesttextePage::ResizeFesttextPreview);
    auto* ioPorts = new IoPortsPage(m_vx, frRegister(EditMode::IoPorts));
    ioPorts->setMaximumWidth(560);
    pageLayout(EditMode::IoPorts)->addWidget(ioPorts, 0, Qt::AlignLeft);
    pageLayout(EditMode::IoPorts)->addStretch(1);
    frmVXSuchen::install(m_vx, this);
    auto* tastatur = new TastaturPage(m_vx, *m_env, frRegister(EditMode::Tastatur));
    pageLayout(EditMode::Tastatur)->addWidget(tastatur);
    auto* userzeichen = new UserZeichenPage(m_vx, *m_env, frRegister(EditMode::Userzeichen));
    pageLayout(EditMode::Userzeichen)->addWidget(userzeichen, 0, Qt::AlignLeft);
    pageLayout(EditMode::Userzeichen)->addStretch(1);
    auto* demo = new DemoPage(m_vx, m_tmrDemo, frRegister(EditMode::Demo));
    demo->setMaximumWidth(560);
    pageLayout(EditMode::Demo)->addWidget(demo, 0, Qt::AlignLeft);
    pageLayout(EditMode::Demo)->addStretch(1);
    m_qmTest = new QmTestBinding(*this);
    m_programmingSeam = std::make_unique<CoreProgrammingSeam>(*m_vx, *m_env);
    m_qmTest->setSeam(m_programmingSeam.get());

    addPage(*m_interface);
    addPage(*m_terminal);
    addPage(*ioPorts);
    addPage(*tastatur);
    addPage(*userzeichen);
    addPage(*demo);
    addPage(*festtexte);
}

void frmhaupt::setReadEnabled(bool enabled)
{
    m_cmdRead->setEnabled(enabled);
}

void frmhaupt::setSendEnabled(bool enabled)
{
    m_cmdSend->setEnabled(enabled);
}

void frmhaupt::setProjectFrameVisible(bool visible)
{
    m_frProjekt->setVisible(visible);
}

bool frmhaupt::FillRegisterTabs(QString* error)
{
    return m_registerFrame->FillRegisterTabs(*m_env, error);
}

bool frmhaupt::FillTestListe(QString* error)
{
    return m_fillTestListe ? m_fillTestListe(error) : true;
}

void frmhaupt::ctlRegister_Click()
{
    const int p = m_registerFrame->currentPage();
    m_registerFrame->showFrame(p);
    if (ctlRegister()->currentIndex() < 0)
        return;
    m_frProjekt->setVisible(true);
    if (m_projekt && m_projekt->isLoaded()) {
        m_cmdRead->setEnabled(true);
        m_cmdSend->setEnabled(true);
    }
    // The tab's FrameNr comes from the project: only a page number (0 to 9) is an edit
    // mode here; a sub-tab's mode must not run its transfers from a page not shown.
    m_editMode = p >= 0 && p < kPageCount ? fromStored<EditMode>(p) : std::nullopt;
    if (Page* shown = m_pages.page(p))
        shown->pageShown();
}

void frmhaupt::cmdReadfromTerminal_Click()
{
    const bool sendEnabled = m_cmdSend->isEnabled();
    m_cmdRead->setEnabled(false);
    m_cmdSend->setEnabled(false);
    const Page::Transfer t = m_pages.transfer(m_editMode);
    if (t.read)
        t.read();
    else
        ui().message(QStringLiteral("unbekannte Bearbeitungsfunktion"), kProductName);
    m_cmdRead->setEnabled(true);
    m_cmdSend->setEnabled(sendEnabled);
}

void frmhaupt::cmdSaveinTerminal_Click()
{
    const bool readEnabled = m_cmdRead->isEnabled();
    m_cmdRead->setEnabled(false);
    m_cmdSend->setEnabled(false);
    m_registerFrame->setPagesEnabled(false);
    const Page::Transfer t = m_pages.transfer(m_editMode);
    if (t.send)
        t.send();
    else
        ui().message(QStringLiteral("unbekannte Bearbeitungsfunktion"), kProductName);
    m_registerFrame->setPagesEnabled(true);
    m_cmdRead->setEnabled(readEnabled);
    m_cmdSend->setEnabled(true);
}

void frmhaupt::cmdSaveTerminalkonfiguration_Click()
{
    if (!m_terminal)
        return;
    m_cmdKeep->setEnabled(false);
    QString error;
    if (!m_terminal->core().keepConfiguration(&error))
        ui().message(error, kProductName);
    m_cmdKeep->setEnabled(true);
}

void frmhaupt::LoadFromProject(const QString& bezeichnung, QString& pending)
{
    m_projektPage->showProjectHeader(pending);
    m_pages.loadFromProject();
    m_cmdRead->setEnabled(true);
    m_cmdSend->setEnabled(true);
    m_cmdKeep->setEnabled(true);
    setPanelText(2, bezeichnung);
}

bool frmhaupt::RestoreInterface(QString& pending)
{
    const bool serial = m_interface ? m_interface->restoreFromProject(pending) : false;
    // Restoring the interface sets the interface sub-tab's edit mode; the page on screen
    // keeps its own, or "an Terminal senden" on page "Projekt" would switch the interface.
    ctlRegister_Click();
    return serial;
}

bool frmhaupt::SaveToProject(QString* error)
{
    return m_pages.saveToProject(error);
}

} // namespace vemro
