#include "sim/VxTerminal.h"

#include <QCoreApplication>

#include <cstddef>
#include <cstdint>

// A memory file may be damaged or written by hand: reading it must never crash and must leave
// a terminal whose dump reads back to the same terminal.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    static QCoreApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<int>(size));
    vemro::VxTerminal term;
    if (!term.loadState(text))
        return 0;
    const QString dump = term.stateText();
    vemro::VxTerminal again;
    if (!again.loadState(dump) || again.eeprom() != term.eeprom() ||
        again.modeFlags() != term.modeFlags() || again.serialNumber() != term.serialNumber())
        __builtin_trap();
    return 0;
}
