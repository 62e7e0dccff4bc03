#include "netmodule/UdpTransport.h"

#include <QNetworkDatagram>

namespace vemro {

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
    const qint64 sent = m_socket.writeDatagram(bytes, m_remote, m_remotePort);
    if (sent == bytes.size())
        emit bytesWritten();
    return sent == bytes.size();
}

void UdpTransport::onReadyRead()
{
    while (m_socket.hasPendingDatagrams()) {
        const QNetworkDatagram datagram = m_socket.receiveDatagram();
        if (datagram.isValid())
            emit bytesArrived(datagram.data());
    }
}

} // namespace vemro
