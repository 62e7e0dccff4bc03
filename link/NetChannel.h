#pragma once

#include "link/LinkTypes.h"

#include <QByteArray>
#include <QObject>
#include <QString>

namespace vemro {

// What the terminal link needs of the network module (clsNetModul) when ComMode is Network.
class NetChannel
{
public:
    virtual ~NetChannel() = default;
    // The object behind the channel, so that the link notices when it goes away.
    [[nodiscard]] virtual QObject* channelObject() = 0;
    // 0 when the socket is closed.
    [[nodiscard]] virtual int state() const = 0;
    virtual void OpenUDPConn(qint32 port, QString& host) = 0;
    virtual bool Send(QByteArray& sSendstring, bool bResponserequired) = 0;
    virtual bool Receive(QByteArray& sReceiveText, const QByteArray& sEndeZeichen) = 0;
    [[nodiscard]] virtual LinkError lastError() const = 0;
};

} // namespace vemro
