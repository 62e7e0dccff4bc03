#pragma once

#include <QSqlDatabase>
#include <QString>

namespace vemro {

// Where "Com n" (1 to 8) lives on this PC. The device paths are kept in the program database
// (table ComPortZuordnung) so that they can be changed without rebuilding; without that
// table the defaults apply: Com 1..4 -> /dev/ttyS0..3, Com 5..8 -> /dev/ttyUSB0..3.
// The database is always the caller's (see ComPortResolver).
class ComPortMap
{
public:
    static constexpr int kFirstPort = 1;
    static constexpr int kLastPort = 8;

    [[nodiscard]] static QString defaultDevicePath(int comNr);
    // The device of "Com n" in `db` (defaults when it is not open or has no row).
    [[nodiscard]] static QString devicePath(const QSqlDatabase& db, int comNr);
    // Stores the device path of "Com n" in `db`.
    [[nodiscard]] static bool setDevicePath(QSqlDatabase& db, int comNr, const QString& path,
                                            QString* error);
    // Creates the table with its default rows when an older program database lacks it.
    [[nodiscard]] static bool ensureTable(QSqlDatabase& db, QString* error = nullptr);
};

} // namespace vemro
