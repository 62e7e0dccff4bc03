#include "link/clsVX.h"

#include "link/Notation.h"
#include "link/ReplyParser.h"
#include "link/TimeoutTimer.h"
#include "platform/Codepage.h"
#include "platform/Globals.h"
#include "platform/LocalWait.h"
#include "platform/UserInterface.h"
#include "platform/clsInfo.h"

#include <QElapsedTimer>

#include <chrono>

namespace vemro {

namespace {

constexpr char kAck = 6;
constexpr char kNak = 21;
constexpr int kWaitGuardMs = 100;
// Time allowed for written bytes to leave the PC: generous for 1000 bytes at 9600 baud.
constexpr int kFlushMs = 3000;
// A terminal that never pauses (a fault, a wrong speed) must not keep a reception going
// forever; no reply of the command set comes near this size.
constexpr int kMaxReplyBytes = 65536;

// Marks the link busy for the lifetime of one exchange.
class ExchangeGuard
{
public:
    explicit ExchangeGuard(bool& flag) : m_flag(flag), m_owner(!flag) { m_flag = true; }
    ~ExchangeGuard()
    {
        if (m_owner)
            m_flag = false;
    }
    ExchangeGuard(const ExchangeGuard&) = delete;
    ExchangeGuard& operator=(const ExchangeGuard&) = delete;
    [[nodiscard]] bool acquired() const { return m_owner; }

private:
    bool& m_flag;
    bool m_owner;
};

} // namespace

clsVX::clsVX(QObject* parent) : QObject(parent)
{
    m_timer = createTimeoutTimer(this);
    setKeyboard(std::make_unique<clsVXKeyboard>());
}

clsVX::~clsVX() = default;

void clsVX::setKeyboard(std::unique_ptr<clsVXKeyboard> keyboard)
{
    if (m_keyboard)
        m_keyboard->setTerminal(nullptr);
    m_keyboard = std::move(keyboard);
    if (m_keyboard)
        m_keyboard->setTerminal(this);
}

void clsVX::setCtlcom(ComPort* port)
{
    if (m_port)
        m_port->disconnect(this);
    m_port = port;
    if (port) {
        QObject::connect(port, &ComPort::failed, this, [this](const QString& description) {
            m_portFailure = description;
            emit linkFailed(description);
            // Once per break: the port is closed now and stays closed until set up again.
            Info().show(QStringLiteral("Verbindung zum Terminal unterbrochen, die Schnittstelle "
                                       "wurde geschlossen: ") +
                            description,
                        1);
        });
    }
}

void clsVX::setTmrTimeout(QTimer* timer)
{
    if (!timer)
        return;
    m_timer = timer;
    bindTimeoutTimer(timer);
}

void clsVX::setCtlNetModul(NetChannel* module)
{
    m_net = module;
    m_netObject = module ? module->channelObject() : nullptr;
}

NetChannel* clsVX::ctlNetModul() const
{
    return m_netObject ? m_net : nullptr;
}

LinkError clsVX::lastError()
{
    const LinkError code = m_lastError;
    m_lastError = LinkError::None;
    return code;
}

QString clsVX::ErrorText(LinkError code) const
{
    switch (code) {
    case LinkError::None:
        return QString();
    case LinkError::Nak:
        return QStringLiteral("Terminal antwortet NAK");
    case LinkError::Timeout:
        return QStringLiteral("keine Antwort vom Terminal (Zeitüberschreitung)");
    case LinkError::LinkBroken:
        return m_portFailure.isEmpty()
                   ? QStringLiteral("keine Antwort: die Schnittstelle ist nicht geöffnet")
                   : QStringLiteral("keine Antwort: Verbindung zum Terminal unterbrochen (%1)")
                         .arg(m_portFailure);
    case LinkError::UnexpectedReply:
        return QStringLiteral("unerwartete Antwort vom Terminal");
    }
    return QStringLiteral("Fehler %1 bei der Übertragung").arg(toStored(code));
}

void clsVX::WaitMS(int Dauer)
{
    PauseMS(Dauer);
}

void clsVX::notImplemented()
{
    ui().message(kNotImplemented, kProductName);
}

void clsVX::setReceiveEvents(bool on)
{
    if (m_port)
        m_port->setReceiveEvents(on);
}

bool clsVX::waitFor(const std::function<bool()>& done)
{
    QPointer<clsVX> self(this);
    while (!done() && !globals().TimeoutFlag) {
        QTimer* timer = m_timer;
        if (!timer || !timer->isActive()) {
            // Someone stopped the shared timer: nothing would end this wait.
            globals().TimeoutFlag = true;
            break;
        }
        if (!m_port || !m_port->isOpen())
            break;
        LocalWait wait;
        wait.wakeOn(m_port.data(), &ComPort::dataArrived);
        wait.wakeOn(m_port.data(), &ComPort::failed);
        wait.wakeOn(timer, &QTimer::timeout);
        wait.run(std::chrono::milliseconds(timer->remainingTime() + kWaitGuardMs));
        if (!self)
            return false;
        if (LocalWait::eventLoopsEnded()) {
            globals().TimeoutFlag = true; // the program ends: no answer will be read
            break;
        }
    }
    return true;
}

bool clsVX::waitWritten()
{
    if (!m_port || !m_port->isOpen() || m_port->bytesToWrite() == 0)
        return true; // the port took the bytes at once (the usual case)
    QPointer<clsVX> self(this);
    QTimer deadline;
    deadline.setSingleShot(true);
    deadline.start(kFlushMs);
    while (m_port && m_port->isOpen() && m_port->bytesToWrite() > 0 && deadline.isActive()) {
        LocalWait wait;
        wait.wakeOn(m_port.data(), &ComPort::bytesWritten);
        wait.wakeOn(m_port.data(), &ComPort::failed);
        wait.wakeOn(&deadline, &QTimer::timeout);
        wait.run(std::chrono::milliseconds(kFlushMs));
        if (!self)
            return false;
        if (LocalWait::eventLoopsEnded())
            break;
    }
    return true;
}

bool clsVX::Send(QByteArray& sSendstring, bool bResponserequired, bool Rawmode)
{
    ExchangeGuard guard(m_inExchange);
    if (!guard.acquired()) {
        sSendstring = StringToAnsi(kBusy);
        return true;
    }
    if (!Rawmode) {
        try {
            sSendstring = FilterSteuerzeichen(sSendstring, false);
        } catch (const NotationError& e) {
            sSendstring = StringToAnsi(e.description());
            setReceiveEvents(true);
            return true;
        }
    }
    QPointer<clsVX> self(this);
    const bool failed = sendFiltered(sSendstring, bResponserequired);
    if (self && bResponserequired)
        emit exchangeFinished(m_lastError != LinkError::None ? m_lastError
                              : failed                       ? LinkError::UnexpectedReply
                                                             : LinkError::None);
    return failed;
}

bool clsVX::sendFiltered(QByteArray& text, bool responseRequired)
{
    // Long texts go in pieces. The text has been through the notation filter once (or was
    // raw); the pieces are sent as they are, never decoded a second time.
    m_pieceError = false;
    while (text.size() > kPieceLength) {
        QByteArray piece = text.left(kPieceLength);
        m_pieceError = sendPiece(piece, false);
        if (m_pieceError) {
            text = piece; // the description of what went wrong
            return true;
        }
        text.remove(0, kPieceLength);
    }
    return sendPiece(text, responseRequired);
}

bool clsVX::sendPiece(QByteArray& piece, bool responseRequired)
{
    switch (ComMode) {
    case vemro::ComMode::Rs232:
    case vemro::ComMode::Rs485:
        return sendSerial(piece, responseRequired);
    case vemro::ComMode::Network: {
        NetChannel* net = ctlNetModul();
        if (!net) {
            piece = StringToAnsi(QStringLiteral("kein Netzwerkmodul vorhanden"));
            return true;
        }
        if (net->state() == 0) {
            QString host;
            net->OpenUDPConn(kNetworkDataPort, host);
        }
        return netExchange(*net, [&piece, responseRequired](NetChannel& n) {
            return n.Send(piece, responseRequired);
        });
    }
    }
    notImplemented();
    piece.clear();
    return false;
}

bool clsVX::netExchange(NetChannel& net, const std::function<bool(NetChannel&)>& exchange)
{
    QPointer<clsVX> self(this);
    const bool failed = exchange(net);
    if (!self)
        return true;
    // The module may have been replaced or removed meanwhile.
    if (NetChannel* now = ctlNetModul())
        m_lastError = now->lastError();
    return failed;
}

bool clsVX::sendSerial(QByteArray& piece, bool responseRequired)
{
    // Every failure here is a port that is not open or broke: no answer can come.
    auto fail = [this, &piece](const QString& description) {
        piece = StringToAnsi(description);
        m_lastError = LinkError::LinkBroken;
        setReceiveEvents(true);
        return true;
    };
    if (!m_port || !m_port->isOpen())
        return fail(m_portFailure.isEmpty()
                        ? QStringLiteral("Der Vorgang ist nur bei geöffnetem Anschluss gültig.")
                        : m_portFailure);
    m_port->clearOutBuffer();
    m_port->clearInBuffer();
    if (responseRequired)
        m_port->setReceiveEvents(false);
    // The pause after a command counts from the moment it was handed to the port: the
    // time the port takes to pass the bytes on is part of it, not added to it.
    QElapsedTimer sent;
    sent.start();
    if (!m_port->write(piece) || !waitWritten())
        return fail(QStringLiteral("Schreibfehler an der Schnittstelle"));
    if (!m_port || !m_port->isOpen())
        return fail(m_portFailure);
    if (!responseRequired) {
        if (m_queryPending) {
            // A query: the reply wait that follows gives the terminal its time.
            piece.clear();
            return false;
        }
        QPointer<clsVX> self(this);
        WaitMS(kSendPauseMs - static_cast<int>(sent.elapsed()));
        if (!self)
            return true;
        piece.clear();
        return false;
    }
    restartTimeout(m_timer);
    if (!waitFor([this] { return m_port && m_port->InBufferCount() > 0; }))
        return true;
    if (m_timer)
        m_timer->stop();
    if (!m_port || !m_port->isOpen())
        return fail(m_portFailure.isEmpty() ? QStringLiteral("Schnittstelle geschlossen")
                                            : m_portFailure);
    const int savedLength = m_port->InputLen();
    m_port->setInputLen(0);
    const QByteArray reply = m_port->read();
    m_port->setInputLen(savedLength);
    bool failed = true;
    piece.clear();
    if (reply.size() == 1 && reply.at(0) == kAck) {
        failed = false;
    } else if (reply.size() == 1 && reply.at(0) == kNak) {
        m_lastError = LinkError::Nak;
    } else if (!reply.isEmpty()) {
        m_lastError = LinkError::UnexpectedReply;
        piece = QByteArray::number(static_cast<uchar>(reply.at(0)));
    } else {
        m_lastError = LinkError::Timeout;
    }
    m_port->setReceiveEvents(true);
    return failed;
}

bool clsVX::Receive(QByteArray& sReceiveText, const QByteArray& sEndeZeichen)
{
    ExchangeGuard guard(m_inExchange);
    if (!guard.acquired()) {
        sReceiveText = StringToAnsi(kBusy);
        return true;
    }
    QPointer<clsVX> self(this);
    const bool failed = receiveUnguarded(sReceiveText, sEndeZeichen);
    if (self)
        emit exchangeFinished(m_lastError != LinkError::None ? m_lastError
                              : failed                       ? LinkError::Timeout
                                                             : LinkError::None);
    return failed;
}

bool clsVX::receiveUnguarded(QByteArray& text, const QByteArray& endChar)
{
    switch (ComMode) {
    case vemro::ComMode::Rs232:
    case vemro::ComMode::Rs485:
        return receiveSerial(text, endChar);
    case vemro::ComMode::Network: {
        NetChannel* net = ctlNetModul();
        if (!net) {
            text = QByteArrayLiteral("TimeOut");
            m_lastError = LinkError::Timeout;
            return true;
        }
        return netExchange(*net,
                           [&text, &endChar](NetChannel& n) { return n.Receive(text, endChar); });
    }
    }
    notImplemented();
    return false;
}

bool clsVX::receiveSerial(QByteArray& text, const QByteArray& endChar)
{
    text.clear();
    m_lastError = LinkError::None;
    if (!m_port || !m_port->isOpen()) {
        m_lastError = LinkError::LinkBroken;
        text = endChar.isEmpty() ? QByteArrayLiteral("TimeOut") : QByteArrayLiteral(" / TimeOut");
        return true;
    }
    QPointer<ComPort> port = m_port;
    const int savedLength = port->InputLen();
    port->setReceiveEvents(false);
    port->setInputLen(1);
    bool failed = false;
    QPointer<clsVX> self(this);
    if (endChar.isEmpty()) {
        // The reply ends after a pause without characters.
        const int savedInterval = m_timer ? m_timer->interval() : kTimeoutStartIntervalMs;
        if (m_timer) {
            m_timer->stop();
            m_timer->setInterval(kReceiveSilenceMs);
        }
        restartTimeout(m_timer);
        for (;;) {
            const QByteArray c = port ? port->read() : QByteArray();
            if (!c.isEmpty()) {
                text.append(c);
                if (text.size() >= kMaxReplyBytes)
                    break;
                restartTimeout(m_timer);
                continue;
            }
            if (!waitFor([&port] { return port && port->InBufferCount() > 0; }))
                return true;
            if (!port || !port->isOpen() || (globals().TimeoutFlag && port->InBufferCount() == 0))
                break;
            globals().TimeoutFlag = false; // a character came in the same turn as the tick
        }
        if (m_timer) {
            m_timer->stop();
            m_timer->setInterval(savedInterval);
        }
        if (text.isEmpty()) {
            text = QByteArrayLiteral("TimeOut");
            m_lastError = port && port->isOpen() ? LinkError::Timeout : LinkError::LinkBroken;
            failed = true;
        }
    } else {
        restartTimeout(m_timer);
        bool finished = false;
        while (!finished) {
            const QByteArray c = port ? port->read() : QByteArray();
            if (!c.isEmpty()) {
                if (c == endChar.left(1))
                    finished = true;
                else
                    text.append(c);
                if (text.size() >= kMaxReplyBytes)
                    break;
                continue;
            }
            if (globals().TimeoutFlag || !port || !port->isOpen())
                break;
            if (!waitFor([&port] { return port && port->InBufferCount() > 0; }))
                return true;
        }
        if (m_timer)
            m_timer->stop();
        if (!finished) {
            text.append(" / TimeOut");
            m_lastError = port && port->isOpen() ? LinkError::Timeout : LinkError::LinkBroken;
            failed = true;
        }
    }
    if (port)
        port->setInputLen(savedLength);
    return failed;
}

bool clsVX::GetParameter(QByteArray& sBefehl, QList<QByteArray>& Parameter,
                         const QByteArray& sEndeZeichen)
{
    ExchangeGuard guard(m_inExchange);
    Parameter.clear();
    if (!guard.acquired()) {
        sBefehl = StringToAnsi(kBusy);
        return true;
    }
    const bool serial = isSerial(ComMode);
    if (serial) {
        if (m_timer)
            m_timer->setInterval(kGetParameterSerialMs);
        setReceiveEvents(false);
    } else if (ComMode == vemro::ComMode::Network) {
        if (m_timer)
            m_timer->setInterval(kGetParameterNetworkMs);
    } else {
        notImplemented();
        return false;
    }
    QPointer<clsVX> self(this);
    QByteArray command = globals().EscChar + sBefehl;
    try {
        command = FilterSteuerzeichen(command, false);
        m_queryPending = true;
        m_pieceError = sendFiltered(command, false);
        if (self)
            m_queryPending = false;
    } catch (const NotationError& e) {
        m_pieceError = true;
    }
    if (!self)
        return true;
    QByteArray reply;
    bool failed = false;
    if (ParameterMode == 1) {
        failed = receiveUnguarded(reply, sEndeZeichen);
        if (!self)
            return true;
        if (!failed) {
            ParsedReply parsed = ParseDecimalReply(reply);
            Parameter = parsed.items;
            reply = parsed.rest;
        }
    } else {
        failed = receiveUnguarded(reply, QByteArray());
        if (!self)
            return true;
        if (!failed) {
            ParsedReply parsed = ParseByteReply(reply);
            Parameter = parsed.items;
            reply = parsed.rest;
        }
    }
    if (serial)
        setReceiveEvents(true);
    sBefehl = reply;
    emit exchangeFinished(m_lastError != LinkError::None ? m_lastError
                          : failed                       ? LinkError::Timeout
                                                         : LinkError::None);
    return failed;
}

} // namespace vemro
