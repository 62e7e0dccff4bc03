#pragma once

#include <QByteArray>
#include <QString>

namespace vemro {

// Lenient number reading used wherever the program reads a number from text:
// blanks are ignored, an optional sign, digits with fraction and exponent, or
// "&H" / "&O" for hexadecimal / octal. Reading stops at the first character that
// cannot continue the number; empty or non-numeric text gives 0.
[[nodiscard]] double TextValue(const QString& text);
[[nodiscard]] double TextValue(const QByteArray& text);

// The same, rounded to the nearest integer with halves going to the even neighbour,
// and clamped to the range of a 64-bit integer.
[[nodiscard]] qint64 TextValueInt(const QString& text);

// Round half to even, clamped into the range of qint64 (NaN gives 0).
[[nodiscard]] qint64 RoundHalfEven(double value);

} // namespace vemro
