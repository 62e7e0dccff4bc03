#pragma once

#include <QSqlDatabase>
#include <QString>

namespace vemro {

// Where "Com n" (1 to 8) lives on this PC. The device paths are kept in the program database
// (table ComPortZuordnung of the connection "Daten") so that they can be changed without
// rebuilding; without that table or connection the defaults apply:
// Com 1..4 -> /dev/ttyS0..3, Com 5..8 -> /dev/ttyUSB0..3.
class ComPortMap
{
public:
    static constexpr int kFirstPort = 1;
    static constexpr int kLastPort = 8;

    [[nodiscard]] static QString defaultDevicePath(int comNr);
    // The device of "Com n" from the connection "Daten" (defaults when not open).
    [[nodiscard]] static QString devicePath(int comNr);
    [[nodiscard]] static QString devicePath(const QSqlDatabase& db, int comNr);
    // Stores the device path of "Com n" in the connection "Daten".
    [[nodiscard]] static bool setDevicePath(int comNr, const QString& path, QString* error);
    [[nodiscard]] static bool setDevicePath(QSqlDatabase& db, int comNr, const QString& path,
                                            QString* error);
    // Creates the table with its default rows when an older program database lacks it.
    [[nodiscard]] static bool ensureTable(QSqlDatabase& db, QString* error = nullptr);
    // The Qt connection of the program database when it is not the shared data
    // environment's (the main window keeps a data environment of its own); "" drops it.
    static void setProgramConnection(const QString& connectionName);
};

} // namespace vemro
