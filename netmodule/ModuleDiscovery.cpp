#include "netmodule/ModuleDiscovery.h"

#include "platform/Codepage.h"
#include "project/Recordset.h"

namespace vemro {

namespace {

// Character positions of an answer, counted from 0.
constexpr int kLetterPos = 4;
constexpr int kSerNrPos = 6;
constexpr int kSerNrLength = 6;
constexpr int kValuePos = 13;

QString textValue(const QByteArray& datagram)
{
    QByteArray value = datagram.mid(kValuePos);
    value.replace(',', QByteArray());
    return AnsiToString(value);
}

} // namespace

QString ModuleDiscovery::dottedAddress(const QByteArray& datagram, int pos)
{
    QStringList parts;
    for (int i = 0; i < 4; ++i)
        parts.append(QString::number(static_cast<quint8>(datagram.at(pos + i))));
    return parts.join(QLatin1Char('.'));
}

ModuleDiscovery::Parse ModuleDiscovery::parse(const QByteArray& datagram, Answer* answer,
                                              QString* error)
{
    if (datagram.size() <= 5 || !datagram.startsWith("CFG>"))
        return Parse::NotAnAnswer;
    Answer a;
    a.serNr = AnsiToString(datagram.mid(kSerNrPos, kSerNrLength));
    a.letter = datagram.at(kLetterPos);
    // Every answer carries the whole serial number, the row's key.
    if (datagram.size() < kValuePos) {
        if (error)
            *error = QStringLiteral("Antwort zu kurz (%1 Zeichen): keine vollständige "
                                    "Seriennummer")
                         .arg(datagram.size());
        return Parse::Error;
    }
    for (char c : datagram.mid(kSerNrPos, kSerNrLength)) {
        if (static_cast<uchar>(c) < 32) {
            if (error)
                *error = QStringLiteral("Antwort mit ungültiger Seriennummer");
            return Parse::Error;
        }
    }
    auto tooShort = [&](int needed) {
        if (error)
            *error = QStringLiteral("Antwort zu kurz (%1 statt %2 Zeichen): Feld %3")
                         .arg(datagram.size())
                         .arg(needed)
                         .arg(QLatin1Char(a.letter));
        return Parse::Error;
    };
    switch (a.letter) {
    case 'I':
    case 'D':
        if (datagram.size() < kValuePos + 4)
            return tooShort(kValuePos + 4);
        a.column = a.letter == 'I' ? QStringLiteral("IPAdresse") : QStringLiteral("ZielIP");
        a.value = dottedAddress(datagram, kValuePos);
        break;
    case 'N':
    case 'T':
        a.column = a.letter == 'N' ? QStringLiteral("Bezeichnung") : QStringLiteral("Typ");
        a.value = textValue(datagram);
        break;
    case 'U':
        if (datagram.size() < kValuePos + 2)
            return tooShort(kValuePos + 2);
        a.column = QStringLiteral("UDPDatenport");
        // UDP ports reach 65535: read both bytes unsigned, high byte first.
        a.value = static_cast<int>(static_cast<quint8>(datagram.at(kValuePos))) * 256 +
                  static_cast<quint8>(datagram.at(kValuePos + 1));
        break;
    default:
        break; // the row is created or kept; no column changes
    }
    if (answer)
        *answer = a;
    return Parse::Ok;
}

bool ModuleDiscovery::store(Recordset& suchergebnis, const QByteArray& datagram, QString* error)
{
    Answer a;
    const Parse p = parse(datagram, &a, error);
    if (p == Parse::NotAnAnswer)
        return true;
    if (p == Parse::Error)
        return false;
    suchergebnis.moveFirst();
    bool found = false;
    // The key is compared exactly: serial numbers differ in case only by mistake.
    while (suchergebnis.find(QStringLiteral("SerNr"), a.serNr)) {
        if (suchergebnis.value(QStringLiteral("SerNr")).toString() == a.serNr) {
            found = true;
            break;
        }
        suchergebnis.moveNext();
    }
    if (!found) {
        if (!suchergebnis.addNew() || !suchergebnis.setValue(QStringLiteral("SerNr"), a.serNr) ||
            !suchergebnis.setValue(QStringLiteral("UDPDatenport"), 0)) {
            if (error)
                *error = suchergebnis.lastError();
            suchergebnis.cancelUpdate();
            return false;
        }
    }
    if (!a.column.isEmpty() && !suchergebnis.setValue(a.column, a.value)) {
        if (error)
            *error = suchergebnis.lastError();
        suchergebnis.cancelUpdate();
        return false;
    }
    if (!suchergebnis.update()) {
        if (error)
            *error = suchergebnis.lastError();
        suchergebnis.cancelUpdate();
        return false;
    }
    return true;
}

} // namespace vemro
