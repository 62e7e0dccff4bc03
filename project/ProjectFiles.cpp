#include "project/ProjectFiles.h"

#include "platform/ProgramInfo.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

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
        // Without a project folder of its own the program folder is listed: the program
        // database there is no project.
        if (IsProgramDatabase(dir.filePath(file)))
            continue;
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
    // The connection text is split at ";": such a file could never be opened again.
    if (name.contains(QLatin1Char(';')))
        problems << QStringLiteral("keine Sonderzeichen wie ';' zulässig");
    // On Linux "/" separates folders: "../x" would leave the project folder.
    if (name.contains(QLatin1Char('/')))
        problems << QStringLiteral("keine Sonderzeichen wie '/' zulässig");
    // A leading dot hides the file and ".." names the parent folder.
    if (name.startsWith(QLatin1Char('.')))
        problems << QStringLiteral("Bezeichnung darf nicht mit '.' beginnen");
    // Quotes and the wildcard characters make the name something else in scripts and
    // file dialogs.
    for (const QChar c : {QLatin1Char('"'), QLatin1Char('\''), QLatin1Char('*'), QLatin1Char('?'),
                          QLatin1Char('[')}) {
        if (name.contains(c))
            problems << QStringLiteral("keine Sonderzeichen wie '%1' zulässig").arg(c);
    }
    // A line break would list the project as two entries.
    if (std::any_of(name.cbegin(), name.cend(),
                    [](QChar c) { return c.category() == QChar::Other_Control; }))
        problems << QStringLiteral("keine Steuerzeichen (Zeilenumbruch, Tabulator) zulässig");
    if (!name.isEmpty() && (name.front().isSpace() || name.back().isSpace()))
        problems << QStringLiteral("Bezeichnung darf nicht mit einem Leerzeichen beginnen oder "
                                   "enden");
    // vemro-cli would take it for an option.
    if (name.startsWith(QLatin1Char('-')))
        problems << QStringLiteral("Bezeichnung darf nicht mit '-' beginnen");
    // The project list cuts a file name at its first "mdb": such a name would list as
    // something that cannot be opened.
    if (name.contains(QStringLiteral("mdb"), Qt::CaseSensitive))
        problems << QStringLiteral("Bezeichnung darf 'mdb' nicht enthalten");
    return problems;
}

QString ProgramDatabaseFile()
{
    return ProgramFolder() + QStringLiteral("/VEMRO.mdb");
}

bool IsProgramDatabase(const QString& file)
{
    const QFileInfo info(file);
    const QFileInfo program(ProgramDatabaseFile());
    if (info.exists() && program.exists())
        return info.canonicalFilePath() == program.canonicalFilePath();
    return QDir::cleanPath(info.absoluteFilePath()) == QDir::cleanPath(program.absoluteFilePath());
}

bool IsInFolder(const QString& file, const QString& folder)
{
    const QFileInfo info(file);
    const QString dir = QFileInfo(folder).canonicalFilePath();
    if (dir.isEmpty())
        return false;
    // The file's own folder, links resolved: "x/../../y" and links to elsewhere do not count.
    return QFileInfo(info.absolutePath()).canonicalFilePath() == dir && !info.isSymLink();
}

bool CheckProjectDatabase(const QString& file, QString* reason)
{
    auto fail = [reason](const QString& text) {
        if (reason)
            *reason = text;
        return false;
    };
    if (!QFileInfo(file).isFile())
        return fail(QStringLiteral("Datei fehlt"));
    const QString name =
        QStringLiteral("vemro_check_") + QUuid::createUuid().toString(QUuid::Id128);
    QString problem;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(file);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (!db.open()) {
            problem = db.lastError().text();
        } else {
            QSqlQuery q(db);
            if (!q.exec(QStringLiteral("PRAGMA quick_check(1)")))
                problem = q.lastError().databaseText();
            else if (!q.next() || q.value(0).toString() != QLatin1String("ok"))
                problem = q.value(0).toString();
            q.finish();
            // The tables every project is opened with.
            for (const char* sql : {"SELECT DBVersion FROM Allgemein LIMIT 1",
                                    "SELECT * FROM Terminaleinstellungen LIMIT 1"}) {
                if (!problem.isEmpty())
                    break;
                if (!q.exec(QString::fromLatin1(sql)))
                    problem = q.lastError().databaseText();
                q.finish();
            }
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    if (!problem.isEmpty())
        return fail(problem);
    return true;
}

QString ProjectFolder(const QString& programFolder, const QVariant& projektPfad)
{
    QString folder = projektPfad.isNull() ? programFolder
                                          : JoinStoredPath(programFolder, projektPfad.toString());
    // Project files are named by appending to the folder: a setting stored without the
    // closing "\" must not glue the folder's name to the project's.
    if (!folder.endsWith(QLatin1Char('/')))
        folder.append(QLatin1Char('/'));
    return folder;
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
