#include "project/Recordset.h"

#include "project/DatabaseMessage.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace vemro {

namespace {
QString quoted(const QString& name)
{
    QString n = name;
    n.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + n + QLatin1Char('"');
}
} // namespace

bool Recordset::fail(const QString& message)
{
    m_error = message;
    return false;
}

bool Recordset::fail(const QSqlError& error)
{
    return fail(DatabaseMessage::text(error, m_db.databaseName()));
}

Recordset::Row* Recordset::writableRow()
{
    Row* row = current();
    if (!row) {
        (void)fail(QStringLiteral("Kein aktueller Datensatz."));
        return nullptr;
    }
    if (!m_updatable) {
        (void)fail(QStringLiteral("Die Datensatzgruppe ist schreibgeschützt."));
        return nullptr;
    }
    return row;
}

bool Recordset::runStatement(QSqlQuery& query, const QString& sql, const QVariantList& binds)
{
    if (!query.prepare(sql))
        return fail(query.lastError());
    for (const QVariant& v : binds)
        query.addBindValue(v);
    if (!query.exec())
        return fail(query.lastError());
    return true;
}

bool Recordset::open(const QSqlDatabase& db, const QString& sql, const QString& table,
                     bool updatable, const QVariantList& bindValues)
{
    close();
    m_db = db;
    m_sql = sql;
    m_table = table;
    m_updatable = updatable && !table.isEmpty();
    m_bind = bindValues;
    return load();
}

bool Recordset::requery()
{
    if (m_sql.isEmpty() || !m_db.isValid())
        return fail(QStringLiteral("Die Abfrage wurde noch nicht ausgeführt."));
    return load();
}

bool Recordset::load()
{
    m_error.clear();
    m_state = State::Closed;
    m_rows.clear();
    m_visible.clear();
    m_columns.clear();
    m_pos = -1;
    if (!m_db.isOpen())
        return fail(QStringLiteral("Die Datenbankverbindung ist nicht geöffnet."));
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    if (!runStatement(query, m_sql, m_bind))
        return false;
    const QSqlRecord rec = query.record();
    for (int i = 0; i < rec.count(); ++i)
        m_columns.append(rec.fieldName(i));
    while (query.next()) {
        Row row;
        row.values.reserve(m_columns.size());
        for (int i = 0; i < m_columns.size(); ++i)
            row.values.append(query.value(i));
        row.original = row.values;
        m_rows.append(row);
    }
    if (query.lastError().isValid())
        return fail(query.lastError());
    m_state = State::Open;
    rebuildVisible();
    return true;
}

void Recordset::close()
{
    m_state = State::Closed;
    m_db = QSqlDatabase(); // the connection may be removed once its recordsets are closed
    m_rows.clear();
    m_visible.clear();
    m_columns.clear();
    m_pos = -1;
    m_filtered = false;
}

int Recordset::columnIndex(const QString& column) const
{
    for (int i = 0; i < m_columns.size(); ++i) {
        if (m_columns.at(i).compare(column, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

bool Recordset::sameValue(const QVariant& a, const QVariant& b)
{
    if (a.isNull() || b.isNull())
        return a.isNull() && b.isNull();
    bool okA = false;
    bool okB = false;
    const double da = a.toDouble(&okA);
    const double db = b.toDouble(&okB);
    const auto isText = [](const QVariant& v) { return v.typeId() == QMetaType::QString; };
    if (okA && okB && !(isText(a) && isText(b)))
        return da == db;
    return a.toString().compare(b.toString(), Qt::CaseInsensitive) == 0;
}

void Recordset::rebuildVisible()
{
    m_visible.clear();
    const int col = m_filtered ? columnIndex(m_filterColumn) : -1;
    for (int i = 0; i < m_rows.size(); ++i) {
        if (!m_filtered || (col >= 0 && sameValue(m_rows.at(i).values.at(col), m_filterValue)))
            m_visible.append(i);
    }
    m_pos = 0; // the first row; with no rows BOF and EOF hold at once
}

bool Recordset::bof() const
{
    return m_state != State::Open || m_pos < 0 || m_visible.isEmpty();
}

bool Recordset::eof() const
{
    return m_state != State::Open || m_pos >= m_visible.size() || m_visible.isEmpty();
}

void Recordset::moveFirst()
{
    cancelUpdate();
    m_pos = 0;
}

void Recordset::moveLast()
{
    cancelUpdate();
    m_pos = m_visible.isEmpty() ? 0 : static_cast<int>(m_visible.size()) - 1;
}

void Recordset::moveNext()
{
    cancelUpdate();
    if (m_pos < m_visible.size())
        ++m_pos;
}

void Recordset::movePrevious()
{
    cancelUpdate();
    if (m_pos >= 0)
        --m_pos;
}

bool Recordset::find(const QString& column, const QVariant& value)
{
    const int col = columnIndex(column);
    if (col < 0 || m_state != State::Open) {
        m_pos = static_cast<int>(m_visible.size());
        return fail(DatabaseMessage::missingColumns(m_db.databaseName(),
                                                    {m_table + QLatin1Char('.') + column}));
    }
    for (int p = qMax(m_pos, 0); p < m_visible.size(); ++p) {
        if (sameValue(m_rows.at(m_visible.at(p)).values.at(col), value)) {
            m_pos = p;
            return true;
        }
    }
    m_pos = static_cast<int>(m_visible.size());
    return false;
}

Recordset::Row* Recordset::current()
{
    if (m_state != State::Open || m_pos < 0 || m_pos >= m_visible.size())
        return nullptr;
    return &m_rows[m_visible.at(m_pos)];
}

const Recordset::Row* Recordset::current() const
{
    if (m_state != State::Open || m_pos < 0 || m_pos >= m_visible.size())
        return nullptr;
    return &m_rows.at(m_visible.at(m_pos));
}

QVariant Recordset::value(const QString& column) const
{
    const int col = columnIndex(column);
    if (col < 0 && m_state == State::Open) {
        (void)requireFields({column});
        return QVariant();
    }
    const Row* row = current();
    if (!row || col < 0)
        return QVariant();
    return row->values.at(col);
}

bool Recordset::requireFields(const QStringList& columns, QString* error) const
{
    QStringList missing;
    for (const QString& c : columns) {
        if (columnIndex(c) < 0)
            missing.append(m_table.isEmpty() ? c : m_table + QLatin1Char('.') + c);
    }
    if (missing.isEmpty())
        return true;
    m_error = DatabaseMessage::missingColumns(m_db.databaseName(), missing);
    if (error)
        *error = m_error;
    return false;
}

bool Recordset::setValue(const QString& column, const QVariant& value)
{
    Row* row = writableRow();
    if (!row)
        return false;
    const int col = columnIndex(column);
    if (col < 0)
        return fail(DatabaseMessage::missingColumns(m_db.databaseName(),
                                                    {m_table + QLatin1Char('.') + column}));
    row->values[col] = value;
    row->dirty = true;
    return true;
}

bool Recordset::addNew()
{
    if (m_state != State::Open || !m_updatable)
        return fail(QStringLiteral("Die Datensatzgruppe ist schreibgeschützt."));
    cancelUpdate();
    Row row;
    row.values = QVector<QVariant>(m_columns.size());
    row.original = row.values;
    row.isNew = true;
    row.dirty = true;
    m_rows.append(row);
    m_visible.append(static_cast<int>(m_rows.size()) - 1);
    m_pos = static_cast<int>(m_visible.size()) - 1;
    return true;
}

bool Recordset::editing() const
{
    const Row* row = current();
    return row && row->dirty;
}

void Recordset::cancelUpdate()
{
    Row* row = current();
    if (!row || !row->dirty)
        return;
    if (row->isNew) {
        const int index = m_visible.at(m_pos);
        m_rows.removeAt(index);
        m_visible.removeAt(m_pos);
        for (int& v : m_visible) {
            if (v > index)
                --v;
        }
        if (m_pos > m_visible.size())
            m_pos = static_cast<int>(m_visible.size());
        return;
    }
    row->values = row->original;
    row->dirty = false;
}

QString Recordset::quotedTable() const
{
    return quoted(m_table);
}

QString Recordset::rowLocator(const Row& row, QVariantList& binds) const
{
    QStringList conditions;
    for (int i = 0; i < m_columns.size(); ++i) {
        conditions.append(quoted(m_columns.at(i)) + QStringLiteral(" IS ?"));
        binds.append(row.original.at(i));
    }
    return QStringLiteral("rowid = (SELECT rowid FROM %1 WHERE %2 LIMIT 1)")
        .arg(quotedTable(), conditions.join(QStringLiteral(" AND ")));
}

bool Recordset::update()
{
    Row* row = writableRow();
    if (!row)
        return false;
    if (!row->dirty)
        return true;
    QSqlQuery query(m_db);
    QVariantList binds;
    QString sql;
    if (row->isNew) {
        QStringList cols;
        QStringList marks;
        for (int i = 0; i < m_columns.size(); ++i) {
            if (row->values.at(i).isNull())
                continue; // leave the table's default
            cols.append(quoted(m_columns.at(i)));
            marks.append(QStringLiteral("?"));
            binds.append(row->values.at(i));
        }
        sql = cols.isEmpty() ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(quotedTable())
                             : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                   .arg(quotedTable(), cols.join(QLatin1Char(',')),
                                        marks.join(QLatin1Char(',')));
    } else {
        QStringList sets;
        for (int i = 0; i < m_columns.size(); ++i) {
            sets.append(quoted(m_columns.at(i)) + QStringLiteral(" = ?"));
            binds.append(row->values.at(i));
        }
        sql = QStringLiteral("UPDATE %1 SET %2 WHERE ")
                  .arg(quotedTable(), sets.join(QStringLiteral(", ")));
        sql += rowLocator(*row, binds);
    }
    if (!runStatement(query, sql, binds))
        return false;
    if (!row->isNew && query.numRowsAffected() != 1) {
        return fail(QStringLiteral(
            "Der Datensatz wurde inzwischen geändert oder gelöscht; die Änderung wurde nicht "
            "gespeichert."));
    }
    if (row->isNew) {
        // Read the stored row back so that defaults of the table show.
        const QVariant rowid = query.lastInsertId();
        QSqlQuery back(m_db);
        back.prepare(QStringLiteral("SELECT * FROM %1 WHERE rowid = ?").arg(quotedTable()));
        back.addBindValue(rowid);
        if (back.exec() && back.next()) {
            const QSqlRecord rec = back.record();
            for (int i = 0; i < m_columns.size(); ++i) {
                const int idx = rec.indexOf(m_columns.at(i));
                if (idx >= 0)
                    row->values[i] = back.value(idx);
            }
        }
    }
    row->original = row->values;
    row->isNew = false;
    row->dirty = false;
    m_error.clear();
    return true;
}

bool Recordset::deleteCurrent()
{
    Row* row = writableRow();
    if (!row)
        return false;
    if (!row->isNew) {
        QVariantList binds;
        const QString sql =
            QStringLiteral("DELETE FROM %1 WHERE ").arg(quotedTable()) + rowLocator(*row, binds);
        QSqlQuery query(m_db);
        if (!runStatement(query, sql, binds))
            return false;
        if (query.numRowsAffected() != 1)
            return fail(QStringLiteral("Der Datensatz wurde inzwischen geändert oder gelöscht."));
    }
    const int index = m_visible.at(m_pos);
    m_rows.removeAt(index);
    m_visible.removeAt(m_pos);
    for (int& v : m_visible) {
        if (v > index)
            --v;
    }
    return true;
}

void Recordset::setFilter(const QString& column, const QVariant& value)
{
    cancelUpdate();
    m_filterColumn = column;
    m_filterValue = value;
    m_filtered = true;
    rebuildVisible();
}

void Recordset::clearFilter()
{
    cancelUpdate();
    m_filtered = false;
    rebuildVisible();
}

} // namespace vemro
