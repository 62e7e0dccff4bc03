#pragma once

#include <QString>

namespace vemro {

class DataEnvironment;
class ProjectWindow;

// The project object: the one open project database and its life — created from a
// hardware template, opened (connected, upgraded, loaded into the window), saved,
// closed, and remembered as the recently used project.
class clsProjekt
{
public:
    enum class NewResult { Created, KeptExisting, Failed };

    explicit clsProjekt(DataEnvironment& env);

    // The window that shows the project (not owned); may be null (nothing is loaded).
    void setWindow(ProjectWindow* window) { m_window = window; }

    // The project folder (program folder + ProjektPfad), with a trailing separator.
    [[nodiscard]] QString Basispfad() const { return m_basispfad; }
    void setBasispfad(const QString& folder);
    // The file of project `bezeichnung` in the project folder.
    [[nodiscard]] QString ProjektDatei(const QString& bezeichnung) const;

    // True once a project has been opened completely; never reset.
    [[nodiscard]] bool isLoaded() const { return m_isLoaded; }
    // Name of the project the window shows (empty before the first one).
    [[nodiscard]] QString Bezeichnung() const { return m_bezeichnung; }
    // True while the Projekt connection is open.
    [[nodiscard]] bool isOpen() const;

    // Copies template `quelle` to a new project `newBezeichnung`. An existing project is
    // overwritten only after the user agreed; otherwise it is kept.
    NewResult newProjekt(const QString& quelle, const QString& newBezeichnung);
    // "Projekt öffnen" with a chosen file: the project's name, empty when it is not to be
    // opened (the reason shown). A file from outside the project folder is copied in after
    // asking (and asking again before an existing project is replaced); `copied` tells.
    [[nodiscard]] QString importProjekt(const QString& file, bool* copied = nullptr);
    // Opens project `bezeichnung` and loads the window from it.
    void openProjekt(const QString& bezeichnung);
    // Writes the window into the open project, all of it or nothing.
    bool SaveProjekt();
    void closeProjekt();
    // Deletes a project file and its recently used record after asking. The open project
    // is closed first; then no project is open.
    bool deleteProjekt(const QString& bezeichnung);
    // The recently used project (the newest record of the recently used table) when its
    // file is in the project folder; empty otherwise.
    [[nodiscard]] QString recentlyUsed();
    // Makes `bezeichnung` the recently used project, the one reopened at start-up.
    void rememberRecentlyUsed(const QString& bezeichnung);

    // Brings the open project's schema to the newest version, one step after the other.
    // Failures are shown ("Fehler bei DB-Update : ...") and end the upgrade; the result
    // tells whether every applicable step succeeded.
    bool UpdateProjekt();

    // True when this program may work with the open project; otherwise tells the user
    // and returns false.
    [[nodiscard]] bool CheckMinProgversion();

    // Connects the Projekt connection to `file` (used by vemro-cli's upgrade and the tests).
    [[nodiscard]] bool connectFile(const QString& file, QString* error, bool readOnly = false);

    // The hardware designation in the open project's header (RKHardwarebezeichnung); false
    // with `error` set when the header cannot be read.
    [[nodiscard]] bool Hardwarebezeichnung(QString& text, QString* error = nullptr);

    // DBVersion of the open project (Null as an invalid QVariant-like empty text).
    [[nodiscard]] QString DBVersion();

private:
    void openFailed(const QString& description);
    void reconnectPrevious();
    void closeProjectRecordsets();

    DataEnvironment& m_env;
    ProjectWindow* m_window = nullptr;
    QString m_basispfad;
    QString m_bezeichnung;
    bool m_isLoaded = false;
};

} // namespace vemro
