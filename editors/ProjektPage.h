#pragma once

#include "editors/Page.h"

#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace vemro {

class clsProjekt;

// Page 0 "Projekt": the project list with its buttons "neu", "speichern" and "löschen",
// the menu entries "neues Projekt" / "Projekt öffnen", and the frame
// "Terminal-Information". The steps on files and databases are the project object's
// (clsProjekt); the page runs them from its controls and keeps the list and the shared
// buttons in step. "vom Terminal lesen" here asks for the terminal information
// (terminalInfoRequested); there is nothing to send.
class ProjektPage : public QWidget, public Page
{
    Q_OBJECT
public:
    explicit ProjektPage(QWidget* parent = nullptr);

    // The project object the page works with (not owned); without one the buttons do nothing.
    void setProjekt(clsProjekt* projekt) { m_projekt = projekt; }

    // Shows what a read of the terminal information found.
    void showTerminalInfo(const QString& version, const QString& serNr);
    // Shows the hardware designation of the project just opened. A failure is left in
    // `pending` when that holds none yet.
    void showProjectHeader(QString& pending);

    // Page
    [[nodiscard]] EditMode pageNumber() const override;
    [[nodiscard]] QList<Transfer> transfers() override;
    void pageShown() override;

    // Rebuilds the project list from the project folder without running its change
    // handler; the list keeps showing the open project. An empty folder text is reported
    // ("Projektverzeichnis fehlt : ").
    void FillProjektCombo();
    // Chooses project `name` in the list as the user would, which opens it.
    void selectProject(const QString& name);

    void cboProjekte_Click();
    void cmdNewProjekt_Click();
    void cmdSaveProjectinDB_Click();
    void cmdDeleteProjectinDB_Click();
    void mnuDateiOpen_Click();

    [[nodiscard]] QComboBox* cboProjekte() const { return m_cboProjekte; }
    [[nodiscard]] QPushButton* cmdNewProjekt() const { return m_cmdNew; }
    [[nodiscard]] QPushButton* cmdSaveProjectinDB() const { return m_cmdSave; }
    [[nodiscard]] QPushButton* cmdDeleteProjectinDB() const { return m_cmdDelete; }
    [[nodiscard]] QLabel* lblTerminalbezeichung() const { return m_lblBezeichnung; }
    [[nodiscard]] QLabel* lblTerminalVersion() const { return m_lblVersion; }
    [[nodiscard]] QLineEdit* txtTerminalSerNr() const { return m_txtSerNr; }

signals:
    // The project list is about to be read from `folder` (the start window shows it).
    void listingProjects(const QString& folder);
    // The open project was deleted: no project is open any more.
    void projectClosed();
    // "vom Terminal lesen" on this page: the terminal information is to be read.
    void terminalInfoRequested();

private:
    // The list shows the project the window holds, never one that failed to open.
    void syncProjectList();
    // The shared buttons after a project action: usable with a loaded project, "an
    // Terminal senden" not on this page.
    void restoreProjectButtons();

    clsProjekt* m_projekt = nullptr;
    QComboBox* m_cboProjekte;
    QPushButton* m_cmdNew;
    QPushButton* m_cmdSave;
    QPushButton* m_cmdDelete;
    QLabel* m_lblBezeichnung;
    QLabel* m_lblVersion;
    QLineEdit* m_txtSerNr;
};

} // namespace vemro
