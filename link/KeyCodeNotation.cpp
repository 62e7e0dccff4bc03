#include "link/KeyCodeNotation.h"

#include "platform/Codepage.h"
#include "platform/TextValue.h"

namespace vemro::KeyCodeNotation {

namespace {

constexpr int kFixedTextBase = 128;
constexpr int kFixedTexts = 128;

void setError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

QByteArray oemOf(char ansi)
{
    return QByteArray(1, static_cast<char>(AnsiToOem(static_cast<uchar>(ansi))));
}

bool isHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

} // namespace

bool ToKeyByte(const QByteArray& notation, bool shifted, QByteArray* byte, QString* error)
{
    byte->clear();
    if (notation.size() < 2) {
        if (!notation.isEmpty())
            *byte = oemOf(notation.at(0));
        return true;
    }
    const QByteArray rest = notation.mid(1);
    if (notation.at(0) == '#') {
        qint64 n = RoundHalfEven(TextValue(rest));
        if (shifted) {
            if (n < 0 || n >= kFixedTexts) {
                setError(error, QStringLiteral("Festtext %1 kann nicht auf die Shift-Ebene "
                                               "gelegt werden (erlaubt: #0 bis #127)")
                                    .arg(n));
                return false;
            }
        } else {
            if (n > 127)
                n -= kFixedTexts;
            if (n < 0)
                n = 0;
            if (n >= kFixedTexts) {
                setError(error, QStringLiteral("Festtextnummer %1 ist zu groß (erlaubt: #0 bis "
                                               "#255)")
                                    .arg(n + kFixedTexts));
                return false;
            }
        }
        *byte = QByteArray(1, static_cast<char>(kFixedTextBase + n));
        return true;
    }
    if (notation.at(0) == '$') {
        for (char c : rest) {
            if (!isHexDigit(c)) {
                setError(error,
                         QStringLiteral("ungültiger Hexcode: %1").arg(AnsiToString(notation)));
                return false;
            }
        }
        const qint64 value = RoundHalfEven(TextValue(QByteArray("&H") + rest));
        if (value < 0 || value > 255) {
            setError(error,
                     QStringLiteral("Hexcode %1 ist größer als $FF").arg(AnsiToString(notation)));
            return false;
        }
        *byte = QByteArray(1, static_cast<char>(value));
        return true;
    }
    *byte = oemOf(notation.at(0));
    return true;
}

QByteArray FromKeyByte(uchar code)
{
    if (code >= kFixedTextBase)
        return '#' + QByteArray::number(code - kFixedTextBase);
    if (code < 32 || code == 127)
        return '$' + QByteArray::number(code, 16).toUpper().rightJustified(2, '0');
    return QByteArray(1, static_cast<char>(code));
}

bool Check(const QString& notation, bool shifted, QString* error)
{
    // "#" and "$" are ANSI; otherwise the first character is the code, and one the code
    // page lacks would be sent as "?".
    if (!notation.isEmpty() && AnsiCode(notation.at(0)) < 0) {
        setError(
            error,
            QStringLiteral("das Zeichen „%1“ hat keinen Zeichencode (ANSI)").arg(notation.at(0)));
        return false;
    }
    QByteArray byte;
    return ToKeyByte(StringToAnsi(notation), shifted, &byte, error);
}

} // namespace vemro::KeyCodeNotation
