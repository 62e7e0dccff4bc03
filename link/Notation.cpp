#include "link/Notation.h"

#include "platform/Codepage.h"
#include "platform/TextValue.h"

namespace vemro {

namespace {

const QByteArray kEscForm = QByteArrayLiteral("<ESC>");

} // namespace

NotationError::NotationError(const QString& description)
    : std::runtime_error(description.toStdString()), m_description(description)
{
}

QByteArray TextToSteuerzeichen(const QByteArray& text)
{
    QByteArray t = text;
    t.replace(kEscForm, QByteArray(1, '\x1b'));
    QByteArray out;
    out.reserve(t.size());
    const qsizetype n = t.size();
    qsizetype i = 0;
    while (i < n) {
        const char c = t.at(i);
        if (c != '<') {
            out.append(c);
            ++i;
            continue;
        }
        if (i + 4 >= n) {
            // Too short for a code form: keep the rest as typed, "<" included.
            out.append(t.mid(i));
            break;
        }
        if (t.at(i + 4) != '>') {
            out.append('<');
            ++i;
            continue;
        }
        const QByteArray digits = t.mid(i + 1, 3);
        const qint64 code = RoundHalfEven(TextValue(digits));
        if (code < 0 || code > 255) {
            throw NotationError(
                QStringLiteral("Ungültiger Prozeduraufruf oder ungültiges Argument: <%1> ist kein "
                               "Zeichencode (0 bis 255)")
                    .arg(QString::fromLatin1(digits)));
        }
        out.append(static_cast<char>(static_cast<uchar>(code)));
        i += 5;
    }
    return out;
}

QByteArray FilterSteuerzeichen(const QByteArray& stext, bool RemoveLF)
{
    QByteArray result = stext;
    if (result.contains(kEscForm)) {
        result.replace(kEscForm, QByteArray(1, '\x1b'));
        result.replace('{', QByteArray());
        result.replace('}', QByteArray());
        result = TextToSteuerzeichen(result);
    }
    if (RemoveLF)
        result.replace(QByteArrayLiteral("\r\n"), QByteArrayLiteral("\r"));
    return result;
}

QByteArray SteuerzeichenToText(const QByteArray& raw)
{
    QByteArray out;
    out.reserve(raw.size() * 2);
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const int code = static_cast<uchar>(raw.at(i));
        if (code >= 32 && code <= 127) {
            out.append(static_cast<char>(code));
        } else if (code == 1 && i + 1 < raw.size()) {
            // Code 1 escapes the next character: its code minus 48 is the value meant.
            const int next = static_cast<uchar>(raw.at(++i));
            if (next >= '0') {
                out.append(QString::asprintf("<%03d>", next - 48).toLatin1());
            } else {
                // A value below 0 has no code form that could be sent again: the pair shows
                // as <001> and the character in its own form, which sends the same bytes.
                out.append("<001>");
                if (next >= 32)
                    out.append(static_cast<char>(next));
                else
                    out.append(QString::asprintf("<%03d>", next).toLatin1());
            }
        } else {
            // A trailing code 1 has nothing to escape and shows as itself.
            out.append(QString::asprintf("<%03d>", code).toLatin1());
        }
    }
    out.replace(QByteArrayLiteral("<027>"), kEscForm);
    return out;
}

QByteArray ByteToNotation(uchar code)
{
    if (code == 27)
        return kEscForm;
    const QChar c = AnsiChar(code);
    const bool own = code == '<' || code == '{' || code == '}';
    if (own || !c.isPrint() || code == 0xA0 || code == 0xAD)
        return QString::asprintf("<%03d>", code).toLatin1();
    return QByteArray(1, static_cast<char>(code));
}

} // namespace vemro
