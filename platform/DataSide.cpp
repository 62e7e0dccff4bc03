#include "platform/DataSide.h"

#include "platform/UserInterface.h"

namespace vemro {

bool checkDataSide(DataSide side)
{
    if (fromStored<DataSide>(toStored(side)))
        return true;
    ui().message(QStringLiteral("nicht implememtierte Datenquelle"), kProductName);
    return false;
}

} // namespace vemro
