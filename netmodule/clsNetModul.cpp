#include "netmodule/clsNetModul.h"

#include "link/TimeoutTimer.h"
#include "netmodule/UdpTransport.h"
#include "platform/Codepage.h"
#include "platform/Globals.h"
#include "platform/LocalWait.h"

#include <chrono>

namespace vemro {

namespace {

constexpr int kSendTimeoutMs = 1000;
constexpr int kWaitGuardMs = 100;
constexpr char kAck = 6;
constexpr char kNak = 21;

} // namespace

clsNetModul::clsNetModul(QObject* parent) : QObject(parent)
{
    // Until the main window hands over its tmrTimeout the module keeps its own.
    m_timer = createTimeoutTimer(this);
}

clsNetModul::~clsNetModul() = default;

void clsNetModul::setTmrTimeout(QTimer* timer)
{
    if (!timer)
        return;
    m_timer = timer;
    bindTimeoutTimer(timer);
}

int clsNetModul::state() const
{
    return m_channel && m_channel->isOpen() ? 1 : 0;
}

void clsNetModul::OpenUDPConn(qint32 port, QString& host)
{
    if (host.isEmpty())
        host = ClientIP;
    if (host.isEmpty())
        host = m_lastHost; // reopening: the module chosen last
    if (m_channel) {
        m_channel->disconnect(this);
        m_channel->close();
        m_channel.reset();
    }
    bool ok = port > 0 && port <= 65535;
    QString errorText;
    if (ok) {
        const auto p = static_cast<quint16>(port);
        if (m_opener) {
            m_channel = m_opener(p, host, errorText);
        } else {
            auto udp = std::make_unique<UdpTransport>();
            if (udp->open(m_localAddress, p, host, p, &errorText))
                m_channel = std::move(udp);
        }
        ok = m_channel != nullptr;
    }
    if (m_channel) {
        connect(m_channel.get(), &Transport::bytesArrived, this, &clsNetModul::onDatagram);
        connect(m_channel.get(), &Transport::errorOccurred, this,
                [this](const QString& text) { m_socketError = text; });
    }
    const QHostAddress address(host);
    if (!host.isEmpty() && address != QHostAddress::Broadcast)
        m_lastHost = host;
    m_lastError = ok ? LinkError::None : LinkError::UnexpectedReply;
}

void clsNetModul::onDatagram(const QByteArray& datagram)
{
    m_receiveSlot = datagram;
    emit datagramArrived(datagram);
}

clsNetModul::WaitResult clsNetModul::waitForSlot(const std::function<bool()>& accept)
{
    QPointer<clsNetModul> self(this);
    for (;;) {
        if (!m_receiveSlot.isEmpty() && accept())
            return WaitResult::Accepted;
        if (globals().TimeoutFlag || !m_timer || !m_timer->isActive())
            return WaitResult::TimedOut;
        LocalWait wait;
        wait.wakeOn(this, &clsNetModul::datagramArrived);
        wait.wakeOn(m_timer.data(), &QTimer::timeout);
        wait.run(std::chrono::milliseconds(m_timer->remainingTime() + kWaitGuardMs));
        if (!self)
            return WaitResult::Gone;
        if (LocalWait::eventLoopsEnded())
            return WaitResult::TimedOut; // the program ends: no answer will be read
    }
}

bool clsNetModul::Send(QByteArray& sSendstring, bool bResponserequired)
{
    const int savedInterval = m_timer ? m_timer->interval() : kTimeoutStartIntervalMs;
    auto restore = [this, savedInterval] {
        if (m_timer) {
            const bool active = m_timer->isActive();
            m_timer->setInterval(savedInterval);
            if (!active)
                m_timer->stop();
        }
    };
    if (m_timer)
        m_timer->setInterval(kSendTimeoutMs);
    m_receiveSlot.clear();
    m_socketError.clear();
    if (!m_channel || !m_channel->write(sSendstring)) {
        sSendstring = StringToAnsi(m_socketError.isEmpty()
                                       ? QStringLiteral("Netzwerkverbindung nicht geöffnet")
                                       : m_socketError);
        m_lastError = LinkError::UnexpectedReply;
        restore();
        return true;
    }
    if (!bResponserequired) {
        restore();
        return false;
    }
    restartTimeout(m_timer);
    QPointer<clsNetModul> self(this);
    const WaitResult waited = waitForSlot([] { return true; });
    if (waited == WaitResult::Gone || !self)
        return true;
    bool failed = false;
    if (waited == WaitResult::TimedOut || m_receiveSlot.isEmpty()) {
        failed = true;
        m_lastError = LinkError::Timeout;
        sSendstring.clear();
    } else if (m_receiveSlot.size() == 1 && m_receiveSlot.at(0) == kAck) {
        sSendstring.clear();
    } else if (m_receiveSlot.size() == 1 && m_receiveSlot.at(0) == kNak) {
        failed = true;
        m_lastError = LinkError::Nak;
        sSendstring.clear();
    } else {
        failed = true;
        m_lastError = LinkError::UnexpectedReply;
        sSendstring = QByteArray::number(static_cast<uchar>(m_receiveSlot.at(0)));
    }
    if (m_timer)
        m_timer->stop();
    restore();
    if (!m_socketError.isEmpty()) {
        sSendstring = StringToAnsi(m_socketError);
        return true;
    }
    return failed;
}

bool clsNetModul::Receive(QByteArray& sReceiveText, const QByteArray& sEndeZeichen)
{
    sReceiveText.clear();
    globals().TimeoutFlag = false;
    const int savedInterval = m_timer ? m_timer->interval() : kTimeoutStartIntervalMs;
    if (m_timer) {
        m_timer->stop();
        m_timer->setInterval(4 * savedInterval);
        m_timer->start();
    }
    QByteArray seen;
    QPointer<clsNetModul> self(this);
    WaitResult waited;
    if (sEndeZeichen.isEmpty()) {
        waited = waitForSlot([this, &sReceiveText] {
            sReceiveText = m_receiveSlot;
            m_receiveSlot.clear();
            return true;
        });
    } else {
        waited = waitForSlot([this, &seen, &sReceiveText, &sEndeZeichen] {
            seen = m_receiveSlot;
            const qsizetype p = m_receiveSlot.indexOf(sEndeZeichen);
            if (p < 0)
                return false; // not the answer; a newer datagram will replace it
            sReceiveText = m_receiveSlot.left(p);
            m_receiveSlot = m_receiveSlot.mid(p + sEndeZeichen.size());
            return true;
        });
    }
    if (waited == WaitResult::Gone || !self)
        return true;
    if (m_timer) {
        m_timer->stop();
        m_timer->setInterval(savedInterval);
    }
    if (waited != WaitResult::Accepted) {
        m_lastError = LinkError::Timeout;
        sReceiveText = QByteArrayLiteral("TimeOut /") + seen + '/';
        return true;
    }
    m_lastError = LinkError::None;
    return false;
}

} // namespace vemro
