#include "netmodule/UdpTransport.h"

#include <QNetworkDatagram>
#include <QNetworkInterface>

namespace vemro {

namespace {

// The limited broadcast, a directed one (x.y.z.255, the broadcast of a local network), or
// a multicast group: many modules may answer.
bool isBroadcast(const QHostAddress& address)
{
    if (address.isMulticast() || address.isEqual(QHostAddress::Broadcast))
        return true;
    bool ok = false;
    const quint32 v4 = address.toIPv4Address(&ok);
    if (!ok)
        return false;
    if ((v4 & 0xFF) == 0xFF)
        return true;
    const auto interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface& iface : interfaces) {
        for (const QNetworkAddressEntry& e : iface.addressEntries()) {
            if (!e.broadcast().isNull() && e.broadcast().isEqual(address))
                return true;
        }
    }
    return false;
}

} // namespace

UdpTransport::UdpTransport(QObject* parent) : Transport(parent)
{
    connect(&m_socket, &QUdpSocket::readyRead, this, &UdpTransport::onReadyRead);
    connect(&m_socket, &QUdpSocket::errorOccurred, this,
            [this](QAbstractSocket::SocketError) { emit errorOccurred(m_socket.errorString()); });
}

bool UdpTransport::open(const QHostAddress& localAddress, quint16 localPort,
                        const QString& remoteHost, quint16 remotePort, QString* errorText)
{
    close();
    m_remote = QHostAddress(remoteHost.trimmed());
    m_remotePort = remotePort;
    m_remoteIsBroadcast = isBroadcast(m_remote);
    if (m_remote.isNull() && !remoteHost.trimmed().isEmpty()) {
        if (errorText)
            *errorText = QStringLiteral("ungültige Adresse %1").arg(remoteHost);
        return false;
    }
    if (!m_socket.bind(localAddress, localPort,
                       QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint)) {
        if (errorText)
            *errorText = m_socket.errorString();
        return false;
    }
    return true;
}

bool UdpTransport::isOpen() const
{
    return m_socket.state() == QAbstractSocket::BoundState;
}

void UdpTransport::close()
{
    m_socket.close();
}

bool UdpTransport::write(const QByteArray& bytes)
{
    if (!isOpen() || m_remote.isNull())
        return false;
    m_lastWritten = bytes;
    const qint64 sent = m_socket.writeDatagram(bytes, m_remote, m_remotePort);
    if (sent == bytes.size())
        emit bytesWritten();
    return sent == bytes.size();
}

bool UdpTransport::accepts(const QHostAddress& sender, quint16 senderPort) const
{
    constexpr auto kMode = QHostAddress::ConvertV4MappedToIPv4;
    // Our own datagram, looped back because the module's address is one of this computer's.
    if (sender.isEqual(m_socket.localAddress(), kMode) && senderPort == m_socket.localPort())
        return false;
    // A broadcast is answered by any module; a module addressed directly answers from its
    // own address and port, and nobody else may speak for it.
    if (m_remote.isNull() || m_remoteIsBroadcast)
        return true;
    return sender.isEqual(m_remote, kMode) && senderPort == m_remotePort;
}

void UdpTransport::onReadyRead()
{
    // A flood must not hold the event loop: after a batch the rest waits for the next turn.
    int handled = 0;
    while (m_socket.hasPendingDatagrams()) {
        if (++handled > kBatch) {
            QMetaObject::invokeMethod(this, &UdpTransport::onReadyRead, Qt::QueuedConnection);
            return;
        }
        const QNetworkDatagram datagram = m_socket.receiveDatagram();
        if (!datagram.isValid() ||
            !accepts(datagram.senderAddress(), static_cast<quint16>(datagram.senderPort())))
            continue;
        // Sent to an address of this computer on our own port, the request comes back to
        // us; it is no answer.
        if (datagram.senderPort() == m_socket.localPort() && datagram.data() == m_lastWritten &&
            datagram.senderAddress().isLoopback())
            continue;
        emit bytesArrived(datagram.data());
    }
}

} // namespace vemro
