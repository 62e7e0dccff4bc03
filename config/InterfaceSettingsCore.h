#pragma once

#include "config/InterfaceSettingsData.h"

#include <QPointer>
#include <QString>

namespace vemro {

class DataEnvironment;
class clsVX;

// The serial interface moved between the terminal, the PC's port (the terminal object's
// ctlcom), the program database and the open project. The page "Schnittstelle", the
// production test and vemro-cli use these operations. Each returns success; `error` says
// why not.
class InterfaceSettingsCore
{
public:
    InterfaceSettingsCore(clsVX& vx, DataEnvironment& env);

    // "setzen" for `d.ComPort` at `d.speed` with the terminal object's ComMode (RS232 or
    // RS485/422): checks the port, asks the terminal its version over the present
    // settings, tells it the new speed (SetCom), resets firmware 2.3 and later, stores the
    // port in the program database, reopens the PC port at the new speed without handshake
    // and stores its settings in the project (Comsettings).
    bool applySerial(const InterfaceSettingsData& d, QString* error = nullptr);
    // The speed part of it: version over the present settings, SetCom, the reset of
    // firmware 2.3 and later, the PC port reopened at `speed` without handshake.
    bool switchSpeed(const QString& speed, QString* error = nullptr);
    // "setzen" on page "QM-Test": the PC port reopened at `speed`, the project's
    // ComsettingsProg updated. The terminal is not told anything.
    bool applyProgSpeed(const QString& speed, QString* error = nullptr);
    // The PC port takes the project's settings text and is opened if it is closed.
    bool applyPortSettings(const QString& comsettings, QString* error = nullptr);
    // Opens the PC port if it is closed.
    bool openPort(QString* error = nullptr);

    // The header's lastComMode; a number that names no link kind gives none.
    bool loadLastComMode(InterfaceSettingsData& d, QString* error = nullptr);
    bool storeLastComMode(ComMode comMode, QString* error = nullptr);
    // Comsettings, Users485 and ComsettingsProg of the project; a Null ComsettingsProg is
    // given its default "19200,n,8n1" and stored (a failed store is noted in `warning`).
    bool loadFromProject(InterfaceSettingsData& d, QString* error = nullptr,
                         QString* warning = nullptr);

private:
    bool writeProjectText(const QString& column, const QString& value, QString* error);

    QPointer<clsVX> m_vx;
    DataEnvironment& m_env;
};

} // namespace vemro
