#include "project/ProjectFiles.h"

#include "platform/ProgramInfo.h"

#include <QDir>

#include <algorithm>

namespace vemro::ProjectFiles {

QString EntryFromFileName(const QString& fileName)
{
    const int p = fileName.indexOf(QStringLiteral("mdb"), 0, Qt::CaseSensitive) + 1;
    // p counts from 1; the entry is the first p - 2 characters (the name without ".mdb").
    if (p < 2)
        return QString();
    return fileName.left(p - 2);
}

QStringList Entries(const QString& folder)
{
    if (folder.isEmpty())
        return {};
    const QDir dir(folder);
    QStringList out;
    for (const QString& file : dir.entryList(QDir::Files | QDir::Hidden, QDir::Name)) {
        const QString entry = EntryFromFileName(file);
        if (!entry.isEmpty() && !out.contains(entry))
            out.append(entry);
    }
    return out;
}

QStringList NameProblems(const QString& name)
{
    QStringList problems;
    if (name.size() < 5)
        problems << QStringLiteral("Bezeichnung muss mindestens 5 Zeichen lang sein");
    if (name.size() > 30)
        problems << QStringLiteral("Bezeichnung darf höchstens 30 Zeichen lang sein");
    if (name.contains(QLatin1Char('\\')))
        problems << QStringLiteral("keine Sonderzeichen wie '\\' zulässig");
    if (name.contains(QLatin1Char('&')))
        problems << QStringLiteral("keine Sonderzeichen wie '&' zulässig");
    if (name.contains(QLatin1Char('$')))
        problems << QStringLiteral("keine Sonderzeichen wie '$' zulässig");
    // On Linux "/" separates folders: "../x" would leave the project folder.
    if (name.contains(QLatin1Char('/')))
        problems << QStringLiteral("keine Sonderzeichen wie '/' zulässig");
    // A leading dot hides the file and ".." names the parent folder.
    if (name.startsWith(QLatin1Char('.')))
        problems << QStringLiteral("Bezeichnung darf nicht mit '.' beginnen");
    return problems;
}

QString HardwareFolder()
{
    return JoinStoredPath(ProgramFolder(), QStringLiteral("\\Hardware\\"));
}

QString TemplateFile(const QString& name)
{
    return HardwareFolder() + name + QStringLiteral(".mdb");
}

} // namespace vemro::ProjectFiles
