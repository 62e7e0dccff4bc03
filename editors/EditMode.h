#pragma once

namespace vemro::EditMode {

// The main window's edit mode: the number of the page on screen (its FrameNr), or the
// mode of the sub-tab shown on a page with sub-tabs. "vom Terminal lesen" and
// "an Terminal senden" dispatch on it.
enum : int {
    Projekt = 0,
    Schnittstelle = 1, // never kept: the page passes on to its sub-tab
    Reserviert = 2,
    Tastatur = 3, // never kept: the page passes on to its sub-tab
    Konfiguration = 4,
    Festtexte = 5,
    Userzeichen = 6,
    IoPorts = 7,
    QmTest = 8,
    Demo = 9,
    Seriell = 11,           // page 1, sub-tab "Seriell"
    Netzwerk = 12,          // page 1, sub-tab "Netzwerk"
    TastaturAllgemein = 31, // page 3, sub-tab "Allgemein"
    Tastencodes = 32,       // page 3, sub-tab "Tastencodes"
};

// Pages 0 to 9.
inline constexpr int kPageCount = 10;

} // namespace vemro::EditMode
