#pragma once

#include <QObject>
#include <QSocketNotifier>

#include <functional>
#include <memory>

namespace vemro {

// While it lives, SIGINT and SIGTERM do not end vemro-cli at once: they call `onInterrupt`
// from the event loop (a self-pipe woken by the handler), so a transfer can end properly —
// the bootloader session, for one, must still be closed by its closing byte.
class InterruptGuard : public QObject
{
    Q_OBJECT
public:
    explicit InterruptGuard(std::function<void()> onInterrupt);
    ~InterruptGuard() override;
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;

    [[nodiscard]] bool interrupted() const { return m_interrupted; }

private:
    std::function<void()> m_onInterrupt;
    std::unique_ptr<QSocketNotifier> m_notifier;
    bool m_interrupted = false;
};

} // namespace vemro
