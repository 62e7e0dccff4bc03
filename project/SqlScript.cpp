#include "project/SqlScript.h"

#include "platform/SqlTransaction.h"

#include <QSqlError>
#include <QSqlQuery>

namespace vemro {

QStringList SplitSqlScript(const QString& script)
{
    QStringList statements;
    QString current;
    QChar quote;
    const int n = script.size();
    for (int i = 0; i < n; ++i) {
        const QChar c = script.at(i);
        if (!quote.isNull()) {
            current.append(c);
            if (c == quote) {
                // A doubled quote is an escaped quote inside the literal.
                if (i + 1 < n && script.at(i + 1) == quote) {
                    current.append(script.at(++i));
                } else {
                    quote = QChar();
                }
            }
            continue;
        }
        if (c == QLatin1Char('-') && i + 1 < n && script.at(i + 1) == QLatin1Char('-')) {
            while (i < n && script.at(i) != QLatin1Char('\n'))
                ++i;
            current.append(QLatin1Char('\n'));
            continue;
        }
        if (c == QLatin1Char('\'') || c == QLatin1Char('"') || c == QLatin1Char('`')) {
            quote = c;
            current.append(c);
            continue;
        }
        if (c == QLatin1Char(';')) {
            if (!current.trimmed().isEmpty())
                statements.append(current.trimmed());
            current.clear();
            continue;
        }
        current.append(c);
    }
    if (!current.trimmed().isEmpty())
        statements.append(current.trimmed());
    return statements;
}

bool RunSqlScript(QSqlDatabase& db, const QString& script, QString* error)
{
    SqlTransaction transaction(db);
    if (!transaction.ok()) {
        if (error)
            *error = transaction.error();
        return false;
    }
    QSqlQuery query(db);
    for (const QString& statement : SplitSqlScript(script)) {
        if (!query.exec(statement)) {
            if (error) {
                *error =
                    QStringLiteral("%1\n(%2)").arg(query.lastError().text(), statement.left(200));
            }
            query.finish();
            return false;
        }
    }
    query.finish();
    if (!transaction.commit()) {
        if (error)
            *error = transaction.error();
        return false;
    }
    return true;
}

} // namespace vemro
