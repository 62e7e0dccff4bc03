#include "link/SerialLock.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <csignal>

#include <dirent.h>
#include <sys/stat.h>

namespace vemro {

namespace {

struct LockInfo
{
    bool readable = false; // the file could be read and names a pid
    qint64 pid = 0;
    QString program;
};

LockInfo readLock(const QString& file)
{
    LockInfo info;
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return info;
    const QList<QByteArray> lines = f.read(4096).split('\n');
    bool ok = false;
    info.pid = lines.value(0).trimmed().toLongLong(&ok);
    info.readable = ok && info.pid > 0;
    info.program = QString::fromLocal8Bit(lines.value(1).trimmed());
    return info;
}

// Time a program needs between creating its lock file and writing its pid into it.
constexpr qint64 kFillingMs = 200;

bool olderThan(const QString& file, qint64 ms)
{
    const QDateTime modified = QFileInfo(file).lastModified();
    return modified.isValid() && modified.msecsTo(QDateTime::currentDateTime()) > ms;
}

enum class Holding { No, Yes, Unknown };

// Whether a running program has the file open: the writer of a lock between creating it and
// writing its pid. Unknown when another user's programs cannot be looked at.
Holding heldOpen(const QString& file)
{
    struct stat target
    {
    };
    if (::stat(QFile::encodeName(file).constData(), &target) != 0)
        return Holding::No;
    bool unknown = false;
    DIR* proc = ::opendir("/proc");
    if (!proc)
        return Holding::Unknown;
    while (const dirent* p = ::readdir(proc)) {
        if (p->d_name[0] < '0' || p->d_name[0] > '9')
            continue;
        const QByteArray fdDir = QByteArray("/proc/") + p->d_name + "/fd";
        DIR* fds = ::opendir(fdDir.constData());
        if (!fds) {
            unknown = unknown || errno == EACCES;
            continue;
        }
        bool found = false;
        while (const dirent* f = ::readdir(fds)) {
            struct stat st
            {
            };
            if (f->d_name[0] != '.' && ::stat((fdDir + '/' + f->d_name).constData(), &st) == 0 &&
                st.st_dev == target.st_dev && st.st_ino == target.st_ino) {
                found = true;
                break;
            }
        }
        ::closedir(fds);
        if (found) {
            ::closedir(proc);
            return Holding::Yes;
        }
    }
    ::closedir(proc);
    return unknown ? Holding::Unknown : Holding::No;
}

// A lock without a pid is being written while its writer holds it open; otherwise its
// writer was killed in between and it is stale at once. Where that cannot be seen, one that
// stays empty for longer than writing takes is stale.
bool emptyLockStale(const QString& file)
{
    switch (heldOpen(file)) {
    case Holding::Yes:
        return false;
    case Holding::No:
        return true;
    case Holding::Unknown:
        break;
    }
    return olderThan(file, kFillingMs);
}

} // namespace

QStringList SerialLock::lockFolders()
{
    QStringList folders{QStringLiteral("/var/lock"),
                        QStringLiteral("/etc/locks"),
                        QStringLiteral("/var/spool/locks"),
                        QStringLiteral("/var/spool/uucp"),
                        QStringLiteral("/tmp"),
                        QStringLiteral("/var/tmp"),
                        QStringLiteral("/var/lock/lockdev"),
                        QStringLiteral("/run/lock")};
    const QString temp = QStandardPaths::writableLocation(QStandardPaths::TempLocation);
    if (!temp.isEmpty() && !folders.contains(temp))
        folders << temp;
    return folders;
}

QString SerialLock::lockFileName(const QString& devicePath)
{
    QString name = devicePath;
    if (name.startsWith(QLatin1String("/dev/")))
        name = name.mid(5);
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    return QStringLiteral("LCK..") + name;
}

bool SerialLock::isRunning(qint64 pid, const QString& program)
{
    if (pid <= 0)
        return false;
    if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH)
        return false;
    // The kernel keeps 15 characters of a program's name; a different one means the pid
    // was given to another program since.
    QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
    if (program.isEmpty() || !comm.open(QIODevice::ReadOnly))
        return true;
    const QString running = QString::fromLocal8Bit(comm.readAll().trimmed());
    return running.isEmpty() || running == program.left(running.size());
}

int SerialLock::removeStale(const QString& devicePath)
{
    const QString name = lockFileName(devicePath);
    int removed = 0;
    QStringList seen;
    for (const QString& folder : lockFolders()) {
        const QString lock = folder + QLatin1Char('/') + name;
        const QString canonical = QFileInfo(lock).canonicalFilePath();
        if (canonical.isEmpty() || seen.contains(canonical))
            continue; // no lock here, or the same folder under another name (/var/lock)
        seen << canonical;
        const LockInfo info = readLock(lock);
        if (!info.readable && !emptyLockStale(lock))
            continue;
        if (info.readable && isRunning(info.pid, info.program))
            continue;
        // The removal lock is left over too when its writer is gone (or it was never
        // written: an empty one stays after a kill between creating and filling it).
        const QString rmlock = lock + QStringLiteral(".rmlock");
        if (QFileInfo::exists(rmlock)) {
            const LockInfo rm = readLock(rmlock);
            if ((rm.readable && isRunning(rm.pid, rm.program)) ||
                (!rm.readable && !emptyLockStale(rmlock)))
                continue;
            if (QFile::remove(rmlock))
                ++removed;
        }
        if (QFile::remove(lock))
            ++removed;
    }
    return removed;
}

SerialLock::Holder SerialLock::holder(const QString& devicePath)
{
    const QString name = lockFileName(devicePath);
    for (const QString& folder : lockFolders()) {
        const LockInfo info = readLock(folder + QLatin1Char('/') + name);
        if (info.readable && isRunning(info.pid, info.program)) {
            QString program = info.program;
            QFile comm(QStringLiteral("/proc/%1/comm").arg(info.pid));
            if (program.isEmpty() && comm.open(QIODevice::ReadOnly))
                program = QString::fromLocal8Bit(comm.readAll().trimmed());
            return {info.pid, program};
        }
    }
    return {};
}

} // namespace vemro
