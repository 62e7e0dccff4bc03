#pragma once

#include <QByteArray>
#include <QString>

#include <stdexcept>

namespace vemro {

// A code form that names no character (outside 0..255). Send turns it into a failed
// exchange carrying description() as its text.
class NotationError : public std::runtime_error
{
public:
    explicit NotationError(const QString& description);
    [[nodiscard]] const QString& description() const { return m_description; }

private:
    QString m_description;
};

// Command text notation <-> raw bytes of the link (ANSI code page).
// "<ESC>" is the escape character, "<ddd>" the character with that code, braces mark a
// command embedded in a fixed text and are dropped on transmission.

// Notation to raw bytes. Only a text containing "<ESC>" is decoded; `RemoveLF` reduces each
// CR LF pair to CR. Throws NotationError for a code outside 0..255.
[[nodiscard]] QByteArray FilterSteuerzeichen(const QByteArray& stext, bool RemoveLF);

// The code decoder behind FilterSteuerzeichen. Throws NotationError.
[[nodiscard]] QByteArray TextToSteuerzeichen(const QByteArray& text);

// Raw bytes read from the terminal to notation. A code 1 escapes the next character: the
// pair shows as <ddd> with the value (its code minus 48); before a character below "0"
// (no value 0..255) the pair shows as "<001>" and the character in its own form, so the
// text stays sendable and sends the same bytes back.
[[nodiscard]] QByteArray SteuerzeichenToText(const QByteArray& raw);

// One byte of a command (a byte-form parameter) as a text that an editor or a command line
// can hold: a printable character of the code page as itself, ESC as "<ESC>", anything else
// as its code form "<ddd>": control codes (a CR or LF would become a line break), DEL, the
// no-break space and soft hyphen (an editor changes or hides them), the codes the code page
// lacks, and "<", "{", "}", which the notation itself uses. In a text that holds "<ESC>",
// FilterSteuerzeichen turns each form back into the same byte.
[[nodiscard]] QByteArray ByteToNotation(uchar code);

} // namespace vemro
