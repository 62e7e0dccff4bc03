#pragma once

#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace vemro {

// Page 0 "Projekt": the project list with its buttons and the frame
// "Terminal-Information". The main window connects the buttons to its operations.
class ProjektPage : public QWidget
{
    Q_OBJECT
public:
    explicit ProjektPage(QWidget* parent = nullptr);

    // Rebuilds the project list from the files of `folder` without running its change
    // handler. An empty folder text is reported ("Projektverzeichnis fehlt : ").
    void FillProjektCombo(const QString& folder);

    [[nodiscard]] QComboBox* cboProjekte() const { return m_cboProjekte; }
    [[nodiscard]] QPushButton* cmdNewProjekt() const { return m_cmdNew; }
    [[nodiscard]] QPushButton* cmdSaveProjectinDB() const { return m_cmdSave; }
    [[nodiscard]] QPushButton* cmdDeleteProjectinDB() const { return m_cmdDelete; }
    [[nodiscard]] QLabel* lblTerminalbezeichung() const { return m_lblBezeichnung; }
    [[nodiscard]] QLabel* lblTerminalVersion() const { return m_lblVersion; }
    [[nodiscard]] QLineEdit* txtTerminalSerNr() const { return m_txtSerNr; }

private:
    QComboBox* m_cboProjekte;
    QPushButton* m_cmdNew;
    QPushButton* m_cmdSave;
    QPushButton* m_cmdDelete;
    QLabel* m_lblBezeichnung;
    QLabel* m_lblVersion;
    QLineEdit* m_txtSerNr;
};

} // namespace vemro
