#pragma once

#include <QByteArray>
#include <QString>

namespace vemro {

// Text on the terminal link is bytes in the ANSI code page (Windows-1252); key codes
// written to the keyboard use the OEM code page (850). Conversion to QString happens
// only at the edges (controls, database text, log lines).

[[nodiscard]] QString AnsiToString(const QByteArray& bytes);
// Characters the code page lacks become "?".
[[nodiscard]] QByteArray StringToAnsi(const QString& text);
[[nodiscard]] QChar AnsiChar(uchar code);
// The ANSI code of a character, or -1 when the code page lacks it.
[[nodiscard]] int AnsiCode(QChar c);
// ANSI byte to OEM byte ("?" when the OEM page lacks the character).
[[nodiscard]] uchar AnsiToOem(uchar ansi);
[[nodiscard]] uchar OemToAnsi(uchar oem);

} // namespace vemro
