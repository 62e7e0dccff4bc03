#include "firmware/HexFileReader.h"

#include "firmware/HexRecord.h"

#include <QVector>

#include <algorithm>
#include <utility>

namespace vemro {

namespace {

constexpr int kTypeData = 0;
constexpr int kTypeEndOfFile = 1;
constexpr int kTypeExtendedSegment = 2;
constexpr int kTypeStartSegment = 3;
constexpr int kTypeExtendedLinear = 4;
constexpr int kTypeStartLinear = 5;
// ':' + count + address + type + checksum
constexpr int kRecordFrameChars = 11;

// The lines of the file. LF (Linux), CR LF (DOS) and CR (old Mac) end a line alike; the
// last line needs no end.
class LineCursor
{
public:
    explicit LineCursor(const QByteArray& text) : m_text(text) {}

    bool next(QByteArray& line)
    {
        if (m_pos >= m_text.size())
            return false;
        qsizetype end = m_pos;
        while (end < m_text.size() && m_text.at(end) != '\n' && m_text.at(end) != '\r')
            ++end;
        line = m_text.mid(m_pos, end - m_pos);
        if (end < m_text.size()) {
            const char lineEnd = m_text.at(end++);
            if (lineEnd == '\r' && end < m_text.size() && m_text.at(end) == '\n')
                ++end;
        }
        m_pos = end;
        ++m_number;
        return true;
    }
    [[nodiscard]] int number() const { return m_number; }

private:
    const QByteArray& m_text;
    qsizetype m_pos = 0;
    int m_number = 0;
};

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

int hexAt(const QByteArray& text, int pos, int digits)
{
    int value = 0;
    for (int i = 0; i < digits; ++i)
        value = value * 16 + hexDigit(text.at(pos + i));
    return value;
}

QString hexText(qint64 value, int digits)
{
    return QString::number(value, 16).toUpper().rightJustified(digits, QLatin1Char('0'));
}

QString hex4(qint64 value)
{
    return hexText(value, 4);
}

QString shownCharacter(char c)
{
    const auto code = static_cast<uchar>(c);
    if (code > 32 && code < 127)
        return QStringLiteral("'%1'").arg(QLatin1Char(c));
    return QStringLiteral("mit dem Code %1").arg(code);
}

// One line into a record; an empty text when it is a well-formed record with the right
// checksum, else the message that names the line and what is wrong with it.
QString parseRecord(const QByteArray& text, int line, HexRecord& r)
{
    for (int i = 1; i < text.size(); ++i)
        if (hexDigit(text.at(i)) < 0)
            return QStringLiteral("Zeile %1, Spalte %2: das Zeichen %3 ist keine Hex-Ziffer, "
                                  "Abbruch")
                .arg(line)
                .arg(i + 1)
                .arg(shownCharacter(text.at(i)));
    const int size = static_cast<int>(text.size());
    if (size < kRecordFrameChars)
        return QStringLiteral("Zeile %1 ist unvollständig: %2 Zeichen, ein Datensatz hat "
                              "mindestens %3, Abbruch")
            .arg(line)
            .arg(size)
            .arg(kRecordFrameChars);
    r.line = line;
    r.startCharacter = text.at(0);
    r.count = static_cast<qint16>(hexAt(text, 1, 2));
    const int needed = kRecordFrameChars + 2 * r.count;
    if (size != needed)
        return QStringLiteral("Zeile %1 ist %2: ein Datensatz mit %3 Bytes hat %4 Zeichen, die "
                              "Zeile hat %5, Abbruch")
            .arg(line)
            .arg(size < needed ? QStringLiteral("unvollständig") : QStringLiteral("zu lang"))
            .arg(r.count)
            .arg(needed)
            .arg(size);
    r.address = static_cast<quint16>(hexAt(text, 3, 4));
    r.type = static_cast<qint16>(hexAt(text, 7, 2));
    int sum = r.count + (r.address >> 8) + (r.address & 0xFF) + r.type;
    r.data.resize(r.count);
    for (int i = 0; i < r.count; ++i) {
        const int value = hexAt(text, 9 + 2 * i, 2);
        sum += value;
        r.data[i] = static_cast<char>(value);
    }
    r.checksum = static_cast<qint16>(hexAt(text, needed - 2, 2));
    const int expected = (256 - (sum % 256)) % 256;
    if (expected != r.checksum)
        return HexFileReader::kChecksumError +
               QStringLiteral(" in Zeile %1 (Prüfsumme %2, berechnet %3), Abbruch")
                   .arg(line)
                   .arg(hexText(r.checksum, 2), hexText(expected, 2));
    return {};
}

QString refusedType(const HexRecord& r)
{
    QString what;
    switch (r.type) {
    case kTypeExtendedSegment:
        what = QStringLiteral("Segmentadresse (Typ 2)");
        break;
    case kTypeStartSegment:
        what = QStringLiteral("Startadresse (Typ 3)");
        break;
    case kTypeStartLinear:
        what = QStringLiteral("Startadresse (Typ 5)");
        break;
    default:
        return QStringLiteral("unbekannter Eintrag (Typ %1) in Zeile %2, Abbruch")
            .arg(r.type)
            .arg(r.line);
    }
    return what + QStringLiteral(" in Zeile %1 wird nicht unterstützt (erlaubt sind Daten, Typ 0, "
                                 "das Dateiende, Typ 1, und erweiterte Adressen, Typ 4), Abbruch")
                      .arg(r.line);
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
    LineCursor lines(content);
    QByteArray text;
    bool endStored = false;
    while (!endStored && lines.next(text)) {
        // Blanks after a record are no part of it; an empty line holds no record.
        while (!text.isEmpty() && (text.endsWith(' ') || text.endsWith('\t')))
            text.chop(1);
        if (text.isEmpty())
            continue;
        if (table.size() == kTableSlots)
            return refuse(QStringLiteral("Die Updatedatei hat mehr als %1 Einträge (Zeile %2), "
                                         "Abbruch")
                              .arg(kTableSlots)
                              .arg(lines.number()),
                          static_cast<int>(table.size()));
        HexRecord r;
        const QString error = parseRecord(text, lines.number(), r);
        if (!error.isEmpty())
            return refuse(error, static_cast<int>(table.size()) + 1);
        table.append(r);
        endStored = r.type == kTypeEndOfFile;
    }

    HexReadResult result;
    result.records = static_cast<int>(table.size());
    UpdateImage& image = result.image;
    qint64 running = 0;
    qint64 placedBytes = 0;
    int lastPlacedLine = 0;
    int firstPlacedLine = 0;
    int upper = 0; // of the last type 4 record
    int upperLine = 0;
    for (const HexRecord& r : std::as_const(table)) {
        switch (r.type) {
        case kTypeData: {
            if (upper != 0) {
                // Above 64 KiB: nowhere in the terminal's program memory. Placing it by its
                // low 16 bits would program it over other code.
                if (r.count == 0)
                    break;
                return refuse(QStringLiteral("Zeile %1: die Daten an Adresse %2 (erweiterte "
                                             "Adresse %3 aus Zeile %4) liegen außerhalb des "
                                             "Programmspeichers (Adressen 0000 bis %5), Abbruch")
                                  .arg(r.line)
                                  .arg(hexText((qint64(upper) << 16) | r.address, 8), hex4(upper))
                                  .arg(upperLine)
                                  .arg(hex4(kWindowEnd)),
                              result.records);
            }
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
                        .arg(r.line)
                        .arg(hex4(r.address), hex4(running)),
                    result.records);
            if (firstPlacedLine == 0)
                firstPlacedLine = r.line;
            while (running < r.address) {
                image.bytes += fillWord();
                running += 2;
            }
            if (running != r.address)
                return refuse(QStringLiteral("Die Lücke vor Zeile %1 (Adresse %2) der "
                                             "Updatedatei hat eine ungerade Länge, Abbruch")
                                  .arg(r.line)
                                  .arg(hex4(r.address)),
                              result.records);
            // A long record reaching past the last block of the window is cut there, so
            // every record length gives the image that 16-byte records give.
            const int placed =
                static_cast<int>(std::min<qint64>(r.count, kWindowEnd + kBlockBytes - r.address));
            image.bytes += r.data.left(placed);
            running += placed;
            placedBytes += placed;
            lastPlacedLine = r.line;
            break;
        }
        case kTypeExtendedLinear:
            if (r.count != 2)
                return refuse(QStringLiteral("Zeile %1: eine erweiterte Adresse (Typ 4) hat 2 "
                                             "Bytes, diese hat %2, Abbruch")
                                  .arg(r.line)
                                  .arg(r.count),
                              result.records);
            upper = (static_cast<uchar>(r.data.at(0)) << 8) | static_cast<uchar>(r.data.at(1));
            upperLine = r.line;
            break;
        case kTypeEndOfFile:
            break;
        default:
            return refuse(refusedType(r), result.records);
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
    if (image.startAddress % 2 != 0)
        return refuse(QStringLiteral("Die Daten der Updatedatei beginnen an der ungeraden Adresse "
                                     "%1 (Zeile %2); der Programmspeicher wird in Worten zu 2 "
                                     "Bytes geschrieben, Abbruch")
                          .arg(hex4(image.startAddress))
                          .arg(firstPlacedLine),
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
