#include "link/SerialTransport.h"

#include "link/SerialLock.h"

#include <QFileInfo>

#include <cerrno>
#include <unistd.h>

namespace vemro {

SerialTransport::SerialTransport(QObject* parent) : Transport(parent)
{
    connect(&m_port, &QSerialPort::readyRead, this, &SerialTransport::onReadyRead);
    connect(&m_port, &QSerialPort::errorOccurred, this, &SerialTransport::onError);
    connect(&m_port, &QSerialPort::bytesWritten, this, [this] { emit bytesWritten(); });
}

SerialTransport::~SerialTransport()
{
    m_port.close();
}

SerialOpenError SerialTransport::open(const QString& devicePath, const SerialSettings& settings,
                                      QString* errorText)
{
    if (m_port.isOpen())
        m_port.close();
    m_port.setPortName(devicePath);
    m_port.setBaudRate(settings.baudRate);
    m_port.setDataBits(QSerialPort::Data8);
    m_port.setParity(QSerialPort::NoParity);
    m_port.setStopBits(QSerialPort::OneStop);
    m_port.setFlowControl(settings.rtsCts ? QSerialPort::HardwareControl
                                          : QSerialPort::NoFlowControl);
    const QByteArray native = QFile::encodeName(devicePath);
    if (!QFileInfo::exists(devicePath)) {
        if (errorText)
            *errorText = QStringLiteral("Gerät %1 nicht vorhanden").arg(devicePath);
        return SerialOpenError::InvalidPort;
    }
    // A lock left by a program that was killed would refuse the port for good.
    SerialLock::removeStale(devicePath);
    if (m_port.open(QIODevice::ReadWrite)) {
        // Bytes that waited in the driver before the port was opened are not a reply.
        m_port.clear(QSerialPort::AllDirections);
        return SerialOpenError::None;
    }
    const QSerialPort::SerialPortError error = m_port.error();
    if (errorText)
        *errorText = m_port.errorString();
    m_port.clearError();
    switch (error) {
    case QSerialPort::DeviceNotFoundError:
        return SerialOpenError::InvalidPort;
    case QSerialPort::PermissionError:
        // Qt reports a lock file or an exclusive open by someone else as a permission
        // error, too; only a device we may not access at all is a permission problem.
        if (::access(native.constData(), R_OK | W_OK) != 0 && errno == EACCES)
            return SerialOpenError::NoPermission;
        if (errorText) {
            const SerialLock::Holder holder = SerialLock::holder(devicePath);
            *errorText =
                holder.pid > 0
                    ? QStringLiteral("%1 wird vom Programm %2 (PID %3) benutzt")
                          .arg(devicePath,
                               holder.program.isEmpty() ? QStringLiteral("?") : holder.program)
                          .arg(holder.pid)
                    : QStringLiteral("%1 wird von einem anderen Programm benutzt").arg(devicePath);
        }
        return SerialOpenError::PortAlreadyOpen;
    case QSerialPort::OpenError:
        return SerialOpenError::PortAlreadyOpen;
    case QSerialPort::UnsupportedOperationError:
        return SerialOpenError::InvalidSettings;
    case QSerialPort::NotOpenError:
        return SerialOpenError::PortNotOpen;
    default:
        return SerialOpenError::Other;
    }
}

void SerialTransport::close()
{
    if (m_port.isOpen())
        m_port.close();
}

bool SerialTransport::write(const QByteArray& bytes)
{
    if (!m_port.isOpen())
        return false;
    if (m_port.write(bytes) != bytes.size())
        return false;
    // Hand the bytes to the driver now instead of on the next turn of the event loop: the
    // terminal's answer can only start once the command is on the line.
    m_port.flush();
    return true;
}

void SerialTransport::discardPending()
{
    if (!m_port.isOpen())
        return;
    m_port.clear(QSerialPort::AllDirections);
    (void)m_port.readAll();
}

void SerialTransport::onReadyRead()
{
    const QByteArray bytes = m_port.readAll();
    if (!bytes.isEmpty())
        emit bytesArrived(bytes);
}

void SerialTransport::onError(QSerialPort::SerialPortError error)
{
    switch (error) {
    case QSerialPort::NoError:
    case QSerialPort::TimeoutError:
        return;
    case QSerialPort::ReadError:
    case QSerialPort::WriteError:
    case QSerialPort::ResourceError: {
        // German first; the system's own words (often English) follow in parentheses.
        const QString what =
            error == QSerialPort::ReadError ? QStringLiteral("Lesefehler an der Schnittstelle")
            : error == QSerialPort::WriteError
                ? QStringLiteral("Schreibfehler an der Schnittstelle")
                : QStringLiteral("Schnittstelle nicht mehr verfügbar (Gerät entfernt "
                                 "oder Gegenstelle beendet)");
        const QString system = m_port.errorString().trimmed();
        const QString text = system.isEmpty() ? what : what + QStringLiteral(" (%1)").arg(system);
        m_port.clearError();
        if (!m_port.isOpen())
            return;
        m_port.close();
        emit errorOccurred(text);
        return;
    }
    default:
        // Open errors are evaluated by open(); settings errors of an open port are harmless.
        return;
    }
}

} // namespace vemro
