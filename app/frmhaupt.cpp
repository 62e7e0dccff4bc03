#include "app/frmhaupt.h"

#include "app/About.h"
#include "app/ProgressBarIndicator.h"
#include "app/QmTestBinding.h"
#include "app/frmProjektneu.h"
#include "app/frmStart.h"
#include "editors/ConsoleFrame.h"
#include "editors/InterfaceSettings.h"
#include "editors/IoPortsPage.h"
#include "editors/KonfigurationPage.h"
#include "editors/ProjektPage.h"
#include "editors/QmTestPage.h"
#include "editors/SchnittstellePage.h"
#include "editors/TerminalSettings.h"
#include "editors/frmVXSuchen.h"
#include "link/ComPort.h"
#include "link/TimeoutTimer.h"
#include "link/clsVX.h"
#include "netmodule/clsNetModul.h"
#include "platform/Globals.h"
#include "platform/LocalWait.h"
#include "platform/ProgramInfo.h"
#include "platform/SelectComboEntry.h"
#include "platform/UserInterface.h"
#include "platform/clsInfo.h"
#include "project/DataEnvironment.h"
#include "project/ProgramDatabase.h"
#include "project/ProjectFiles.h"
#include "project/clsProjekt.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace vemro {

namespace {

struct DesignPage
{
    int nr;
    const char* caption;
};

// The ten page frames with their design captions; a project's Register table decides
// which of them are shown as tabs and under which caption.
constexpr DesignPage kDesignPages[frmhaupt::kPageCount] = {
    {0, "Projekt"},       {1, "Schnittstelle"},   {2, "(reserviert)"}, {3, "Tastatur"},
    {4, "Konfiguration"}, {5, "Festtexte"},       {6, "User-Zeichen"}, {7, "IO-Ports"},
    {8, "QM-Test"},       {9, "Demos/Beispiele"},
};

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

    buildMenus();
    buildPages();
    buildDesignTabs();

    // Page 0 reads the terminal information; sending has nothing to do there. The
    // serial sub-tab cannot be read back from the terminal.
    setTransfer(0, {nullptr, [] {}});
    setTransfer(11,
                {[] { ui().message(QStringLiteral("nicht unterstützt"), kProductName); }, nullptr});
}

frmhaupt::~frmhaupt() = default;

void frmhaupt::buildMenus()
{
    QMenu* datei = menuBar()->addMenu(QStringLiteral("&Datei"));
    datei->setObjectName(QStringLiteral("mnuDatei"));
    QAction* neu = datei->addAction(QStringLiteral("neues Projekt"));
    neu->setObjectName(QStringLiteral("mnuDateiNeu"));
    connect(neu, &QAction::triggered, this, &frmhaupt::cmdNewProjekt_Click);
    QAction* open = datei->addAction(QStringLiteral("Projekt öffnen"));
    open->setObjectName(QStringLiteral("mnuDateiOpen"));
    connect(open, &QAction::triggered, this, &frmhaupt::mnuDateiOpen_Click);
    datei->addSeparator();
    QAction* ende = datei->addAction(QStringLiteral("Beenden"));
    ende->setObjectName(QStringLiteral("mnuDateiEnde"));
    connect(ende, &QAction::triggered, this, &QWidget::close);

    QMenu* hilfe = menuBar()->addMenu(QStringLiteral("&?"));
    hilfe->setObjectName(QStringLiteral("mnuHilfe"));
    QAction* handbuch = hilfe->addAction(QStringLiteral("Handbuch"));
    handbuch->setObjectName(QStringLiteral("mnuInfoHandbuch"));
    connect(handbuch, &QAction::triggered, this, &frmhaupt::mnuInfoHandbuch_Click);
    QAction* about = hilfe->addAction(QStringLiteral("Über..."));
    about->setObjectName(QStringLiteral("mnuHilfe_about"));
    connect(about, &QAction::triggered, this, &frmhaupt::mnuHilfe_about_Click);
}

void frmhaupt::buildPages()
{
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("frHaupt"));
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(8, 6, 8, 6);
    layout->setSpacing(6);

    m_register = new QTabBar(central);
    m_register->setObjectName(QStringLiteral("ctlRegister"));
    m_register->setExpanding(false);
    m_register->setDrawBase(true);
    layout->addWidget(m_register);

    m_stack = new QStackedWidget(central);
    m_stack->setObjectName(QStringLiteral("frRegisterStapel"));
    for (const DesignPage& page : kDesignPages) {
        auto* frame = new QGroupBox(QString::fromUtf8(page.caption), m_stack);
        frame->setObjectName(QStringLiteral("frRegister_%1").arg(page.nr));
        auto* pageLayout = new QVBoxLayout(frame);
        pageLayout->setContentsMargins(10, 10, 10, 10);
        m_frames[static_cast<size_t>(page.nr)] = frame;
        m_pageLayouts[static_cast<size_t>(page.nr)] = pageLayout;
        m_stack->addWidget(frame);
    }
    layout->addWidget(m_stack, 1);

    // Shown while no tab is listed: the pages cannot be reached.
    auto* none = new QWidget(m_stack);
    none->setObjectName(QStringLiteral("frKeineSeite"));
    m_stack->addWidget(none);
    connect(m_register, &QTabBar::currentChanged, this, [this](int) { ctlRegister_Click(); });

    m_projektPage = new ProjektPage(m_frames[0]);
    m_pageLayouts[0]->addWidget(m_projektPage);
    connect(m_projektPage->cboProjekte(), &QComboBox::currentIndexChanged, this,
            [this](int) { cboProjekte_Click(); });
    connect(m_projektPage->cmdNewProjekt(), &QPushButton::clicked, this,
            &frmhaupt::cmdNewProjekt_Click);
    connect(m_projektPage->cmdSaveProjectinDB(), &QPushButton::clicked, this,
            &frmhaupt::cmdSaveProjectinDB_Click);
    connect(m_projektPage->cmdDeleteProjectinDB(), &QPushButton::clicked, this,
            &frmhaupt::cmdDeleteProjectinDB_Click);

    m_schnittstellePage = new SchnittstellePage(m_frames[1]);
    m_pageLayouts[1]->addWidget(m_schnittstellePage);
    m_konfigurationPage = new KonfigurationPage(m_frames[4]);
    m_pageLayouts[4]->addWidget(m_konfigurationPage);
    m_qmTestPage = new QmTestPage(m_frames[8]);
    m_pageLayouts[8]->addWidget(m_qmTestPage);

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
        m_panels[i]->setMinimumWidth(i == 0 ? 260 : 160);
    }
    statusBar()->setObjectName(QStringLiteral("ctlStatusBar"));
    statusBar()->addWidget(m_panels[0], 2);
    statusBar()->addWidget(m_panels[1], 1);
    statusBar()->addWidget(m_panels[2], 1);
    statusBar()->addPermanentWidget(m_fortschritt);
    m_panels[1]->setText(QStringLiteral("kein Projekt geöffnet"));
}

void frmhaupt::buildDesignTabs()
{
    const QSignalBlocker blocker(m_register);
    while (m_register->count() > 0)
        m_register->removeTab(0);
    for (const DesignPage& page : kDesignPages) {
        const int index = m_register->addTab(QString::fromUtf8(page.caption));
        m_register->setTabData(index, page.nr);
    }
    m_register->setCurrentIndex(0);
    showFrame(0);
}

QVBoxLayout* frmhaupt::pageLayout(int nr) const
{
    return m_pageLayouts.at(static_cast<size_t>(nr));
}

void frmhaupt::showPage(int nr)
{
    for (int i = 0; i < m_register->count(); ++i) {
        if (m_register->tabData(i).toInt() == nr) {
            if (m_register->currentIndex() == i)
                ctlRegister_Click();
            else
                m_register->setCurrentIndex(i);
            return;
        }
    }
}

void frmhaupt::showFrame(int nr)
{
    if (nr >= 0 && nr < kPageCount)
        m_stack->setCurrentWidget(m_frames[static_cast<size_t>(nr)]);
    else
        m_stack->setCurrentIndex(kPageCount); // the empty page
}

int frmhaupt::currentPage() const
{
    const int index = m_register->currentIndex();
    return index < 0 ? -1 : m_register->tabData(index).toInt();
}

void frmhaupt::setPanelText(int panel, const QString& text)
{
    if (panel >= 1 && panel <= static_cast<int>(m_panels.size()))
        m_panels[static_cast<size_t>(panel - 1)]->setText(text);
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
    m_projekt = std::make_unique<clsProjekt>(*m_env);
    m_projekt->setWindow(this);
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
    if (!EnsureProgramDatabase(programDb, &error))
        Info().show(error, 0);
    m_env->close(DataEnvironment::kDaten);
    m_env->setConnectionString(
        DataEnvironment::kDaten,
        DataEnvironment::connectionText(programFolder + QStringLiteral("\\VEMRO.mdb")));
    if (!m_env->open(DataEnvironment::kDaten, &error))
        Info().show(error, 0);

    if (!m_env->execute(QStringLiteral("cmdAllgemein"), {}, &error)) {
        Info().show(error + QStringLiteral("es wird MDAC 2.7 oder höher benötigt"), 0);
        if (m_start)
            m_start->close();
        return false;
    }
    Recordset& settings = m_env->recordset(QStringLiteral("cmdAllgemein"));
    settings.moveFirst();

    const QVariant projektPfad = settings.value(QStringLiteral("ProjektPfad"));
    const QString folder = projektPfad.isNull()
                               ? programFolder + QLatin1Char('/')
                               : JoinStoredPath(programFolder, projektPfad.toString());
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
    {
        ControlsUpdatingGuard guard;
        m_schnittstellePage->cboComPort()->setCurrentIndex(comPort);
    }
    m_ctlcom->setCommPort(comPort);
    PauseMS(1); // let the window paint the progress
    step(QStringLiteral("Projektliste"));
    FillProjektCombo();

    // 11.-12. From here on errors are not skipped.
    step(QStringLiteral("letztes Projekt öffen"));
    if (m_env->execute(QStringLiteral("cmdProjektLRU"), {}, &error)) {
        Recordset& lru = m_env->recordset(QStringLiteral("cmdProjektLRU"));
        lru.moveFirst();
        if (!lru.eof()) {
            const QString name = lru.value(QStringLiteral("Bezeichnung")).toString();
            lru.close();
            // Selected as the user's choice: the list's handler opens the project.
            if (!name.isEmpty() && QFileInfo::exists(folder + name + QStringLiteral(".mdb")))
                selectProject(name);
        }
        lru.close();
    }

    // 13.
    step(QString());
    if (m_register->count() > 0) {
        if (m_register->currentIndex() == 0)
            ctlRegister_Click();
        else
            m_register->setCurrentIndex(0);
    }

    // 14.
    Info().setInfoLevel(9);
    if (m_start)
        m_start->finish();
    return true;
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

void frmhaupt::mnuInfoHandbuch_Click()
{
    const QDir dir(ProgramFolder());
    const QStringList manuals =
        dir.entryList({QStringLiteral("um*.pdf")}, QDir::Files | QDir::Readable, QDir::NoSort);
    if (manuals.isEmpty()) {
        ui().message(QStringLiteral("kein Handbuch ('um_xxx.pdf') gefunden"), kProductName);
        return;
    }
    if (!ui().openDocument(dir.filePath(manuals.first())))
        ui().message(
            QStringLiteral("Fehler beim Aufruf...der Acrobat Reader muss installiert sein"),
            kProductName);
}

void frmhaupt::mnuHilfe_about_Click()
{
    auto* about = new About(this);
    about->show();
}

// ---- Pages and dispatch ----

void frmhaupt::bindPages()
{
    m_terminal = new TerminalSettings(*m_konfigurationPage, *m_projektPage, *m_vx, *m_env, this);
    m_interface =
        new InterfaceSettings(*m_schnittstellePage, *m_qmTestPage, *m_vx, *m_net, *m_env, this);
    m_terminal->setRs485Selected(
        [this] { return m_schnittstellePage->ctlSchnittstelleMode(1)->isChecked(); });
    m_interface->setEditModeSetter([this](int mode) { m_editMode = mode; });
    m_interface->setReadButton(m_cmdRead);
    m_interface->setConsoleSendButton(
        [this] { return findChild<QPushButton*>(QStringLiteral("cmdSenden")); });

    auto* console = new ConsoleFrame(m_vx, m_schnittstellePage);
    m_schnittstellePage->direktbefehleLayout()->addWidget(console);
    m_schnittstellePage->direktbefehleLayout()->addStretch(1);
    auto* ioPorts = new IoPortsPage(m_vx, m_frames[7]);
    ioPorts->setMaximumWidth(560);
    m_pageLayouts[7]->addWidget(ioPorts, 0, Qt::AlignLeft);
    m_pageLayouts[7]->addStretch(1);
    frmVXSuchen::install(m_vx, this);
    m_qmTest = new QmTestBinding(*this);

    setTransfer(0, {[this] { m_terminal->GetTerminalInfo(0); }, [] {}});
    setTransfer(7,
                {[ioPorts] { ioPorts->GetIOPortWert(); }, [ioPorts] { ioPorts->SetIOPortWert(); }});
    setTransfer(
        4, {[this] { m_terminal->readFromTerminal(); }, [this] { m_terminal->sendToTerminal(); }});
    setTransfer(11, {[] { ui().message(QStringLiteral("nicht unterstützt"), kProductName); },
                     [this] { (void)m_interface->SetSchnittstelle(); }});
    setProjectHooks(4, {[this] { m_terminal->loadFromProject(); },
                        [this](QString* error) { return m_terminal->saveToProject(error); }});
    setPageShownHook(1, [this] {
        m_interface->SetRegisterSchnittstelleProps(
            m_schnittstellePage->ctlRegisterSchnittstelle()->currentIndex());
    });
    setInterfaceRestore(
        [this](QString& pending) { return m_interface->restoreFromProject(pending); });
    setKeepConfiguration([this] {
        m_vx->SaveKonfig();
        // The terminal confirms the save; without that the user must not believe it done.
        const int error = m_vx->lastError();
        if (error == 1)
            ui().message(
                QStringLiteral("Das Terminal hat das dauerhafte Speichern abgelehnt (NAK)"),
                kProductName);
        else if (error != 0)
            ui().message(
                QStringLiteral("Das Terminal hat das dauerhafte Speichern nicht bestätigt"),
                kProductName);
    });
}

void frmhaupt::setTransfer(int editMode, Transfer transfer)
{
    m_transfers.insert(editMode, std::move(transfer));
}

void frmhaupt::setProjectHooks(int page, ProjectHooks hooks)
{
    m_projectHooks.insert(page, std::move(hooks));
}

void frmhaupt::setPageShownHook(int page, std::function<void()> hook)
{
    m_pageShown.insert(page, std::move(hook));
}

bool frmhaupt::FillRegisterTabs(QString* error)
{
    Recordset& rs = m_env->recordset(QStringLiteral("cmdProgRegister"));
    if (rs.isOpen())
        rs.close();
    if (!m_env->execute(QStringLiteral("cmdProgRegister"), {}, error))
        return false;
    const QSignalBlocker blocker(m_register);
    while (m_register->count() > 0)
        m_register->removeTab(0);
    for (rs.moveFirst(); !rs.eof(); rs.moveNext()) {
        const int nr = rs.value(QStringLiteral("FrameNr")).toInt();
        const int index =
            m_register->addTab(rs.value(QStringLiteral("FrameBezeichnung")).toString());
        m_register->setTabData(index, nr);
        if (nr < 0 || nr >= kPageCount)
            continue;
        // The tab names the page: its frame needs no border or caption of its own.
        auto* frame = qobject_cast<QGroupBox*>(m_frames[static_cast<size_t>(nr)]);
        frame->setTitle(QString());
        frame->setFlat(true);
        frame->setEnabled(rs.value(QStringLiteral("enabled")).toBool());
    }
    rs.close();
    m_register->setCurrentIndex(m_register->count() > 0 ? 0 : -1);
    showFrame(m_register->count() > 0 ? m_register->tabData(0).toInt() : -1);
    return true;
}

bool frmhaupt::FillTestListe(QString* error)
{
    return m_fillTestListe ? m_fillTestListe(error) : true;
}

void frmhaupt::ctlRegister_Click()
{
    const int index = m_register->currentIndex();
    if (index < 0) {
        showFrame(-1);
        return;
    }
    const int p = m_register->tabData(index).toInt();
    showFrame(p);
    m_frProjekt->setVisible(true);
    if (m_projekt && m_projekt->isLoaded()) {
        m_cmdRead->setEnabled(true);
        m_cmdSend->setEnabled(true);
    }
    m_editMode = p;
    switch (p) {
    case 0:
        m_cmdSend->setEnabled(false);
        break;
    case 3:
        m_editMode = 31; // the keyboard page opens on its sub-tab "Allgemein"
        break;
    case 9:
        m_frProjekt->setVisible(false); // the demo has no read or send
        break;
    default:
        break;
    }
    const auto hook = m_pageShown.constFind(p);
    if (hook != m_pageShown.constEnd() && *hook)
        (*hook)();
}

void frmhaupt::cmdReadfromTerminal_Click()
{
    const bool sendEnabled = m_cmdSend->isEnabled();
    m_cmdRead->setEnabled(false);
    m_cmdSend->setEnabled(false);
    const Transfer t = m_transfers.value(m_editMode);
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
    m_register->setEnabled(false);
    for (QWidget* frame : m_frames)
        frame->setEnabled(false);
    const Transfer t = m_transfers.value(m_editMode);
    if (t.send)
        t.send();
    else
        ui().message(QStringLiteral("unbekannte Bearbeitungsfunktion"), kProductName);
    m_register->setEnabled(true);
    for (QWidget* frame : m_frames)
        frame->setEnabled(true);
    m_cmdRead->setEnabled(readEnabled);
    m_cmdSend->setEnabled(true);
}

void frmhaupt::cmdSaveTerminalkonfiguration_Click()
{
    if (!m_keepConfiguration)
        return;
    m_cmdKeep->setEnabled(false);
    m_keepConfiguration();
    m_cmdKeep->setEnabled(true);
}

// ---- Project ----

void frmhaupt::FillProjektCombo()
{
    if (m_start)
        m_start->setDetail(globals().Projektverzeichnis);
    PauseMS(1);
    m_projektPage->FillProjektCombo(globals().Projektverzeichnis);
    syncProjectList();
}

void frmhaupt::syncProjectList()
{
    // The list shows the project the window holds, never one that failed to open.
    QComboBox* list = m_projektPage->cboProjekte();
    const QString name = m_projekt ? m_projekt->Bezeichnung() : QString();
    if (list->currentText() == name)
        return;
    if (name.isEmpty() || !SelectComboEntry(list, name)) {
        ControlsUpdatingGuard guard;
        list->setCurrentIndex(-1);
    }
}

void frmhaupt::selectProject(const QString& name)
{
    QComboBox* list = m_projektPage->cboProjekte();
    if (list->findText(name, Qt::MatchExactly | Qt::MatchCaseSensitive) < 0)
        FillProjektCombo();
    (void)SelectComboEntry(list, name, true);
}

void frmhaupt::cboProjekte_Click()
{
    if (globals().ControlsUpdating || !m_projekt)
        return;
    const QString name = m_projektPage->cboProjekte()->currentText();
    if (name.isEmpty())
        return;
    m_projekt->openProjekt(name);
    syncProjectList();
}

void frmhaupt::restoreProjectButtons()
{
    const bool loaded = m_projekt && m_projekt->isLoaded();
    m_cmdRead->setEnabled(loaded);
    m_cmdSend->setEnabled(loaded && m_editMode != 0);
}

void frmhaupt::cmdNewProjekt_Click()
{
    if (!m_projekt)
        return;
    m_cmdRead->setEnabled(false);
    m_cmdSend->setEnabled(false);
    {
        frmProjektneu dialog(this);
        const QString name = dialog.GetProjektBezeichnung();
        if (!name.isEmpty()) {
            const QString typed = dialog.txtProjektbezeichnung()->text();
            const auto result =
                m_projekt->newProjekt(dialog.cboHardwareVarianten()->currentText(), typed);
            if (result != clsProjekt::NewResult::Failed) {
                FillProjektCombo();
                (void)SelectComboEntry(m_projektPage->cboProjekte(), typed, true);
            }
        }
    }
    restoreProjectButtons();
}

void frmhaupt::cmdSaveProjectinDB_Click()
{
    if (!m_projekt)
        return;
    QPushButton* save = m_projektPage->cmdSaveProjectinDB();
    save->setEnabled(false);
    m_cmdRead->setEnabled(false);
    m_cmdSend->setEnabled(false);
    ui().setBusy(true);
    (void)m_projekt->SaveProjekt();
    ui().setBusy(false);
    save->setEnabled(true);
    restoreProjectButtons();
}

void frmhaupt::cmdDeleteProjectinDB_Click()
{
    if (!m_projekt)
        return;
    const QString name = m_projektPage->cboProjekte()->currentText();
    if (name.isEmpty()) {
        ui().message(QStringLiteral("Bitte zuerst ein Projekt auswählen"), kProductName);
        return;
    }
    m_cmdRead->setEnabled(false);
    m_cmdSend->setEnabled(false);
    if (m_projekt->deleteProjekt(name))
        FillProjektCombo();
    restoreProjectButtons();
}

void frmhaupt::mnuDateiOpen_Click()
{
    if (!m_projekt)
        return;
    const QString folder = m_projekt->Basispfad();
    const QString file = ui().openFileName(QStringLiteral("Projekt öffnen"), folder,
                                           QStringLiteral("Projekte (*.mdb)"));
    if (file.isEmpty())
        return;
    const QFileInfo chosen(file);
    const QString name = ProjectFiles::EntryFromFileName(chosen.fileName());
    if (name.isEmpty()) {
        ui().message(QStringLiteral("Keine Projektdatei (*.mdb) : ") + file, kProductName);
        return;
    }
    if (chosen.absoluteDir() != QDir(folder)) {
        // Projects live in the project folder; one from elsewhere is copied in first.
        const QStringList problems = ProjectFiles::NameProblems(name);
        if (!problems.isEmpty()) {
            ui().message(problems.first(), kProductName);
            return;
        }
        if (ui().ask(QStringLiteral("Die Datei liegt nicht im Projektverzeichnis. In das "
                                    "Projektverzeichnis kopieren und öffnen?"),
                     UserInterface::Buttons::YesNo, kProductName) != UserInterface::Answer::Yes)
            return;
        const QString target = m_projekt->ProjektDatei(name);
        if (QFileInfo::exists(target)) {
            if (ui().ask(QStringLiteral("Projekt existiert bereits, überschreiben?"),
                         UserInterface::Buttons::YesNo, kProductName) != UserInterface::Answer::Yes)
                return;
            if (name == m_projekt->Bezeichnung())
                m_projekt->closeProjekt();
            QFile::remove(target);
        }
        if (!QFile::copy(file, target)) {
            ui().message(QStringLiteral("Projekt kann nicht kopiert werden : ") + target,
                         kProductName);
            return;
        }
        FillProjektCombo();
    }
    selectProject(name);
}

void frmhaupt::LoadFromProject(const QString& bezeichnung, QString& pending)
{
    auto runHook = [this](int page) {
        const auto hooks = m_projectHooks.constFind(page);
        if (hooks != m_projectHooks.constEnd() && hooks->load)
            hooks->load();
    };
    QString error;
    if (m_env->ensureOpen(QStringLiteral("cmdProjekt"), &error)) {
        Recordset& header = m_env->recordset(QStringLiteral("cmdProjekt"));
        header.moveFirst();
        m_projektPage->lblTerminalbezeichung()->setText(
            header.value(QStringLiteral("RKHardwarebezeichnung")).toString());
    } else if (pending.isEmpty()) {
        pending = error;
    }
    runHook(3);
    runHook(4);
    runHook(6);
    m_cmdRead->setEnabled(true);
    m_cmdSend->setEnabled(true);
    m_cmdKeep->setEnabled(true);
    setPanelText(2, bezeichnung);
}

bool frmhaupt::RestoreInterface(QString& pending)
{
    const bool serial = m_restoreInterface ? m_restoreInterface(pending) : false;
    // Restoring the interface sets the interface sub-tab's edit mode; the page on screen
    // keeps its own, or "an Terminal senden" on page "Projekt" would switch the interface.
    ctlRegister_Click();
    return serial;
}

bool frmhaupt::SaveToProject(QString* error)
{
    for (int page : {4, 3, 6}) {
        const auto hooks = m_projectHooks.constFind(page);
        if (hooks != m_projectHooks.constEnd() && hooks->save && !hooks->save(error))
            return false;
    }
    return true;
}

} // namespace vemro
