#include "firmware/HexFileReader.h"

#include "firmware/HexRecord.h"

#include <QVector>

namespace vemro {

namespace {

constexpr int kTypeData = 0;
constexpr int kTypeEndOfFile = 1;
constexpr int kTypeExtendedLinear = 4;

// Takes fields of fixed width from the file text.
class FieldCursor
{
public:
    explicit FieldCursor(const QByteArray& text) : m_text(text) {}

    [[nodiscard]] bool atEnd() const { return m_pos >= m_text.size(); }

    QByteArray take(int n)
    {
        const QByteArray field = m_text.mid(m_pos, n);
        m_pos += static_cast<int>(field.size());
        return field;
    }

    // A field of `digits` hex digits. A field cut short by the end of the file or holding
    // anything but hex digits marks the record as unreadable.
    int hex(int digits)
    {
        const QByteArray field = take(digits);
        if (field.size() < digits)
            m_bad = true;
        int value = 0;
        for (char c : field) {
            int d = -1;
            if (c >= '0' && c <= '9')
                d = c - '0';
            else if (c >= 'A' && c <= 'F')
                d = c - 'A' + 10;
            else if (c >= 'a' && c <= 'f')
                d = c - 'a' + 10;
            if (d < 0) {
                m_bad = true;
                d = 0;
            }
            value = value * 16 + d;
        }
        return value;
    }

    [[nodiscard]] bool bad() const { return m_bad; }
    void clearBad() { m_bad = false; }

private:
    const QByteArray& m_text;
    qsizetype m_pos = 0;
    bool m_bad = false;
};

QString hex4(qint64 value)
{
    return QString::number(value, 16).toUpper().rightJustified(4, QLatin1Char('0'));
}

HexReadResult refuse(const QString& text, int records)
{
    HexReadResult r;
    r.error = text;
    r.records = records;
    return r;
}

} // namespace

HexReadResult HexFileReader::read(const QByteArray& content)
{
    QVector<HexRecord> table;
    table.reserve(64);
    FieldCursor in(content);
    bool endStored = false;
    while (!in.atEnd() && !endStored) {
        if (table.size() == kTableSlots)
            return refuse(QStringLiteral("Die Updatedatei hat mehr als %1 Einträge (Zeile %2), "
                                         "Abbruch")
                              .arg(kTableSlots)
                              .arg(kTableSlots + 1),
                          static_cast<int>(table.size()));
        HexRecord r;
        in.clearBad();
        r.startCharacter = in.take(1).at(0);
        r.count = static_cast<qint16>(in.hex(2));
        r.address = static_cast<quint16>(in.hex(4));
        r.type = static_cast<qint16>(in.hex(2));
        int sum = r.count + (r.address >> 8) + (r.address & 0xFF) + r.type;
        bool surplus = false;
        for (int i = 0; i < r.count; ++i) {
            const int value = in.hex(2);
            sum += value;
            if (i < HexRecord::kDataSlots)
                r.data[static_cast<size_t>(i)] = static_cast<qint16>(value);
            else
                surplus = true; // read and dropped: the record cannot be stored
        }
        r.checksum = static_cast<qint16>(in.hex(2));
        (void)in.take(2); // CR LF, or nothing after the last record
        const int expected = (256 - (sum % 256)) % 256;
        if (in.bad() || surplus || expected != r.checksum)
            return refuse(kChecksumError, static_cast<int>(table.size()) + 1);
        table.append(r);
        endStored = r.type == kTypeEndOfFile;
    }

    HexReadResult result;
    result.records = static_cast<int>(table.size());
    UpdateImage& image = result.image;
    qint64 running = 0;
    qint64 placedBytes = 0;
    int lastPlacedLine = 0;
    for (int k = 0; k < table.size(); ++k) {
        const HexRecord& r = table.at(k);
        const int line = k + 1;
        switch (r.type) {
        case kTypeData:
            if (image.startAddress < 0) {
                image.startAddress = r.address;
                running = r.address;
            }
            if (r.address > kWindowEnd)
                break; // outside the program window
            if (r.address < running)
                return refuse(
                    QStringLiteral("Die Einträge der Updatedatei müssen nach Adressen aufsteigen: "
                                   "Zeile %1 (Adresse %2) liegt unter der bisher erreichten "
                                   "Adresse %3, Abbruch")
                        .arg(line)
                        .arg(hex4(r.address), hex4(running)),
                    result.records);
            while (running < r.address) {
                image.bytes += fillWord();
                running += 2;
            }
            if (running != r.address)
                return refuse(QStringLiteral("Die Lücke vor Zeile %1 (Adresse %2) der "
                                             "Updatedatei hat eine ungerade Länge, Abbruch")
                                  .arg(line)
                                  .arg(hex4(r.address)),
                              result.records);
            for (int i = 0; i < r.count; ++i)
                image.bytes += static_cast<char>(r.data[static_cast<size_t>(i)]);
            running += r.count;
            placedBytes += r.count;
            lastPlacedLine = line;
            break;
        case kTypeEndOfFile:
        case kTypeExtendedLinear:
            break;
        default:
            return refuse(kUnknownRecord, result.records);
        }
    }
    if (placedBytes % 2 != 0)
        return refuse(QStringLiteral("Die Daten der Updatedatei haben zusammen eine ungerade "
                                     "Anzahl Bytes (%1, zuletzt Zeile %2); der Programmspeicher "
                                     "wird in Worten zu 2 Bytes geschrieben, Abbruch")
                          .arg(placedBytes)
                          .arg(lastPlacedLine),
                      result.records);
    if (image.bytes.isEmpty())
        return refuse(QStringLiteral("Die Updatedatei enthält keine Daten für den "
                                     "Programmspeicher (Adressen 0000 bis %1), Abbruch")
                          .arg(hex4(kWindowEnd)),
                      result.records);
    int length = static_cast<int>(image.bytes.size());
    while (length % kBlockBytes != 0) {
        image.bytes += fillWord();
        length += 2;
    }
    image.length = static_cast<qint16>(length);
    result.ok = true;
    return result;
}

} // namespace vemro
