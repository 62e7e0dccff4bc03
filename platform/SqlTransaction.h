#pragma once

#include <QSqlDatabase>
#include <QSqlError>
#include <QString>

namespace vemro {

// One transaction on a database connection for the length of a scope. A transaction opened
// while another one of the same connection is running joins it: only the outermost one
// begins and commits, and a joined one that ends without commit() makes the outer commit
// fail, so a part that went wrong is never saved with the rest. One that ends without
// commit() rolls back. When the transaction cannot begin, ok() is false and error() says
// why: the caller must not write anything then.
class SqlTransaction
{
public:
    explicit SqlTransaction(const QSqlDatabase& db);
    ~SqlTransaction();
    SqlTransaction(const SqlTransaction&) = delete;
    SqlTransaction& operator=(const SqlTransaction&) = delete;

    bool ok() const { return m_state != State::Failed; }
    bool joined() const { return m_joined; }
    const QString& error() const { return m_error; }
    // The database's own error of a failed begin or commit (empty otherwise).
    const QSqlError& sqlError() const { return m_sqlError; }

    // Ends the transaction: the outermost one commits (rolling back when that fails or a
    // joined one failed), a joined one leaves the commit to the outer one.
    bool commit();
    void rollback();

private:
    enum class State { Open, Done, Failed };
    QSqlDatabase m_db;
    QString m_name;
    State m_state = State::Open;
    bool m_joined = false;
    QString m_error;
    QSqlError m_sqlError;
};

} // namespace vemro
