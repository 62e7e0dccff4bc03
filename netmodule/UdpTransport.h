#pragma once

#include "link/Transport.h"

#include <QHostAddress>
#include <QUdpSocket>

namespace vemro {

// The UDP transport: every write is one datagram to the remote address and port, every
// arrived datagram one bytesArrived() chunk. The socket sends from and listens on its local
// port (the network module answers to the port it was addressed from).
class UdpTransport : public Transport
{
    Q_OBJECT
public:
    explicit UdpTransport(QObject* parent = nullptr);

    // Binds to localAddress:localPort and aims at remoteHost:remotePort.
    [[nodiscard]] bool open(const QHostAddress& localAddress, quint16 localPort,
                            const QString& remoteHost, quint16 remotePort,
                            QString* errorText = nullptr);
    [[nodiscard]] bool isOpen() const override;
    void close() override;
    bool write(const QByteArray& bytes) override;

    [[nodiscard]] QHostAddress remoteAddress() const { return m_remote; }
    [[nodiscard]] quint16 remotePort() const { return m_remotePort; }

private:
    void onReadyRead();

    QUdpSocket m_socket;
    QHostAddress m_remote;
    quint16 m_remotePort = 0;
};

} // namespace vemro
