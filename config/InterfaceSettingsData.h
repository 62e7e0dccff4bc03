#pragma once

#include "link/LinkTypes.h"

#include <QString>

#include <optional>

namespace vemro {

// The interface the program uses: the link kind, the PC's serial port and speed, and what
// the project and the program database keep of them.
struct InterfaceSettingsData
{
    vemro::ComMode ComMode = vemro::ComMode::Rs232;
    int ComPort = 1;         // "Com n" (program database Allgemein.ComPort), 0 = none
    QString speed;           // "9600", "19200" or "38400"
    QString Comsettings;     // project: the PC port's settings text
    QString ComsettingsProg; // project: the settings of the production test
    bool Users485 = false;   // project: RS485/422 chosen
    // project header: the link kind last used; none when the header holds no known kind
    std::optional<vemro::ComMode> lastComMode;
};

} // namespace vemro
