#include "platform/SqlTransaction.h"

#include <QHash>
#include <QSqlError>

namespace vemro {

namespace {

struct Running
{
    int depth = 0;
    bool failed = false; // a joined transaction ended without commit
};

// The transactions running per connection name (the program works on one thread).
QHash<QString, Running>& running()
{
    static QHash<QString, Running> map;
    return map;
}

} // namespace

SqlTransaction::SqlTransaction(const QSqlDatabase& db) : m_db(db), m_name(db.connectionName())
{
    auto it = running().find(m_name);
    if (it != running().end() && it->depth > 0) {
        ++it->depth;
        m_joined = true;
        return;
    }
    if (!m_db.isOpen()) {
        m_state = State::Failed;
        m_error = QStringLiteral("Datenbank nicht geöffnet");
        return;
    }
    if (!m_db.transaction()) {
        m_state = State::Failed;
        m_sqlError = m_db.lastError();
        m_error = m_sqlError.text();
        if (m_error.trimmed().isEmpty())
            m_error = QStringLiteral("Transaktion konnte nicht begonnen werden");
        return;
    }
    running().insert(m_name, Running{1, false});
}

SqlTransaction::~SqlTransaction()
{
    if (m_state == State::Open)
        rollback();
}

bool SqlTransaction::commit()
{
    if (m_state != State::Open)
        return false;
    Running& r = running()[m_name];
    if (m_joined) {
        --r.depth;
        m_state = State::Done;
        return true;
    }
    if (r.failed) {
        rollback();
        m_error = QStringLiteral("Ein Teil der Änderungen konnte nicht gespeichert werden");
        return false;
    }
    running().remove(m_name);
    m_state = State::Done;
    if (m_db.commit())
        return true;
    m_sqlError = m_db.lastError();
    m_error = m_sqlError.text();
    m_db.rollback();
    return false;
}

void SqlTransaction::rollback()
{
    if (m_state != State::Open)
        return;
    m_state = State::Done;
    if (m_joined) {
        Running& r = running()[m_name];
        --r.depth;
        r.failed = true;
        return;
    }
    running().remove(m_name);
    m_db.rollback();
}

} // namespace vemro
