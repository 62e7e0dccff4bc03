#include "link/ComPortResolver.h"

#include "link/ComPortMap.h"

namespace vemro {

ComPortResolver::ComPortResolver(QSqlDatabase programDatabase) : m_db(std::move(programDatabase))
{
    if (m_db.isOpen())
        (void)ComPortMap::ensureTable(m_db); // older program databases lack the table
}

QString ComPortResolver::devicePath(int comNr) const
{
    return ComPortMap::devicePath(m_db, comNr);
}

bool ComPortResolver::setDevicePath(int comNr, const QString& path, QString* error)
{
    if (!m_db.isOpen()) {
        if (error)
            *error = QStringLiteral("Programmdatenbank nicht geöffnet");
        return false;
    }
    return ComPortMap::setDevicePath(m_db, comNr, path, error);
}

} // namespace vemro
