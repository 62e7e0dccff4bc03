#pragma once

#include <QByteArray>
#include <QString>

namespace vemro {

// The notation in which key codes are edited and kept in the project: one character,
// "#n" (the key outputs fixed text n) or "$hh" (an explicit code). Text is ANSI bytes.
namespace KeyCodeNotation {

// The byte the keyboard receives for a code, or an empty text for an empty code.
// The shifted code of "#n" must name fixed text 0..127; the unshifted one is folded into
// 128..255. A code that has no byte value is refused with a German reason in *error.
[[nodiscard]] bool ToKeyByte(const QByteArray& notation, bool shifted, QByteArray* byte,
                             QString* error = nullptr);

// The notation under which a code read from the terminal is kept: "#n" for 128 + n,
// "$hh" for a control character (and DEL), otherwise the character itself.
[[nodiscard]] QByteArray FromKeyByte(uchar code);

// Checks a code typed into the key table; the text is the message for the user.
[[nodiscard]] bool Check(const QString& notation, bool shifted, QString* error);

} // namespace KeyCodeNotation

} // namespace vemro
