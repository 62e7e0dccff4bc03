#pragma once

#include "config/ProjectVerifyCore.h"

#include <QDialog>
#include <QPointer>

#include <functional>

class QLabel;
class QPushButton;
class QTreeWidget;

namespace vemro {

class DataEnvironment;
class clsVX;

// "Terminal mit Projekt vergleichen": runs ProjectVerifyCore on the window's terminal and
// open project and shows one row per area, each difference below its area, differing rows
// in red. Progress runs on the main window's progress bar (the terminal's reads drive it);
// the label names the area being read. While it reads, `lock(true)` keeps the rest of the
// window from talking to the terminal.
class frmVerify : public QDialog
{
    Q_OBJECT
public:
    frmVerify(clsVX& vx, DataEnvironment& env, QWidget* parent = nullptr);

    void setLock(std::function<void(bool)> lock) { m_lock = std::move(lock); }
    // Reads and shows the result; false when the terminal or the project failed (the
    // reason is shown in the label and the list stays empty).
    bool vergleichen();

    [[nodiscard]] QTreeWidget* ctlVergleich() const { return m_list; }
    [[nodiscard]] QPushButton* cmdVergleichen() const { return m_again; }
    [[nodiscard]] QLabel* lblErgebnis() const { return m_summary; }
    [[nodiscard]] const VerifyResult& result() const { return m_result; }

private:
    void showResult(const VerifyResult& result);

    QPointer<clsVX> m_vx;
    DataEnvironment& m_env;
    std::function<void(bool)> m_lock;
    QTreeWidget* m_list = nullptr;
    QLabel* m_summary = nullptr;
    QPushButton* m_again = nullptr;
    QPushButton* m_close = nullptr;
    VerifyResult m_result;
};

} // namespace vemro
