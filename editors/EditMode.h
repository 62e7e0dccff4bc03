#pragma once

#include "platform/StoredEnum.h"

#include <cstddef>

namespace vemro {

// The main window's edit mode: the number of the page on screen (its FrameNr), or the
// mode of the sub-tab shown on a page with sub-tabs. "vom Terminal lesen" and
// "an Terminal senden" dispatch on it.
enum class EditMode : int {
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

template <> [[nodiscard]] inline std::optional<EditMode> fromStored<EditMode>(int stored)
{
    if ((stored >= 0 && stored <= 9) || stored == 11 || stored == 12 || stored == 31 ||
        stored == 32)
        return static_cast<EditMode>(stored);
    return std::nullopt;
}

// Pages 0 to 9.
inline constexpr int kPageCount = 10;

// The page frame of a page's edit mode (0 to 9).
[[nodiscard]] constexpr std::size_t pageIndex(EditMode page)
{
    return static_cast<std::size_t>(toStored(page));
}

} // namespace vemro
