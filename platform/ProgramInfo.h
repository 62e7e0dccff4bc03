#pragma once

#include <QString>

namespace vemro {

// Version of this program: major.minor.build.revision (shown as major.minor.revision).
constexpr int kVersionMajor = 1;
constexpr int kVersionMinor = 3;
constexpr int kVersionBuild = 0;
constexpr int kVersionRevision = 8;

// "1.3.8": major + "." + minor + "." + revision, plain decimal.
[[nodiscard]] QString ProgramVersionText();

// The program folder: VEMRO_HOME when set, else the folder of the executable.
// No trailing separator.
[[nodiscard]] QString ProgramFolder();
// Overrides the program folder (the --home option of vemro-cli, tests).
void setProgramFolder(const QString& folder);

// Joins a folder and a stored path that may use "\" or "/" as separators
// ("\Projekte\" -> folder/Projekte/). A trailing separator is kept.
[[nodiscard]] QString JoinStoredPath(const QString& folder, const QString& stored);

} // namespace vemro
