#pragma once

#include "link/UserCharSet.h"

#include <QString>

namespace vemro {

class clsVX;
class DataEnvironment;

// The user-defined characters between the open project (table Userzeichen), the caller
// and the terminal. Every operation returns success and leaves a German reason in *error.
class UserCharacters
{
public:
    // The eight slots of the project; a slot without record stays `present == false`.
    // The position of the project's record set is kept.
    static bool loadFromProject(DataEnvironment& env, UserCharSet& chars, QString* error = nullptr);
    // Stores one slot (rows and swap character); a missing record is added.
    static bool storeSlot(DataEnvironment& env, int slot, const UserChar& c,
                          QString* error = nullptr);
    // The project's characters into the terminal's EEPROM, then the reset that makes the
    // terminal load them; the reset happens whatever the transfer's outcome, unless the
    // characters were refused before anything was sent (clsVX::UserzeichenProblem).
    static bool writeToTerminal(DataEnvironment& env, clsVX& vx, QString* error = nullptr);
    // The eight slots as the terminal's EEPROM holds them (cells 0 to 71, one read each,
    // with progress): every slot present, a swap code 0 as no swap character. Only a
    // complete read fills `chars`; a cell without answer stops with "Verbindungsfehler".
    static bool readFromTerminal(clsVX& vx, UserCharSet& chars, QString* error = nullptr);
};

} // namespace vemro
