#include "sim/VxNetModule.h"

#include "sim/VxTerminal.h"

#include "platform/Codepage.h"

#include <QNetworkDatagram>
#include <QNetworkInterface>

namespace vemro {

namespace {

constexpr auto kShared = QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint;

QByteArray addressBytes(const QHostAddress& a)
{
    const quint32 v = a.toIPv4Address();
    QByteArray out;
    for (int shift = 24; shift >= 0; shift -= 8)
        out += static_cast<char>((v >> shift) & 0xFF);
    return out;
}

// The broadcast addresses a datagram for this module may be sent to.
QList<QHostAddress> broadcastsFor(const QHostAddress& address)
{
    QList<QHostAddress> out;
    if (address.isLoopback()) {
        out << QHostAddress(QStringLiteral("127.255.255.255"));
    } else {
        const auto interfaces = QNetworkInterface::allInterfaces();
        for (const QNetworkInterface& iface : interfaces)
            for (const QNetworkAddressEntry& e : iface.addressEntries())
                if (e.ip() == address && !e.broadcast().isNull())
                    out << e.broadcast();
    }
    out << QHostAddress(QHostAddress::Broadcast);
    return out;
}

} // namespace

VxNetModule::VxNetModule(VxTerminal* terminal, Identity identity, QObject* parent)
    : QObject(parent), m_terminal(terminal), m_identity(std::move(identity))
{
    connect(&m_data, &QUdpSocket::readyRead, this, &VxNetModule::readData);
    connect(&m_config, &QUdpSocket::readyRead, this, [this] { readConfig(&m_config); });
}

bool VxNetModule::start(const QHostAddress& address, QString* error)
{
    m_address = address;
    if (!m_data.bind(address, m_identity.dataPort, kShared) ||
        !m_config.bind(address, m_identity.configPort, kShared)) {
        if (error)
            *error = QStringLiteral("UDP %1: %2")
                         .arg(address.toString(), m_data.state() == QAbstractSocket::BoundState
                                                      ? m_config.errorString()
                                                      : m_data.errorString());
        return false;
    }
    // Broadcast sockets are a bonus: a host that refuses them still serves unicast.
    for (const QHostAddress& b : broadcastsFor(address)) {
        auto socket = std::make_unique<QUdpSocket>();
        if (!socket->bind(b, m_identity.configPort, kShared))
            continue;
        QUdpSocket* raw = socket.get();
        connect(raw, &QUdpSocket::readyRead, this, [this, raw] { readConfig(raw); });
        m_broadcast.push_back(std::move(socket));
    }
    return true;
}

void VxNetModule::readData()
{
    while (m_data.hasPendingDatagrams()) {
        const QNetworkDatagram d = m_data.receiveDatagram();
        m_peer = d.senderAddress();
        m_peerPort = static_cast<quint16>(d.senderPort());
        emit received(d.data());
        if (m_terminal)
            m_terminal->receive(d.data());
    }
}

void VxNetModule::send(const QByteArray& bytes)
{
    if (m_peer.isNull() || bytes.isEmpty())
        return;
    emit sent(bytes);
    m_data.writeDatagram(bytes, m_peer, m_peerPort);
}

QByteArray VxNetModule::answer(char letter, const QByteArray& value) const
{
    QByteArray sernr = m_terminal ? StringToAnsi(m_terminal->serialNumber()) : QByteArray();
    sernr = (QByteArray(6, '0') + sernr).right(6);
    return QByteArray("CFG>") + letter + ':' + sernr + ':' + value;
}

QList<QByteArray> VxNetModule::discoveryAnswers() const
{
    const quint16 port = m_identity.dataPort;
    QByteArray portBytes;
    portBytes += static_cast<char>(port >> 8);
    portBytes += static_cast<char>(port & 0xFF);
    return {answer('I', addressBytes(m_address)), answer('N', StringToAnsi(m_identity.name)),
            answer('D', addressBytes(m_identity.destination)),
            answer('T', StringToAnsi(m_identity.type)), answer('U', portBytes)};
}

void VxNetModule::readConfig(QUdpSocket* socket)
{
    while (socket->hasPendingDatagrams()) {
        const QNetworkDatagram d = socket->receiveDatagram();
        if (!d.data().startsWith("CFG?"))
            continue;
        // Answers leave from the module's own address so the PC sees who answered.
        for (const QByteArray& a : discoveryAnswers())
            m_config.writeDatagram(a, d.senderAddress(), static_cast<quint16>(d.senderPort()));
    }
}

} // namespace vemro
