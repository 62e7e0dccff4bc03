#pragma once

#include <QtGlobal>

namespace vemro {

// The mode flags the terminal reports ("K?M") and takes ("KM"), but for the keyboard flag,
// which belongs to the keyboard module (clsVXKeyboard::enabled).
struct TerminalMode
{
    qint32 ParameterMode = 1; // 0 = byte form, 1 = decimal, comma-separated
    qint32 SendMode = 2;      // 2 = serial, 4 = CAN; 0 when the terminal's flags show neither
    bool IOPortsEnabled = false;
    bool Einschaltmeldung = false;
    bool Festtextmode = false;

    [[nodiscard]] TerminalMode& terminalMode() { return *this; }
    [[nodiscard]] const TerminalMode& terminalMode() const { return *this; }
};

// What the terminal object carries of the terminal's mode, display and light: the values
// the mode, fixed-text port, display, backlight and contrast commands send. One value, so
// that a read can keep it and put it back whole. The serial number is terminal
// information, not part of it.
struct TerminalState : TerminalMode
{
    qint16 FesttextPort = 0;

    // Display.
    qint16 Cols = 0;
    qint16 Rows = 0;

    // Light: the configured values, sent again by SetDisplayBacklight / SetDisplayKontrast
    // with -1.
    qint16 Backlight = 0; // 0 off, 1 on (a project may hold more: above 0 is on)
    qint16 Kontrast = 0;  // 0 to 15

    [[nodiscard]] TerminalState& terminalState() { return *this; }
    [[nodiscard]] const TerminalState& terminalState() const { return *this; }
};

} // namespace vemro
