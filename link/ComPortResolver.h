#pragma once

#include <QSqlDatabase>
#include <QString>

namespace vemro {

// Resolves "Com n" (1 to 8) to the device path of this PC from the program database that
// its owner opened and handed over (table ComPortZuordnung); without a database, or for a
// port without a row, the defaults of ComPortMap apply. The window and vemro-cli each make
// one from their program database and give it to the serial port (ComPort::setResolver):
// the link itself never looks for a database.
class ComPortResolver
{
public:
    // Defaults only.
    ComPortResolver() = default;
    // The map of `programDatabase`; an older database gets the table with its default rows.
    explicit ComPortResolver(QSqlDatabase programDatabase);

    [[nodiscard]] QString devicePath(int comNr) const;
    // Stores the device of "Com n"; false with `error` without a database or for a bad entry.
    [[nodiscard]] bool setDevicePath(int comNr, const QString& path, QString* error);

private:
    QSqlDatabase m_db;
};

} // namespace vemro
