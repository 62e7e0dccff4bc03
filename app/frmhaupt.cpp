#include "app/frmhaupt.h"

#include "app/About.h"
#include "app/frmStart.h"
#include "platform/Globals.h"
#include "platform/LocalWait.h"
#include "platform/ProgramInfo.h"
#include "platform/UserInterface.h"
#include "platform/clsInfo.h"
#include "project/DataEnvironment.h"
#include "project/ProgramDatabase.h"
#include "project/clsProjekt.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabBar>
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
    {0, "Projekt"},      {1, "Schnittstelle"}, {2, "(reserviert)"}, {3, "Tastatur"},
    {4, "Konfiguration"}, {5, "Festtexte"},    {6, "User-Zeichen"}, {7, "IO-Ports"},
    {8, "QM-Test"},      {9, "Demos/Beispiele"},
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

    buildMenus();
    buildPages();
    buildDesignTabs();
}

frmhaupt::~frmhaupt() = default;

void frmhaupt::buildMenus()
{
    QMenu* datei = menuBar()->addMenu(QStringLiteral("&Datei"));
    datei->setObjectName(QStringLiteral("mnuDatei"));
    QAction* neu = datei->addAction(QStringLiteral("neues Projekt"));
    neu->setObjectName(QStringLiteral("mnuDateiNeu"));
    QAction* open = datei->addAction(QStringLiteral("Projekt öffnen"));
    open->setObjectName(QStringLiteral("mnuDateiOpen"));
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

    connect(m_register, &QTabBar::currentChanged, this, [this](int index) {
        if (index < 0)
            return;
        const int nr = m_register->tabData(index).toInt();
        if (nr >= 0 && nr < kPageCount)
            m_stack->setCurrentWidget(m_frames[static_cast<size_t>(nr)]);
    });

    m_frProjekt = new QGroupBox(QStringLiteral("aktuelles Projekt"), central);
    m_frProjekt->setObjectName(QStringLiteral("frProjekt"));
    auto* buttons = new QHBoxLayout(m_frProjekt);
    m_cmdRead = new QPushButton(QStringLiteral("vom Terminal lesen"), m_frProjekt);
    m_cmdRead->setObjectName(QStringLiteral("cmdReadfromTerminal"));
    m_cmdSend = new QPushButton(QStringLiteral("an Terminal senden"), m_frProjekt);
    m_cmdSend->setObjectName(QStringLiteral("cmdSaveinTerminal"));
    m_cmdKeep = new QPushButton(QStringLiteral("Konfiguration im Terminal dauerhaft speichern"), m_frProjekt);
    m_cmdKeep->setObjectName(QStringLiteral("cmdSaveTerminalkonfiguration"));
    for (QPushButton* b : {m_cmdRead, m_cmdSend, m_cmdKeep}) {
        b->setEnabled(false); // usable once a project is open
        buttons->addWidget(b);
    }
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
    while (m_register->count() > 0)
        m_register->removeTab(0);
    for (const DesignPage& page : kDesignPages) {
        const int index = m_register->addTab(QString::fromUtf8(page.caption));
        m_register->setTabData(index, page.nr);
    }
}

QVBoxLayout* frmhaupt::pageLayout(int nr) const
{
    return m_pageLayouts.at(static_cast<size_t>(nr));
}

void frmhaupt::showPage(int nr)
{
    for (int i = 0; i < m_register->count(); ++i) {
        if (m_register->tabData(i).toInt() == nr) {
            m_register->setCurrentIndex(i);
            m_stack->setCurrentWidget(m_frames.at(static_cast<size_t>(nr)));
            return;
        }
    }
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
    m_projekt = std::make_unique<clsProjekt>(*m_env);

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
    m_env->setConnectionString(DataEnvironment::kDaten,
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
    step(QStringLiteral("Schnittstelle setzen Com:") + QString::number(comPort), 0);
    PauseMS(1); // let the window paint the progress
    step(QStringLiteral("Projektliste"));

    // 11.-12. From here on errors are not skipped.
    step(QStringLiteral("letztes Projekt öffen"));
    if (m_env->execute(QStringLiteral("cmdProjektLRU"), {}, &error)) {
        Recordset& lru = m_env->recordset(QStringLiteral("cmdProjektLRU"));
        lru.moveFirst();
        if (!lru.eof()) {
            const QString name = lru.value(QStringLiteral("Bezeichnung")).toString();
            if (!name.isEmpty() && QFileInfo::exists(folder + name + QStringLiteral(".mdb")))
                setPanelText(1, name); // reopened by the project list once it exists
        }
        lru.close();
    }

    // 13.
    step(QString());
    if (m_register->count() > 0)
        m_register->setCurrentIndex(0);

    // 14.
    Info().setInfoLevel(9);
    if (m_start)
        m_start->finish();
    return true;
}

void frmhaupt::closeEvent(QCloseEvent* event)
{
    const auto answer =
        ui().ask(QStringLiteral("Projekt speichern ?"), UserInterface::Buttons::YesNoCancel, kProductName);
    if (answer == UserInterface::Answer::Cancel) {
        // The window stays open, and so does the serial port: the link keeps working.
        event->ignore();
        return;
    }
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
        ui().message(QStringLiteral("Fehler beim Aufruf...der Acrobat Reader muss installiert sein"),
                     kProductName);
}

void frmhaupt::mnuHilfe_about_Click()
{
    auto* about = new About(this);
    about->show();
}

} // namespace vemro
