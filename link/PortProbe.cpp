#include "link/PortProbe.h"

#include "link/ComPort.h"
#include "platform/LocalWait.h"
#include "platform/clsInfo.h"

namespace vemro {

QStringList SpeedEntries()
{
    return {QStringLiteral("9600"), QStringLiteral("19200"), QStringLiteral("38400")};
}

QString SpeedSettings(int speedIndex)
{
    const QStringList speeds = SpeedEntries();
    if (speedIndex < 0 || speedIndex >= speeds.size())
        return {};
    return speeds.at(speedIndex) + QStringLiteral(",n,8,1");
}

bool CheckCom(ComPort& port, int iNummer, QString& Grund)
{
    Grund.clear();
    if (port.isOpen())
        port.close();
    port.setCommPort(iNummer);
    if (port.isOpen())
        port.close();
    port.clearError();
    const bool opened = port.open();
    PauseMS(1);
    bool usable = false;
    if (opened) {
        usable = true;
    } else {
        switch (port.lastOpenError()) {
        case ComPort::kErrInvalidPort:
            Grund = QStringLiteral(" (nicht vorhanden)");
            break;
        case ComPort::kErrPortAlreadyOpen:
            Grund = QStringLiteral(" (bereits belegt)");
            Info().show(QStringLiteral("Schnittstelle belegt"), 1);
            break;
        case ComPort::kErrNoPermission:
            Grund = QStringLiteral(" (keine Berechtigung)");
            break;
        case ComPort::kErrDeviceNotOpen:
        case ComPort::kErrPortNotOpen:
            usable = true;
            break;
        default:
            break;
        }
    }
    if (port.isOpen())
        port.close();
    port.clearError();
    return usable;
}

ComCombos FillComCombos(ComPort& port, const std::function<void(const QString&)>& detail)
{
    ComCombos combos;
    combos.speeds = SpeedEntries();
    combos.ports.append(QStringLiteral("keine"));
    combos.devices.append(QString());
    for (int n = 1; n <= kComPortCount; ++n) {
        QString reason;
        const bool usable = CheckCom(port, n, reason);
        combos.ports.append(QStringLiteral("Com %1").arg(n) + (usable ? QString() : reason));
        combos.devices.append(port.devicePath(n));
        if (detail)
            detail(QStringLiteral("prüfe Com %1  %2").arg(n).arg(reason));
    }
    if (detail)
        detail(QString());
    return combos;
}

} // namespace vemro
