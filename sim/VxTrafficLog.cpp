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

void VxTrafficLog::fromPc(const QByteArray& bytes, bool understood)
{
    write(understood ? "->" : "-> ?", bytes);
}

void VxTrafficLog::toPc(const QByteArray& bytes)
{
    write("<-", bytes);
}

void VxTrafficLog::write(const char* arrow, const QByteArray& bytes)
{
    if (!m_file.isOpen() || bytes.isEmpty())
        return;
    qint64 stamp = m_clock.elapsed();
    if (m_monotonic) {
        timespec now{};
        ::clock_gettime(CLOCK_MONOTONIC, &now);
        stamp = static_cast<qint64>(now.tv_sec) * 1000000 + now.tv_nsec / 1000;
    }
    m_file.write(line(stamp, arrow, bytes).toLatin1() + '\n');
    m_file.flush();
}

} // namespace vemro
