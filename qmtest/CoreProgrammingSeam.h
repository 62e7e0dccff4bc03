#pragma once

#include "qmtest/ProgrammingSeam.h"

namespace vemro {

class clsVX;
class DataEnvironment;

// The programming steps' transfers as the subsystems' own cores do them, with the open
// project's data environment and the connected terminal: fixed texts (FesttexteCore), user
// characters (UserCharacters), keyboard configuration and key codes (KeyboardSettings).
class CoreProgrammingSeam : public ProgrammingSeam
{
public:
    CoreProgrammingSeam(clsVX& vx, DataEnvironment& env) : m_vx(vx), m_env(env) {}

    // The project's characters into the terminal's EEPROM, without a reset.
    bool SaveUserzeichen(QString* error) override;
    bool SaveFesttexte(QString* error) override;
    // The project's configuration into the keyboard object and to the terminal; the terminal
    // does not answer "TK", so the configuration is read back and compared.
    bool SaveTastaturConfig(QString* error) override;
    bool SaveTastaturcodes(QString* error) override;
    // The terminal's configuration is read, only the key LED flag changes, and it goes back.
    bool SetKeyLed(bool on, QString* error) override;

private:
    bool sendKeyboardConfig(const QString& what, QString* error);

    clsVX& m_vx;
    DataEnvironment& m_env;
};

} // namespace vemro
