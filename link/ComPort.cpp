#include "link/ComPort.h"

#include "link/ComPortMap.h"
#include "link/ComPortResolver.h"

#include <QStringList>

namespace vemro {

namespace {

int errorNumber(SerialOpenError kind)
{
    switch (kind) {
    case SerialOpenError::None:
        return 0;
    case SerialOpenError::InvalidPort:
        return ComPort::kErrInvalidPort;
    case SerialOpenError::PortAlreadyOpen:
        return ComPort::kErrPortAlreadyOpen;
    case SerialOpenError::NoPermission:
        return ComPort::kErrNoPermission;
    case SerialOpenError::DeviceNotOpen:
        return ComPort::kErrDeviceNotOpen;
    case SerialOpenError::PortNotOpen:
        return ComPort::kErrPortNotOpen;
    case SerialOpenError::InvalidSettings:
    case SerialOpenError::Other:
        break;
    }
    return ComPort::kErrOther;
}

} // namespace

ComPort::ComPort(QObject* parent) : QObject(parent) {}

ComPort::~ComPort()
{
    close();
}

void ComPort::setCommPort(int portNumber)
{
    m_portNumber = portNumber;
}

bool ComPort::parseSettings(const QString& text, SerialSettings& settings)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 4)
        return false;
    bool ok = false;
    const int baud = parts.at(0).trimmed().toInt(&ok);
    if (!ok || baud <= 0)
        return false;
    if (parts.at(1).trimmed().compare(QLatin1String("n"), Qt::CaseInsensitive) != 0 ||
        parts.at(2).trimmed() != QLatin1String("8") || parts.at(3).trimmed() != QLatin1String("1"))
        return false; // the terminal only speaks 8 data bits, no parity, 1 stop bit
    settings.baudRate = baud;
    return true;
}

bool ComPort::setSettings(const QString& text)
{
    return parseSettings(text, m_settings);
}

QString ComPort::Settings() const
{
    return QStringLiteral("%1,n,8,1").arg(m_settings.baudRate);
}

void ComPort::setDeviceOverride(int portNumber, const QString& devicePath)
{
    if (devicePath.isEmpty())
        m_overrides.remove(portNumber);
    else
        m_overrides.insert(portNumber, devicePath);
}

QString ComPort::devicePath(int portNumber) const
{
    const auto it = m_overrides.constFind(portNumber);
    if (it != m_overrides.constEnd())
        return *it;
    return m_resolver ? m_resolver->devicePath(portNumber)
                      : ComPortMap::defaultDevicePath(portNumber);
}

std::unique_ptr<Transport> ComPort::openSerial(int portNumber, const SerialSettings& settings,
                                               SerialOpenError& error, QString& text) const
{
    const QString path = devicePath(portNumber);
    if (path.isEmpty()) {
        error = SerialOpenError::InvalidPort;
        text = QStringLiteral("ungültige Portnummer %1").arg(portNumber);
        return nullptr;
    }
    auto serial = std::make_unique<SerialTransport>();
    error = serial->open(path, settings, &text);
    if (error != SerialOpenError::None)
        return nullptr;
    return serial;
}

bool ComPort::open()
{
    if (isOpen()) {
        m_openError = kErrPortAlreadyOpen;
        m_openErrorKind = SerialOpenError::PortAlreadyOpen;
        m_openErrorText = QStringLiteral("Port ist bereits geöffnet");
        return false;
    }
    SerialOpenError kind = SerialOpenError::None;
    QString text;
    std::unique_ptr<Transport> transport = m_opener
                                               ? m_opener(m_portNumber, m_settings, kind, text)
                                               : openSerial(m_portNumber, m_settings, kind, text);
    if (!transport || kind != SerialOpenError::None) {
        m_openErrorKind = kind == SerialOpenError::None ? SerialOpenError::Other : kind;
        m_openError = errorNumber(m_openErrorKind);
        m_openErrorText = text;
        return false;
    }
    attach(std::move(transport));
    return true;
}

void ComPort::attach(std::unique_ptr<Transport> transport)
{
    clearInBuffer();
    m_transport = std::move(transport);
    Transport* t = m_transport.get();
    connect(t, &Transport::bytesArrived, this, [this](const QByteArray& bytes) {
        m_inBuffer.append(bytes);
        emit dataArrived();
        if (m_receiveEvents)
            emit receiveEvent();
    });
    connect(t, &Transport::bytesWritten, this, &ComPort::bytesWritten);
    connect(t, &Transport::errorOccurred, this, [this](const QString& description) {
        // The channel closed itself; drop it later, we may be inside its signal.
        if (m_transport) {
            m_transport->disconnect(this);
            m_transport.release()->deleteLater();
        }
        emit failed(description);
    });
}

void ComPort::close()
{
    if (!m_transport)
        return;
    m_transport->disconnect(this);
    m_transport->close();
    m_transport.reset();
}

bool ComPort::isOpen() const
{
    return m_transport && m_transport->isOpen();
}

void ComPort::clearError()
{
    m_openError = 0;
    m_openErrorKind = SerialOpenError::None;
    m_openErrorText.clear();
}

void ComPort::clearInBuffer()
{
    m_inBuffer.clear();
    m_readPos = 0;
}

void ComPort::clearOutBuffer()
{
    if (m_transport)
        m_transport->discardPending();
}

QByteArray ComPort::read()
{
    const qsizetype waiting = m_inBuffer.size() - m_readPos;
    const qsizetype count = (m_inputLen == 0 || waiting <= m_inputLen) ? waiting : m_inputLen;
    QByteArray part = m_inBuffer.mid(m_readPos, count);
    m_readPos += count;
    // Reading one character at a time must not move the rest of the buffer each time.
    if (m_readPos == m_inBuffer.size()) {
        m_inBuffer.clear();
        m_readPos = 0;
    } else if (m_readPos > 4096 && m_readPos > m_inBuffer.size() / 2) {
        m_inBuffer.remove(0, m_readPos);
        m_readPos = 0;
    }
    return part;
}

bool ComPort::write(const QByteArray& bytes)
{
    return m_transport && m_transport->write(bytes);
}

qint64 ComPort::bytesToWrite() const
{
    return m_transport ? m_transport->bytesToWrite() : 0;
}

} // namespace vemro
