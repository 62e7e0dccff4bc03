#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>

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
    // With wire timing: monotonic time (ns) at which the last byte from the PC so far has
    // arrived or will arrive at the terminal (for the traffic log's time stamp).
    [[nodiscard]] qint64 inputDoneNs() const { return m_inFree; }

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
    // Arms the line's timer for the next byte that finishes on the wire (none: disarmed).
    void armTimer();
    void deliverIn(const QByteArray& bytes);
    // Whether the PC's side of the line runs at the terminal's speed.
    [[nodiscard]] bool understood() const;
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
    // A timerfd on the monotonic clock: a byte is handed on when its last bit would have
    // left the line, to the microsecond, not on a coarse tick.
    int m_timer = -1;
    QSocketNotifier* m_timerNotifier = nullptr;
    // The timer is armed this much before a byte is due: the average delay with which this
    // machine wakes a timer (measured as the line runs, at most kMaxLeadNs).
    static constexpr qint64 kMaxLeadNs = 200000;
    qint64 m_leadNs = 0;
    qint64 m_armedAt = 0;
    QByteArray m_outQueue;
    // Monotonic time (ns) at which the line in each direction has carried its last byte
    // (towards the terminal: the last byte received so far, possibly still on its way).
    qint64 m_inFree = 0;
    qint64 m_outFree = 0;
};

} // namespace vemro
