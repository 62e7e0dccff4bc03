#include "platform/TextValue.h"

#include <QString>

#include <cmath>
#include <cstddef>
#include <cstdint>

// Any text must read as a number without crashing; integers stay in range.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<int>(size));
    const double fromBytes = vemro::TextValue(bytes);
    const QString text = QString::fromUtf8(bytes);
    const double fromText = vemro::TextValue(text);
    (void)vemro::TextValueInt(text);
    if (std::isnan(fromBytes) || std::isnan(fromText))
        __builtin_trap();
    return 0;
}
