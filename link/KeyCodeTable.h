#pragma once

#include <QList>
#include <QString>

namespace vemro {

// One row of the key code table (project table Tastencodes): the key and its two codes
// in key code notation.
struct KeyCodeRow
{
    int TastenNr = 0;
    QString Tastencode;
    QString Tastencode_Shift;

    friend bool operator==(const KeyCodeRow& a, const KeyCodeRow& b)
    {
        return a.TastenNr == b.TastenNr && a.Tastencode == b.Tastencode &&
               a.Tastencode_Shift == b.Tastencode_Shift;
    }
};

// Rows in the order of TastenNr.
using KeyCodeTable = QList<KeyCodeRow>;

} // namespace vemro
