#pragma once

#include <QObject>
#include <QSocketNotifier>

#include <functional>
#include <memory>

namespace vemro {

// While it lives, SIGINT, SIGTERM and SIGHUP do not end vemro-cli at once: they call
// `onInterrupt` from the event loop (a self-pipe woken by the handler), so a transfer can end
// properly — the bootloader session, for one, must still be closed by its closing byte, and a
// transfer in the byte parameter form must put the decimal form back.
class InterruptGuard : public QObject
{
    Q_OBJECT
public:
    explicit InterruptGuard(std::function<void()> onInterrupt);
    ~InterruptGuard() override;
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;

    [[nodiscard]] bool interrupted() const { return m_signal != 0; }
    // The first signal that arrived (0 = none).
    [[nodiscard]] int signalNumber() const { return m_signal; }
    // The exit code a shell expects after that signal: 128 + its number (SIGINT 130,
    // SIGTERM 143, SIGHUP 129).
    [[nodiscard]] int exitCode() const { return 128 + m_signal; }

private:
    std::function<void()> m_onInterrupt;
    std::unique_ptr<QSocketNotifier> m_notifier;
    int m_signal = 0;
};

} // namespace vemro
