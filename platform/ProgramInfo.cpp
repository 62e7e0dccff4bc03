#include "platform/ProgramInfo.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace vemro {

namespace {
QString g_programFolder;
QString g_installedData;
bool g_installedDataSet = false;

const QString kDatabase = QStringLiteral("VEMRO.mdb");

QString cleanAbsolute(const QString& folder)
{
    return QDir::cleanPath(QDir(folder).absolutePath());
}

QString executableFolder()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return QDir::currentPath();
}

// Copies `from` to `to` unless `to` exists; the copy is the user's own, writable file.
bool copyMissing(const QString& from, const QString& to, QString* error)
{
    if (QFileInfo::exists(to))
        return true;
    if (!QFile::copy(from, to)) {
        if (error)
            *error = QStringLiteral("%1 kann nicht nach %2 kopiert werden.").arg(from, to);
        return false;
    }
    QFile::setPermissions(to, QFile::permissions(to) | QFile::WriteOwner | QFile::ReadOwner);
    return true;
}
} // namespace

QString ProgramVersionText()
{
    return QStringLiteral("%1.%2.%3").arg(kVersionMajor).arg(kVersionMinor).arg(kVersionRevision);
}

ProgramFolderChoice ChooseProgramFolder(const ProgramFolderInputs& in)
{
    if (!in.chosen.isEmpty())
        return {in.chosen, {}};
    if (!in.environment.isEmpty())
        return {in.environment, {}};
    // A build folder or a copy with its own database keeps everything beside the program;
    // an installed program must not write into /usr/bin.
    if (in.executableHasDatabase || in.installedData.isEmpty() || in.userData.isEmpty())
        return {in.executableFolder, {}};
    return {in.userData, in.installedData};
}

namespace {
ProgramFolderChoice currentChoice()
{
    ProgramFolderInputs in;
    in.chosen = g_programFolder;
    const QString env = qEnvironmentVariable("VEMRO_HOME");
    if (!env.isEmpty())
        in.environment = cleanAbsolute(env);
    in.executableFolder = executableFolder();
    in.executableHasDatabase =
        QFileInfo::exists(in.executableFolder + QLatin1Char('/') + kDatabase);
    if (in.chosen.isEmpty() && in.environment.isEmpty() && !in.executableHasDatabase) {
        in.installedData = InstalledDataFolder();
        in.userData = UserDataFolder();
    }
    return ChooseProgramFolder(in);
}
} // namespace

QString ProgramFolder()
{
    return currentChoice().folder;
}

void setProgramFolder(const QString& folder)
{
    g_programFolder = folder.isEmpty() ? QString() : cleanAbsolute(folder);
}

QString InstalledDataFolder()
{
    if (g_installedDataSet)
        return g_installedData;
    const QString folder = QDir::cleanPath(executableFolder() + QStringLiteral("/../share/vemro"));
    return QFileInfo::exists(folder + QLatin1Char('/') + kDatabase) ? folder : QString();
}

void setInstalledDataFolder(const QString& folder)
{
    g_installedDataSet = !folder.isNull();
    g_installedData = folder;
}

QString UserDataFolder()
{
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return base.isEmpty() ? QString() : base + QStringLiteral("/vemro");
}

bool SeedProgramFolder(const QString& target, const QString& source, QString* error)
{
    QString reason;
    auto fail = [&](const QString& why) {
        if (error)
            *error = QStringLiteral("Der Datenordner %1 kann nicht eingerichtet werden: %2 "
                                    "Mit VEMRO_HOME lässt sich ein anderer Ordner wählen.")
                         .arg(QDir::toNativeSeparators(target), why);
        return false;
    };
    const QDir dir(target);
    if (!QDir().mkpath(target) || !QFileInfo(target).isDir())
        return fail(QStringLiteral("der Ordner lässt sich nicht anlegen."));
    if (!copyMissing(source + QLatin1Char('/') + kDatabase, dir.filePath(kDatabase), &reason))
        return fail(reason);
    const QDir hardware(source + QStringLiteral("/Hardware"));
    if (!dir.mkpath(QStringLiteral("Hardware")))
        return fail(QStringLiteral("der Ordner Hardware lässt sich nicht anlegen."));
    for (const QString& name : hardware.entryList({QStringLiteral("*.mdb")}, QDir::Files)) {
        if (!copyMissing(hardware.filePath(name), dir.filePath(QStringLiteral("Hardware/") + name),
                         &reason))
            return fail(reason);
    }
    if (!dir.mkpath(QStringLiteral("Projekte")))
        return fail(QStringLiteral("der Ordner Projekte lässt sich nicht anlegen."));
    return true;
}

bool PrepareProgramFolder(QString* error)
{
    const ProgramFolderChoice choice = currentChoice();
    if (choice.seedFrom.isEmpty())
        return true;
    return SeedProgramFolder(choice.folder, choice.seedFrom, error);
}

QString FindManual()
{
    for (const QString& folder : {ProgramFolder(), InstalledDataFolder()}) {
        if (folder.isEmpty())
            continue;
        const QDir dir(folder);
        const QStringList manuals =
            dir.entryList({QStringLiteral("um*.pdf")}, QDir::Files | QDir::Readable, QDir::NoSort);
        if (!manuals.isEmpty())
            return dir.filePath(manuals.first());
    }
    return {};
}

QString JoinStoredPath(const QString& folder, const QString& stored)
{
    QString rel = stored;
    rel.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const bool trailing = rel.endsWith(QLatin1Char('/'));
    while (rel.startsWith(QLatin1Char('/')))
        rel.remove(0, 1);
    QString joined = rel.isEmpty() ? folder : QDir::cleanPath(folder + QLatin1Char('/') + rel);
    if (trailing && !joined.endsWith(QLatin1Char('/')))
        joined.append(QLatin1Char('/'));
    return joined;
}

} // namespace vemro
