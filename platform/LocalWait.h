#pragma once

#include <QEventLoop>
#include <QObject>
#include <QTimer>

#include <chrono>

namespace vemro {

// The one way the program waits: a local event loop that a signal or a timer ends.
// Timers, sockets and the user interface keep working while it runs, and a waiting
// process sleeps in the event dispatcher instead of spinning. The deadline is taken
// from a monotonic clock, so a wait also ends on time across midnight or a clock change.
class LocalWait
{
public:
    LocalWait();
    LocalWait(const LocalWait&) = delete;
    LocalWait& operator=(const LocalWait&) = delete;

    // Any emission of `signal` by `sender` ends the wait early.
    template <typename Sender, typename Signal> void wakeOn(const Sender* sender, Signal signal)
    {
        QObject::connect(sender, signal, &m_loop, [this] { wake(); });
    }

    // Ends the wait from code (for example from a slot of the caller's).
    void wake();

    // Runs the loop until woken or until `timeout` has passed. Returns true when woken.
    // A negative timeout waits until woken. A wake before run() makes run() return at once.
    bool run(std::chrono::milliseconds timeout);

    // True once the application's event loops have been told to end (quit() or exit()
    // while a wait ran): no further wait can run, so a loop of waits must give up instead
    // of spinning through waits that return at once.
    [[nodiscard]] static bool eventLoopsEnded();

private:
    QEventLoop m_loop;
    QTimer m_timer;
    bool m_woken = false;
};

// Waits the given time with the event loop running (WaitMS / PauseMS).
void PauseMS(int ms);

} // namespace vemro
