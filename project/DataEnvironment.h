#pragma once

#include "project/Recordset.h"

#include <QHash>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include <memory>

namespace vemro {

// The data environment: the two connections "Daten" (program database) and "Projekt"
// (open project) and the named commands, each with its long-lived recordset. Callers
// execute a command when its recordset is closed, then read or write the current
// record and update.
class DataEnvironment
{
public:
    struct Command
    {
        QString name;
        QString connection; // "Daten" or "Projekt"
        QString text;       // the command text as sent to the database
        QString table;      // the table that updates write to
        bool updatable = false;
        QString parameter; // name of the one parameter, or empty
        // Columns every user of the command reads: a table without one of them is
        // refused when the command is executed, before any of its data is used.
        QStringList columns;
    };

    static inline const QString kDaten = QStringLiteral("Daten");
    static inline const QString kProjekt = QStringLiteral("Projekt");

    // The one data environment, created on first use.
    [[nodiscard]] static DataEnvironment& instance();

    DataEnvironment();
    ~DataEnvironment();
    DataEnvironment(const DataEnvironment&) = delete;
    DataEnvironment& operator=(const DataEnvironment&) = delete;

    // "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=<file>;Mode=ReadWrite|Share Deny None;..."
    [[nodiscard]] static QString connectionText(const QString& file);
    // The file named by "Data Source=" of a connection text, with "/" separators.
    [[nodiscard]] static QString dataSourceOf(const QString& connectionText);

    void setConnectionString(const QString& connection, const QString& text);
    [[nodiscard]] QString connectionString(const QString& connection) const;
    // Opens the connection's file. A missing file is an error (nothing is created),
    // and so is a file that is no database. Read-write unless `readOnly`: then a
    // write-protected file opens too, and every write fails.
    [[nodiscard]] bool open(const QString& connection, QString* error, bool readOnly = false);
    // Closes the connection and every recordset of the commands on it.
    void close(const QString& connection);
    [[nodiscard]] bool isOpen(const QString& connection) const;
    [[nodiscard]] QSqlDatabase database(const QString& connection) const;

    [[nodiscard]] const Command* command(const QString& name) const;
    [[nodiscard]] Recordset& recordset(const QString& command);
    // Executes the command: opens (or requeries) its recordset. `parameter` is bound to
    // the command's parameter where it has one. A table that lacks one of the command's
    // columns leaves the recordset closed, with the damaged-project message.
    [[nodiscard]] bool execute(const QString& command, const QVariant& parameter = {},
                               QString* error = nullptr);
    // Executes the command only when its recordset is closed.
    [[nodiscard]] bool ensureOpen(const QString& command, QString* error = nullptr);
    // ensureOpen for each command: the check a transfer makes before it sends anything.
    [[nodiscard]] bool ensureOpen(const QStringList& commands, QString* error);

private:
    [[nodiscard]] QString qtConnectionName(const QString& connection) const;

    QHash<QString, Command> m_commands;
    QHash<QString, std::shared_ptr<Recordset>> m_recordsets;
    QHash<QString, QString> m_connectionStrings;
    QString m_prefix;
};

} // namespace vemro
