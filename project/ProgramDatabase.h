#pragma once

#include <QString>

namespace vemro {

// Creates the program database `file` from its script when it does not exist.
// Returns false with `error` set when it had to be created and could not be.
[[nodiscard]] bool EnsureProgramDatabase(const QString& file, QString* error);

// Builds a database file from scripts (the program database or a hardware template).
// The file is written beside the target and renamed into place when complete.
[[nodiscard]] bool BuildDatabaseFile(const QString& file, const QStringList& scripts,
                                     QString* error);

} // namespace vemro
