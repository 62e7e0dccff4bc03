#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

namespace vemro {

// Names and files of projects and hardware templates.
namespace ProjectFiles {

// The list entry made from a file name: everything before ".mdb", found as the first
// lower-case "mdb". Empty when the name holds no "mdb" or starts with it.
[[nodiscard]] QString EntryFromFileName(const QString& fileName);

// The entries of every file of `folder` whose name makes an entry, sorted by name and
// without duplicates ("x.mdb" and "x.mdb.new" give one entry).
[[nodiscard]] QStringList Entries(const QString& folder);

// The messages of every name rule that `name` breaks, in the order they are checked;
// empty when the name may be used as a project name.
[[nodiscard]] QStringList NameProblems(const QString& name);

// The program database VEMRO.mdb of the program folder.
[[nodiscard]] QString ProgramDatabaseFile();
// True when `file` is the program database (never a project, whatever the folders say).
[[nodiscard]] bool IsProgramDatabase(const QString& file);
// True when `file` lies directly in `folder` (links resolved) and is no link itself.
[[nodiscard]] bool IsInFolder(const QString& file, const QString& folder);

// True when `file` is a whole SQLite database holding the tables every project is opened
// with (used for templates before they are copied); otherwise false with the reason.
[[nodiscard]] bool CheckProjectDatabase(const QString& file, QString* reason);

// The project folder: `programFolder` joined with the stored setting ProjektPfad
// (Allgemein), the program folder itself when the setting is Null; always ending with "/".
[[nodiscard]] QString ProjectFolder(const QString& programFolder, const QVariant& projektPfad);

// The folder of the hardware templates (program folder + "/Hardware/").
[[nodiscard]] QString HardwareFolder();
// The template file of hardware variant `name`.
[[nodiscard]] QString TemplateFile(const QString& name);

} // namespace ProjectFiles

} // namespace vemro
