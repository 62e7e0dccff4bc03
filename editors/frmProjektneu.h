#pragma once

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace vemro {

// "neues Projekt anlegen": the name of the new project and its hardware template.
class frmProjektneu : public QDialog
{
    Q_OBJECT
public:
    explicit frmProjektneu(QWidget* parent = nullptr);

    // Fills the template list, shows the dialog modally and returns the name typed, or
    // "" when it was cancelled (or no template exists). The chosen template is then
    // the text of cboHardwareVarianten().
    [[nodiscard]] QString GetProjektBezeichnung();
    // The name rules; each broken rule shows its message. True when the name is usable.
    [[nodiscard]] bool CheckBezeichnung();
    // The templates of the Hardware folder; false (after a message) when there are none.
    bool FillHardwarecombo();

    [[nodiscard]] QLineEdit* txtProjektbezeichnung() const { return m_txtName; }
    [[nodiscard]] QComboBox* cboHardwareVarianten() const { return m_cboHardware; }

private:
    void OKButton_Click();
    void CancelButton_Click();

    QLineEdit* m_txtName;
    QComboBox* m_cboHardware;
    QPushButton* m_ok;
    QPushButton* m_cancel;
};

} // namespace vemro
