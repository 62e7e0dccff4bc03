#pragma once

#include "editors/QmTestPanel.h"

#include <QObject>
#include <QPointer>

#include <memory>

namespace vemro {

class PendingProgrammingSeam;
class ProgrammingSeam;
class QMProcedures;
class clsQMTest;
class frmhaupt;

// The production test in the main window: the program-wide test object clsQMTest with its
// procedures, its panel on page "QM-Test", the keyboard test dialog, the test list filled
// when a project opens, the programming speed applied before a run and the log's messages
// in the status bar.
class QmTestBinding : public QObject
{
    Q_OBJECT
public:
    explicit QmTestBinding(frmhaupt& window);
    ~QmTestBinding() override;

    [[nodiscard]] clsQMTest& test() { return *m_test; }
    [[nodiscard]] QMProcedures& procedures() { return *m_procedures; }
    [[nodiscard]] QmTestPanel* panel() const { return m_panel; }
    // The transfers of the other subsystems (pending until they are linked in).
    void setSeam(ProgrammingSeam* seam);

private:
    void prepareRun();

    frmhaupt& m_window;
    std::unique_ptr<PendingProgrammingSeam> m_pending;
    std::unique_ptr<clsQMTest> m_test;
    std::unique_ptr<QMProcedures> m_procedures;
    QPointer<QmTestPanel> m_panel;
};

} // namespace vemro
