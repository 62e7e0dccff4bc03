#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUdpSocket>

#include <memory>
#include <vector>

namespace vemro {

class VxTerminal;

// The terminal's network module: the data port (3001) carries the terminal commands, one
// datagram in, the answers to it as one datagram back to the sender; the configuration port
// (10000) answers "CFG?" with one "CFG>" datagram per property (I, N, D, T, U).
// The module binds to its own address so several simulators can share a host
// (127.0.0.2, 127.0.0.3 ...). Broadcasts are received through extra sockets bound to the
// broadcast addresses with shared ports (see docs/vxsim.md for what works on loopback).
class VxNetModule : public QObject
{
    Q_OBJECT
public:
    static constexpr quint16 kDataPort = 3001;
    static constexpr quint16 kConfigPort = 10000;

    struct Identity
    {
        QString name = QStringLiteral("vxsim");
        QString type = QStringLiteral("VX-NET");
        QHostAddress destination = QHostAddress(QStringLiteral("0.0.0.0"));
        quint16 dataPort = kDataPort;
        quint16 configPort = kConfigPort;
    };

    VxNetModule(VxTerminal* terminal, Identity identity, QObject* parent = nullptr);

    [[nodiscard]] bool start(const QHostAddress& address, QString* error);
    [[nodiscard]] QHostAddress address() const { return m_address; }
    // The discovery answers this module gives (for tests and the log).
    [[nodiscard]] QList<QByteArray> discoveryAnswers() const;

    // Terminal output for the PC that spoke last over the network.
    void send(const QByteArray& bytes);

signals:
    void received(const QByteArray& bytes);
    void sent(const QByteArray& bytes);

private:
    void readData();
    void readConfig(QUdpSocket* socket);
    [[nodiscard]] QByteArray answer(char letter, const QByteArray& value) const;

    QPointer<VxTerminal> m_terminal;
    Identity m_identity;
    QHostAddress m_address;
    QUdpSocket m_data;
    QUdpSocket m_config;
    std::vector<std::unique_ptr<QUdpSocket>> m_broadcast;
    QHostAddress m_peer;
    quint16 m_peerPort = 0;
};

} // namespace vemro
