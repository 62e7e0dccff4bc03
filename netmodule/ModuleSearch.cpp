#include "netmodule/ModuleSearch.h"

#include "link/TimeoutTimer.h"
#include "netmodule/ModuleDiscovery.h"
#include "netmodule/clsNetModul.h"
#include "platform/LocalWait.h"
#include "platform/UserInterface.h"
#include "project/DataEnvironment.h"

#include <QTimer>

namespace vemro {

ModuleSearch::ModuleSearch(clsNetModul& net, DataEnvironment& env, QObject* parent)
    : QObject(parent), m_net(net), m_env(env)
{
    connect(&m_net, &clsNetModul::datagramArrived, this, &ModuleSearch::onDatagram);
}

bool ModuleSearch::run(const QString& address, QString* error)
{
    // 2. A fresh result for every search.
    if (!m_env.ensureOpen(QStringLiteral("cmdSuchergebnis"), error))
        return false;
    Recordset& rs = m_env.recordset(QStringLiteral("cmdSuchergebnis"));
    rs.moveFirst();
    while (!rs.eof()) {
        if (!rs.deleteCurrent()) {
            if (error)
                *error = rs.lastError();
            return false;
        }
    }
    // 3.-4. From here on failures do not stop the search.
    QTimer* timer = m_net.tmrTimeout();
    if (timer)
        timer->setInterval(kWindowMs);
    QString host = address;
    m_net.OpenUDPConn(ModuleDiscovery::kCommandPort, host);
    QByteArray request = ModuleDiscovery::kRequest;
    (void)m_net.Send(request, false);
    // 5. Answers are evaluated while the window is open.
    m_active = true;
    if (timer) {
        LocalWait wait;
        wait.wakeOn(timer, &QTimer::timeout);
        restartTimeout(timer);
        wait.run(std::chrono::milliseconds(kWindowMs * 20));
    } else {
        PauseMS(kWindowMs);
    }
    // 6.
    m_active = false;
    m_net.CloseUDPConn();
    return true;
}

void ModuleSearch::onDatagram(const QByteArray& datagram)
{
    if (!m_active)
        return;
    QString error;
    if (!ModuleDiscovery::store(m_env.recordset(QStringLiteral("cmdSuchergebnis")), datagram,
                                &error)) {
        Q_EMIT answerFailed(error);
        ui().message(error, kProductName);
    }
}

} // namespace vemro
