#include "platform/modErrorHandling.h"

#include <QHash>

namespace vemro {

VemroError::VemroError(qint32 code, QString source, QString description)
    : m_code(code), m_source(std::move(source)), m_description(std::move(description)),
      m_what((m_source + QStringLiteral(": ") + m_description).toStdString())
{
}

QString ErrorText(qint32 number)
{
    // The program's own message table; it has no entries, every number is unknown.
    static const QHash<qint32, QString> table;
    const auto it = table.constFind(number);
    if (it != table.constEnd())
        return *it;
    return QStringLiteral("Ein unbekannter Fehler ist aufgetreten!");
}

void RaiseError(qint32 number, const QString& source)
{
    // Computed in 64 bits: base + number must not overflow for large numbers.
    const qint64 code = static_cast<qint64>(kApplicationErrorBase) + number;
    throw VemroError(static_cast<qint32>(code), source, ErrorText(number));
}

} // namespace vemro
