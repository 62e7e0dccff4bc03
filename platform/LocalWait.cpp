#include "platform/LocalWait.h"

namespace vemro {

namespace {
bool s_loopsEnded = false;
} // namespace

LocalWait::LocalWait()
{
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&m_timer, &QTimer::timeout, &m_loop, [this] { m_loop.quit(); });
}

void LocalWait::wake()
{
    m_woken = true;
    m_loop.quit();
}

bool LocalWait::run(std::chrono::milliseconds timeout)
{
    if (m_woken)
        return true;
    if (timeout.count() == 0)
        return false;
    if (timeout.count() > 0)
        m_timer.start(timeout);
    // exec() returns -1 at once when the application's loops are ending.
    if (m_loop.exec(QEventLoop::AllEvents) == -1 && !m_woken)
        s_loopsEnded = true;
    m_timer.stop();
    return m_woken;
}

bool LocalWait::eventLoopsEnded()
{
    return s_loopsEnded;
}

void PauseMS(int ms)
{
    if (ms <= 0)
        return;
    LocalWait wait;
    wait.run(std::chrono::milliseconds(ms));
}

} // namespace vemro
