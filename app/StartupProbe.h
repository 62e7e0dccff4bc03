#pragma once

#include <QObject>

class QWidget;

namespace vemro {

// For measuring the cold start (bench/): with the environment variable VEMRO_STARTUP_PROBE
// set, the program prints "vemro: bereit MICROSECONDS" (the system's monotonic clock) once
// the main window has painted itself for the first time, and with the value "quit" it ends
// right after. Without the variable nothing happens.
class StartupProbe : public QObject
{
    Q_OBJECT
public:
    static void attachIfAsked(QWidget* mainWindow);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit StartupProbe(QWidget* mainWindow, bool quit);
    void report();

    bool m_quit = false;
    bool m_reported = false;
};

} // namespace vemro
