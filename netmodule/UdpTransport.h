#pragma once

#include "link/Transport.h"

#include <QHostAddress>
#include <QUdpSocket>

namespace vemro {

// The UDP transport: every write is one datagram to the remote address and port, every
// arrived datagram one bytesArrived() chunk. The socket sends from and listens on its local
// port (the network module answers to the port it was addressed from). Towards one module
// only its own datagrams count; towards the broadcast address every module's.
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

    // Whether a datagram from sender:senderPort is an answer of the module.
    [[nodiscard]] bool accepts(const QHostAddress& sender, quint16 senderPort) const;

private:
    // Datagrams handled in one turn of the event loop.
    static constexpr int kBatch = 64;

    void onReadyRead();

    QUdpSocket m_socket;
    QHostAddress m_remote;
    quint16 m_remotePort = 0;
    bool m_remoteIsBroadcast = false;
    QByteArray m_lastWritten;
};

} // namespace vemro
