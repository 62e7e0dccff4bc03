#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace vemro {

// Fixed-text files: the older terminal family's "RK Festtextdateien" (R lines per text, no
// numbers) and our own "VX Festtextdateien" (every text with its number, exact; described
// in docs/festtexte.md), plus the editor's rich-text form of a plain text.

// One text of a file, with its number where the file names it.
struct FesttextFileEntry
{
    int DisplayNr = -1;
    QString text;
};

// The texts of an older-family file for a display of `rows` x `cols`: each text is
// "{<ESC>LL}" followed by its rows, trailing blanks removed and cut to `cols` characters; a
// shorter row ends with CR LF, trailing CR LF pairs are dropped. At most `maxTexts` texts;
// a text cut short by the end of the file keeps the rows it has.
[[nodiscard]] QStringList ParseRkFesttexte(const QByteArray& content, int rows, int cols,
                                           int maxTexts);

// What an import file is. UTF-16 with a byte order mark is taken as UTF-8 (`content`
// converted); binary content (a 0 byte, mostly control bytes), a UTF-16 file of the older
// family and a first line that nearly reads "VX Festtextdatei" are refused with the reason.
enum class FesttextFileKind { Vx, Rk };
[[nodiscard]] bool RecogniseFesttextFile(QByteArray& content, FesttextFileKind& kind,
                                         QString* error);
// An older-family file's bytes in the code page: a file in UTF-8 (with characters beyond
// ASCII) is converted. False, naming the line and character, when a character is not in
// the terminal's code page.
[[nodiscard]] bool RkFesttextBytes(QByteArray& content, QString* error);

// The first character of `text` that the terminal's code page (Windows-1252) lacks, or an
// empty string; `where` receives its position.
[[nodiscard]] QString FirstNonAnsiCharacter(const QString& text, int* where = nullptr);
// "„Ω“ (U+03A9)" for messages.
[[nodiscard]] QString CharacterName(const QString& character);

// Our export format.
inline const QString kVxFesttextHeader = QStringLiteral("VX Festtextdatei 1");
[[nodiscard]] bool IsVxFesttextFile(const QByteArray& content);
[[nodiscard]] QByteArray WriteVxFesttexte(const QList<FesttextFileEntry>& texts);
// False with the line and reason in `error` when the file is damaged (also: not UTF-8, an
// escape other than the documented ones, a 0, a character outside the code page);
// nothing is returned then, so a damaged file imports nothing.
[[nodiscard]] bool ParseVxFesttexte(const QByteArray& content, QList<FesttextFileEntry>& out,
                                    QString* error);

// The editor's formatted form of a plain text: embedded commands green and bold.
[[nodiscard]] QString FesttextRichText(const QString& text);
// True when `rtf` is the editor's own rich text; anything else is shown as plain text.
[[nodiscard]] bool IsFesttextRichText(const QString& rtf);

} // namespace vemro
