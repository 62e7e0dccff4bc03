#include "link/Notation.h"

#include "platform/TextValue.h"

#include <QList>

namespace vemro {

namespace {

const QByteArray kEscForm = QByteArrayLiteral("<ESC>");
constexpr char kEsc = '\x1b';

// How the parameters of a command travel, for setting a command apart from the text after
// it: nothing, the terminal's parameter form (`bytes` raw bytes or decimal text ended by
// ";"), decimal text in both forms, or raw bytes in both forms.
enum class Params { None, Form, Decimal, Raw };

struct CommandShape
{
    const char* letters;
    Params params;
    int bytes;
};

// The terminal's command set.
constexpr CommandShape kCommands[] = {
    {"?V", Params::None, 0},  {"?A", Params::None, 0},    {"?T", Params::None, 0},
    {"K?M", Params::None, 0}, {"K?E", Params::None, 0},   {"L?A", Params::None, 0},
    {"T?K", Params::None, 0}, {"KS", Params::None, 0},    {"Kr", Params::None, 0},
    {"LL", Params::None, 0},  {"?P", Params::Form, 1},    {"?E", Params::Form, 2},
    {"Ks", Params::Form, 7},  {"LA", Params::Form, 2},    {"LB", Params::Form, 1},
    {"LC", Params::Form, 2},  {"LZ", Params::Form, 10},   {"P", Params::Form, 2},
    {"E", Params::Form, 3},   {"FP", Params::Form, 1},    {"TK", Params::Form, 5},
    {"TC", Params::Form, 3},  {"FZ", Params::Decimal, 1}, {"T?C", Params::Decimal, 1},
    {"KM", Params::Raw, 1},   {"LK", Params::Raw, 1},     {"SG", Params::Raw, 1},
    {"e", Params::Raw, 9},
};

// The longest command name at `at`.
const CommandShape* commandAt(const QByteArray& bytes, qsizetype at)
{
    const CommandShape* best = nullptr;
    for (const CommandShape& c : kCommands) {
        const QByteArray name = QByteArray::fromRawData(c.letters, qstrlen(c.letters));
        if (bytes.mid(at, name.size()) == name &&
            (!best || name.size() > static_cast<qsizetype>(qstrlen(best->letters))))
            best = &c;
    }
    return best;
}

// The end (after ";") of decimal parameters at `at`, or -1.
qsizetype decimalEnd(const QByteArray& bytes, qsizetype at)
{
    constexpr qsizetype kLongest = 64;
    for (qsizetype i = at; i < bytes.size() && i - at < kLongest; ++i) {
        const char c = bytes.at(i);
        if (c == ';')
            return i > at ? i + 1 : -1;
        if (!(c >= '0' && c <= '9') && c != ',')
            return -1;
    }
    return -1;
}

bool isLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '?';
}

QByteArray codeForm(uchar code)
{
    return QString::asprintf("<%03d>", code).toLatin1();
}

// A character that stands for itself in notation: one the editor holds, except "<", "{"
// and "}", which would be read as notation.
bool plainCharacter(uchar code)
{
    return FesttextHoldsCharacter(code) && code != '<' && code != '{' && code != '}';
}

} // namespace

NotationError::NotationError(const QString& description)
    : std::runtime_error(description.toStdString()), m_description(description)
{
}

namespace {

// Every "<ESC>" by ESC. With `flags` (one per byte of `t`) the flags follow: the ESC takes
// the flag of its "<".
void replaceEscForm(QByteArray& t, QList<bool>* flags)
{
    if (!flags) {
        t.replace(kEscForm, QByteArray(1, kEsc));
        return;
    }
    QByteArray out;
    QList<bool> outFlags;
    out.reserve(t.size());
    outFlags.reserve(t.size());
    for (qsizetype i = 0; i < t.size();) {
        outFlags.append(flags->at(i));
        if (t.mid(i, kEscForm.size()) == kEscForm) {
            out.append(kEsc);
            i += kEscForm.size();
        } else {
            out.append(t.at(i));
            ++i;
        }
    }
    t = out;
    *flags = outFlags;
}

// TextToSteuerzeichen. With `flags` (one per byte of `text`) also the flag of every byte
// decoded: a code form takes the flag of its "<".
QByteArray decodeCodes(const QByteArray& text, QList<bool>* flags)
{
    QByteArray t = text;
    replaceEscForm(t, flags);
    QByteArray out;
    QList<bool> outFlags;
    out.reserve(t.size());
    const qsizetype n = t.size();
    const auto take = [&](const QByteArray& bytes, qsizetype from) {
        out.append(bytes);
        if (flags)
            outFlags.append(QList<bool>(bytes.size(), flags->at(from)));
    };
    qsizetype i = 0;
    while (i < n) {
        const char c = t.at(i);
        if (c != '<') {
            take(QByteArray(1, c), i);
            ++i;
            continue;
        }
        if (i + 4 >= n) {
            // Too short for a code form: keep the rest as typed, "<" included.
            out.append(t.mid(i));
            if (flags)
                outFlags.append(flags->mid(i));
            break;
        }
        if (t.at(i + 4) != '>') {
            take(QByteArrayLiteral("<"), i);
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
        take(QByteArray(1, static_cast<char>(static_cast<uchar>(code))), i);
        i += 5;
    }
    if (flags)
        *flags = outFlags;
    return out;
}

} // namespace

QByteArray TextToSteuerzeichen(const QByteArray& text)
{
    return decodeCodes(text, nullptr);
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
    return plainCharacter(code) ? QByteArray(1, static_cast<char>(code)) : codeForm(code);
}

bool FesttextHoldsCharacter(uchar code)
{
    if (code < 32 || code == 127)
        return false;
    switch (code) {
    case 0x81:
    case 0x8D:
    case 0x8F:
    case 0x90:
    case 0x9D:
    case 0xA0:
    case 0xAD:
        return false;
    default:
        return true;
    }
}

QByteArray FesttextToBytes(const QByteArray& text, bool removeLF)
{
    QByteArray bytes;
    if (!removeLF || !text.contains(kEscForm)) {
        bytes = FilterSteuerzeichen(text, removeLF);
    } else {
        // Decoded as FilterSteuerzeichen does, noting which bytes stand within braces: a
        // command's bytes go out as written, only the text's line breaks are reduced.
        QByteArray t = text;
        replaceEscForm(t, nullptr);
        QByteArray plain;
        QList<bool> inCommand;
        int depth = 0;
        for (const char c : std::as_const(t)) {
            if (c == '{') {
                ++depth;
            } else if (c == '}') {
                depth = qMax(0, depth - 1);
            } else {
                plain.append(c);
                inCommand.append(depth > 0);
            }
        }
        const QByteArray decoded = decodeCodes(plain, &inCommand);
        QList<bool> kept;
        for (qsizetype i = 0; i < decoded.size(); ++i) {
            // Every LF after a CR of the text goes, so CR CR LF LF leaves no CR LF either.
            if (decoded.at(i) == '\n' && !inCommand.at(i) && !bytes.isEmpty() &&
                bytes.back() == '\r' && !kept.back())
                continue;
            bytes.append(decoded.at(i));
            kept.append(inCommand.at(i));
        }
    }
    // CR CR LF LF leaves CR CR LF after one pass: the block writer's texts hold no CR LF
    // outside commands at all, so that writing them again gives the same bytes.
    while (removeLF && !text.contains(kEscForm) && bytes.contains("\r\n"))
        bytes.replace(QByteArrayLiteral("\r\n"), QByteArrayLiteral("\r"));
    if (bytes.contains('\0')) {
        throw NotationError(QStringLiteral("enthält das Zeichen 0 (NUL), das im Terminal den "
                                           "Festtext beendet; der Rest ginge verloren"));
    }
    return bytes;
}

QByteArray FesttextCommandForm(const QByteArray& command)
{
    QByteArray out("{");
    for (qsizetype i = 0; i < command.size(); ++i) {
        if (i == 0 && command.at(i) == kEsc)
            out.append(kEscForm);
        else
            out.append(ByteToNotation(static_cast<uchar>(command.at(i))));
    }
    out.append('}');
    return out;
}

QByteArray FesttextFromBytes(const QByteArray& bytes)
{
    // Without ESC the writer sends the text as it stands: its bytes are its form.
    if (!bytes.contains(kEsc))
        return bytes;
    QByteArray out;
    out.reserve(bytes.size() * 2);
    QByteArray codes; // control bytes outside commands, shown together in one pair of braces
    const auto flush = [&] {
        if (!codes.isEmpty())
            out.append('{' + codes + '}');
        codes.clear();
    };
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    while (i < n) {
        const uchar c = static_cast<uchar>(bytes.at(i));
        if (c == kEsc) {
            flush();
            qsizetype end = i + 1;
            if (const CommandShape* shape = commandAt(bytes, end)) {
                end += qstrlen(shape->letters);
                const qsizetype decimal =
                    shape->params == Params::Form || shape->params == Params::Decimal
                        ? decimalEnd(bytes, end)
                        : -1;
                if (decimal > 0)
                    end = decimal;
                else if (shape->params == Params::Form || shape->params == Params::Raw)
                    end = qMin(n, end + shape->bytes);
            } else {
                // Not a command of the terminal: its letters, as far as they go.
                while (end < n && end - i <= 3 && isLetter(bytes.at(end)))
                    ++end;
            }
            out.append(FesttextCommandForm(bytes.mid(i, end - i)));
            i = end;
            continue;
        }
        if (c == '\r' || c == '\n' || plainCharacter(c)) {
            flush();
            out.append(static_cast<char>(c));
        } else if (FesttextHoldsCharacter(c)) {
            flush();
            out.append(codeForm(c)); // "<", "{", "}"
        } else {
            codes.append(codeForm(c));
        }
        ++i;
    }
    flush();
    return out;
}

} // namespace vemro
