#pragma once

#include <QString>

namespace vemro {

// The data of the frames "Terminal-Modus" and "Display" and of the terminal information:
// what the page shows, what the terminal object carries and what the project's record of
// Terminaleinstellungen holds. Field names are the project's column names.
struct TerminalSettingsData
{
    // Frame "Terminal-Modus".
    int ParameterMode = 1; // 0 = byte form, 1 = decimal, comma-separated
    int SendMode = 2;      // 2 = serial, 4 = CAN; 0 when the terminal's flags show neither
    bool Tastaturenabled = false;
    bool IOPortsEnabled = false;
    bool Einschaltmeldung = false;
    bool Festtextmode = false;
    int FesttextPort = 0;
    bool Users485 = false; // interface kind RS485/422, stored with the mode

    // Frame "Display".
    int Cols = 0;
    int Rows = 0;
    int Backlight = 0; // 0 off, 1 on (a project may hold more: above 0 is on)
    int Kontrast = 0;  // 0 to 15

    // Terminal information (only the terminal has it).
    QString Version;
    QString SerNr;
};

} // namespace vemro
