#include "qmtest/CoreProgrammingSeam.h"

#include "config/FesttexteCore.h"
#include "config/KeyboardSettings.h"
#include "config/UserCharacters.h"
#include "link/clsVX.h"
#include "link/clsVXKeyboard.h"

namespace vemro {

namespace {

void setError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

} // namespace

bool CoreProgrammingSeam::SaveUserzeichen(QString* error)
{
    // Into the EEPROM only, without the reset the editor sends: a reset now would drop the
    // keyboard configuration and codes written just before and not yet kept. The terminal
    // loads the characters at its next start.
    return UserCharacters(m_vx, m_env).writeToEEProm(error);
}

bool CoreProgrammingSeam::SaveFesttexte(QString* error)
{
    FesttexteCore core(m_vx, m_env);
    return core.writeToTerminal(std::nullopt, error);
}

bool CoreProgrammingSeam::SaveTastaturConfig(QString* error)
{
    clsVXKeyboard* keyboard = m_vx.Keyboard();
    if (!keyboard) {
        setError(error, QStringLiteral("Tastaturkonfiguration: kein Tastaturobjekt"));
        return false;
    }
    if (!KeyboardSettings(m_vx, m_env).loadConfig(error))
        return false;
    return sendKeyboardConfig(QStringLiteral("Tastaturkonfiguration"), error);
}

bool CoreProgrammingSeam::SaveTastaturcodes(QString* error)
{
    KeyboardSettings keys(m_vx, m_env);
    KeyCodeTable table;
    if (!keys.loadCodesFromProject(table, error) || !keys.writeCodes(table, error))
        return false;
    // The terminal does not answer "TC": the codes count as written once the keys written
    // read back the same (as `keys write` checks them, without the page's pause per key).
    QString why;
    if (keys.verifyCodes(table, &why))
        return true;
    setError(error, QStringLiteral("Tastencodes vom Terminal nicht übernommen: ") + why);
    return false;
}

bool CoreProgrammingSeam::SetKeyLed(bool on, QString* error)
{
    clsVXKeyboard* keyboard = m_vx.Keyboard();
    if (!keyboard) {
        setError(error, QStringLiteral("Tasten-LED: kein Tastaturobjekt"));
        return false;
    }
    // What the terminal holds, so that nothing but the LED changes there (vemro-cli's
    // keyboard object has never been filled).
    QString why;
    if (!KeyboardSettings(m_vx, m_env).readConfig(&why)) {
        setError(error, QStringLiteral("Tasten-LED: ") + why);
        return false;
    }
    keyboard->Key_LED = on;
    return sendKeyboardConfig(QStringLiteral("Tasten-LED"), error);
}

bool CoreProgrammingSeam::sendKeyboardConfig(const QString& what, QString* error)
{
    const KeyboardConfig sent = KeyboardSettings::fromKeyboard(*m_vx.Keyboard());
    QString why;
    KeyboardSettings keys(m_vx, m_env);
    if (!keys.writeConfig(&why) || !keys.verifyConfig(sent, &why)) {
        setError(error, what + QStringLiteral(": ") + why);
        return false;
    }
    return true;
}

} // namespace vemro
