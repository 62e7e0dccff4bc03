#include "sim/VxTerminal.h"

#include <QCoreApplication>

#include <cstddef>
#include <cstdint>

// Any bytes from the PC, in any parameter form, split anywhere, must leave the terminal
// consistent: no crash, no endless fixed-text loop, cursor and memory in range.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    static QCoreApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    vemro::VxTerminal::Options options;
    options.eepromSize = (data[0] & 1) ? 4096 : 1000;
    options.rows = 1 + (data[0] >> 5);
    vemro::VxTerminal term(options);
    if (data[0] & 2)
        term.receive(QByteArray("\x1bKM\x1a", 4)); // byte form
    if (data[0] & 4)
        term.setTestPlugs(true, 341);
    // Byte 0xFE splits the input into separate receive() calls; 0xFD presses a key.
    QByteArray chunk;
    for (size_t i = 1; i < size; ++i) {
        const auto b = static_cast<char>(data[i]);
        if (data[i] == 0xFE) {
            term.receive(chunk);
            chunk.clear();
        } else if (data[i] == 0xFD && i + 1 < size) {
            term.pressKey(data[i + 1] % 40);
            term.releaseKey(data[i + 1] % 40);
            ++i;
        } else {
            chunk += b;
        }
    }
    term.receive(chunk);
    const vemro::VxDisplay& d = term.display();
    if (d.cursorRow() < 0 || d.cursorRow() >= d.rows() || d.cursorCol() < 0 ||
        d.cursorCol() >= d.cols() || term.eeprom().size() != options.eepromSize ||
        term.analogValue() < 0 || term.analogValue() > 1023)
        __builtin_trap();
    if (data[0] & 8)
        (void)term.stateText();
    return 0;
}
