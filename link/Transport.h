#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

namespace vemro {

// A byte channel under the terminal link: bytes go out with write(), arrive through
// bytesArrived() (one chunk per arrival; for UDP one datagram), and a broken channel reports
// errorOccurred() once and is closed. Implementations: serial port, UDP, in memory.
class Transport : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    [[nodiscard]] virtual bool isOpen() const = 0;
    virtual void close() = 0;
    // Hands the bytes to the channel; false when it is closed or refused them.
    virtual bool write(const QByteArray& bytes) = 0;
    // Bytes accepted by write() that have not left yet.
    [[nodiscard]] virtual qint64 bytesToWrite() const { return 0; }
    // Drops what waits in the channel's own buffers in both directions.
    virtual void discardPending() {}
    // A new line speed for an open channel; channels without a speed ignore it.
    virtual bool setBaudRate(qint32 baudRate)
    {
        Q_UNUSED(baudRate)
        return true;
    }

signals:
    void bytesArrived(const QByteArray& bytes);
    // Some written bytes have left.
    void bytesWritten();
    void errorOccurred(const QString& description);
};

} // namespace vemro
