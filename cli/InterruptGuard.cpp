#include "cli/InterruptGuard.h"

#include <csignal>
#include <fcntl.h>
#include <iterator>
#include <unistd.h>

namespace vemro {

namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

int g_pipe[2] = {-1, -1};
struct sigaction g_old[3];

void onSignal(int number)
{
    const char c = static_cast<char>(number);
    // Only async-signal-safe calls here.
    [[maybe_unused]] const ssize_t n = ::write(g_pipe[1], &c, 1);
}

} // namespace

InterruptGuard::InterruptGuard(std::function<void()> onInterrupt)
    : m_onInterrupt(std::move(onInterrupt))
{
    if (g_pipe[0] >= 0 || ::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return; // one guard at a time; without a pipe the signals keep their default
    m_notifier = std::make_unique<QSocketNotifier>(g_pipe[0], QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, [this] {
        char buffer[16];
        ssize_t n = 0;
        const bool first = m_signal == 0;
        while ((n = ::read(g_pipe[0], buffer, sizeof buffer)) > 0) {
            if (m_signal == 0)
                m_signal = static_cast<unsigned char>(buffer[0]);
        }
        // A second signal while the transfer ends changes nothing: it is already ending.
        if (first && m_signal != 0 && m_onInterrupt)
            m_onInterrupt();
    });
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (size_t i = 0; i < std::size(kSignals); ++i)
        sigaction(kSignals[i], &action, &g_old[i]);
}

InterruptGuard::~InterruptGuard()
{
    if (!m_notifier)
        return;
    for (size_t i = 0; i < std::size(kSignals); ++i)
        sigaction(kSignals[i], &g_old[i], nullptr);
    m_notifier.reset();
    ::close(g_pipe[0]);
    ::close(g_pipe[1]);
    g_pipe[0] = g_pipe[1] = -1;
}

} // namespace vemro
