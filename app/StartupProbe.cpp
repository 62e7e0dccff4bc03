#include "app/StartupProbe.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <ctime>

namespace vemro {

void StartupProbe::attachIfAsked(QWidget* mainWindow)
{
    if (!mainWindow || !qEnvironmentVariableIsSet("VEMRO_STARTUP_PROBE"))
        return;
    const bool quit = qEnvironmentVariable("VEMRO_STARTUP_PROBE") == QLatin1String("quit");
    new StartupProbe(mainWindow, quit);
}

StartupProbe::StartupProbe(QWidget* mainWindow, bool quit) : QObject(mainWindow), m_quit(quit)
{
    mainWindow->installEventFilter(this);
}

bool StartupProbe::eventFilter(QObject* watched, QEvent* event)
{
    // Reported once the first paint is through: the window is on screen and usable.
    if (event->type() == QEvent::Paint && !m_reported) {
        m_reported = true;
        QTimer::singleShot(0, this, &StartupProbe::report);
    }
    return QObject::eventFilter(watched, event);
}

void StartupProbe::report()
{
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    std::printf("vemro: bereit %lld\n",
                static_cast<long long>(now.tv_sec) * 1000000 + now.tv_nsec / 1000);
    std::fflush(stdout);
    if (m_quit)
        QCoreApplication::exit(0);
}

} // namespace vemro
