#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace vemro {

class ComPort;

// The port numbers the program offers, and the speed table used everywhere.
constexpr int kComPortCount = 8;
constexpr int kSearchedPortCount = 4;

// Speed index 0..2 <-> "9600" / "19200" / "38400" and "9600,n,8,1" ...
[[nodiscard]] QStringList SpeedEntries();
[[nodiscard]] QString SpeedSettings(int speedIndex);

// Whether "Com n" can be used; Grund receives " (nicht vorhanden)", " (bereits belegt)",
// " (keine Berechtigung)" or "". Leaves the port closed and set to n.
bool CheckCom(ComPort& port, int iNummer, QString& Grund);

struct ComCombos
{
    QStringList ports;   // "keine", then "Com 1" ... "Com 8" with the reason of unusable ports
    QStringList speeds;  // "9600", "19200", "38400"
    QStringList devices; // per entry of `ports`: the device "Com n" stands for ("" for "keine")
};

// Probes ports 1 to 8 for the port list; `detail` receives "prüfe Com n  reason" per port and
// finally an empty text (the start window's detail line).
[[nodiscard]] ComCombos FillComCombos(ComPort& port,
                                      const std::function<void(const QString&)>& detail = {});

} // namespace vemro
