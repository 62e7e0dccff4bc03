#include "link/ComPort.h"
#include "link/FesttextLayout.h"
#include "link/MemoryTransport.h"
#include "link/TimeoutTimer.h"
#include "link/clsVX.h"
#include "platform/ScriptedUserInterface.h"
#include "platform/UserInterface.h"

#include <QCoreApplication>
#include <QSet>
#include <QTimer>

#include <cstddef>
#include <cstdint>
#include <memory>

// The fixed-text read ("vom Terminal lesen") of a terminal whose EEPROM holds the input from
// address 0x0100 on (the rest 0xFF), answered in the decimal form by a terminal in memory.
// Every number comes back at most once and within 0..127, no text holds its terminator, and
// with a plausible address table each text is the bytes at its own address.
namespace {

struct Link
{
    std::unique_ptr<QCoreApplication> app;
    std::unique_ptr<QTimer> timer;
    vemro::ScriptedUserInterface ui;
    vemro::ComPort port;
    vemro::clsVX vx;
    vemro::MemoryTransport far;
    QByteArray eeprom;
    QByteArray pending;
};

Link* g = nullptr;

int cell(int address)
{
    return address >= 0 && address < g->eeprom.size() ? static_cast<uchar>(g->eeprom.at(address))
                                                      : 0xFF;
}

// ESC "?E" high "," low ";" -> "E:" value ";"; anything else gets an empty reply.
void answer(const QByteArray& bytes)
{
    g->pending += bytes;
    for (;;) {
        const qsizetype end = g->pending.indexOf(';');
        if (end < 0)
            return;
        const QByteArray command = g->pending.left(end);
        g->pending.remove(0, end + 1);
        const qsizetype q = command.indexOf("?E");
        if (q < 0) {
            g->far.write(":;");
            continue;
        }
        const QList<QByteArray> parts = command.mid(q + 2).split(',');
        const int address = parts.value(0).toInt() * 256 + parts.value(1).toInt();
        g->far.write("E:" + QByteArray::number(cell(address)) + ';');
    }
}

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
    QObject::connect(&g->far, &vemro::MemoryTransport::bytesArrived, &g->far, answer);
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
    const int len = static_cast<int>(std::min<size_t>(size, vemro::kStandardEEPromSize - 0x100));
    g->eeprom = QByteArray(vemro::kStandardEEPromSize, '\xFF');
    g->eeprom.replace(vemro::kFesttextTable, len, reinterpret_cast<const char*>(data), len);
    g->pending.clear();
    g->ui.clear();
    g->ui.queueAnswer(vemro::UserInterface::Answer::Yes); // "Festtexte überschreiben ?"
    QSet<int> seen;
    QList<QPair<int, QByteArray>> texts;
    (void)g->vx.GetFesttexte([&](int n, const QByteArray& text) {
        if (n < 0 || n >= vemro::kFesttextCount || seen.contains(n) || text.contains('\0'))
            __builtin_trap();
        seen.insert(n);
        texts.append({n, text});
        return true;
    });
    const auto starts = vemro::FesttextStarts(g->eeprom.mid(vemro::kFesttextTable, 256));
    if (vemro::FesttextTablePlausible(starts, vemro::kStandardEEPromSize)) {
        for (const auto& [n, text] : texts) {
            const int start = starts[static_cast<size_t>(n)];
            QByteArray expected;
            for (int a = start; a < vemro::kStandardEEPromSize; ++a) {
                const int v = cell(a);
                if (v == 0 || v == 255)
                    break;
                expected += static_cast<char>(v);
            }
            if (text != expected)
                __builtin_trap();
        }
    }
    return 0;
}
