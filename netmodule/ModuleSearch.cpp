#include "netmodule/ModuleSearch.h"

#include "link/TimeoutTimer.h"
#include "netmodule/ModuleDiscovery.h"
#include "netmodule/clsNetModul.h"
#include "platform/LocalWait.h"
#include "platform/SqlTransaction.h"
#include "platform/UserInterface.h"
#include "project/DataEnvironment.h"
#include "project/DatabaseMessage.h"

#include <QSqlDatabase>
#include <QSqlError>

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
    // The whole result in one transaction: quick for many answers, and a search that is
    // cut short leaves the previous result.
    QSqlDatabase db = m_env.database(DataEnvironment::kDaten);
    SqlTransaction transaction(db);
    if (!transaction.ok()) {
        (void)rs.requery();
        if (error)
            *error = DatabaseMessage::text(transaction.sqlError(), db.databaseName());
        return false;
    }
    m_dropped = 0;
    m_firstProblem.clear();
    // 3.-4. From here on failures do not stop the search.
    QTimer* timer = m_net.tmrTimeout();
    if (timer)
        timer->setInterval(m_windowMs);
    QString host = address;
    m_net.OpenUDPConn(ModuleDiscovery::kCommandPort, host);
    QByteArray request = ModuleDiscovery::kRequest;
    (void)m_net.Send(request, false);
    // 5. Answers are evaluated while the window is open.
    m_active = true;
    m_clock.start();
    if (timer) {
        LocalWait wait;
        wait.wakeOn(timer, &QTimer::timeout);
        restartTimeout(timer);
        wait.run(std::chrono::milliseconds(m_windowMs * 2));
    } else {
        PauseMS(m_windowMs);
    }
    // 6.
    m_active = false;
    m_net.CloseUDPConn();
    if (!transaction.commit()) {
        (void)rs.requery();
        if (error)
            *error = DatabaseMessage::text(transaction.sqlError(), db.databaseName());
        return false;
    }
    // Unusable answers were dropped; one message says so, not one box per datagram.
    if (m_dropped > 0)
        ui().message(QStringLiteral("%1 unbrauchbare Antwort(en) verworfen, z.B.: %2")
                         .arg(m_dropped)
                         .arg(m_firstProblem),
                     kProductName);
    return true;
}

void ModuleSearch::onDatagram(const QByteArray& datagram)
{
    // A flood of answers must not stretch the window: it ends by the clock, too.
    if (!m_active || m_clock.elapsed() > m_windowMs)
        return;
    Recordset& rs = m_env.recordset(QStringLiteral("cmdSuchergebnis"));
    QString error;
    ModuleDiscovery::Answer answer;
    const ModuleDiscovery::Parse parsed = ModuleDiscovery::parse(datagram, &answer, &error);
    if (parsed == ModuleDiscovery::Parse::NotAnAnswer)
        return;
    if (parsed == ModuleDiscovery::Parse::Ok && rs.recordCount() >= kMaxModules) {
        rs.moveFirst();
        bool known = false;
        while (!known && rs.find(QStringLiteral("SerNr"), answer.serNr)) {
            known = rs.value(QStringLiteral("SerNr")).toString() == answer.serNr;
            rs.moveNext();
        }
        if (!known)
            return; // the list is full; the modules found so far stay
    }
    if (parsed == ModuleDiscovery::Parse::Ok && ModuleDiscovery::store(rs, datagram, &error))
        return;
    ++m_dropped;
    if (m_firstProblem.isEmpty())
        m_firstProblem = error;
    Q_EMIT answerFailed(error);
}

} // namespace vemro
