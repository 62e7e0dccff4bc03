#pragma once

#include <QString>

namespace vemro {

// The transfers of other subsystems that the programming steps of the production test call:
// user characters, fixed texts and the keyboard module. Until those transfers are linked in,
// PendingProgrammingSeam answers every call with a failure, so no step claims to have written
// what it could not.
class ProgrammingSeam
{
public:
    virtual ~ProgrammingSeam() = default;

    // The project's user-defined characters into the terminal.
    virtual bool SaveUserzeichen(QString* error) = 0;
    // The project's fixed texts into the terminal.
    virtual bool SaveFesttexte(QString* error) = 0;
    // The project's keyboard configuration into the terminal (Keyboard.SaveConfig).
    virtual bool SaveTastaturConfig(QString* error) = 0;
    // The project's key codes into the terminal (SaveTastaturcodes).
    virtual bool SaveTastaturcodes(QString* error) = 0;
    // The optical key acknowledgement (Keyboard.Key_LED), written with Keyboard.SaveConfig.
    virtual bool SetKeyLed(bool on, QString* error) = 0;
};

class PendingProgrammingSeam : public ProgrammingSeam
{
public:
    bool SaveUserzeichen(QString* error) override { return pending(error, "Userzeichen"); }
    bool SaveFesttexte(QString* error) override { return pending(error, "Festtexte"); }
    bool SaveTastaturConfig(QString* error) override
    {
        return pending(error, "Tastaturkonfiguration");
    }
    bool SaveTastaturcodes(QString* error) override { return pending(error, "Tastencodes"); }
    bool SetKeyLed(bool, QString* error) override { return pending(error, "Tasten-LED"); }

private:
    static bool pending(QString* error, const char* what)
    {
        if (error)
            *error = QStringLiteral("Übertragung %1 ist in diesem Programmstand nicht verfügbar")
                         .arg(QLatin1String(what));
        return false;
    }
};

} // namespace vemro
