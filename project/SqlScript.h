#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

namespace vemro {

// Splits an SQL script into statements at ";" outside quotes, dropping "--" comments
// and blank statements.
[[nodiscard]] QStringList SplitSqlScript(const QString& script);

// Runs every statement of `script` on `db` inside one transaction. On failure the
// transaction is rolled back and `error` names the statement and the reason.
[[nodiscard]] bool RunSqlScript(QSqlDatabase& db, const QString& script, QString* error);

// The script that creates the program database VEMRO.mdb.
[[nodiscard]] QString ProgramDatabaseScript();

} // namespace vemro
