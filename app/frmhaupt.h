#pragma once

#include <QMainWindow>
#include <QPointer>

#include <array>
#include <memory>

class QLabel;
class QProgressBar;
class QPushButton;
class QStackedWidget;
class QTabBar;
class QTimer;
class QGroupBox;
class QVBoxLayout;

namespace vemro {

class DataEnvironment;
class clsProjekt;
class frmStart;

// The main window: the frame that owns the pages, the shared controls the program-wide
// objects are bound to (progress bar, timers) and the start-up and shutdown sequence.
class frmhaupt : public QMainWindow
{
    Q_OBJECT
public:
    static constexpr int kPageCount = 10;
    // 8200 twips at 15 twips per pixel.
    static constexpr int kHeightPx = 8200 / 15;

    explicit frmhaupt(frmStart* start = nullptr, QWidget* parent = nullptr);
    ~frmhaupt() override;

    // The start-up sequence. False when the program must end.
    [[nodiscard]] bool Init();

    [[nodiscard]] clsProjekt& Projekt() { return *m_projekt; }
    [[nodiscard]] DataEnvironment& Data() { return *m_env; }
    [[nodiscard]] QTimer* tmrTimeout() const { return m_tmrTimeout; }
    [[nodiscard]] QTimer* tmrDemo() const { return m_tmrDemo; }
    [[nodiscard]] QProgressBar* ctlFortschritt() const { return m_fortschritt; }
    [[nodiscard]] QTabBar* ctlRegister() const { return m_register; }
    // The frame of page `nr` (0 to 9) and the layout that page content goes into.
    [[nodiscard]] QWidget* frRegister(int nr) const { return m_frames.at(static_cast<size_t>(nr)); }
    [[nodiscard]] QVBoxLayout* pageLayout(int nr) const;
    // Shows the page of the given number (the tab whose tag is nr).
    void showPage(int nr);
    [[nodiscard]] int currentPage() const;
    // Status bar panels 1 to 3.
    void setPanelText(int panel, const QString& text);
    [[nodiscard]] QString panelText(int panel) const;

public Q_SLOTS:
    void mnuInfoHandbuch_Click();
    void mnuHilfe_about_Click();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    void buildPages();
    void buildDesignTabs();
    void step(const QString& detail, int steps = 1);
    void tmrTimeout_Timer();

    QPointer<frmStart> m_start;
    std::unique_ptr<DataEnvironment> m_envOwned;
    DataEnvironment* m_env = nullptr;
    std::unique_ptr<clsProjekt> m_projekt;

    QTabBar* m_register = nullptr;
    QStackedWidget* m_stack = nullptr;
    std::array<QWidget*, kPageCount> m_frames{};
    std::array<QVBoxLayout*, kPageCount> m_pageLayouts{};
    QGroupBox* m_frProjekt = nullptr;
    QPushButton* m_cmdRead = nullptr;
    QPushButton* m_cmdSend = nullptr;
    QPushButton* m_cmdKeep = nullptr;
    QProgressBar* m_fortschritt = nullptr;
    QTimer* m_tmrTimeout = nullptr;
    QTimer* m_tmrDemo = nullptr;
    std::array<QLabel*, 3> m_panels{};
};

} // namespace vemro
