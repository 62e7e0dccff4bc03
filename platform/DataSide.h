#pragma once

namespace vemro::DataSide {

// Where a transfer operation takes its data from (`Quelle`) or puts it (`Ziel`).
enum : int {
    Terminal = 0, // the connected terminal, through clsVX
    Projekt = 1,  // the open project database
};

// True for a known data side; otherwise shows "nicht implememtierte Datenquelle".
[[nodiscard]] bool check(int side);

} // namespace vemro::DataSide
