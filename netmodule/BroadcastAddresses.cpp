#include "netmodule/BroadcastAddresses.h"

#include "netmodule/ModuleDiscovery.h"

#include <QNetworkInterface>

namespace vemro {

QStringList BroadcastAddresses::ofThisMachine()
{
    QStringList addresses{ModuleDiscovery::kBroadcast};
    const QList<QNetworkInterface> interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface& i : interfaces) {
        if (!i.flags().testFlag(QNetworkInterface::IsUp) ||
            !i.flags().testFlag(QNetworkInterface::CanBroadcast))
            continue;
        const QList<QNetworkAddressEntry> entries = i.addressEntries();
        for (const QNetworkAddressEntry& e : entries) {
            const QHostAddress b = e.broadcast();
            if (b.isNull() || b.protocol() != QAbstractSocket::IPv4Protocol)
                continue;
            const QString text = b.toString();
            if (!addresses.contains(text))
                addresses.append(text);
        }
    }
    return addresses;
}

} // namespace vemro
