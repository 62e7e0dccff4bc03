#pragma once

#include "platform/StoredEnum.h"

namespace vemro {

// Where a transfer operation takes its data from (`Quelle`) or puts it (`Ziel`).
enum class DataSide : int {
    Terminal = 0, // the connected terminal, through clsVX
    Projekt = 1,  // the open project database
};

template <> [[nodiscard]] inline std::optional<DataSide> fromStored<DataSide>(int stored)
{
    if (stored == toStored(DataSide::Terminal))
        return DataSide::Terminal;
    if (stored == toStored(DataSide::Projekt))
        return DataSide::Projekt;
    return std::nullopt;
}

// True for a known data side; otherwise shows "nicht implememtierte Datenquelle".
[[nodiscard]] bool checkDataSide(DataSide side);

} // namespace vemro
