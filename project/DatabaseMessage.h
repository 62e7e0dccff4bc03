#pragma once

#include <QString>
#include <QStringList>

class QSqlError;

namespace vemro {

// Texts for a database that failed: a German sentence that names the file and what the
// user can do about it, followed by SQLite's own reason where there is one.
namespace DatabaseMessage {

// What went wrong, as far as the program can tell.
enum class Kind {
    Missing,     // no such file
    NotAFile,    // a folder or a device stands under the name
    ReadOnly,    // the file or its folder may not be written
    NotDatabase, // not a database at all, or damaged
    Schema,      // a table or column the program needs is missing
    Busy,        // another program holds it
    Full,        // the disk is full
    Other,
};

// The kind SQLite's error stands for.
[[nodiscard]] Kind kindOf(const QSqlError& error);

// "Die Datenbank X ..." + advice, then " (SQLite: reason)" when `reason` is not empty.
[[nodiscard]] QString text(Kind kind, const QString& file, const QString& reason = {});
[[nodiscard]] QString text(const QSqlError& error, const QString& file);
// "Unter dem Namen X steht keine Datenbankdatei, sondern ..." naming what is there (a
// folder, a device, a link and where it leads).
[[nodiscard]] QString notAFile(const QString& file);
// The damaged-project message for columns ("Table.Column") the program needs and the file
// lacks: " (fehlt: ...)" follows the sentence.
[[nodiscard]] QString missingColumns(const QString& file, const QStringList& columns);

} // namespace DatabaseMessage

} // namespace vemro
