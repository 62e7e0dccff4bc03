#include "link/KeyCodeNotation.h"

#include <cstddef>
#include <cstdint>

// Any key code text is turned into at most one byte or refused with a reason; a byte read
// from the terminal is kept in a notation that gives the same byte back.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray text(reinterpret_cast<const char*>(data), static_cast<int>(size));
    for (bool shifted : {false, true}) {
        QByteArray byte;
        QString error;
        const bool ok = vemro::KeyCodeNotation::ToKeyByte(text, shifted, &byte, &error);
        if (byte.size() > 1 || (ok && !error.isEmpty()) || (!ok && error.isEmpty()))
            __builtin_trap();
        if (ok && !text.isEmpty() && byte.size() != 1)
            __builtin_trap(); // an accepted code that is not empty sends one byte
    }
    if (size > 0) {
        const auto code = static_cast<uchar>(data[0]);
        const QByteArray kept = vemro::KeyCodeNotation::FromKeyByte(code);
        QByteArray back;
        // Below 128 the kept character goes through the ANSI to OEM table; check "#n" and "$hh".
        if ((code >= 128 || code < 32 || code == 127) &&
            (!vemro::KeyCodeNotation::ToKeyByte(kept, false, &back) || back.size() != 1 ||
             static_cast<uchar>(back.at(0)) != code))
            __builtin_trap();
    }
    return 0;
}
