#pragma once

#include "link/LinkTypes.h"
#include "link/SerialTransport.h"

#include <QByteArray>
#include <QHash>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>

namespace vemro {

class ComPortResolver;

// The PC's serial port as the program uses it: a port number 1 to 8, a settings text such as
// "19200,n,8,1", open errors of the documented kinds, buffers to clear, received characters to
// count and read (all, or InputLen at a time), receive events and handshaking. Underneath it
// is a Transport: the serial device "Com n" maps to, or any channel an opener supplies.
class ComPort : public QObject
{
    Q_OBJECT
public:
    // Open error numbers as the program knows them.
    static constexpr int kErrInvalidPort = 8002;
    static constexpr int kErrPortAlreadyOpen = 8005;
    static constexpr int kErrDeviceNotOpen = 8012;
    static constexpr int kErrPortNotOpen = 8018;
    static constexpr int kErrNoPermission = 8001; // not a classic kind: access denied
    static constexpr int kErrOther = 8015;

    // Opens the channel of a port number; sets the error kind and text on failure.
    using Opener = std::function<std::unique_ptr<Transport>(
        int portNumber, const SerialSettings& settings, SerialOpenError& error, QString& text)>;

    explicit ComPort(QObject* parent = nullptr);
    ~ComPort() override;

    void setCommPort(int portNumber);
    [[nodiscard]] int CommPort() const { return m_portNumber; }
    // "9600,n,8,1" and the like; false (settings kept) for a text the port cannot take.
    // An open port takes the new speed at once.
    bool setSettings(const QString& settings);
    [[nodiscard]] QString Settings() const;
    [[nodiscard]] qint32 baudRate() const { return m_settings.baudRate; }
    // Applies at the next open.
    void setHandshaking(Handshake handshaking)
    {
        m_settings.rtsCts = handshaking == Handshake::RtsCts;
    }
    [[nodiscard]] Handshake Handshaking() const
    {
        return m_settings.rtsCts ? Handshake::RtsCts : Handshake::None;
    }

    // Where "Com n" is on this PC (not owned; the defaults of ComPortMap without one).
    void setResolver(const ComPortResolver* resolver) { m_resolver = resolver; }
    [[nodiscard]] const ComPortResolver* resolver() const { return m_resolver; }
    // A device path used for a port number instead of the resolver's (vemro-cli --device,
    // tests).
    void setDeviceOverride(int portNumber, const QString& devicePath);
    [[nodiscard]] QString devicePath(int portNumber) const;
    // Replaces how a port is opened (in-memory channels in tests); nullptr restores the serial one.
    void setOpener(Opener opener) { m_opener = std::move(opener); }

    // Opens the port; false with lastOpenError() set on failure.
    bool open();
    void close();
    [[nodiscard]] bool isOpen() const;
    [[nodiscard]] int lastOpenError() const { return m_openError; }
    [[nodiscard]] SerialOpenError lastOpenErrorKind() const { return m_openErrorKind; }
    [[nodiscard]] QString lastOpenErrorText() const { return m_openErrorText; }
    void clearError();

    void clearInBuffer();
    void clearOutBuffer();
    [[nodiscard]] int InBufferCount() const
    {
        return static_cast<int>(m_inBuffer.size() - m_readPos);
    }
    // Characters per read; 0 reads everything waiting.
    void setInputLen(int length) { m_inputLen = length < 0 ? 0 : length; }
    [[nodiscard]] int InputLen() const { return m_inputLen; }
    // The waiting characters (at most InputLen); empty when nothing waits.
    QByteArray read();
    // Writes the bytes; false when the port is not open or the channel refused them.
    bool write(const QByteArray& bytes);
    // Bytes written that have not left the PC yet.
    [[nodiscard]] qint64 bytesToWrite() const;

    // Receive events: when on, receiveEvent() follows every arrival.
    void setReceiveEvents(bool on) { m_receiveEvents = on; }
    [[nodiscard]] bool receiveEvents() const { return m_receiveEvents; }

    [[nodiscard]] static bool parseSettings(const QString& text, SerialSettings& settings);

signals:
    void receiveEvent();
    // Bytes arrived (whatever the receive event setting); waits wake on it.
    void dataArrived();
    void bytesWritten();
    // The channel broke (device gone) and the port was closed.
    void failed(const QString& description);
    // Opened, closed, another port number or other settings (status displays).
    void stateChanged();

private:
    void attach(std::unique_ptr<Transport> transport);
    std::unique_ptr<Transport> openSerial(int portNumber, const SerialSettings& settings,
                                          SerialOpenError& error, QString& text) const;

    int m_portNumber = 1;
    SerialSettings m_settings;
    QHash<int, QString> m_overrides;
    const ComPortResolver* m_resolver = nullptr;
    Opener m_opener;
    std::unique_ptr<Transport> m_transport;
    QByteArray m_inBuffer;
    qsizetype m_readPos = 0; // characters of m_inBuffer already read
    int m_inputLen = 0;
    bool m_receiveEvents = false;
    int m_openError = 0;
    SerialOpenError m_openErrorKind = SerialOpenError::None;
    QString m_openErrorText;
};

} // namespace vemro
