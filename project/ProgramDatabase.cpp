#include "project/ProgramDatabase.h"

#include "project/SqlScript.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QUuid>

namespace vemro {

bool BuildDatabaseFile(const QString& file, const QStringList& scripts, QString* error)
{
    const QString temp = file + QStringLiteral(".new");
    QFile::remove(temp);
    const QString name =
        QStringLiteral("vemro_build_") + QUuid::createUuid().toString(QUuid::Id128);
    bool ok = true;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(temp);
        if (!db.open()) {
            if (error)
                *error = QStringLiteral("%1 kann nicht angelegt werden.").arg(file);
            ok = false;
        }
        for (const QString& script : scripts) {
            if (!ok)
                break;
            ok = RunSqlScript(db, script, error);
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    if (ok) {
        QFile::remove(file);
        ok = QFile::rename(temp, file);
        if (!ok && error)
            *error = QStringLiteral("%1 kann nicht geschrieben werden.").arg(file);
    }
    if (!ok)
        QFile::remove(temp);
    return ok;
}

bool EnsureProgramDatabase(const QString& file, QString* error)
{
    if (QFileInfo::exists(file))
        return true;
    return BuildDatabaseFile(file, {ProgramDatabaseScript()}, error);
}

} // namespace vemro
