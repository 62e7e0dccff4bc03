#include "cli/QmTestAnswers.h"

namespace vemro {

QmTestAnswers::QmTestAnswers(UserInterface& console, const QStringList& answers,
                             const QString& serial, FILE* echo, FILE* in)
    : m_console(console), m_serial(serial), m_echo(echo), m_in(in)
{
    for (const QString& a : answers)
        m_answers.enqueue(a.trimmed());
}

void QmTestAnswers::echo(const QString& text)
{
    std::fputs(text.toLocal8Bit().constData(), m_echo);
    std::fflush(m_echo);
}

std::optional<QString> QmTestAnswers::next()
{
    if (!m_answers.isEmpty())
        return m_answers.dequeue();
    if (!m_in)
        return std::nullopt;
    QByteArray line;
    int c = 0;
    while ((c = std::fgetc(m_in)) != EOF && c != '\n')
        line += static_cast<char>(c);
    if (c == EOF && line.isEmpty())
        return std::nullopt;
    return QString::fromLocal8Bit(line).trimmed();
}

std::optional<bool> QmTestAnswers::yesNo(const QString& word)
{
    const QString w = word.trimmed().toLower();
    if (w == QLatin1String("yes") || w == QLatin1String("ja") || w == QLatin1String("j") ||
        w == QLatin1String("y"))
        return true;
    if (w == QLatin1String("no") || w == QLatin1String("nein") || w == QLatin1String("n"))
        return false;
    return std::nullopt;
}

void QmTestAnswers::message(const QString& text, const QString& title)
{
    m_console.message(text, title);
}

UserInterface::Answer QmTestAnswers::ask(const QString& text, Buttons buttons,
                                         const QString& /*title*/,
                                         std::optional<Answer> /*preselected*/)
{
    const bool yesNoButtons = buttons == Buttons::YesNo || buttons == Buttons::YesNoCancel;
    for (;;) {
        echo(text + (yesNoButtons ? QStringLiteral(" [ja/nein] ") : QStringLiteral(" [ok] ")));
        const std::optional<QString> answer = next();
        if (!answer) {
            echo(QStringLiteral("(keine Antwort: nein)\n"));
            return yesNoButtons ? (buttons == Buttons::YesNoCancel ? Answer::Cancel : Answer::No)
                                : (buttons == Buttons::OkCancel ? Answer::Cancel : Answer::Ok);
        }
        echo(*answer + QLatin1Char('\n'));
        if (!yesNoButtons)
            return Answer::Ok;
        if (const std::optional<bool> yes = yesNo(*answer))
            return *yes ? Answer::Yes : Answer::No;
        echo(QStringLiteral("Bitte ja oder nein antworten.\n"));
    }
}

std::optional<QString> QmTestAnswers::input(const QString& prompt, const QString& /*title*/,
                                            const QString& defaultText)
{
    echo(prompt + QStringLiteral(" [") + defaultText + QStringLiteral("] "));
    std::optional<QString> answer;
    if (!m_serial.isEmpty() && !m_serialUsed && prompt.startsWith(QLatin1String("SerNr"))) {
        m_serialUsed = true; // a second serial-number box (out of range) is not answered again
        answer = m_serial;
    } else {
        answer = next();
    }
    if (!answer) {
        echo(QStringLiteral("(abgebrochen)\n"));
        return std::nullopt;
    }
    // Enter takes the default shown in brackets, as an input box does with its preset
    // text (an empty start address would otherwise test cells 0 and 1).
    if (answer->isEmpty())
        answer = defaultText;
    echo(*answer + QLatin1Char('\n'));
    return answer;
}

QString QmTestAnswers::openFileName(const QString& caption, const QString& folder,
                                    const QString& filter)
{
    return m_console.openFileName(caption, folder, filter);
}

QString QmTestAnswers::saveFileName(const QString& caption, const QString& folder,
                                    const QString& filter)
{
    return m_console.saveFileName(caption, folder, filter);
}

void QmTestAnswers::setBusy(bool busy)
{
    m_console.setBusy(busy);
}

bool QmTestAnswers::openDocument(const QString& path)
{
    return m_console.openDocument(path);
}

} // namespace vemro
