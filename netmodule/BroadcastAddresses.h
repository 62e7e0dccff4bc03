#pragma once

#include <QStringList>

namespace vemro {

// The addresses a module search can broadcast to: 255.255.255.255 first (it leaves on the
// default route's interface only), then the IPv4 broadcast address of every interface of
// this machine that is up, each once.
class BroadcastAddresses
{
public:
    [[nodiscard]] static QStringList ofThisMachine();
};

} // namespace vemro
