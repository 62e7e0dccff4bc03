#include "platform/LocalWait.h"

#include <QElapsedTimer>
#include <QtTest>

#include <sys/resource.h>

using namespace vemro;
using namespace std::chrono_literals;

namespace {
double cpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}
} // namespace

class TstLocalWait : public QObject
{
    Q_OBJECT
Q_SIGNALS:
    void poke();

private Q_SLOTS:
    void timesOut();
    void signalEndsWait();
    void wakeBeforeRunReturnsAtOnce();
    void timersRunDuringPause();
    void waitingDoesNotSpin();
};

void TstLocalWait::timesOut()
{
    QElapsedTimer t;
    t.start();
    LocalWait w;
    QVERIFY(!w.run(50ms));
    QVERIFY(t.elapsed() >= 49);
}

void TstLocalWait::signalEndsWait()
{
    LocalWait w;
    w.wakeOn(this, &TstLocalWait::poke);
    QTimer::singleShot(10ms, this, [this] { Q_EMIT poke(); });
    QVERIFY(w.run(10s));
}

void TstLocalWait::wakeBeforeRunReturnsAtOnce()
{
    LocalWait w;
    w.wake();
    QVERIFY(w.run(-1ms));
}

void TstLocalWait::timersRunDuringPause()
{
    int ticks = 0;
    QTimer timer;
    connect(&timer, &QTimer::timeout, this, [&] { ++ticks; });
    timer.start(5);
    PauseMS(100);
    QVERIFY(ticks >= 3);
}

// A wait must sleep in the event dispatcher: half a second of waiting costs far less
// than half a second of processor time.
void TstLocalWait::waitingDoesNotSpin()
{
    const double before = cpuSeconds();
    PauseMS(500);
    QVERIFY2(cpuSeconds() - before < 0.1, "the wait burnt processor time");
}

QTEST_GUILESS_MAIN(TstLocalWait)
#include "tst_localwait.moc"
