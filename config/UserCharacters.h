#pragma once

#include "link/UserCharSet.h"

#include <QPointer>
#include <QString>

namespace vemro {

class clsVX;
class DataEnvironment;

// The user-defined characters between the open project (table Userzeichen, through the data
// environment), the caller and the terminal (through clsVX). The page "User-Zeichen",
// vemro-cli "chars ..." and the production test all use these operations. Every operation
// returns success and leaves a German reason in *error.
class UserCharacters
{
public:
    UserCharacters(clsVX& vx, DataEnvironment& env);

    // The eight slots of the project; a slot without record stays `present == false`.
    // The position of the project's record set is kept.
    bool loadFromProject(UserCharSet& chars, QString* error = nullptr);
    // Stores one slot (rows and swap character); a missing record is added.
    bool storeSlot(int slot, const UserChar& c, QString* error = nullptr);
    // The project's characters into the terminal's EEPROM, then the reset that makes the
    // terminal load them; the reset happens whatever the transfer's outcome, unless the
    // characters were refused before anything was sent (clsVX::UserzeichenProblem).
    bool writeToTerminal(QString* error = nullptr);
    // The project's characters into the EEPROM only, without the reset: the terminal loads
    // them at its next start, and settings not yet kept permanently stay.
    bool writeToEEProm(QString* error = nullptr);
    // The eight slots as the terminal's EEPROM holds them (cells 0 to 71, one read each,
    // with progress): every slot present, a swap code 0 as no swap character. Only a
    // complete read fills `chars`; a cell without answer stops with "Verbindungsfehler".
    bool readFromTerminal(UserCharSet& chars, QString* error = nullptr);

private:
    [[nodiscard]] bool haveTerminal(QString* error) const;

    QPointer<clsVX> m_vx;
    DataEnvironment& m_env;
};

} // namespace vemro
