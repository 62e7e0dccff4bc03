#include "link/ComPort.h"
#include "link/MemoryTransport.h"
#include "link/TimeoutTimer.h"
#include "link/clsVX.h"
#include "link/clsVXKeyboard.h"
#include "platform/ScriptedUserInterface.h"
#include "platform/UserInterface.h"

#include <QCoreApplication>
#include <QTimer>

#include <cstddef>
#include <cstdint>
#include <memory>

// The keyboard module's reads ("T?C" per key, "T?K") in the decimal form against a terminal
// in memory that answers with the input, piece by piece (pieces split at byte 0x1F). Every
// answer ends with ";;", so a read that waits for the end of a reply finds it at once
// instead of waiting for the time-out. A key code read gives its two characters or the
// fallback "A"; a configuration read gives the five values or zeros.
namespace {

struct Link
{
    std::unique_ptr<QCoreApplication> app;
    std::unique_ptr<QTimer> timer;
    vemro::ScriptedUserInterface ui;
    vemro::ComPort port;
    vemro::clsVX vx;
    vemro::MemoryTransport far;
    QList<QByteArray> answers;
};

Link* g = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    g = new Link;
    g->app = std::make_unique<QCoreApplication>(*argc, *argv);
    vemro::setUi(&g->ui);
    g->timer.reset(vemro::createTimeoutTimer(nullptr));
    g->port.setOpener(
        [](int, const vemro::SerialSettings&, vemro::SerialOpenError& error, QString&) {
            auto channel = std::make_unique<vemro::MemoryTransport>();
            g->far.open();
            vemro::MemoryTransport::pair(*channel, g->far);
            error = vemro::SerialOpenError::None;
            return channel;
        });
    QObject::connect(
        &g->far, &vemro::MemoryTransport::bytesArrived, &g->far, [](const QByteArray&) {
            const QByteArray a = g->answers.isEmpty() ? QByteArray() : g->answers.takeFirst();
            g->far.write(a + ";;");
        });
    if (!g->port.open())
        __builtin_trap();
    g->vx.setCtlcom(&g->port);
    g->vx.setTmrTimeout(g->timer.get());
    g->vx.enabled = true;
    g->vx.ComMode = vemro::ComMode::Rs232;
    g->vx.ParameterMode = 1;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    g->answers = QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size))
                     .split('\x1f')
                     .mid(0, 12);
    vemro::clsVXKeyboard& k = *g->vx.Keyboard();
    int asked = 0;
    while (!g->answers.isEmpty() && asked < 12) {
        const QByteArray head = g->answers.first();
        ++asked;
        if (!head.isEmpty() && head.at(0) == 'K') {
            k.GetConfig();
            continue;
        }
        const qint16 key = static_cast<qint16>(1 + asked % 32);
        const QByteArray code = k.GetKeycode(key);
        if (code.size() != 2 && code != "A")
            __builtin_trap();
    }
    return 0;
}
