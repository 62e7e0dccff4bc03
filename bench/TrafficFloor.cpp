#include "bench/TrafficFloor.h"

#include <QMap>

#include <algorithm>

namespace vemro::bench {

namespace {

constexpr char kEsc = 27;
constexpr char kAck = 6;
constexpr char kNak = 21;

QByteArray lettersOf(const QByteArray& sent)
{
    return sent.startsWith(kEsc) ? sent.mid(1, 3) : sent.left(3);
}

// The letters as they can be printed in the table.
QString printable(const QByteArray& letters)
{
    QString text;
    for (const char c : letters)
        text += c > 32 && c < 127 ? QChar::fromLatin1(c) : QLatin1Char('.');
    return text;
}

// True when the ESC at `index` of `bytes` is a parameter byte rather than the start of a
// command: the mode flags 27 of "KM", or a raw byte of the byte-form EEPROM write "E"
// (address high, low, data) or of the block write "e" (eight data bytes and the checksum).
// The command so far may end the previous line.
bool oneByteParameter(const QList<TrafficFloor::Command>& commands, const QByteArray& bytes,
                      qsizetype index)
{
    QByteArray before = bytes.left(index);
    if (before.size() < 10 && !commands.isEmpty())
        before = commands.last().sent + before;
    if (before.endsWith(QByteArrayLiteral("\x1bKM")))
        return true;
    for (const auto& [letter, parameters] : {std::pair<char, int>{'E', 3}, {'e', 9}}) {
        // The nearest command start that could still be taking parameters.
        for (qsizetype p = before.size() - 2; p >= 0 && before.size() - p - 2 < parameters; --p) {
            if (before.at(p) == kEsc && before.at(p + 1) == letter &&
                (p == 0 || before.at(p - 1) != kEsc))
                return true;
        }
    }
    return false;
}

} // namespace

bool TrafficFloor::parse(const QString& text, QString* error)
{
    m_commands.clear();
    bool answered = false;
    int number = 0;
    for (const QString& raw : text.split(QLatin1Char('\n'))) {
        ++number;
        const QString lineText = raw.trimmed();
        if (lineText.isEmpty())
            continue;
        const QStringList cells = lineText.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        bool ok = false;
        const qint64 us = cells.value(0).toLongLong(&ok);
        if (!ok || cells.size() < 2 ||
            (cells.at(1) != QLatin1String("->") && cells.at(1) != QLatin1String("<-"))) {
            if (error)
                *error = QStringLiteral("Zeile %1 unverständlich: %2").arg(number).arg(lineText);
            return false;
        }
        Line line;
        line.us = us;
        line.fromPc = cells.at(1) == QLatin1String("->");
        for (int i = 2; i < cells.size(); ++i) {
            if (cells.at(i) == QLatin1String("?"))
                continue; // sent at a speed the terminal did not listen at: still on the wire
            const int value = cells.at(i).toInt(&ok, 16);
            if (!ok || value < 0 || value > 255) {
                if (error)
                    *error = QStringLiteral("Zeile %1: Byte %2").arg(number).arg(cells.at(i));
                return false;
            }
            line.bytes.append(static_cast<char>(value));
        }
        if (line.fromPc) {
            // Bytes that do not begin with ESC continue the command before them, unless the
            // terminal answered in between (raw bytes, blocks).
            qsizetype from = 0;
            while (from < line.bytes.size()) {
                qsizetype next = line.bytes.size();
                for (qsizetype i = from + 1; i < line.bytes.size(); ++i) {
                    if (line.bytes.at(i) == kEsc && !oneByteParameter(m_commands, line.bytes, i)) {
                        next = i;
                        break;
                    }
                }
                const QByteArray piece = line.bytes.mid(from, next - from);
                const bool startsCommand =
                    piece.startsWith(kEsc) && !oneByteParameter(m_commands, line.bytes, from);
                if (m_commands.isEmpty() || answered || startsCommand) {
                    Command c;
                    c.us = us;
                    c.firstLineBytes = static_cast<int>(line.bytes.size());
                    m_commands.append(c);
                    answered = false;
                }
                m_commands.last().sent += piece;
                m_commands.last().lastUs = us;
                from = next;
            }
        } else if (!m_commands.isEmpty()) {
            m_commands.last().answer += line.bytes;
            m_commands.last().lastUs = us;
            answered = true;
        }
    }
    return true;
}

bool TrafficFloor::parseRules(const QString& text, QList<Rule>* rules, QString* error)
{
    for (const QString& item : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const int eq = item.indexOf(QLatin1Char('='));
        const QStringList parts = item.mid(eq + 1).split(QLatin1Char('+'));
        Rule rule;
        bool okPause = false;
        bool okAfter = true;
        rule.letters = item.left(eq).toLatin1();
        rule.pauseMs = parts.value(0).toInt(&okPause);
        if (parts.size() > 1)
            rule.afterMs = parts.at(1).toInt(&okAfter);
        if (eq <= 0 || parts.size() > 2 || !okPause || !okAfter || rule.pauseMs < 0 ||
            rule.afterMs < 0) {
            if (error)
                *error = QStringLiteral("Wartezeit \"%1\" nicht lesbar (BUCHSTABEN=PAUSE+DANACH)")
                             .arg(item);
            return false;
        }
        rules->append(rule);
    }
    return true;
}

TrafficFloor::Rule TrafficFloor::waitFor(const Command& command, const QList<Rule>& rules)
{
    const QByteArray letters = lettersOf(command.sent);
    for (const Rule& rule : rules) {
        if (letters.startsWith(rule.letters))
            return rule;
    }
    Rule r;
    r.letters = letters;
    const bool acknowledged = command.answer.size() == 1 &&
                              (command.answer.at(0) == kAck || command.answer.at(0) == kNak);
    if (acknowledged) {
        r.afterMs = letters.startsWith("KS") ? 1000 : 0;
        return r;
    }
    if (letters.contains('?')) {
        // A query (GetParameter) waits for its reply, not a fixed pause.
        if (command.answer.isEmpty())
            r.afterMs = 500;
        else if (letters.startsWith("?A") || letters.startsWith("K?E") ||
                 !command.answer.endsWith(';'))
            r.afterMs = 200;
        return r;
    }
    r.pauseMs = 10;
    if (letters.startsWith("SG") || letters.startsWith("Kr"))
        r.afterMs = 1000;
    return r;
}

TrafficFloor::Result TrafficFloor::compute(int baud, const QList<Rule>& rules) const
{
    Result result;
    const double byteSeconds = 10.0 / std::max(baud, 1);
    QMap<QString, int> waits;
    for (const Command& c : m_commands) {
        const Rule rule = waitFor(c, rules);
        const double wire = static_cast<double>(c.sent.size() + c.answer.size()) * byteSeconds;
        result.floorSeconds += std::max(wire, rule.pauseMs / 1000.0) + rule.afterMs / 1000.0;
        result.wireSeconds += wire;
        result.sentBytes += c.sent.size();
        result.answerBytes += c.answer.size();
        if (rule.pauseMs > 0 || rule.afterMs > 0)
            ++waits[QStringLiteral("%1+%2 %3")
                        .arg(rule.pauseMs)
                        .arg(rule.afterMs)
                        .arg(printable(rule.letters.left(2)))];
    }
    result.commands = static_cast<int>(m_commands.size());
    if (!m_commands.isEmpty()) {
        const Command& first = m_commands.first();
        result.startSeconds = first.us / 1e6 - first.firstLineBytes * byteSeconds;
        result.lastSeconds = m_commands.last().lastUs / 1e6;
    }
    for (auto it = waits.cbegin(); it != waits.cend(); ++it)
        result.waits << QStringLiteral("%1x%2").arg(it.value()).arg(it.key());
    return result;
}

} // namespace vemro::bench
