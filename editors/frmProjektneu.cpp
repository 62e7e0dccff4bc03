#include "editors/frmProjektneu.h"

#include "platform/UserInterface.h"
#include "project/ProjectFiles.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace vemro {

frmProjektneu::frmProjektneu(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmProjektneu"));
    setWindowTitle(QStringLiteral("neues Projekt anlegen"));
    setModal(true);
    setMinimumWidth(420);

    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    m_txtName = new QLineEdit(this);
    m_txtName->setObjectName(QStringLiteral("txtProjektbezeichnung"));
    m_cboHardware = new QComboBox(this);
    m_cboHardware->setObjectName(QStringLiteral("cboHardwareVarianten"));
    m_cboHardware->setEnabled(false);
    form->addRow(QStringLiteral("Bezeichnung für neues Projekt"), m_txtName);
    form->addRow(QStringLiteral("Terminaltyp"), m_cboHardware);
    layout->addLayout(form);

    auto* buttons = new QDialogButtonBox(this);
    m_ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    m_ok->setObjectName(QStringLiteral("OKButton"));
    m_ok->setDefault(true);
    m_cancel = buttons->addButton(QStringLiteral("Abbrechen"), QDialogButtonBox::RejectRole);
    m_cancel->setObjectName(QStringLiteral("CancelButton"));
    layout->addWidget(buttons);
    connect(m_ok, &QPushButton::clicked, this, &frmProjektneu::OKButton_Click);
    connect(m_cancel, &QPushButton::clicked, this, &frmProjektneu::CancelButton_Click);
}

bool frmProjektneu::FillHardwarecombo()
{
    m_cboHardware->clear();
    const QStringList templates = ProjectFiles::Entries(ProjectFiles::HardwareFolder());
    m_cboHardware->addItems(templates);
    // The standard terminal is the usual choice, whatever sorts first.
    const int standard = static_cast<int>(templates.indexOf(QStringLiteral("vx_standard")));
    m_cboHardware->setCurrentIndex(templates.isEmpty() ? -1 : qMax(standard, 0));
    m_cboHardware->setEnabled(templates.size() > 1);
    if (templates.isEmpty()) {
        ui().message(QStringLiteral("Keine Hardwarevorlage gefunden im Ordner ") +
                         ProjectFiles::HardwareFolder() +
                         QStringLiteral(" - ein neues Projekt kann nicht angelegt werden."),
                     kProductName);
        return false;
    }
    return true;
}

QString frmProjektneu::GetProjektBezeichnung()
{
    if (!FillHardwarecombo())
        return QString();
    m_txtName->setFocus();
    if (exec() != QDialog::Accepted)
        return QString();
    return m_txtName->text();
}

bool frmProjektneu::CheckBezeichnung()
{
    const QStringList problems = ProjectFiles::NameProblems(m_txtName->text());
    for (const QString& p : problems)
        ui().message(p, kProductName);
    return problems.isEmpty();
}

void frmProjektneu::OKButton_Click()
{
    if (CheckBezeichnung())
        accept();
}

void frmProjektneu::CancelButton_Click()
{
    m_txtName->clear();
    reject();
}

} // namespace vemro
