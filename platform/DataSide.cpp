#include "platform/DataSide.h"

#include "platform/UserInterface.h"

namespace vemro::DataSide {

bool check(int side)
{
    if (side == Terminal || side == Projekt)
        return true;
    ui().message(QStringLiteral("nicht implememtierte Datenquelle"), kProductName);
    return false;
}

} // namespace vemro::DataSide
