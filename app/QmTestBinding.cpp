#include "app/QmTestBinding.h"

#include "app/frmhaupt.h"
#include "editors/QmTestPage.h"
#include "editors/QmTestPanel.h"
#include "editors/frmQMTestKeyboard.h"
#include "link/ComPort.h"
#include "link/clsVX.h"
#include "platform/TextValue.h"
#include "qmtest/ProgrammingSeam.h"
#include "qmtest/QMKeyboardTest.h"
#include "qmtest/QMProcedures.h"
#include "qmtest/clsQMTest.h"

#include <QApplication>
#include <QVBoxLayout>

namespace vemro {

QmTestBinding::QmTestBinding(frmhaupt& window)
    : QObject(&window), m_window(window), m_pending(std::make_unique<PendingProgrammingSeam>()),
      m_test(std::make_unique<clsQMTest>(window.Data())),
      m_procedures(
          std::make_unique<QMProcedures>(*m_test, *window.terminal(), window.Data(), *m_pending))
{
    m_procedures->registerAll();
    m_procedures->setBeep([] { QApplication::beep(); });
    m_procedures->setKeyboardView([this](QMKeyboardTest& state) {
        auto* dialog = new frmQMTestKeyboard(state, &m_window);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        dialog->show();
    });
    m_panel = new QmTestPanel(*m_test, window.qmTestPage());
    window.qmTestPage()->testLayout()->addWidget(m_panel);
    m_panel->setPrepareRun([this] { prepareRun(); });
    // The number the run learnt, which stays when a later query went unanswered.
    m_panel->setSerialNumber([this] {
        const QString known = m_procedures->bekannteSerNr();
        return known.isEmpty() ? m_window.terminal()->SerNr : known;
    });
    m_panel->setStatusMessage([this](const QString& text) { m_window.setPanelText(1, text); });
    window.setTestListFill([this](QString* error) { return m_test->FillTestListe(error); });
}

QmTestBinding::~QmTestBinding()
{
    // The panel shows the test object: it goes first.
    delete m_panel;
}

void QmTestBinding::setSeam(ProgrammingSeam* seam)
{
    m_procedures->setSeam(seam ? *seam : *m_pending);
}

void QmTestBinding::prepareRun()
{
    // The test runs at the programming speed: "setzen" first when the port runs at another.
    ComPort* port = m_window.terminal()->ctlcom();
    QmTestPage* page = m_window.qmTestPage();
    const QString speed = page->programmingSpeed();
    // Over the network module there is no serial speed to set.
    if (!port || speed.isEmpty() || m_window.terminal()->ComMode == ComMode::Network)
        return;
    const QString current = port->Settings().section(QLatin1Char(','), 0, 0);
    if (TextValue(speed) != TextValue(current))
        page->requestProgrammingSpeed();
}

} // namespace vemro
