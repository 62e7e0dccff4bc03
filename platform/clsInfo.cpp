#include "platform/clsInfo.h"

#include "platform/UserInterface.h"

namespace vemro {

void clsInfo::show(const QString& text, qint16 level)
{
    if (level > 10)
        ui().message(QStringLiteral("ungültiger Infolevel / clsInfo.show"), kProductName);
    if (m_infoLevel >= level)
        ui().message(text, kTitle);
}

clsInfo& Info()
{
    static clsInfo info;
    return info;
}

} // namespace vemro
