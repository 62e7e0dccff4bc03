#include "editors/ProjektPage.h"

#include "editors/EditMode.h"
#include "editors/PageHost.h"
#include "platform/Globals.h"
#include "platform/UserInterface.h"
#include "project/ProjectFiles.h"

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
}

void ProjektPage::FillProjektCombo(const QString& folder)
{
    ControlsUpdatingGuard guard;
    m_cboProjekte->clear();
    if (folder.isEmpty()) {
        ui().message(QStringLiteral("Projektverzeichnis fehlt : ") + folder, kProductName);
        return;
    }
    m_cboProjekte->addItems(ProjectFiles::Entries(folder));
    m_cboProjekte->setCurrentIndex(-1);
}

EditMode ProjektPage::pageNumber() const
{
    return EditMode::Projekt;
}

QList<Page::Transfer> ProjektPage::transfers()
{
    return {{EditMode::Projekt,
             [this] {
                 if (m_readInfo)
                     m_readInfo();
             },
             [] {}}};
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
