#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

class QSqlError;
class QSqlQuery;

namespace vemro {

// A client-side static cursor over the rows of one query, as the pages use them: rows
// are loaded when the recordset is opened, the program moves over them, reads and
// writes fields by case-insensitive column name and writes changes back with update().
// Changes reach the database with optimistic locking: a row is found again by its
// values as they were loaded, and an update that finds no such row fails.
class Recordset
{
public:
    enum class State { Closed, Open };

    Recordset() = default;
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;

    // Runs `sql` (with `bindValues` bound in order) and loads its rows. `table` names the
    // table that update(), addNew() and deleteCurrent() write to; empty for read-only.
    [[nodiscard]] bool open(const QSqlDatabase& db, const QString& sql, const QString& table,
                            bool updatable, const QVariantList& bindValues = {});
    // Runs the query again (same text and values); positions on the first row.
    [[nodiscard]] bool requery();
    void close();

    [[nodiscard]] State state() const { return m_state; }
    [[nodiscard]] bool isOpen() const { return m_state == State::Open; }
    [[nodiscard]] bool updatable() const { return m_updatable; }
    [[nodiscard]] QString lastError() const { return m_error; }
    [[nodiscard]] QStringList fields() const { return m_columns; }
    [[nodiscard]] bool hasField(const QString& column) const { return columnIndex(column) >= 0; }

    // Number of rows visible through the filter.
    [[nodiscard]] int recordCount() const { return static_cast<int>(m_visible.size()); }
    [[nodiscard]] bool bof() const;
    [[nodiscard]] bool eof() const;
    [[nodiscard]] int absolutePosition() const { return m_pos; }
    void moveFirst();
    void moveLast();
    void moveNext();
    void movePrevious();
    // Searches from the current row (inclusive) on for a row whose column equals value
    // (text compared without regard to case). Not found: the position is EOF.
    bool find(const QString& column, const QVariant& value);

    // Field of the current row; an invalid QVariant when there is none. Null is a null QVariant.
    // A column the recordset does not have is an error: lastError() names it (the damaged-
    // project message), so a loader never takes the empty value for data.
    [[nodiscard]] QVariant value(const QString& column) const;
    // True when every column is there; otherwise false with the damaged-project message
    // naming the missing ones in `error` (and lastError()).
    [[nodiscard]] bool requireFields(const QStringList& columns, QString* error = nullptr) const;
    // Changes a field of the current (or new) row; written by update().
    bool setValue(const QString& column, const QVariant& value);

    // Starts a new row that update() inserts; it becomes the current row.
    bool addNew();
    // Writes the current row's changes (or the new row) to the database.
    [[nodiscard]] bool update();
    // Drops unsaved changes of the current row (and a new row that was not yet saved).
    void cancelUpdate();
    [[nodiscard]] bool editing() const;
    // Deletes the current row from the database; the position moves to the next row.
    [[nodiscard]] bool deleteCurrent();

    // Only rows whose column equals value stay visible; the position goes to the first.
    void setFilter(const QString& column, const QVariant& value);
    void clearFilter();

private:
    struct Row
    {
        QVector<QVariant> values;
        QVector<QVariant> original;
        bool isNew = false;
        bool dirty = false;
    };

    [[nodiscard]] int columnIndex(const QString& column) const;
    [[nodiscard]] Row* current();
    [[nodiscard]] const Row* current() const;
    // The current row for a change; nullptr, with the reason kept, when there is none or
    // the recordset is read-only.
    [[nodiscard]] Row* writableRow();
    // Prepares `sql`, binds `binds` in order and runs it; false with the database's reason.
    [[nodiscard]] bool runStatement(QSqlQuery& query, const QString& sql,
                                    const QVariantList& binds);
    [[nodiscard]] bool load();
    void rebuildVisible();
    [[nodiscard]] bool fail(const QString& message);
    [[nodiscard]] bool fail(const QSqlError& error);
    [[nodiscard]] static bool sameValue(const QVariant& a, const QVariant& b);
    [[nodiscard]] QString quotedTable() const;
    [[nodiscard]] QString rowLocator(const Row& row, QVariantList& binds) const;

    QSqlDatabase m_db;
    QString m_sql;
    QString m_table;
    QVariantList m_bind;
    bool m_updatable = false;
    State m_state = State::Closed;
    QStringList m_columns;
    QVector<Row> m_rows;
    QVector<int> m_visible; // indexes into m_rows
    int m_pos = -1;         // index into m_visible; -1 = BOF, size = EOF
    QString m_filterColumn;
    QVariant m_filterValue;
    bool m_filtered = false;
    mutable QString m_error;
};

} // namespace vemro
