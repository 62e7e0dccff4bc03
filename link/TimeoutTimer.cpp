#include "link/TimeoutTimer.h"

#include "platform/Globals.h"

#include <QVariant>

namespace vemro {

namespace {
const char* const kBoundProperty = "vemroTimeoutBound";
}

void bindTimeoutTimer(QTimer* timer)
{
    if (!timer || timer->property(kBoundProperty).toBool())
        return;
    timer->setProperty(kBoundProperty, true);
    timer->setSingleShot(true);
    QObject::connect(timer, &QTimer::timeout, timer, [timer] {
        globals().TimeoutFlag = true;
        timer->stop();
    });
}

QTimer* createTimeoutTimer(QObject* parent)
{
    auto* timer = new QTimer(parent);
    timer->setInterval(kTimeoutStartIntervalMs);
    bindTimeoutTimer(timer);
    return timer;
}

void restartTimeout(QTimer* timer)
{
    globals().TimeoutFlag = false;
    if (!timer)
        return;
    timer->stop();
    timer->start();
}

} // namespace vemro
