#include "platform/ProgramInfo.h"

#include <QCoreApplication>
#include <QDir>

namespace vemro {

namespace {
QString g_programFolder;
} // namespace

QString ProgramVersionText()
{
    return QStringLiteral("%1.%2.%3").arg(kVersionMajor).arg(kVersionMinor).arg(kVersionRevision);
}

QString ProgramFolder()
{
    if (!g_programFolder.isEmpty())
        return g_programFolder;
    const QString env = qEnvironmentVariable("VEMRO_HOME");
    if (!env.isEmpty())
        return QDir::cleanPath(QDir(env).absolutePath());
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return QDir::currentPath();
}

void setProgramFolder(const QString& folder)
{
    g_programFolder = folder.isEmpty() ? QString() : QDir::cleanPath(QDir(folder).absolutePath());
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
