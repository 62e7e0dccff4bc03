#include "platform/TextValue.h"

#include <cmath>
#include <limits>

namespace vemro {

namespace {

QString withoutBlanks(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        if (c != QLatin1Char(' ') && c != QLatin1Char('\t'))
            out.append(c);
    }
    return out;
}

// Digits of the given base after an "&H" / "&O" prefix, read as an unsigned value.
double radixValue(const QString& s, int pos, int base)
{
    double value = 0;
    for (; pos < s.size(); ++pos) {
        const char16_t c = s.at(pos).toUpper().unicode();
        int digit = -1;
        if (c >= u'0' && c <= u'9')
            digit = c - u'0';
        else if (c >= u'A' && c <= u'F')
            digit = 10 + (c - u'A');
        if (digit < 0 || digit >= base)
            break;
        value = value * base + digit;
    }
    return value;
}

} // namespace

double TextValue(const QString& text)
{
    const QString s = withoutBlanks(text);
    if (s.size() >= 2 && s.at(0) == QLatin1Char('&')) {
        const QChar kind = s.at(1).toUpper();
        if (kind == QLatin1Char('H'))
            return radixValue(s, 2, 16);
        if (kind == QLatin1Char('O'))
            return radixValue(s, 2, 8);
        return 0;
    }

    // Longest prefix of the form [sign] digits [. digits] [(e|E|d|D) [sign] digits].
    int pos = 0;
    const int n = s.size();
    auto isDigit = [&](int i) { return i < n && s.at(i).isDigit() && s.at(i).unicode() < 128; };
    if (pos < n && (s.at(pos) == QLatin1Char('+') || s.at(pos) == QLatin1Char('-')))
        ++pos;
    int mantissaDigits = 0;
    while (isDigit(pos)) {
        ++pos;
        ++mantissaDigits;
    }
    if (pos < n && s.at(pos) == QLatin1Char('.')) {
        ++pos;
        while (isDigit(pos)) {
            ++pos;
            ++mantissaDigits;
        }
    }
    if (mantissaDigits == 0)
        return 0;
    int end = pos;
    if (pos < n) {
        const QChar e = s.at(pos).toUpper();
        if (e == QLatin1Char('E') || e == QLatin1Char('D')) {
            int p = pos + 1;
            if (p < n && (s.at(p) == QLatin1Char('+') || s.at(p) == QLatin1Char('-')))
                ++p;
            if (isDigit(p)) {
                while (isDigit(p))
                    ++p;
                end = p;
            }
        }
    }
    QString number = s.left(end);
    // "D" as exponent letter is an old spelling of "E".
    number.replace(QLatin1Char('d'), QLatin1Char('e')).replace(QLatin1Char('D'), QLatin1Char('e'));
    bool ok = false;
    double value = number.toDouble(&ok);
    if (!ok) {
        // Over- or underflow of the exponent: keep the sign, saturate.
        const bool negative = number.startsWith(QLatin1Char('-'));
        const int ePos = number.indexOf(QLatin1Char('e'));
        const bool tiny = ePos >= 0 && number.mid(ePos + 1).startsWith(QLatin1Char('-'));
        if (tiny)
            return 0;
        value = negative ? -std::numeric_limits<double>::max() : std::numeric_limits<double>::max();
    }
    return value;
}

double TextValue(const QByteArray& text)
{
    return TextValue(QString::fromLatin1(text));
}

qint64 RoundHalfEven(double value)
{
    if (std::isnan(value))
        return 0;
    constexpr double lo = -9223372036854775808.0; // -2^63, exactly representable
    constexpr double hi = 9223372036854775808.0;  // 2^63
    if (value <= lo)
        return std::numeric_limits<qint64>::min();
    if (value >= hi)
        return std::numeric_limits<qint64>::max();
    return static_cast<qint64>(std::nearbyint(value)); // default rounding mode: half to even
}

qint64 TextValueInt(const QString& text)
{
    return RoundHalfEven(TextValue(text));
}

} // namespace vemro
