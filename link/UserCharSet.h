#pragma once

#include <QString>

#include <array>

namespace vemro {

// One user-defined character (project table Userzeichen): eight pixel rows, top to bottom,
// five pixels each (16 = leftmost), and the swap character that makes the display show it.
struct UserChar
{
    bool present = false; // the project has a record for the slot
    std::array<int, 8> rows{};
    QString Tauschzeichen;
};

// The eight slots, index = CGRamAdresse.
using UserCharSet = std::array<UserChar, 8>;

} // namespace vemro
