#include "editors/ProjektPage.h"

#include "editors/EditMode.h"
#include "editors/PageHost.h"
#include "editors/SelectComboEntry.h"
#include "editors/frmProjektneu.h"
#include "platform/Globals.h"
#include "platform/LocalWait.h"
#include "platform/UserInterface.h"
#include "project/ProjectFiles.h"
#include "project/clsProjekt.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace vemro {

ProjektPage::ProjektPage(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("ProjektPage"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(12);

    auto* projekte = new QGroupBox(QStringLiteral("Projekte"), this);
    projekte->setObjectName(QStringLiteral("frProjekte"));
    auto* pl = new QVBoxLayout(projekte);
    auto* label = new QLabel(QStringLiteral("vorhandene Projekte"), projekte);
    label->setObjectName(QStringLiteral("lblProjekte"));
    m_cboProjekte = new QComboBox(projekte);
    m_cboProjekte->setObjectName(QStringLiteral("cboProjekte"));
    m_cboProjekte->setMinimumWidth(320);
    m_cboProjekte->setMaximumWidth(460);
    m_cboProjekte->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    label->setBuddy(m_cboProjekte);
    auto* row = new QHBoxLayout;
    row->addWidget(m_cboProjekte);
    m_cmdNew = new QPushButton(QStringLiteral("neu"), projekte);
    m_cmdNew->setObjectName(QStringLiteral("cmdNewProjekt"));
    m_cmdSave = new QPushButton(QStringLiteral("speichern"), projekte);
    m_cmdSave->setObjectName(QStringLiteral("cmdSaveProjectinDB"));
    m_cmdDelete = new QPushButton(QStringLiteral("löschen"), projekte);
    m_cmdDelete->setObjectName(QStringLiteral("cmdDeleteProjectinDB"));
    for (QPushButton* b : {m_cmdNew, m_cmdSave, m_cmdDelete})
        row->addWidget(b);
    row->addStretch(1);
    pl->addWidget(label);
    pl->addLayout(row);
    layout->addWidget(projekte);

    auto* info = new QGroupBox(QStringLiteral("Terminal-Information"), this);
    info->setObjectName(QStringLiteral("frTerminalInformation"));
    auto* form = new QFormLayout(info);
    form->setLabelAlignment(Qt::AlignLeft);
    m_lblBezeichnung = new QLabel(QStringLiteral("(Hardwarebezeichnung)"), info);
    m_lblBezeichnung->setObjectName(QStringLiteral("lblTerminalbezeichung"));
    m_lblVersion = new QLabel(QStringLiteral("(Version)"), info);
    m_lblVersion->setObjectName(QStringLiteral("lblTerminalVersion"));
    m_txtSerNr = new QLineEdit(info);
    m_txtSerNr->setObjectName(QStringLiteral("txtTerminalSerNr"));
    m_txtSerNr->setMaximumWidth(160);
    form->addRow(QStringLiteral("Bezeichnung"), m_lblBezeichnung);
    form->addRow(QStringLiteral("Firmwareversion"), m_lblVersion);
    form->addRow(QStringLiteral("SerNr"), m_txtSerNr);
    layout->addWidget(info);
    layout->addStretch(1);

    connect(m_cboProjekte, &QComboBox::currentIndexChanged, this,
            [this](int) { cboProjekte_Click(); });
    connect(m_cmdNew, &QPushButton::clicked, this, &ProjektPage::cmdNewProjekt_Click);
    connect(m_cmdSave, &QPushButton::clicked, this, &ProjektPage::cmdSaveProjectinDB_Click);
    connect(m_cmdDelete, &QPushButton::clicked, this, &ProjektPage::cmdDeleteProjectinDB_Click);
}

void ProjektPage::FillProjektCombo()
{
    const QString folder = globals().Projektverzeichnis;
    emit listingProjects(folder);
    PauseMS(1);
    {
        ControlsUpdatingGuard guard;
        m_cboProjekte->clear();
        if (folder.isEmpty())
            ui().message(QStringLiteral("Projektverzeichnis fehlt : ") + folder, kProductName);
        else
            m_cboProjekte->addItems(ProjectFiles::Entries(folder));
        m_cboProjekte->setCurrentIndex(-1);
    }
    syncProjectList();
}

void ProjektPage::syncProjectList()
{
    const QString name = m_projekt ? m_projekt->Bezeichnung() : QString();
    if (m_cboProjekte->currentText() == name)
        return;
    if (name.isEmpty() || !SelectComboEntry(m_cboProjekte, name)) {
        ControlsUpdatingGuard guard;
        m_cboProjekte->setCurrentIndex(-1);
    }
}

void ProjektPage::selectProject(const QString& name)
{
    if (m_cboProjekte->findText(name, Qt::MatchExactly | Qt::MatchCaseSensitive) < 0)
        FillProjektCombo();
    (void)SelectComboEntry(m_cboProjekte, name, true);
}

void ProjektPage::restoreProjectButtons()
{
    if (!host())
        return;
    const bool loaded = m_projekt && m_projekt->isLoaded();
    host()->setReadEnabled(loaded);
    host()->setSendEnabled(loaded && host()->editMode() != EditMode::Projekt);
}

void ProjektPage::cboProjekte_Click()
{
    if (globals().ControlsUpdating || !m_projekt)
        return;
    const QString name = m_cboProjekte->currentText();
    if (name.isEmpty())
        return;
    m_projekt->openProjekt(name);
    // Restoring the interface while the project opened disabled "vom Terminal lesen" before
    // the project counted as loaded; the page on screen gets its button back now.
    if (m_projekt->isLoaded() && host())
        host()->setReadEnabled(true);
    syncProjectList();
}

void ProjektPage::cmdNewProjekt_Click()
{
    if (!m_projekt)
        return;
    if (host()) {
        host()->setReadEnabled(false);
        host()->setSendEnabled(false);
    }
    {
        frmProjektneu dialog(this);
        const QString name = dialog.GetProjektBezeichnung();
        if (!name.isEmpty()) {
            const QString typed = dialog.txtProjektbezeichnung()->text();
            const auto result =
                m_projekt->newProjekt(dialog.cboHardwareVarianten()->currentText(), typed);
            // Kept or created, the project of that name is opened by choosing it.
            if (result != clsProjekt::NewResult::Failed) {
                FillProjektCombo();
                (void)SelectComboEntry(m_cboProjekte, typed, true);
            }
        }
    }
    restoreProjectButtons();
}

void ProjektPage::cmdSaveProjectinDB_Click()
{
    if (!m_projekt)
        return;
    m_cmdSave->setEnabled(false);
    if (host()) {
        host()->setReadEnabled(false);
        host()->setSendEnabled(false);
    }
    ui().setBusy(true);
    (void)m_projekt->SaveProjekt();
    ui().setBusy(false);
    m_cmdSave->setEnabled(true);
    restoreProjectButtons();
}

void ProjektPage::cmdDeleteProjectinDB_Click()
{
    if (!m_projekt)
        return;
    const QString name = m_cboProjekte->currentText();
    if (name.isEmpty()) {
        ui().message(QStringLiteral("Bitte zuerst ein Projekt auswählen"), kProductName);
        return;
    }
    if (host()) {
        host()->setReadEnabled(false);
        host()->setSendEnabled(false);
    }
    const bool wasOpen = name == m_projekt->Bezeichnung() && m_projekt->isOpen();
    if (m_projekt->deleteProjekt(name)) {
        if (wasOpen && !m_projekt->isOpen()) {
            m_lblBezeichnung->clear();
            emit projectClosed();
        }
        FillProjektCombo();
    }
    restoreProjectButtons();
}

void ProjektPage::mnuDateiOpen_Click()
{
    if (!m_projekt)
        return;
    const QString file = ui().openFileName(QStringLiteral("Projekt öffnen"), m_projekt->Basispfad(),
                                           QStringLiteral("Projekte (*.mdb)"));
    if (file.isEmpty())
        return;
    bool copied = false;
    const QString name = m_projekt->importProjekt(file, &copied);
    if (name.isEmpty())
        return;
    if (copied)
        FillProjektCombo();
    selectProject(name);
}

void ProjektPage::showProjectHeader(QString& pending)
{
    if (!m_projekt)
        return;
    QString text;
    QString error;
    if (m_projekt->Hardwarebezeichnung(text, &error))
        m_lblBezeichnung->setText(text);
    else if (pending.isEmpty())
        pending = error;
}

EditMode ProjektPage::pageNumber() const
{
    return EditMode::Projekt;
}

QList<Page::Transfer> ProjektPage::transfers()
{
    return {{EditMode::Projekt, [this] { emit terminalInfoRequested(); }, [] {}}};
}

void ProjektPage::pageShown()
{
    if (host())
        host()->setSendEnabled(false);
}

void ProjektPage::showTerminalInfo(const QString& version, const QString& serNr)
{
    m_lblVersion->setText(version);
    m_txtSerNr->setText(serNr);
}

} // namespace vemro
