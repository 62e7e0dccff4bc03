#pragma once

#include "link/FesttextLayout.h"

#include <QList>
#include <QString>

namespace vemro {

class DataEnvironment;
class Recordset;

// The project's side of the fixed texts: table Festtexte through the recordset of
// cmdFesttexte (ordered by DisplayNr). The page, vemro-cli and the transfer share it.
class FesttextTable
{
public:
    struct Entry
    {
        int DisplayNr = 0;
        QString text;
        QString TextRTF;
    };

    explicit FesttextTable(DataEnvironment& env) : m_env(env) {}

    // The recordset, opened when closed; nullptr with the reason in `error`.
    [[nodiscard]] Recordset* recordset(QString* error);
    // Every row in number order, `text` as ANSI bytes; false, naming the text and the
    // character, when a text holds a character the code page lacks.
    [[nodiscard]] bool rows(FesttextRows& out, QString* error);
    [[nodiscard]] bool entries(QList<Entry>& out, QString* error);
    // Positions on the row of number n; adds an empty one when there is none.
    [[nodiscard]] bool select(int n, QString* error);
    // Stores both columns into the row of number n (found or added).
    [[nodiscard]] bool store(int n, const QString& text, const QString& rtf, QString* error);
    // Stores several texts by number in one transaction; all or nothing.
    [[nodiscard]] bool storeAll(const QList<Entry>& texts, QString* error);
    // Deletes every row.
    [[nodiscard]] bool clearAll(QString* error);

private:
    [[nodiscard]] bool storeCurrent(Recordset& rs, int n, const QString& text, const QString& rtf,
                                    QString* error);

    DataEnvironment& m_env;
};

} // namespace vemro
