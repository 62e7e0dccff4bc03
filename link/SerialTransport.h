#pragma once

#include "link/Transport.h"

#include <QSerialPort>

namespace vemro {

// How opening a serial device went, in the kinds the program distinguishes.
enum class SerialOpenError {
    None,
    InvalidPort,     // no such device (8002)
    PortAlreadyOpen, // another program holds it (8005)
    NoPermission,    // the user may not open it
    DeviceNotOpen,   // 8012
    PortNotOpen,     // 8018
    InvalidSettings, // speed or framing the device refused
    Other,
};

struct SerialSettings
{
    qint32 baudRate = 9600;
    bool rtsCts = false;
};

// The serial port transport over QSerialPort. A read or resource error closes the port at
// once and is reported a single time: a vanished device (an unplugged adapter, the far end
// of a pseudo-terminal gone) would otherwise report the error in a tight loop.
class SerialTransport : public Transport
{
    Q_OBJECT
public:
    explicit SerialTransport(QObject* parent = nullptr);
    ~SerialTransport() override;

    [[nodiscard]] SerialOpenError open(const QString& devicePath, const SerialSettings& settings,
                                       QString* errorText = nullptr);
    [[nodiscard]] bool isOpen() const override { return m_port.isOpen(); }
    void close() override;
    bool write(const QByteArray& bytes) override;
    [[nodiscard]] qint64 bytesToWrite() const override { return m_port.bytesToWrite(); }
    void discardPending() override;
    bool setBaudRate(qint32 baudRate) override { return m_port.setBaudRate(baudRate); }

private:
    void onReadyRead();
    void onError(QSerialPort::SerialPortError error);

    QSerialPort m_port;
};

} // namespace vemro
