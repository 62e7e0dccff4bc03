#pragma once

#include "editors/Page.h"

#include <QWidget>

#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace vemro {

// Page 0 "Projekt": the project list with its buttons and the frame
// "Terminal-Information". The main window connects the buttons to its operations.
// "vom Terminal lesen" here reads the terminal information; there is nothing to send.
class ProjektPage : public QWidget, public Page
{
    Q_OBJECT
public:
    explicit ProjektPage(QWidget* parent = nullptr);

    // The read of the terminal information (GetTerminalInfo(0) of the terminal settings).
    void setReadTerminalInfo(std::function<void()> read) { m_readInfo = std::move(read); }
    // Shows what a read of the terminal information found.
    void showTerminalInfo(const QString& version, const QString& serNr);

    // Page
    [[nodiscard]] EditMode pageNumber() const override;
    [[nodiscard]] QList<Transfer> transfers() override;
    void pageShown() override;

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
    std::function<void()> m_readInfo;
    QComboBox* m_cboProjekte;
    QPushButton* m_cmdNew;
    QPushButton* m_cmdSave;
    QPushButton* m_cmdDelete;
    QLabel* m_lblBezeichnung;
    QLabel* m_lblVersion;
    QLineEdit* m_txtSerNr;
};

} // namespace vemro
