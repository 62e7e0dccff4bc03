#include "qmtest/CoreProgrammingSeam.h"

#include "config/FesttexteCore.h"
#include "config/KeyboardSettings.h"
#include "config/ProjectVerifyCore.h"
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
    if (!KeyboardSettings(m_vx, m_env).writeCodes(error))
        return false;
    // The terminal does not answer "TC": the codes count as written once they read back.
    ProjectVerifyCore verify(m_vx, m_env);
    (void)verify.setOnly({QStringLiteral("keys")});
    VerifyResult result;
    if (!verify.verify(result, error))
        return false;
    if (result.equal())
        return true;
    setError(error, QStringLiteral("Tastencodes vom Terminal nicht übernommen:") +
                        result.differenceLines().join(QLatin1Char(';')));
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
