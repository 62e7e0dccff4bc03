#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QString>

namespace vemro {

// One line per transfer: milliseconds since start, "->" (PC to terminal) or "<-" (terminal
// to PC), the bytes as space-separated upper-case hex. Bytes the terminal could not
// understand (PC at another speed) are marked "-> ?".
class VxTrafficLog
{
public:
    VxTrafficLog();
    [[nodiscard]] bool open(const QString& path, QString* error);
    // The first column becomes the system's monotonic clock in microseconds, so that a
    // tool can put the log beside its own clock (bench/).
    void setMonotonicMicroseconds(bool on) { m_monotonic = on; }
    // `atNs`: the monotonic time (ns) the bytes arrive, when not now (a timed line).
    void fromPc(const QByteArray& bytes, bool understood = true, qint64 atNs = -1);
    void toPc(const QByteArray& bytes);
    [[nodiscard]] static QString line(qint64 ms, const char* arrow, const QByteArray& bytes);

private:
    void write(const char* arrow, const QByteArray& bytes, qint64 atNs = -1);

    QFile m_file;
    QElapsedTimer m_clock;
    bool m_monotonic = false;
};

} // namespace vemro
