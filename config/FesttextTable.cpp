#include "config/FesttextTable.h"

#include "config/FesttextFiles.h"
#include "platform/Codepage.h"
#include "platform/SqlTransaction.h"
#include "project/DataEnvironment.h"
#include "project/Recordset.h"

#include <QSqlDatabase>

#include <algorithm>

namespace vemro {

namespace {

const QString kCommand = QStringLiteral("cmdFesttexte");
const QString kNr = QStringLiteral("DisplayNr");
const QString kText = QStringLiteral("text");
const QString kRtf = QStringLiteral("TextRTF");

bool fail(QString* error, const QString& text)
{
    if (error)
        *error = text;
    return false;
}

// Runs `work` inside a transaction of the project connection (joining a project save's).
// A connection not open yet is opened by the work itself, which then runs without one.
template <typename Work> bool inTransaction(DataEnvironment& env, Work work)
{
    QSqlDatabase db = env.database(DataEnvironment::kProjekt);
    if (!db.isOpen())
        return work();
    SqlTransaction transaction(db);
    return transaction.ok() && work() && transaction.commit();
}

} // namespace

Recordset* FesttextTable::recordset(QString* error)
{
    QString why;
    if (!m_env.ensureOpen(kCommand, &why)) {
        fail(error, why.isEmpty() ? QStringLiteral("Festtexte nicht lesbar") : why);
        return nullptr;
    }
    return &m_env.recordset(kCommand);
}

bool FesttextTable::entries(QList<Entry>& out, QString* error)
{
    out.clear();
    Recordset* rs = recordset(error);
    if (!rs)
        return false;
    for (rs->moveFirst(); !rs->eof(); rs->moveNext()) {
        Entry e;
        e.DisplayNr = rs->value(kNr).toInt();
        e.text = rs->value(kText).toString();
        e.TextRTF = rs->value(kRtf).toString();
        out.append(e);
    }
    rs->moveFirst();
    // Rows added since the recordset was loaded stand at its end.
    std::stable_sort(out.begin(), out.end(),
                     [](const Entry& a, const Entry& b) { return a.DisplayNr < b.DisplayNr; });
    return true;
}

bool FesttextTable::rows(FesttextRows& out, QString* error)
{
    out.clear();
    QList<Entry> list;
    if (!entries(list, error))
        return false;
    for (const Entry& e : list) {
        // StringToAnsi would send "?" for it without a word.
        const QString bad = FirstNonAnsiCharacter(e.text);
        if (!bad.isEmpty()) {
            out.clear();
            return fail(error, QStringLiteral("Festtext %1 enthält das Zeichen %2, das es im "
                                              "Zeichensatz des Terminals (Windows-1252) nicht "
                                              "gibt; es wurde nichts übertragen.")
                                   .arg(e.DisplayNr)
                                   .arg(CharacterName(bad)));
        }
        out.append(FesttextRow{e.DisplayNr, StringToAnsi(e.text)});
    }
    return true;
}

bool FesttextTable::select(int n, QString* error)
{
    Recordset* rs = recordset(error);
    if (!rs)
        return false;
    rs->moveFirst();
    if (rs->recordCount() > 0 && rs->find(kNr, n))
        return true;
    // The new row is written at once, so that it is there however the page goes on.
    if (!rs->addNew() || !rs->setValue(kNr, n) || !rs->setValue(kText, QString()) ||
        !rs->setValue(kRtf, QString()) || !rs->update())
        return fail(error, rs->lastError());
    return true;
}

bool FesttextTable::storeCurrent(Recordset& rs, int n, const QString& text, const QString& rtf,
                                 QString* error)
{
    if (!rs.setValue(kNr, n) || !rs.setValue(kText, text) || !rs.setValue(kRtf, rtf) ||
        !rs.update())
        return fail(error, rs.lastError());
    return true;
}

bool FesttextTable::store(int n, const QString& text, const QString& rtf, QString* error)
{
    if (!select(n, error))
        return false;
    return storeCurrent(*recordset(error), n, text, rtf, error);
}

bool FesttextTable::storeAll(const QList<Entry>& texts, QString* error)
{
    Recordset* rs = recordset(error);
    if (!rs)
        return false;
    const bool ok = inTransaction(m_env, [&] {
        for (const Entry& e : texts) {
            if (!store(e.DisplayNr, e.text, e.TextRTF, error))
                return false;
        }
        return true;
    });
    if (!ok) {
        // The rows in memory may hold what the database refused: load them again.
        rs->cancelUpdate();
        (void)rs->requery();
    }
    return ok;
}

bool FesttextTable::clearAll(QString* error)
{
    Recordset* rs = recordset(error);
    if (!rs)
        return false;
    const bool ok = inTransaction(m_env, [&] {
        rs->moveFirst();
        while (!rs->eof()) {
            if (!rs->deleteCurrent())
                return fail(error, rs->lastError());
        }
        return true;
    });
    if (!ok)
        (void)rs->requery();
    return ok;
}

} // namespace vemro
