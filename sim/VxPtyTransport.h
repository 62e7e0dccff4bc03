#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

class QSocketNotifier;

namespace vemro {

class VxTerminal;

// The terminal's serial line as a pseudo-terminal. The PC opens the slave device (or the
// link to it); the terminal reads the master side. The line settings the PC chose are read
// from the master with tcgetattr: bytes sent at a speed other than the terminal's are not
// understood (dropped), and the terminal's answers reach only a PC listening at its speed.
// With wire timing every byte takes the time of 10 bits at the terminal's speed.
class VxPtyTransport : public QObject
{
    Q_OBJECT
public:
    explicit VxPtyTransport(VxTerminal* terminal, QObject* parent = nullptr);
    ~VxPtyTransport() override;

    [[nodiscard]] bool open(QString* error);
    [[nodiscard]] QString slavePath() const { return m_slavePath; }
    // Makes `path` a symbolic link to the slave device (an old link there is replaced).
    [[nodiscard]] bool createLink(const QString& path, QString* error);
    void setWireTiming(bool on) { m_wireTiming = on; }
    // Baud rate the PC's side of the line is set to (0 when unknown).
    [[nodiscard]] int pcBaudRate() const;
    // Whether a PC has the port open (always true when the system cannot tell).
    [[nodiscard]] bool pcConnected() const { return m_watch < 0 || m_pcOpens > 0; }

    // Bytes for the PC (the terminal's answers).
    void send(const QByteArray& bytes);

signals:
    // Bytes from the PC; `understood` is false when the PC used another speed.
    void received(const QByteArray& bytes, bool understood);
    void sent(const QByteArray& bytes);

private:
    void onReadable();
    void onWatch();
    void onTick();
    void deliverIn(const QByteArray& bytes);
    void writeOut(const QByteArray& bytes);
    [[nodiscard]] qint64 byteNs() const;

    QPointer<VxTerminal> m_terminal;
    int m_master = -1;
    int m_slave = -1;
    QString m_slavePath;
    QString m_link;
    QSocketNotifier* m_notifier = nullptr;
    // Opens and closes of the slave by others, seen through inotify: output made while no
    // PC listens is dropped instead of waiting in the pty for the next PC.
    int m_watch = -1;
    int m_pcOpens = 0;
    QSocketNotifier* m_watchNotifier = nullptr;
    bool m_wireTiming = false;
    QTimer m_tick;
    QElapsedTimer m_clock;
    QByteArray m_inQueue;
    QByteArray m_outQueue;
    qint64 m_inFree = 0;
    qint64 m_outFree = 0;
};

} // namespace vemro
