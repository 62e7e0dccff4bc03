#pragma once

#include "link/TerminalState.h"

#include <QString>

namespace vemro {

// The data of the frames "Terminal-Modus" and "Display" and of the terminal information:
// what the page shows, what the terminal object carries (its TerminalState, the keyboard
// flag and the serial number) and what the project's record of Terminaleinstellungen
// holds. Field names are the project's column names.
struct TerminalSettingsData : TerminalState
{
    // Frame "Terminal-Modus", besides the terminal object's mode.
    bool Tastaturenabled = false;
    bool Users485 = false; // interface kind RS485/422, stored with the mode

    // Terminal information (only the terminal has it).
    QString Version;
    QString SerNr;
};

} // namespace vemro
