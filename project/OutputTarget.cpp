#include "project/OutputTarget.h"

#include "platform/Globals.h"
#include "project/DataEnvironment.h"
#include "project/ProjectFiles.h"

#include <QDir>
#include <QFileInfo>

#include <sys/stat.h>
#include <unistd.h>

namespace vemro::OutputTarget {

namespace {

struct Identity
{
    dev_t dev = 0;
    ino_t ino = 0;
};

bool identityOf(const QString& path, Identity& out)
{
    struct stat st
    {
    };
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return false;
    out = {st.st_dev, st.st_ino};
    return true;
}

bool sameFile(const Identity& a, const QString& path)
{
    Identity b;
    return identityOf(path, b) && a.dev == b.dev && a.ino == b.ino;
}

// What stands under the name when it is no regular file.
QString kindOf(const QString& path)
{
    struct stat st
    {
    };
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return {};
    if (S_ISREG(st.st_mode))
        return {};
    if (S_ISDIR(st.st_mode))
        return QStringLiteral("ein Ordner");
    if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode))
        return QStringLiteral("ein Gerät");
    if (S_ISFIFO(st.st_mode))
        return QStringLiteral("eine Pipe (FIFO)");
    if (S_ISSOCK(st.st_mode))
        return QStringLiteral("ein Socket");
    return QStringLiteral("keine gewöhnliche Datei");
}

// The database files of a folder: what the project list and the template list show, and
// SQLite's companion files (journal, WAL).
bool isDatabaseName(const QString& fileName)
{
    return fileName.contains(QStringLiteral("mdb"), Qt::CaseInsensitive);
}

QString canonicalFolder(const QString& folder)
{
    return folder.isEmpty() ? QString() : QFileInfo(folder).canonicalFilePath();
}

QString refused(const QString& path, const QString& what)
{
    return QStringLiteral("%1 ist %2 und wird nicht überschrieben; nichts geschrieben.")
        .arg(QDir::toNativeSeparators(path), what);
}

} // namespace

QString problem(const QString& path)
{
    if (path.trimmed().isEmpty())
        return QStringLiteral("Keine Datei angegeben; nichts geschrieben.");
    const QFileInfo info(path);
    if (info.isSymLink() && !info.exists())
        return refused(path,
                       QStringLiteral("eine Verknüpfung ins Leere (%1)").arg(info.symLinkTarget()));
    const QString kind = info.exists() ? kindOf(path) : QString();
    if (!kind.isEmpty())
        return refused(
            path, kind + (info.isSymLink()
                              ? QStringLiteral(" (Verknüpfung auf %1)").arg(info.symLinkTarget())
                              : QString()));

    // The file the name leads to: links resolved, also in the folders above it.
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    const QString resolved = info.exists()
                                 ? info.canonicalFilePath()
                                 : (folder.isEmpty() ? info.absoluteFilePath()
                                                     : folder + QLatin1Char('/') + info.fileName());
    const QString name = QFileInfo(resolved).fileName();
    const QString parent = QFileInfo(resolved).absolutePath();

    const QString program = ProjectFiles::ProgramDatabaseFile();
    const QString programCanonical = QFileInfo(program).canonicalFilePath();
    Identity target;
    const bool exists = info.exists() && identityOf(path, target);
    if ((!programCanonical.isEmpty() && resolved == programCanonical) ||
        (exists && sameFile(target, program)))
        return refused(path, QStringLiteral("die Programmdatenbank"));

    struct Folder
    {
        QString path;
        QString what;
    };
    const Folder folders[] = {
        {ProjectFiles::HardwareFolder(), QStringLiteral("eine Hardwarevorlage")},
        {globals().Projektverzeichnis, QStringLiteral("ein Projekt")},
    };
    for (const Folder& f : folders) {
        const QString dir = canonicalFolder(f.path);
        if (dir.isEmpty())
            continue;
        if (parent == dir && isDatabaseName(name))
            return refused(path, f.what);
        if (!exists)
            continue;
        // A hard link elsewhere to one of the folder's databases.
        const QDir d(dir);
        for (const QString& file : d.entryList(QDir::Files | QDir::Hidden)) {
            if (isDatabaseName(file) && sameFile(target, d.filePath(file)))
                return refused(path, f.what);
        }
    }
    // The project open now, wherever it lies.
    const QString open = DataEnvironment::dataSourceOf(
        DataEnvironment::instance().connectionString(DataEnvironment::kProjekt));
    if (exists && !open.isEmpty() && sameFile(target, open))
        return refused(path, QStringLiteral("ein Projekt"));
    return {};
}

QString writeProblem(const QString& path, Mode mode)
{
    QString why = problem(path);
    if (!why.isEmpty())
        return why;
    const QFileInfo info(path);
    const QByteArray native = QFile::encodeName(info.absoluteFilePath());
    if (info.exists()) {
        // The log makes its file read-only between lines and lifts that for the next one,
        // which its owner may always do.
        const bool mine = info.ownerId() == ::geteuid();
        if (::access(native.constData(), W_OK) != 0 && !(mode == Mode::Append && mine))
            return QStringLiteral("%1 kann nicht geschrieben werden (keine Schreibberechtigung); "
                                  "nichts geschrieben.")
                .arg(QDir::toNativeSeparators(path));
        if (mode == Mode::Append)
            return {};
    }
    // A new file (or a replacement) is made in its folder. The log makes a missing folder
    // from the nearest one that exists; a replaced file needs its folder.
    QString dir = info.absolutePath();
    if (mode == Mode::Replace && !QFileInfo(dir).isDir())
        return QStringLiteral("%1 kann nicht geschrieben werden: den Ordner %2 gibt es nicht; "
                              "nichts geschrieben.")
            .arg(QDir::toNativeSeparators(path), QDir::toNativeSeparators(dir));
    while (!QFileInfo::exists(dir) && QFileInfo(dir).absolutePath() != dir)
        dir = QFileInfo(dir).absolutePath();
    const QFileInfo folder(dir);
    if (!folder.isDir() || ::access(QFile::encodeName(dir).constData(), W_OK | X_OK) != 0)
        return QStringLiteral("%1 kann nicht geschrieben werden: in den Ordner %2 darf nicht "
                              "geschrieben werden; nichts geschrieben.")
            .arg(QDir::toNativeSeparators(path), QDir::toNativeSeparators(dir));
    return {};
}

bool check(const QString& path, QString* error)
{
    const QString why = problem(path);
    if (!why.isEmpty() && error)
        *error = why;
    return why.isEmpty();
}

bool checkWritable(const QString& path, Mode mode, QString* error)
{
    const QString why = writeProblem(path, mode);
    if (!why.isEmpty() && error)
        *error = why;
    return why.isEmpty();
}

} // namespace vemro::OutputTarget
