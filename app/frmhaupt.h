#pragma once

#include "app/RegisterFrame.h"
#include "editors/EditMode.h"
#include "editors/PageHost.h"
#include "editors/PageSet.h"
#include "project/ProjectWindow.h"

#include <QMainWindow>
#include <QPointer>

#include <array>
#include <functional>
#include <memory>
#include <vector>

class QLabel;
class QProgressBar;
class QPushButton;
class QTabBar;
class QTimer;
class QGroupBox;
class QVBoxLayout;

namespace vemro {

class ComPort;
class ComPortResolver;
class DataEnvironment;
class Page;
class InterfaceSettings;
class ProgressIndicator;
class TerminalSettings;
class clsNetModul;
class clsVX;
class KonfigurationPage;
class ProjektPage;
class QmTestBinding;
class CoreProgrammingSeam;
class QmTestPage;
class SchnittstellePage;
class clsProjekt;
class frmStart;

// The main window: the frame that owns the pages, the shared controls the program-wide
// objects are bound to (progress bar, timers), the start-up and shutdown sequence, the
// page switch and the read/send dispatch. Page content lives in the page classes of
// editors/, each behind the interface Page: the window asks the pages for their edit
// modes, transfers and part in opening and saving a project, and never numbers them.
class frmhaupt : public QMainWindow, public ProjectWindow, public PageHost
{
    Q_OBJECT
public:
    static constexpr int kPageCount = vemro::kPageCount;
    // 8200 twips at 15 twips per pixel.
    static constexpr int kHeightPx = 8200 / 15;

    explicit frmhaupt(frmStart* start = nullptr, QWidget* parent = nullptr);
    ~frmhaupt() override;

    // The start-up sequence. False when the program must end.
    [[nodiscard]] bool Init();

    [[nodiscard]] clsProjekt& Projekt() { return *m_projekt; }
    [[nodiscard]] DataEnvironment& Data() { return *m_env; }
    // The program-wide terminal, network module and serial port (after Init).
    [[nodiscard]] clsVX* terminal() const { return m_vx; }
    [[nodiscard]] clsNetModul* netModul() const { return m_net; }
    [[nodiscard]] ComPort* ctlcom() const { return m_ctlcom; }
    [[nodiscard]] TerminalSettings* terminalSettings() const { return m_terminal; }
    [[nodiscard]] InterfaceSettings* interfaceSettings() const { return m_interface; }
    [[nodiscard]] QTimer* tmrTimeout() const { return m_tmrTimeout; }
    [[nodiscard]] QTimer* tmrDemo() const { return m_tmrDemo; }
    [[nodiscard]] QProgressBar* ctlFortschritt() const { return m_fortschritt; }
    [[nodiscard]] QTabBar* ctlRegister() const { return m_registerFrame->ctlRegister(); }
    [[nodiscard]] QGroupBox* frProjekt() const { return m_frProjekt; }
    [[nodiscard]] QPushButton* cmdReadfromTerminal() const { return m_cmdRead; }
    [[nodiscard]] QPushButton* cmdSaveinTerminal() const { return m_cmdSend; }
    [[nodiscard]] QPushButton* cmdSaveTerminalkonfiguration() const { return m_cmdKeep; }
    [[nodiscard]] ProjektPage* projektPage() const { return m_projektPage; }
    [[nodiscard]] SchnittstellePage* schnittstellePage() const { return m_schnittstellePage; }
    [[nodiscard]] KonfigurationPage* konfigurationPage() const { return m_konfigurationPage; }
    [[nodiscard]] QmTestPage* qmTestPage() const { return m_qmTestPage; }
    [[nodiscard]] QmTestBinding* qmTest() const { return m_qmTest; }
    // The frame of page `nr` (0 to 9) and the layout that page content goes into.
    [[nodiscard]] QWidget* frRegister(int nr) const { return m_registerFrame->frRegister(nr); }
    [[nodiscard]] QVBoxLayout* pageLayout(int nr) const { return m_registerFrame->pageLayout(nr); }
    [[nodiscard]] QWidget* frRegister(EditMode page) const { return frRegister(toStored(page)); }
    [[nodiscard]] QVBoxLayout* pageLayout(EditMode page) const
    {
        return pageLayout(toStored(page));
    }
    // Shows the page of the given number (the tab whose tag is nr) as the user's choice.
    void showPage(int nr);
    [[nodiscard]] int currentPage() const { return m_registerFrame->currentPage(); }
    // Status bar panels 1 to 3.
    void setPanelText(int panel, const QString& text);
    [[nodiscard]] QString panelText(int panel) const;

    // Adds a page (not owned): it fills page frame page.pageNumber(), replacing the page
    // registered there before. Its edit modes join the dispatch, its project part the
    // opening and saving of projects.
    void addPage(Page& page) { m_pages.add(page, this); }
    [[nodiscard]] const PageSet& pages() const { return m_pages; }

    // The device paths of "Com 1" to "Com 8", from the program database opened by Init.
    [[nodiscard]] ComPortResolver* portResolver() const { return m_resolver.get(); }

    // PageHost. Edit mode: the page number, 11/12 for the interface sub-tabs, 31/32 for the
    // keyboard sub-tabs. Changed only by the page switch and the sub-tab handlers.
    [[nodiscard]] std::optional<EditMode> editMode() const override { return m_editMode; }
    void setEditMode(EditMode mode) override { m_editMode = mode; }
    void setReadEnabled(bool enabled) override;
    void setSendEnabled(bool enabled) override;
    void setProjectFrameVisible(bool visible) override;

    // The production test fills its test list when a project opens.
    void setTestListFill(std::function<bool(QString* error)> fill)
    {
        m_fillTestListe = std::move(fill);
    }

    // ProjectWindow
    [[nodiscard]] bool FillRegisterTabs(QString* error) override;
    [[nodiscard]] bool FillTestListe(QString* error) override;
    void LoadFromProject(const QString& bezeichnung, QString& pending) override;
    bool RestoreInterface(QString& pending) override;
    [[nodiscard]] bool SaveToProject(QString* error) override;

    // After start-up: with the last project open on an open serial port, page "Projekt"
    // shows the terminal's version and serial number. Runs once the window shows.
    void readTerminalInfoAtStart();

public Q_SLOTS:
    void ctlRegister_Click();
    void cmdReadfromTerminal_Click();
    void cmdSaveinTerminal_Click();
    void cmdSaveTerminalkonfiguration_Click();
    void mnuTerminalVergleichen_Click();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildPages();
    void bindPages();
    void step(const QString& detail, int steps = 1);
    void tmrTimeout_Timer();

    QPointer<frmStart> m_start;
    std::unique_ptr<DataEnvironment> m_envOwned;
    DataEnvironment* m_env = nullptr;
    std::unique_ptr<clsProjekt> m_projekt;
    clsNetModul* m_net = nullptr;
    ComPort* m_ctlcom = nullptr;
    clsVX* m_vx = nullptr;
    std::unique_ptr<ProgressIndicator> m_progress;
    TerminalSettings* m_terminal = nullptr;
    InterfaceSettings* m_interface = nullptr;

    RegisterFrame* m_registerFrame = nullptr;
    QGroupBox* m_frProjekt = nullptr;
    QPushButton* m_cmdRead = nullptr;
    QPushButton* m_cmdSend = nullptr;
    QPushButton* m_cmdKeep = nullptr;
    QProgressBar* m_fortschritt = nullptr;
    QTimer* m_tmrTimeout = nullptr;
    QTimer* m_tmrDemo = nullptr;
    std::array<QLabel*, 3> m_panels{};
    ProjektPage* m_projektPage = nullptr;
    SchnittstellePage* m_schnittstellePage = nullptr;
    KonfigurationPage* m_konfigurationPage = nullptr;
    QmTestPage* m_qmTestPage = nullptr;
    QmTestBinding* m_qmTest = nullptr;
    std::unique_ptr<CoreProgrammingSeam> m_programmingSeam;

    std::optional<EditMode> m_editMode = EditMode::Projekt;
    PageSet m_pages;
    std::unique_ptr<ComPortResolver> m_resolver;
    std::function<bool(QString*)> m_fillTestListe;
};

} // namespace vemro
