#include "link/ComPortMap.h"

#include "platform/SqlTransaction.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace vemro {

namespace {

bool commit(SqlTransaction& transaction, QString* error)
{
    if (transaction.commit())
        return true;
    if (error)
        *error = transaction.error();
    return false;
}

} // namespace

QString ComPortMap::defaultDevicePath(int comNr)
{
    if (comNr >= 1 && comNr <= 4)
        return QStringLiteral("/dev/ttyS%1").arg(comNr - 1);
    if (comNr >= 5 && comNr <= 8)
        return QStringLiteral("/dev/ttyUSB%1").arg(comNr - 5);
    return {};
}

bool ComPortMap::ensureTable(QSqlDatabase& db, QString* error)
{
    if (!db.isOpen()) {
        if (error)
            *error = QStringLiteral("Programmdatenbank nicht geöffnet");
        return false;
    }
    if (db.tables().contains(QStringLiteral("ComPortZuordnung"), Qt::CaseInsensitive))
        return true;
    QSqlQuery q(db);
    SqlTransaction transaction(db);
    if (!transaction.ok()) {
        if (error)
            *error = transaction.error();
        return false;
    }
    bool ok = q.exec(QStringLiteral("CREATE TABLE ComPortZuordnung (ComNr INTEGER PRIMARY KEY, "
                                    "Geraet TEXT)"));
    for (int n = kFirstPort; ok && n <= kLastPort; ++n) {
        ok =
            q.prepare(QStringLiteral("INSERT INTO ComPortZuordnung (ComNr, Geraet) VALUES (?, ?)"));
        q.addBindValue(n);
        q.addBindValue(defaultDevicePath(n));
        ok = ok && q.exec();
    }
    if (!ok) {
        if (error)
            *error = q.lastError().text();
        return false;
    }
    return commit(transaction, error);
}

QString ComPortMap::devicePath(const QSqlDatabase& db, int comNr)
{
    if (comNr < kFirstPort || comNr > kLastPort)
        return {};
    if (db.isOpen() &&
        db.tables().contains(QStringLiteral("ComPortZuordnung"), Qt::CaseInsensitive)) {
        QSqlQuery q(db);
        q.prepare(QStringLiteral("SELECT Geraet FROM ComPortZuordnung WHERE ComNr = ?"));
        q.addBindValue(comNr);
        if (q.exec() && q.next()) {
            const QString path = q.value(0).toString().trimmed();
            if (!path.isEmpty())
                return path;
        }
    }
    return defaultDevicePath(comNr);
}

bool ComPortMap::setDevicePath(QSqlDatabase& db, int comNr, const QString& path, QString* error)
{
    if (comNr < kFirstPort || comNr > kLastPort) {
        if (error)
            *error = QStringLiteral("Com-Nummer muss zwischen 1 und 8 liegen");
        return false;
    }
    if (path.trimmed().isEmpty()) {
        if (error)
            *error = QStringLiteral("kein Gerätepfad angegeben");
        return false;
    }
    if (!ensureTable(db, error))
        return false;
    QSqlQuery q(db);
    q.prepare(QStringLiteral("DELETE FROM ComPortZuordnung WHERE ComNr = ?"));
    q.addBindValue(comNr);
    SqlTransaction transaction(db);
    if (!transaction.ok()) {
        if (error)
            *error = transaction.error();
        return false;
    }
    bool ok = q.exec();
    ok = ok &&
         q.prepare(QStringLiteral("INSERT INTO ComPortZuordnung (ComNr, Geraet) VALUES (?, ?)"));
    q.addBindValue(comNr);
    q.addBindValue(path.trimmed());
    ok = ok && q.exec();
    if (!ok) {
        if (error)
            *error = q.lastError().text();
        return false;
    }
    return commit(transaction, error);
}

} // namespace vemro
