#include "config/FesttextFiles.h"

#include "platform/Codepage.h"

#include <QSet>
#include <QStringDecoder>

#include <algorithm>

#include <cctype>

namespace vemro {

namespace {

const QByteArray kRichMarker = QByteArrayLiteral("<meta name=\"qrichtext\" content=\"1\" />");

QList<QByteArray> fileLines(const QByteArray& content)
{
    QList<QByteArray> lines = content.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast(); // the line break at the end of the last line
    for (QByteArray& line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
    }
    return lines;
}

QString escaped(const QString& text)
{
    QString out;
    for (QChar c : text) {
        const ushort u = c.unicode();
        if (c == QLatin1Char('\\'))
            out += QStringLiteral("\\\\");
        else if (c == QLatin1Char('\r'))
            out += QStringLiteral("\\r");
        else if (c == QLatin1Char('\n'))
            out += QStringLiteral("\\n");
        else if (c == QLatin1Char('\t'))
            out += QStringLiteral("\\t");
        else if (u < 32 || u == 127)
            out += QStringLiteral("\\x%1").arg(u, 2, 16, QLatin1Char('0'));
        else
            out += c;
    }
    return out;
}

bool isHexDigit(QChar c)
{
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
           (c >= QLatin1Char('a') && c <= QLatin1Char('f')) ||
           (c >= QLatin1Char('A') && c <= QLatin1Char('F'));
}

// Letters and digits only, lower case: "VX-Festextdatei 1" -> "vxfestextdatei1".
QString squeezed(const QString& line)
{
    QString out;
    for (QChar c : line) {
        if (c.isLetterOrNumber())
            out += c.toLower();
    }
    return out;
}

int editDistance(const QString& a, const QString& b)
{
    std::vector<int> row(static_cast<size_t>(b.size()) + 1);
    for (size_t j = 0; j < row.size(); ++j)
        row[j] = static_cast<int>(j);
    for (int i = 1; i <= a.size(); ++i) {
        int diagonal = row[0];
        row[0] = i;
        for (int j = 1; j <= b.size(); ++j) {
            const int above = row[static_cast<size_t>(j)];
            row[static_cast<size_t>(j)] =
                std::min({above + 1, row[static_cast<size_t>(j) - 1] + 1,
                          diagonal + (a.at(i - 1) == b.at(j - 1) ? 0 : 1)});
            diagonal = above;
        }
    }
    return row.back();
}

bool unescaped(const QString& text, QString& out)
{
    out.clear();
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('\\')) {
            out += c;
            continue;
        }
        if (++i >= text.size())
            return false;
        switch (text.at(i).unicode()) {
        case '\\':
            out += QLatin1Char('\\');
            break;
        case 'r':
            out += QLatin1Char('\r');
            break;
        case 'n':
            out += QLatin1Char('\n');
            break;
        case 't':
            out += QLatin1Char('\t');
            break;
        case 'x': {
            // Exactly two hex digits; toInt would also take a sign or a blank.
            const QString digits = text.mid(i + 1, 2);
            if (digits.size() != 2 || !isHexDigit(digits.at(0)) || !isHexDigit(digits.at(1)))
                return false;
            out += QChar(digits.toInt(nullptr, 16));
            i += 2;
            break;
        }
        default:
            return false;
        }
    }
    return true;
}

QString htmlEscaped(const QString& text)
{
    QString out = text.toHtmlEscaped();
    out.replace(QStringLiteral("\r\n"), QStringLiteral("<br />"));
    out.replace(QLatin1Char('\r'), QStringLiteral("<br />"));
    out.replace(QLatin1Char('\n'), QStringLiteral("<br />"));
    return out;
}

} // namespace

QStringList ParseRkFesttexte(const QByteArray& content, int rows, int cols, int maxTexts)
{
    QStringList texts;
    if (rows < 1 || cols < 1)
        return texts;
    const QList<QByteArray> lines = fileLines(content);
    int next = 0;
    while (next < lines.size() && texts.size() < maxTexts) {
        QByteArray text;
        for (int r = 0; r < rows && next < lines.size(); ++r, ++next) {
            QByteArray line = lines.at(next);
            while (line.endsWith(' '))
                line.chop(1);
            line = line.left(cols);
            text += line;
            if (line.size() < cols)
                text += "\r\n";
        }
        while (text.endsWith("\r\n"))
            text.chop(2);
        texts.append(QStringLiteral("{<ESC>LL}") + AnsiToString(text));
    }
    return texts;
}

QString FirstNonAnsiCharacter(const QString& text, int* where)
{
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (AnsiCode(c) >= 0)
            continue;
        if (where)
            *where = i;
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            return text.mid(i, 2);
        return QString(c);
    }
    return {};
}

QString CharacterName(const QString& character)
{
    const QList<uint> codes = character.toUcs4();
    const uint code = codes.isEmpty() ? 0 : codes.first();
    return QStringLiteral("„%1“ (U+%2)")
        .arg(character)
        .arg(QString::number(code, 16).toUpper().rightJustified(4, QLatin1Char('0')));
}

bool RecogniseFesttextFile(QByteArray& content, FesttextFileKind& kind, QString* error)
{
    auto refuse = [error](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    const bool le = content.startsWith("\xFF\xFE");
    if (le || content.startsWith("\xFE\xFF")) {
        QStringDecoder decode(le ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE);
        const QString text = decode(content.mid(2));
        if (decode.hasError())
            return refuse(QStringLiteral("Die Datei beginnt wie UTF-16, ist es aber nicht."));
        if (!text.startsWith(kVxFesttextHeader.left(16)))
            return refuse(QStringLiteral(
                "Die Datei ist in UTF-16 gespeichert; RK-Festtextdateien sind 8-Bit-Text. "
                "Bitte die Datei als ANSI oder UTF-8 speichern."));
        content = text.toUtf8();
    }
    if (content.contains('\0'))
        return refuse(QStringLiteral("Die Datei enthält Binärdaten (Zeichen 0) und ist keine "
                                     "Festtextdatei."));
    const auto controls = std::count_if(content.cbegin(), content.cend(), [](char c) {
        const auto u = static_cast<uchar>(c);
        return (u < 32 && u != '\t' && u != '\r' && u != '\n' && u != '\f') || u == 127;
    });
    if (controls * 10 > content.size())
        return refuse(QStringLiteral("Die Datei enthält überwiegend Steuerzeichen und ist keine "
                                     "Festtextdatei."));
    if (IsVxFesttextFile(content)) {
        kind = FesttextFileKind::Vx;
        return true;
    }
    QByteArray first = content.left(content.indexOf('\n') < 0 ? 80 : content.indexOf('\n'));
    if (first.startsWith("\xEF\xBB\xBF"))
        first.remove(0, 3);
    const QString head = squeezed(QString::fromUtf8(first.left(80)));
    const QString header = squeezed(kVxFesttextHeader);
    if (editDistance(head.left(header.size() + 2), header) <= 4)
        return refuse(QStringLiteral("Zeile 1: \"%1\" ist fast die Kopfzeile einer "
                                     "VX-Festtextdatei, aber nicht genau \"%2\"; die Datei "
                                     "wurde nicht importiert.")
                          .arg(QString::fromUtf8(first).trimmed(), kVxFesttextHeader));
    kind = FesttextFileKind::Rk;
    return true;
}

bool RkFesttextBytes(QByteArray& content, QString* error)
{
    if (content.startsWith("\xEF\xBB\xBF"))
        content.remove(0, 3);
    const bool ascii = std::all_of(content.cbegin(), content.cend(),
                                   [](char c) { return static_cast<uchar>(c) < 128; });
    if (ascii)
        return true;
    QStringDecoder decode(QStringDecoder::Utf8);
    const QString text = decode(content);
    if (decode.hasError())
        return true; // 8-bit text in the code page, as the older family wrote it
    int where = 0;
    const QString bad = FirstNonAnsiCharacter(text, &where);
    if (!bad.isEmpty()) {
        if (error)
            *error = QStringLiteral("Zeile %1: das Zeichen %2 gibt es im Zeichensatz des "
                                    "Terminals (Windows-1252) nicht; die Datei wurde nicht "
                                    "importiert.")
                         .arg(text.left(where).count(QLatin1Char('\n')) + 1)
                         .arg(CharacterName(bad));
        return false;
    }
    content = StringToAnsi(text);
    return true;
}

bool IsVxFesttextFile(const QByteArray& content)
{
    QByteArray head = content.left(64);
    if (head.startsWith("\xEF\xBB\xBF"))
        head.remove(0, 3);
    return head.startsWith(kVxFesttextHeader.left(16).toUtf8());
}

QByteArray WriteVxFesttexte(const QList<FesttextFileEntry>& texts)
{
    QString out = kVxFesttextHeader + QStringLiteral("\n");
    out += QStringLiteral("# Nummer, Tabulator, Text. \\r \\n \\t \\\\ und \\xHH stehen für "
                          "Steuerzeichen; Zeichensatz UTF-8.\n");
    for (const FesttextFileEntry& e : texts) {
        out += QStringLiteral("%1\t").arg(e.DisplayNr, 3, 10, QLatin1Char('0'));
        out += escaped(e.text) + QLatin1Char('\n');
    }
    return out.toUtf8();
}

bool ParseVxFesttexte(const QByteArray& content, QList<FesttextFileEntry>& out, QString* error)
{
    out.clear();
    auto fail = [&](int line, const QString& why) {
        out.clear();
        if (error)
            *error = QStringLiteral("Zeile %1: %2").arg(line).arg(why);
        return false;
    };
    QByteArray body = content;
    if (body.startsWith("\xEF\xBB\xBF"))
        body.remove(0, 3);
    const QList<QByteArray> lines = fileLines(body);
    if (lines.isEmpty() || !lines.first().startsWith(kVxFesttextHeader.left(16).toUtf8()))
        return fail(1, QStringLiteral("keine VX-Festtextdatei"));
    if (QString::fromUtf8(lines.first()).trimmed() != kVxFesttextHeader)
        return fail(1, QStringLiteral("unbekannte Version der VX-Festtextdatei"));
    QSet<int> seen;
    for (int i = 1; i < lines.size(); ++i) {
        QStringDecoder decode(QStringDecoder::Utf8);
        const QString line = decode(lines.at(i));
        if (decode.hasError())
            return fail(i + 1, QStringLiteral("kein gültiges UTF-8 (die Datei ist wohl in "
                                              "Latin-1 oder Windows-1252 gespeichert; "
                                              "VX-Festtextdateien sind UTF-8)"));
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        bool ok = false;
        const int n = line.left(3).toInt(&ok);
        if (line.size() < 4 || !ok || !line.at(0).isDigit() || line.at(3) != QLatin1Char('\t'))
            return fail(i + 1, QStringLiteral("erwartet: dreistellige Nummer und Tabulator"));
        if (n > 127)
            return fail(i + 1, QStringLiteral("Festtextnummer %1 außerhalb 0 bis 127").arg(n));
        if (seen.contains(n))
            return fail(i + 1, QStringLiteral("Festtext %1 doppelt").arg(n));
        seen.insert(n);
        FesttextFileEntry e;
        e.DisplayNr = n;
        if (!unescaped(line.mid(4), e.text))
            return fail(i + 1, QStringLiteral("ungültige Escape-Folge (erlaubt: \\\\, \\r, "
                                              "\\n, \\t und \\x mit zwei Hexziffern)"));
        if (e.text.contains(QChar(0)))
            return fail(i + 1, QStringLiteral("Festtext %1 enthält das Zeichen 0 (NUL), das im "
                                              "Terminal den Festtext beendet")
                                   .arg(n));
        const QString bad = FirstNonAnsiCharacter(e.text);
        if (!bad.isEmpty())
            return fail(i + 1, QStringLiteral("Festtext %1 enthält das Zeichen %2, das es im "
                                              "Zeichensatz des Terminals (Windows-1252) nicht "
                                              "gibt")
                                   .arg(n)
                                   .arg(CharacterName(bad)));
        out.append(e);
    }
    return true;
}

QString FesttextRichText(const QString& text)
{
    QString body;
    const QString open = QStringLiteral("{<ESC>");
    int from = 0;
    while (from < text.size()) {
        const int a = text.indexOf(open, from);
        const int close = a < 0 ? -1 : text.indexOf(QLatin1Char('}'), a);
        if (a < 0 || close < 0) {
            body += htmlEscaped(text.mid(from));
            break;
        }
        body += htmlEscaped(text.mid(from, a - from));
        body += QStringLiteral("<span style=\"color:#008000; font-weight:700;\">") +
                htmlEscaped(text.mid(a, close - a + 1)) + QStringLiteral("</span>");
        from = close + 1;
    }
    return QStringLiteral("<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0//EN\" "
                          "\"http://www.w3.org/TR/REC-html40/strict.dtd\">\n<html><head>") +
           QString::fromLatin1(kRichMarker) +
           QStringLiteral("</head><body style=\"white-space: pre-wrap;\"><p>") + body +
           QStringLiteral("</p></body></html>");
}

bool IsFesttextRichText(const QString& rtf)
{
    return rtf.contains(QString::fromLatin1(kRichMarker));
}

} // namespace vemro
