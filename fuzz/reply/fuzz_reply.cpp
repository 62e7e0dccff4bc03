#include "link/ReplyParser.h"
#include "platform/TextValue.h"

#include <cstddef>
#include <cstdint>

// Terminal replies of any shape parse without crashing; byte-form items are codes 0..255.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray reply(reinterpret_cast<const char*>(data), static_cast<int>(size));
    const vemro::ParsedReply dec = vemro::ParseDecimalReply(reply);
    if (dec.items.isEmpty())
        __builtin_trap();
    for (const QByteArray& item : dec.items)
        (void)vemro::TextValue(item);
    const vemro::ParsedReply bytes = vemro::ParseByteReply(reply);
    if (reply.contains(':')) {
        if (bytes.items.size() != reply.size() - reply.indexOf(':') - 1)
            __builtin_trap();
        for (const QByteArray& item : bytes.items) {
            const double v = vemro::TextValue(item);
            if (v < 0 || v > 255)
                __builtin_trap();
        }
    }
    return 0;
}
