#include "sim/VxTrafficLog.h"

#include <ctime>

namespace vemro {

VxTrafficLog::VxTrafficLog()
{
    m_clock.start();
}

bool VxTrafficLog::open(const QString& path, QString* error)
{
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
        if (error)
            *error = m_file.errorString();
        return false;
    }
    return true;
}

QString VxTrafficLog::line(qint64 ms, const char* arrow, const QByteArray& bytes)
{
    return QStringLiteral("%1 %2 %3")
        .arg(ms)
        .arg(QLatin1String(arrow), QString::fromLatin1(bytes.toHex(' ').toUpper()));
}

void VxTrafficLog::fromPc(const QByteArray& bytes, bool understood, qint64 atNs)
{
    write(understood ? "->" : "-> ?", bytes, atNs);
}

void VxTrafficLog::toPc(const QByteArray& bytes)
{
    write("<-", bytes);
}

void VxTrafficLog::write(const char* arrow, const QByteArray& bytes, qint64 atNs)
{
    if (!m_file.isOpen() || bytes.isEmpty())
        return;
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    const qint64 nowNs = static_cast<qint64>(now.tv_sec) * 1000000000LL + now.tv_nsec;
    const qint64 later = atNs > nowNs ? atNs - nowNs : 0;
    qint64 stamp = m_clock.elapsed() + later / 1000000;
    if (m_monotonic)
        stamp = (nowNs + later) / 1000;
    m_file.write(line(stamp, arrow, bytes).toLatin1() + '\n');
    m_file.flush();
}

} // namespace vemro
