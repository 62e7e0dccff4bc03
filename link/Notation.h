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
// can hold: a character the editor holds (FesttextHoldsCharacter) as itself, anything else
// as its code form "<ddd>": control codes (a CR or LF would become a line break; ESC is
// "<027>", a value and not the start of another command), DEL, the no-break space and soft
// hyphen (an editor changes or hides them), the codes the code page lacks, and "<", "{",
// "}", which the notation itself uses. In a text that holds "<ESC>", FilterSteuerzeichen
// turns each form back into the same byte. The command builder and the fixed-text form of
// a command both write parameter bytes with it.
[[nodiscard]] QByteArray ByteToNotation(uchar code);

// Fixed texts: the editor's own form (the `text` column, ANSI bytes) <-> the bytes in the
// terminal's EEPROM. The writers send FesttextToBytes; the read stores FesttextFromBytes,
// its inverse: FesttextToBytes(FesttextFromBytes(b), false) == b for every b without a 0
// (and, with `removeLF`, for every b without CR LF in its text, which is what the block
// writer leaves).
//
// The editor's form: a text without ESC is its bytes as they stand (the writer sends such a
// text unchanged). A text with ESC shows each command as "{" "<ESC>" letters parameters "}"
// (parameter bytes the editor cannot hold as characters, and CR and LF, as code forms
// "<ddd>"), line breaks as line breaks, printable characters as themselves, "<", "{" and
// "}" as "<060>", "<123>" and "<125>", and other control bytes as code forms in braces.

// Notation to the bytes of a fixed text; `removeLF` (the block writer) leaves no CR LF in
// the text, while the bytes of a command in braces go out as written. Throws NotationError
// for a code form outside 0..255 and for a 0, which would end the text in the terminal.
[[nodiscard]] QByteArray FesttextToBytes(const QByteArray& text, bool removeLF);
// The bytes of a fixed text read from the terminal to the editor's form.
[[nodiscard]] QByteArray FesttextFromBytes(const QByteArray& bytes);
// One command given as its bytes (beginning with ESC) in the editor's form, braces
// included: what the editor inserts for a composed command.
[[nodiscard]] QByteArray FesttextCommandForm(const QByteArray& command);
// True when the editor holds the byte as a character: printable Windows-1252 (no controls,
// no DEL, none of the five undefined codes, no no-break or soft hyphen, which the editor
// does not keep).
[[nodiscard]] bool FesttextHoldsCharacter(uchar code);

} // namespace vemro
