#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>

namespace vemro {

class Recordset;

// The answers of network modules to the search request "CFG?". Each answer datagram
// carries one property of one module: "CFG>" + letter + 1 character + 6-character
// serial number + 1 character + value.
class ModuleDiscovery
{
public:
    // One evaluated answer: the row's key, the column it sets (empty for an unknown
    // letter) and the value for that column.
    struct Answer
    {
        QString serNr;
        char letter = 0;
        QString column;
        QVariant value;
    };

    enum class Parse { NotAnAnswer, Ok, Error };

    // The request datagram and the ports of the search.
    static inline const QByteArray kRequest = QByteArrayLiteral("CFG?");
    static constexpr quint16 kCommandPort = 10000;
    static inline const QString kBroadcast = QStringLiteral("255.255.255.255");

    // Reads one datagram. Datagrams of 5 characters or fewer, and those not starting
    // with "CFG>", are no answers. An answer too short for its letter is an Error with
    // the reason in `error`.
    [[nodiscard]] static Parse parse(const QByteArray& datagram, Answer* answer, QString* error);

    // Stores one answer into the search result (recordset of cmdSuchergebnis): finds
    // the row of its serial number or adds one with port 0, sets the column and saves
    // the row. False with `error` set when the answer was unusable or the row could not
    // be saved; true also for datagrams that are no answers (nothing changes).
    static bool store(Recordset& suchergebnis, const QByteArray& datagram, QString* error);

    // The dotted address from the four bytes at `pos` (counted from 0).
    [[nodiscard]] static QString dottedAddress(const QByteArray& datagram, int pos);
};

} // namespace vemro
