#pragma once

#include <QByteArray>
#include <QString>

namespace vemro {

// Program-wide values shared by the link, the pages and the start-up.
struct Globals
{
    QByteArray EscChar = QByteArray(1, '\x1b'); // set again at start-up
    QByteArray CommandBuffer;                   // where command operations build a command
    bool TimeoutFlag = false;                   // set by the tick of tmrTimeout
    bool ControlsUpdating = false;              // the program itself is filling controls
    QString Projektverzeichnis;                 // program folder + ProjektPfad
};

[[nodiscard]] Globals& globals();

// Raises ControlsUpdating for its lifetime and restores the previous value after.
class ControlsUpdatingGuard
{
public:
    ControlsUpdatingGuard() : m_previous(globals().ControlsUpdating)
    {
        globals().ControlsUpdating = true;
    }
    ~ControlsUpdatingGuard() { globals().ControlsUpdating = m_previous; }
    ControlsUpdatingGuard(const ControlsUpdatingGuard&) = delete;
    ControlsUpdatingGuard& operator=(const ControlsUpdatingGuard&) = delete;

private:
    bool m_previous;
};

} // namespace vemro
