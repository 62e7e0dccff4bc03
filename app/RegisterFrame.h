#pragma once

#include "editors/EditMode.h"

#include <QWidget>

#include <array>

class QStackedWidget;
class QTabBar;
class QVBoxLayout;

namespace vemro {

class DataEnvironment;

// The tab strip ctlRegister above the ten page frames frRegister_0 to frRegister_9, of
// which one is shown at a time. Until a project is open the tabs are the frames' design
// captions; the project's table Register then decides which frames are tabs, under which
// caption and whether they can be used. Choosing a tab is reported by tabChosen; what a
// page switch does beyond showing the frame is the main window's.
class RegisterFrame : public QWidget
{
    Q_OBJECT
public:
    explicit RegisterFrame(QWidget* parent = nullptr);

    [[nodiscard]] QTabBar* ctlRegister() const { return m_register; }
    // The frame of page `nr` (0 to 9) and the layout its content goes into.
    [[nodiscard]] QWidget* frRegister(int nr) const { return m_frames.at(static_cast<size_t>(nr)); }
    [[nodiscard]] QVBoxLayout* pageLayout(int nr) const
    {
        return m_pageLayouts.at(static_cast<size_t>(nr));
    }

    // One tab per frame with its design caption; the first is chosen (tabChosen stays quiet).
    void buildDesignTabs();
    // The tabs of the open project's Register rows (query cmdProgRegister), the first one
    // chosen (tabChosen stays quiet). False with `error` when the query failed.
    [[nodiscard]] bool FillRegisterTabs(DataEnvironment& env, QString* error);
    // Shows the frame of page `nr`; any other number shows an empty page.
    void showFrame(int nr);
    // The page number (FrameNr) of the chosen tab, -1 without one.
    [[nodiscard]] int currentPage() const;
    // The index of the first tab showing page `nr`, -1 when none does.
    [[nodiscard]] int tabOf(int nr) const;
    // The tab strip and every page frame, blocked while a send runs.
    void setPagesEnabled(bool enabled);

signals:
    void tabChosen();

private:
    QTabBar* m_register;
    QStackedWidget* m_stack;
    std::array<QWidget*, kPageCount> m_frames{};
    std::array<QVBoxLayout*, kPageCount> m_pageLayouts{};
};

} // namespace vemro
