#include "config/FesttextFiles.h"

#include "platform/Codepage.h"

#include <QSet>

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
            // Exactly two hex digits: toInt also takes a sign or a blank ("\x-1", "\x 1").
            const QString digits = text.mid(i + 1, 2);
            const auto isHex = [](QChar c) {
                return c.unicode() < 128 && std::isxdigit(c.unicode()) != 0;
            };
            bool ok = digits.size() == 2 && isHex(digits.at(0)) && isHex(digits.at(1));
            const int code = ok ? digits.toInt(&ok, 16) : 0;
            if (!ok)
                return false;
            out += QChar(code);
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
        const QString line = QString::fromUtf8(lines.at(i));
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
            return fail(i + 1, QStringLiteral("ungültige Escape-Folge"));
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
