#include "netmodule/ModuleDiscovery.h"

#include <cstddef>
#include <cstdint>

// Any datagram from the network must be read without crashing; an evaluated answer
// names a known column and a port in the UDP range.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray datagram(reinterpret_cast<const char*>(data), static_cast<int>(size));
    vemro::ModuleDiscovery::Answer answer;
    QString error;
    const auto result = vemro::ModuleDiscovery::parse(datagram, &answer, &error);
    if (result == vemro::ModuleDiscovery::Parse::Ok && answer.letter == 'U') {
        const int port = answer.value.toInt();
        if (port < 0 || port > 65535)
            __builtin_trap();
    }
    if (result == vemro::ModuleDiscovery::Parse::Ok && answer.serNr.size() > 6)
        __builtin_trap();
    return 0;
}
