#pragma once

#include <QString>
#include <QStringList>

namespace vemro {

// The lock files with which QSerialPort marks a serial device as taken ("LCK..ttyS0" in
// /var/lock or one of the other usual folders). A program killed while it held a port
// leaves its lock behind, and one killed while removing a stale lock leaves an empty
// ".rmlock" beside it; either would keep the port refused for good.
class SerialLock
{
public:
    struct Holder
    {
        qint64 pid = 0;
        QString program;
    };

    // The folders searched, in QSerialPort's order.
    [[nodiscard]] static QStringList lockFolders();
    // The lock file name of a device ("/dev/ttyS0" -> "LCK..ttyS0", "/tmp/vx" -> "LCK.._tmp_vx").
    [[nodiscard]] static QString lockFileName(const QString& devicePath);

    // Removes the locks of `devicePath` whose owner no longer runs (or that stayed empty:
    // their program was killed before it wrote its pid), and the removal locks left beside
    // them. Returns the number of files removed.
    static int removeStale(const QString& devicePath);
    // The running process that holds the device's lock; pid 0 when there is none.
    [[nodiscard]] static Holder holder(const QString& devicePath);

    // Whether the process named in a lock file runs (a pid reused by another program
    // does not count).
    [[nodiscard]] static bool isRunning(qint64 pid, const QString& program);
};

} // namespace vemro
