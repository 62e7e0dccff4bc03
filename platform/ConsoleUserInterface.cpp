#include "platform/ConsoleUserInterface.h"

#include <QList>
#include <QProcess>
#include <QTextStream>

#include <unistd.h>

namespace vemro {

ConsoleUserInterface::ConsoleUserInterface(FILE* out, FILE* in) : m_out(out), m_in(in) {}

void ConsoleUserInterface::message(const QString& text, const QString& title)
{
    Q_UNUSED(title);
    std::fprintf(m_out, "%s\n", text.toLocal8Bit().constData());
    std::fflush(m_out);
}

bool ConsoleUserInterface::interactive() const
{
    return m_in && isatty(fileno(m_in));
}

std::optional<QString> ConsoleUserInterface::readLine()
{
    if (!m_in)
        return std::nullopt;
    QByteArray line;
    int c;
    while ((c = std::fgetc(m_in)) != EOF && c != '\n')
        line.append(static_cast<char>(c));
    if (c == EOF && line.isEmpty())
        return std::nullopt;
    return QString::fromLocal8Bit(line).trimmed();
}

UserInterface::Answer ConsoleUserInterface::ask(const QString& text, Buttons buttons,
                                                const QString& title,
                                                std::optional<Answer> preselected)
{
    Q_UNUSED(title);
    const bool yesNo = buttons == Buttons::YesNo || buttons == Buttons::YesNoCancel;
    const Answer positive = yesNo ? Answer::Yes : Answer::Ok;
    const Answer negative = buttons == Buttons::YesNo ? Answer::No
                            : buttons == Buttons::Ok  ? Answer::Ok
                                                      : Answer::Cancel;
    if (m_preset != Preset::None) {
        const Answer a = m_preset == Preset::Yes           ? positive
                         : buttons == Buttons::YesNoCancel ? Answer::No
                                                           : negative;
        std::fprintf(m_out, "%s %s\n", text.toLocal8Bit().constData(),
                     a == Answer::Yes || a == Answer::Ok ? "ja" : "nein");
        return a;
    }
    if (buttons == Buttons::Ok) {
        message(text, title);
        return Answer::Ok;
    }
    if (!interactive()) {
        std::fprintf(m_out, "%s (keine Antwort möglich, abgebrochen)\n",
                     text.toLocal8Bit().constData());
        return negative;
    }
    // The letters offered; the preselected answer's in capitals, an empty line takes it.
    struct Choice
    {
        char letter;
        Answer answer;
    };
    QList<Choice> offered;
    if (yesNo)
        offered = {{'j', Answer::Yes}, {'n', Answer::No}};
    else
        offered = {{'o', Answer::Ok}};
    if (buttons != Buttons::YesNo)
        offered.append(Choice{'a', Answer::Cancel});
    std::optional<Answer> onEmpty;
    QString choices;
    for (const Choice& c : offered) {
        const bool preset = preselected == c.answer;
        if (preset)
            onEmpty = c.answer;
        choices += choices.isEmpty() ? QStringLiteral("[") : QStringLiteral("/");
        choices += preset ? QChar::fromLatin1(c.letter).toUpper() : QChar::fromLatin1(c.letter);
    }
    choices += QLatin1Char(']');
    for (;;) {
        std::fprintf(m_out, "%s %s ", text.toLocal8Bit().constData(),
                     choices.toLocal8Bit().constData());
        std::fflush(m_out);
        const auto line = readLine();
        if (!line)
            return negative;
        if (line->isEmpty() && onEmpty)
            return *onEmpty;
        const QString a = line->toLower();
        if (yesNo && (a == QLatin1String("j") || a == QLatin1String("y")))
            return Answer::Yes;
        if (yesNo && a == QLatin1String("n"))
            return Answer::No;
        if (!yesNo && a == QLatin1String("o"))
            return Answer::Ok;
        if (buttons != Buttons::YesNo && a == QLatin1String("a"))
            return Answer::Cancel;
    }
}

std::optional<QString> ConsoleUserInterface::input(const QString& prompt, const QString& title,
                                                   const QString& defaultText)
{
    Q_UNUSED(title);
    if (!interactive())
        return std::nullopt;
    std::fprintf(m_out, "%s [%s] ", prompt.toLocal8Bit().constData(),
                 defaultText.toLocal8Bit().constData());
    std::fflush(m_out);
    auto line = readLine();
    if (line && line->isEmpty())
        return defaultText;
    return line;
}

QString ConsoleUserInterface::openFileName(const QString& caption, const QString& folder,
                                           const QString& filter)
{
    Q_UNUSED(folder);
    Q_UNUSED(filter);
    auto name = input(caption, QString(), QString());
    return name.value_or(QString());
}

QString ConsoleUserInterface::saveFileName(const QString& caption, const QString& folder,
                                           const QString& filter)
{
    return openFileName(caption, folder, filter);
}

void ConsoleUserInterface::setBusy(bool busy)
{
    Q_UNUSED(busy);
}

bool ConsoleUserInterface::openDocument(const QString& path)
{
    return QProcess::startDetached(QStringLiteral("xdg-open"), {path});
}

namespace {
UserInterface* g_ui = nullptr;
} // namespace

UserInterface& ui()
{
    if (!g_ui) {
        static ConsoleUserInterface fallback;
        return fallback;
    }
    return *g_ui;
}

void setUi(UserInterface* ui)
{
    g_ui = ui;
}

} // namespace vemro
