#pragma once

#include <QString>
#include <QStringList>

namespace vemro {

// Version of this program: major.minor.build.revision (shown as major.minor.revision).
constexpr int kVersionMajor = 1;
constexpr int kVersionMinor = 3;
constexpr int kVersionBuild = 0;
constexpr int kVersionRevision = 8;

// "1.3.8": major + "." + minor + "." + revision, plain decimal.
[[nodiscard]] QString ProgramVersionText();

// What decides the program folder. ProgramFolder() fills it from the running program.
struct ProgramFolderInputs
{
    QString chosen;                     // --home of vemro-cli, tests (setProgramFolder)
    QString environment;                // VEMRO_HOME
    QString executableFolder;           // folder of the running program
    bool executableHasDatabase = false; // VEMRO.mdb beside the program (a build or a portable copy)
    QString installedData;              // <prefix>/share/vemro when it holds VEMRO.mdb, else empty
    QString userData;                   // the user's data folder, ~/.local/share/vemro
};

struct ProgramFolderChoice
{
    QString folder;
    // Installed: the folder is the user's data folder, seeded from this one.
    QString seedFrom;
};

// The rules: a chosen folder, then VEMRO_HOME, then the program's own folder when it holds
// the program database or no installed data exists, else the user's data folder (seeded
// from the installed data). Pure; paths are taken as given.
[[nodiscard]] ProgramFolderChoice ChooseProgramFolder(const ProgramFolderInputs& in);

// The program folder (no trailing separator), by ChooseProgramFolder.
[[nodiscard]] QString ProgramFolder();
// Overrides the program folder (the --home option of vemro-cli, tests).
void setProgramFolder(const QString& folder);

// <prefix>/share/vemro beside <prefix>/bin of the running program when it holds VEMRO.mdb,
// else empty. Tests may point it elsewhere.
[[nodiscard]] QString InstalledDataFolder();
void setInstalledDataFolder(const QString& folder);

// The user's data folder: $XDG_DATA_HOME/vemro, by default ~/.local/share/vemro (the same
// for vemro and vemro-cli, whatever their application names).
[[nodiscard]] QString UserDataFolder();

// Makes the program folder ready before the program database is opened: when it is the
// user's data folder, creates it and copies what is missing from the installed data
// (VEMRO.mdb, Hardware/*.mdb) and makes an empty Projekte/. Nothing there is replaced.
// False with a German message in `error` when that fails.
[[nodiscard]] bool PrepareProgramFolder(QString* error);
[[nodiscard]] bool SeedProgramFolder(const QString& target, const QString& source, QString* error);

// The user manual: the first "um*.pdf" in the program folder, else in the installed data.
// Empty when there is none.
[[nodiscard]] QString FindManual();

// Joins a folder and a stored path that may use "\" or "/" as separators
// ("\Projekte\" -> folder/Projekte/). A trailing separator is kept.
[[nodiscard]] QString JoinStoredPath(const QString& folder, const QString& stored);

} // namespace vemro
