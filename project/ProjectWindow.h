#pragma once

#include <QString>

namespace vemro {

// What the project object needs from the window that shows a project. The main window
// implements it with its pages; vemro-cli implements it without widgets. Each hook
// returns false with `error` set when its step failed.
class ProjectWindow
{
public:
    virtual ~ProjectWindow() = default;

    // Rebuilds the page tabs from table Register of the open project.
    [[nodiscard]] virtual bool FillRegisterTabs(QString* error) = 0;
    // Lets the production test fill its test list from the open project.
    [[nodiscard]] virtual bool FillTestListe(QString* /*error*/) { return true; }
    // Loads every page from the open project. Failing steps are skipped; the first
    // failure is left in `pending`.
    virtual void LoadFromProject(const QString& bezeichnung, QString& pending) = 0;
    // Restores the interface (serial or network) from the project. Returns true on the
    // serial path, where a pending failure is reported afterwards.
    virtual bool RestoreInterface(QString& pending) = 0;
    // Writes the window's editable state into the open project (data side 1).
    [[nodiscard]] virtual bool SaveToProject(QString* error) = 0;
};

} // namespace vemro
