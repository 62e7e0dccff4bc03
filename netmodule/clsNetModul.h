#pragma once

#include "link/NetChannel.h"
#include "link/Transport.h"

#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <memory>

namespace vemro {

// The UDP channel to a terminal's network module. It offers the same send/receive pair as
// the serial port: clsVX calls it when its ComMode is Network. The most recent datagram waits in
// ReceiveSlot; the shared tmrTimeout bounds every wait.
class clsNetModul : public QObject, public NetChannel
{
    Q_OBJECT
public:
    // Opens the channel to host:port (tests hand in-memory channels here).
    using Opener = std::function<std::unique_ptr<Transport>(quint16 port, const QString& host,
                                                            QString& errorText)>;

    explicit clsNetModul(QObject* parent = nullptr);
    ~clsNetModul() override;

    void setTmrTimeout(QTimer* timer);
    [[nodiscard]] QTimer* tmrTimeout() const { return m_timer; }
    // The local address the socket binds to (any address by default).
    void setLocalAddress(const QHostAddress& address) { m_localAddress = address; }
    void setOpener(Opener opener) { m_opener = std::move(opener); }

    quint16 UDPBefehlsport = 10000;
    quint16 UDPDatenport = 3001;
    QString ClientIP;

    [[nodiscard]] QObject* channelObject() override { return this; }
    [[nodiscard]] LinkError lastError() const override { return m_lastError; }
    [[nodiscard]] const QByteArray& ReceiveSlot() const { return m_receiveSlot; }
    void setReceiveSlot(const QByteArray& text) { m_receiveSlot = text; }
    // 0 when the socket is closed.
    [[nodiscard]] int state() const override;
    // The address the channel was last opened towards.
    [[nodiscard]] QString lastHost() const { return m_lastHost; }

    // Points the socket at host:port; an empty host becomes ClientIP, or the module address
    // opened last, and the caller's variable receives it.
    void OpenUDPConn(qint32 port, QString& host) override;
    void CloseUDPConn() {}
    // True on failure.
    bool Send(QByteArray& sSendstring, bool bResponserequired) override;
    // True on time-out.
    bool Receive(QByteArray& sReceiveText, const QByteArray& sEndeZeichen) override;

signals:
    // Every datagram, after it was put into ReceiveSlot (the module search reads them too).
    void datagramArrived(const QByteArray& datagram);

private:
    void onDatagram(const QByteArray& datagram);
    enum class WaitResult { Accepted, TimedOut, Gone };
    // Waits until the slot holds something that `accept` takes, or the time-out strikes.
    WaitResult waitForSlot(const std::function<bool()>& accept);

    QPointer<QTimer> m_timer;
    std::unique_ptr<Transport> m_channel;
    Opener m_opener;
    QHostAddress m_localAddress = QHostAddress::AnyIPv4;
    QByteArray m_receiveSlot;
    QString m_lastHost;
    QString m_socketError;
    LinkError m_lastError = LinkError::None;
};

} // namespace vemro
