#pragma once

#include <QDialog>
#include <QPointer>

class QTreeWidget;
class QPushButton;

namespace vemro {

class TerminalSearch;
class clsVX;

// The search dialog: the report of the port search (port, result) and its cancel button.
// Shown modeless while a search runs.
class frmVXSuchen : public QDialog
{
    Q_OBJECT
public:
    explicit frmVXSuchen(QWidget* parent = nullptr);

    // Shows the report of `search` and lets the cancel button stop it.
    void attach(TerminalSearch* search);
    [[nodiscard]] bool canceled() const { return m_canceled; }
    [[nodiscard]] QTreeWidget* ctlReport() const { return m_report; }

    // Shows a dialog for every search `terminal` runs and closes it afterwards.
    static void install(clsVX* terminal, QWidget* parent);

private:
    void showRow(int row);

    QPointer<TerminalSearch> m_search;
    QTreeWidget* m_report;
    QPushButton* m_cancel;
    bool m_canceled = false;
};

} // namespace vemro
